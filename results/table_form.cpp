#include "results/table_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace marvolt {

namespace {

constexpr int kMaxWidth = 800;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

TTableForm::TTableForm(UiServices services, QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("TableForm"));
    setModal(true);
    resize(526, 250);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(32);
    LabelName = new QLabel(Panel2);
    LabelName->setObjectName(QStringLiteral("LabelName"));
    LabelName->move(8, 8);

    ResultsSG = new QTableWidget(this);
    ResultsSG->setObjectName(QStringLiteral("ResultsSG"));
    ResultsSG->horizontalHeader()->hide();
    ResultsSG->verticalHeader()->hide();
    ResultsSG->verticalHeader()->setDefaultSectionSize(20);
    ResultsSG->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    BitBtn1 = new QPushButton(QStringLiteral("Закрыть"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("Копировать"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* buttons = new QHBoxLayout(Panel1);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);
    buttons->setContentsMargins(8, 4, 8, 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel2);
    layout->addWidget(ResultsSG, 1);
    layout->addWidget(Panel1);

    connect(BitBtn1, &QPushButton::clicked, this, &TTableForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TTableForm::BitBtn2Click);
}

void TTableForm::SetTable(const QString& caption, const QString& label, TextTable table) {
    setWindowTitle(caption);
    LabelName->setText(label);
    LabelName->adjustSize();
    table_ = std::move(table);
}

void TTableForm::ShowTable(const QString& caption, const QString& label, TextTable table) {
    SetTable(caption, label, std::move(table));
    exec();
}

void TTableForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TTableForm::FormShow() {
    // The strip above the grid is flat when it has nothing to say.
    Panel2->setFrameStyle(LabelName->text().isEmpty() ? QFrame::NoFrame
                                                      : QFrame::Panel | QFrame::Raised);
    int columns = 0;
    for (const auto& row : table_)
        columns = std::max(columns, static_cast<int>(row.size()));
    ResultsSG->clear();
    ResultsSG->setRowCount(static_cast<int>(table_.size()));
    ResultsSG->setColumnCount(columns);
    const QPalette palette = ResultsSG->palette();
    for (int r = 0; r < static_cast<int>(table_.size()); ++r) {
        for (int c = 0; c < static_cast<int>(table_[r].size()); ++c) {
            auto* item = new QTableWidgetItem(Q(table_[r][c]));
            if (c == 0) {
                // The one fixed column: headings, on the button face.
                item->setBackground(palette.button());
                item->setFlags(Qt::ItemIsEnabled);
            }
            ResultsSG->setItem(r, c, item);
        }
    }
    const QFontMetrics metrics(ResultsSG->font());
    int total = 0;
    for (int c = 0; c < columns; ++c) {
        int widest = 0;
        for (const auto& row : table_) {
            if (c < static_cast<int>(row.size()))
                widest = std::max(widest, metrics.horizontalAdvance(Q(row[c])));
        }
        ResultsSG->setColumnWidth(c, widest + 10);
        total += widest + 10;
    }
    resize(std::min(total + columns + 20, kMaxWidth), height());
}

void TTableForm::BitBtn1Click() {
    close();
}

void TTableForm::BitBtn2Click() {
    const std::string html = TableHtml(table_);
    const std::string rtf = TableRtf(table_);
    if (!services_.clipboard.SetFormatted(Q(html), QByteArray::fromStdString(rtf),
                                          Q(TableTsv(table_)))) {
        services_.messages.Show(kCaptionError, MessageIcon::kError, kTableCopyFailed, kButtonOk);
    }
}

void TTableForm::done(int result) {
    table_.clear();
    QDialog::done(result);
}

}  // namespace marvolt
