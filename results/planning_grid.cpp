#include "results/planning_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace marvolt {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const QColor kGrey(128, 128, 128);

// The grid draws every cell itself: raised fixed cells, the check mark in
// the middle, numbers on the right.
class PlanCellPainter final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        const int col = index.column();
        const QRect r = option.rect;
        const QString text = index.data().toString();
        const bool focused = index == view()->currentIndex();
        p->save();
        QFont font = option.font;
        if (row == 0 || col == 0) {
            p->fillRect(r, option.palette.button());
            p->setPen(Qt::white);
            p->drawLine(r.left(), r.top(), r.right() - 1, r.top());
            p->drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
            p->setPen(kGrey);
            p->drawLine(r.left(), r.bottom() - 1, r.right() - 1, r.bottom() - 1);
            p->drawLine(r.right() - 1, r.top(), r.right() - 1, r.bottom() - 1);
            font.setBold(col == 0 && IsQuantityRow(row));
            p->setFont(font);
            p->setPen(Qt::black);
            p->drawText(r.adjusted(2, 2, -2, 0), Qt::AlignLeft | Qt::AlignTop, text);
        } else {
            p->fillRect(r, Qt::white);
            if (focused) {
                p->setPen(kGrey);
                p->drawRect(r.adjusted(0, 0, -1, -1));
            }
            p->setPen(Qt::black);
            if (IsQuantityRow(row)) {
                font.setItalic(true);
                p->setFont(font);
                const int width = QFontMetrics(font).horizontalAdvance(text);
                p->drawText(QPoint(r.center().x() - 2 - width / 2 + 1,
                                   r.top() + 2 + QFontMetrics(font).ascent()),
                            text);
            } else {
                p->setFont(font);
                p->drawText(r.adjusted(2, 2, -3, 0), Qt::AlignRight | Qt::AlignTop, text);
            }
        }
        p->restore();
    }

  private:
    const QAbstractItemView* view() const {
        return static_cast<const QAbstractItemView*>(parent());
    }
};

}  // namespace

void PlanTable::mousePressEvent(QMouseEvent* event) {
    moved = false;
    const QModelIndex at = indexAt(event->position().toPoint());
    QTableWidget::mousePressEvent(event);
    if (!moved && at.isValid() && at == currentIndex() && onSameCellPressed)
        onSameCellPressed();
}

PlanningGrid::PlanningGrid(MessageService& messages, std::function<CQueuingSystem*()> current,
                           std::function<void()> beforeEdit, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      current_(std::move(current)),
      beforeEdit_(std::move(beforeEdit)) {
    setObjectName(QStringLiteral("PlanningGrid"));
    auto* label = new QLabel(QStringLiteral("Объект"), this);
    ComboBox7 = new QComboBox(this);
    ComboBox7->setObjectName(QStringLiteral("ComboBox7"));
    ComboBox7->setToolTip(
        QStringLiteral("Выберите объект, для котого нужно построить распределение"));
    ComboBox7->setMinimumWidth(200);
    DistrSG = new PlanTable(this);
    DistrSG->setObjectName(QStringLiteral("DistrSG"));
    DistrSG->horizontalHeader()->hide();
    DistrSG->verticalHeader()->hide();
    DistrSG->horizontalHeader()->setDefaultSectionSize(165);
    DistrSG->verticalHeader()->setDefaultSectionSize(20);
    DistrSG->setSelectionMode(QAbstractItemView::SingleSelection);
    DistrSG->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    DistrSG->setItemDelegate(new PlanCellPainter(DistrSG));
    DistrSG->onSameCellPressed = [this] { DistrSGClick(); };

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(ComboBox7);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(DistrSG, 1);

    connect(ComboBox7, &QComboBox::activated, this, &PlanningGrid::ComboBox7Click);
    connect(DistrSG, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) {
        DistrSG->moved = true;
        if (!filling_ && !planRefocus_)
            DistrSGClick();
    });
    connect(DistrSG, &QTableWidget::itemChanged, this, &PlanningGrid::CellChanged);
    connect(qApp, &QApplication::focusChanged, this, &PlanningGrid::FocusChanged);
}

PlanningGrid::~PlanningGrid() {
    disconnect(qApp, nullptr, this, nullptr);
}

void PlanningGrid::FillObjects() {
    CQueuingSystem* m = current_();
    std::optional<ChoiceItem> was;
    if (ComboBox7->currentIndex() >= 0)
        was = ChoiceItem{ComboBox7->currentText().toStdString(),
                         static_cast<uint8_t>(ComboBox7->currentData().toInt())};
    const ChoiceList items = m ? PlanObjectChoices(*m) : ChoiceList{};
    {
        const QSignalBlocker quiet(ComboBox7);
        ComboBox7->clear();
        for (const ChoiceItem& item : items)
            ComboBox7->addItem(Q(item.text), static_cast<int>(item.index));
        // Only the very node of the same name is chosen again; otherwise the system.
        ComboBox7->setCurrentIndex(std::max(0, Reselect(items, was)));
    }
    BuildGrid();
    DropPendingEdit();
}

