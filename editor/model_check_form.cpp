#include "editor/model_check_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace marvolt {

namespace {

constexpr int kNodeRole = Qt::UserRole;

}  // namespace

TModelCheckForm::TModelCheckForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ModelCheckForm"));
    setWindowTitle(QStringLiteral("Проверка модели"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    layout->addWidget(SummaryLabel);
    FindingsList = new QListWidget(this);
    FindingsList->setObjectName(QStringLiteral("FindingsList"));
    FindingsList->setWordWrap(true);
    FindingsList->setToolTip(
        QStringLiteral("Двойной щелчок выделяет объект на схеме модели."));
    layout->addWidget(FindingsList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    CloseButton = new QPushButton(QStringLiteral("&Закрыть"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(FindingsList, &QListWidget::itemDoubleClicked, this,
            &TModelCheckForm::FindingsListDblClick);
    resize(640, 320);
}

void TModelCheckForm::ShowFindings(const std::vector<Finding>& findings) {
    SummaryLabel->setText(QString::fromStdString(CheckSummary(findings.size())));
    FindingsList->clear();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const Finding& f : findings) {
        auto* item = new QListWidgetItem(warning, QString::fromStdString(f.text), FindingsList);
        item->setData(kNodeRole, static_cast<int>(f.node));
    }
}

void TModelCheckForm::FindingsListDblClick(QListWidgetItem* item) {
    if (!item)
        return;
    const int node = item->data(kNodeRole).toInt();
    if (node >= 0 && node < kNoIndex)
        emit NodeChosen(static_cast<uint8_t>(node));
}

}  // namespace marvolt
