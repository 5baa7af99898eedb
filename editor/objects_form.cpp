#include "editor/objects_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/focus_leave_checks.h"
#include "editor/link_list_tab.h"
#include "editor/logic/model_commands.h"
#include "editor/message_service.h"
#include "editor/probability_cells.h"
#include "kernel/channel.h"

namespace marvolt {

TAccumulatorForm::TAccumulatorForm(MessageService& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), checks_(new FocusLeaveChecks(this)) {
    setObjectName(QStringLiteral("AccumulatorForm"));
    auto* root = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Наименование"), this));
    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    top->addWidget(NameEdit, 1);
    root->addLayout(top);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet4 = new LinkListTab(kSourceNames, messages_, PageControl1);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    TabSheet3 = new LinkListTab(kReceiverNames, messages_, PageControl1);
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Параметры"));
    PageControl1->addTab(TabSheet4, QStringLiteral("Источники"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Приемники"));
    root->addWidget(PageControl1, 1);

    auto* params = new QVBoxLayout(TabSheet1);
    BuildTypeLists();
    params->addWidget(RequestListsPanel, 1);
    BuildGeneratorPanel();
    params->addWidget(GeneratorPanel);
    BuildQueuePanel();
    params->addWidget(QueuePanel);
    BuildChannelPanel();
    params->addWidget(ChannelPanel);
    BuildSinkAndTypePanels();
    params->addWidget(SinkPanel);
    params->addWidget(TypePanel);
    params->addStretch(0);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    BitBtn17 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn17->setObjectName(QStringLiteral("BitBtn17"));
    BitBtn17->setDefault(true);
    BitBtn18 = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn18->setObjectName(QStringLiteral("BitBtn18"));
    BitBtn18->setAutoDefault(false);
    bottom->addWidget(BitBtn17);
    bottom->addWidget(BitBtn18);
    root->addLayout(bottom);
    connect(BitBtn17, &QPushButton::clicked, this, &TAccumulatorForm::BitBtn17Click);
    connect(BitBtn18, &QPushButton::clicked, this, &TAccumulatorForm::reject);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TAccumulatorForm::TabSheetShow);

    auto settle = [this] { return checks_->RunPending(); };
    TabSheet3->SetSettle(settle);
    TabSheet4->SetSettle(settle);
    checks_->Watch(NameEdit, [this] { return NameEditExit(); });
    checks_->Watch(SGRequests, [this] { return SGRequestsExit(); });
    checks_->Watch(TabSheet3->Grid, [this] { return TabSheet3->CheckCells(); });
    checks_->Watch(TabSheet4->Grid, [this] { return TabSheet4->CheckCells(); });
    checks_->Watch(MaxTimeEdit, [this] { return MaxTimeEditExit(); });
    checks_->Watch(RequestComboBox, [this] {
        RequestComboBoxExit();
        return true;
    });
    checks_->Exempt(BitBtn17);
    checks_->Exempt(BitBtn18);
    HideAllPanels();
}

TAccumulatorForm::~TAccumulatorForm() = default;

bool TAccumulatorForm::Edit(CQSObject* editedNode, CRequestType* editedType) {
    node = editedNode;
    requestType = editedNode ? nullptr : editedType;
    if (!node && !requestType)
        return false;
    return exec() == QDialog::Accepted;
}

void TAccumulatorForm::setVisible(bool visible) {
    if (visible && !isVisible())
        FormShow();
    QDialog::setVisible(visible);
    if (visible) {
        NameEdit->setFocus();
        NameEdit->selectAll();
    }
}

void TAccumulatorForm::FormShow() {
    checks_->DropPending();
    model_ = node ? node->owner : requestType ? requestType->owner : nullptr;
    if (!model_)
        return;
    HideAllPanels();
    draft_ = NodeDraft{};
    typeDraft_ = TypeDraft{};
    if (node) {
        draft_ = DraftOf(*node);
        nameAtOpening_ = node->name;
    } else {
        typeDraft_ = DraftOf(*requestType);
        nameAtOpening_ = requestType->name;
    }
    NameEdit->setText(QString::fromStdString(nameAtOpening_));
    // Every showing starts from the model: nothing of an earlier one survives.
    TabSheet3->Fill(draft_.receivers, *model_);
    TabSheet4->Fill(draft_.sources, *model_);
    if (requestType) {
        ShowRequestType();
    } else {
        switch (node->kind) {
            case kGenerator:
                ShowGenerator();
                break;
            case kQueue:
                ShowQueue();
                break;
            case kChannel:
                ShowChannel();
                break;
            default:
                ShowSink();
                break;
        }
    }
    PageControl1->setCurrentIndex(0);
}

void TAccumulatorForm::HideAllPanels() {
    for (QWidget* w : {RequestListsPanel, static_cast<QWidget*>(GeneratorPanel), QueuePanel,
                       ChannelPanel, SinkPanel, TypePanel, static_cast<QWidget*>(EqReqPrsButton),
                       static_cast<QWidget*>(RequestComboBox)})
        w->hide();
    ShowTab(1, false);
    ShowTab(2, false);
    transformRow_ = -1;
}

void TAccumulatorForm::ShowTab(int index, bool shown) {
    PageControl1->setTabVisible(index, shown);
    const auto policy = shown ? QSizePolicy::Preferred : QSizePolicy::Ignored;
    PageControl1->widget(index)->setSizePolicy(policy, policy);
}

void TAccumulatorForm::FitHeight() {
    // Layouts know the height the shown panels need; the screen bounds it.
    int height = sizeHint().height();
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        height = std::min(height, s->availableGeometry().height() - 40);
    resize(width(), height);
}

void TAccumulatorForm::TabSheetShow(int) {
    if (isVisible())
        NameEdit->setFocus(Qt::OtherFocusReason);
}

bool TAccumulatorForm::NameEditExit() {
    if (!model_)
        return true;
    const std::string why = edit::RenameRefusal(
        *model_, nameAtOpening_, NameEdit->text().toStdString(), requestType != nullptr);
    if (why.empty())
        return true;
    // The answer of this box is not used.
    messages_.Show(kCaptionWarning, MessageIcon::kWarning, QString::fromStdString(why),
                   kButtonYes | kButtonNo);
    FocusLeaveChecks::FocusBack(NameEdit);
    return false;
}

bool TAccumulatorForm::Settled() {
    if (!checks_->RunPending())
        return false;
    return node == nullptr || draft_.kind != kGenerator || typeCells_->Check();
}

void TAccumulatorForm::BitBtn17Click() {
    accept();
}

void TAccumulatorForm::CollectControls() {
    draft_.lengthLimit = static_cast<uint32_t>(CSpinEdit1->value());
    draft_.deviceCount = static_cast<uint8_t>(CSpinEdit2->value());
    typeDraft_.priority = static_cast<uint8_t>(CSpinEdit5->value());
    const int chosen = ReserveChannelComboBox->currentIndex();
    const bool reserve = ReserveChannelCheckBox->isChecked() && chosen >= 0 &&
                         chosen < static_cast<int>(reserveChoices_.size());
    draft_.reserveChannel = reserve ? reserveChoices_[static_cast<size_t>(chosen)] : kNoIndex;
}

void TAccumulatorForm::Refuse(const DraftRefusal& refusal) {
    QWidget* field = NameEdit;
    switch (refusal.field) {
        case DraftField::kReceivers:
            field = TabSheet3->Grid;
            break;
        case DraftField::kSources:
            field = TabSheet4->Grid;
            break;
        case DraftField::kGeneratorTypes:
            field = SGRequests;
            break;
        case DraftField::kWaitLimit:
            field = MaxTimeEdit;
            break;
        case DraftField::kName:
            break;
    }
    // The tab first: showing it moves the focus to the name field.
    FocusLeaveChecks::FocusBack(field);
    const QString text = QString::fromStdString(refusal.message);
    if (refusal.field == DraftField::kName)
        messages_.Show(kCaptionWarning, MessageIcon::kWarning, text, kButtonYes | kButtonNo);
    else
        ShowWarning(messages_, text);
    FocusLeaveChecks::FocusBack(field);
}

void TAccumulatorForm::accept() {
    // Every check comes first; a refusal leaves the model as it was.
    if (!model_ || !checks_->RunAll() || !Settled())
        return;
    CollectControls();
    const std::string name = NameEdit->text().toStdString();
    std::optional<DraftRefusal> refusal;
    if (node) {
        draft_.name = name;
        refusal = CheckDraft(draft_, *model_, nameAtOpening_);
    } else {
        typeDraft_.name = name;
        refusal = CheckDraft(typeDraft_, *model_, nameAtOpening_);
    }
    if (refusal) {
        Refuse(*refusal);
        return;
    }
    if (node)
        WriteDraft(draft_, *node);
    else
        WriteDraft(typeDraft_, *requestType);
    QDialog::accept();
}

void TAccumulatorForm::done(int result) {
    checks_->DropPending();
    RequestComboBox->hide();
    transformRow_ = -1;
    QDialog::done(result);
    draft_ = NodeDraft{};
    typeDraft_ = TypeDraft{};
}

}  // namespace marvolt