void PlanningGrid::DropPendingEdit() {
    planCellDirty_ = false;
    edited_ = false;
}

void PlanningGrid::ComboBox7Click() {
    BuildGrid();
    DropPendingEdit();
}

void PlanningGrid::BuildGrid() {
    CQueuingSystem* m = current_();
    filling_ = true;
    const QSignalBlocker quiet(DistrSG);
    DistrSG->clear();
    if (!m || ComboBox7->currentIndex() < 0) {
        DistrSG->setRowCount(0);
        DistrSG->setColumnCount(0);
        filling_ = false;
        return;
    }
    planObject_ = static_cast<uint8_t>(ComboBox7->currentData().toInt());
    layout_ = PlanGridLayout(*m, planObject_);
    DistrSG->setRowCount(layout_.rowCount());
    DistrSG->setColumnCount(layout_.columnCount());
    for (int r = 0; r < layout_.rowCount(); ++r) {
        for (int c = 0; c < layout_.columnCount(); ++c) {
            auto* item = new QTableWidgetItem(Q(PlanCellText(*m, layout_, r, c)));
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (IsDataCell(layout_, r, c)) {
                flags |= Qt::ItemIsSelectable;
                // A check-mark cell is toggled by selecting it, not typed into.
                if (!IsQuantityRow(r))
                    flags |= Qt::ItemIsEditable;
            }
            item->setFlags(flags);
            DistrSG->setItem(r, c, item);
        }
    }
    // The widths of the layout, widened where a label or a type name needs it.
    QFont bold = DistrSG->font();
    bold.setBold(true);
    int labels = 165;
    for (const std::string& label : layout_.rowLabels)
        labels = std::max(labels, QFontMetrics(bold).horizontalAdvance(Q(label)) + 8);
    DistrSG->setColumnWidth(0, labels);
    for (int c = 1; c < layout_.columnCount(); ++c) {
        const QString header = Q(layout_.columnHeaders[static_cast<size_t>(c)]);
        DistrSG->setColumnWidth(
            c, std::max(100, DistrSG->fontMetrics().horizontalAdvance(header) + 8));
    }
    planRow_ = 1;
    planCol_ = 1;
    DistrSG->setCurrentCell(1, 1);
    filling_ = false;
}

void PlanningGrid::SetCellText(int row, int col, const QString& text) {
    const QSignalBlocker quiet(DistrSG);
    if (QTableWidgetItem* item = DistrSG->item(row, col))
        item->setText(text);
}

void PlanningGrid::CellChanged(QTableWidgetItem* item) {
    if (!filling_ && item->row() == planRow_ && item->column() == planCol_)
        edited_ = true;
}

bool PlanningGrid::ValidateAndCommit() {
    if (!planCellDirty_)
        return true;
    if (planRefocus_)
        return false;
    CQueuingSystem* m = current_();
    if (!m || !IsDataCell(layout_, planRow_, planCol_))
        return true;
    // A cell passed through without typing keeps the model's value: its text
    // may be a rounded copy of it.
    if (!IsQuantityRow(planRow_) && !edited_)
        return true;
    const QTableWidgetItem* item = DistrSG->item(planRow_, planCol_);
    const std::string text = item ? item->text().toStdString() : std::string();
    if (beforeEdit_)
        beforeEdit_();
    const PlanCommit commit = CommitPlanCell(*m, layout_, planRow_, planCol_, text);
    if (commit.accepted) {
        if (commit.shownText)
            SetCellText(planRow_, planCol_, Q(*commit.shownText));
        edited_ = false;
        return true;
    }
    planRefocus_ = true;
    DistrSG->setCurrentCell(planRow_, planCol_);
    planRefocus_ = false;
    ShowWarning(messages_, Q(commit.message));
    return false;
}

void PlanningGrid::DistrSGClick() {
    const int row = DistrSG->currentRow();
    const int col = DistrSG->currentColumn();
    if ((row != planRow_ || col != planCol_) && !ValidateAndCommit())
        return;
    if (row != planRow_ || col != planCol_)
        edited_ = false;
    if (IsDataCell(layout_, row, col) && IsQuantityRow(row)) {
        QTableWidgetItem* item = DistrSG->item(row, col);
        SetCellText(row, col, item && item->text().isEmpty() ? Q(kCheckMark) : QString());
    }
    planCellDirty_ = true;
    planRow_ = row;
    planCol_ = col;
}

void PlanningGrid::DistrSGExit() {
    if (ValidateAndCommit()) {
        planCellDirty_ = false;
    } else {
        DistrSG->setFocus();
    }
}

void PlanningGrid::FocusChanged(QWidget* old, QWidget* now) {
    // Only a move to another control of this window leaves the grid: message
    // boxes and other programs take the focus for a while and give it back.
    if (!old || !now || now->window() != window() || !isVisible())
        return;
    const bool wasInside = old == DistrSG || DistrSG->isAncestorOf(old);
    const bool isInside = now == DistrSG || DistrSG->isAncestorOf(now);
    if (wasInside && !isInside)
        DistrSGExit();
}

}  // namespace marvolt
