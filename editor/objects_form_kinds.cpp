// The properties dialog per kind: what each shows, and its controls.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include "editor/link_list_tab.h"
#include "editor/message_service.h"
#include "editor/objects_form.h"
#include "kernel/channel.h"
#include "kernel/queue.h"
#include "results/application_data.h"

namespace marvolt {

namespace {

constexpr int kSourcesTab = 1;
constexpr int kReceiversTab = 2;
constexpr int kLawColumn = 1;
constexpr int kTransformColumn = 2;
constexpr int kTransformWidth = 663;
constexpr int kFailureWidth = 623;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// A column of the type grid at its width, or wider when its header needs it.
void SetColumnWidth(QTableWidget* grid, int column, int width) {
    const QTableWidgetItem* header = grid->horizontalHeaderItem(column);
    const int needed =
        header ? grid->horizontalHeader()->fontMetrics().horizontalAdvance(header->text()) + 16 : 0;
    grid->setColumnWidth(column, std::max(width, needed));
}

// Sets a button's state from the working copy without running its handler.
void Quietly(QAbstractButton* b, bool checked) {
    const QSignalBlocker quiet(b);
    b->setChecked(checked);
}

}  // namespace

void TAccumulatorForm::ShowGenerator() {
    setWindowTitle(QStringLiteral("Генератор заявок"));
    ShowTab(kReceiversTab, true);
    RequestListsPanel->show();
    RequestListsPanel->setMinimumHeight(200);
    GeneratorPanel->show();
    EqReqPrsButton->show();
    SGRequests->setHorizontalHeaderLabels(
        {QStringLiteral("Наименование"), QStringLiteral("Вероятность"), QString()});
    SetColumnWidth(SGRequests, kLawColumn, 75);
    SGRequests->setColumnHidden(kLawColumn, false);
    SGRequests->setColumnHidden(kTransformColumn, true);
    ShowLaw(GenDLawEdit, draft_.intervalLaw);
    ShowLaw(ReqQtyEdit, draft_.batchLaw);
    FillRequestTypes();
    resize(530, height());
    FitHeight();
}

void TAccumulatorForm::ShowQueue() {
    setWindowTitle(QStringLiteral("Накопитель"));
    ShowTab(kReceiversTab, true);
    RequestListsPanel->show();
    RequestListsPanel->setMinimumHeight(160);
    QueuePanel->show();
    SGRequests->setHorizontalHeaderLabels(
        {QStringLiteral("Наименование"), QStringLiteral("Ограничение t ожид."), QString()});
    SetColumnWidth(SGRequests, kLawColumn, 110);
    SGRequests->setColumnHidden(kTransformColumn, true);
    maxTimeShown_ = ShownNumber(draft_.waitLimit);
    MaxTimeEdit->setText(Text(maxTimeShown_));
    Quietly(NoLenLimitCheckBox, draft_.lengthLimited);
    // An unlimited queue stores 0; the box then offers the usual 10.
    CSpinEdit1->setValue(draft_.lengthLimit == 0
                             ? 10
                             : static_cast<int>(std::min<uint32_t>(draft_.lengthLimit, 10000000)));
    FillRequestTypes();
    ShowQueueState();
    resize(550, height());
    FitHeight();
}

void TAccumulatorForm::ShowQueueState() {
    const std::array<QRadioButton*, 3> modes{RadioButton5, RadioButton6, RadioButton7};
    const std::array<QRadioButton*, 4> disciplines{RadioButton1, RadioButton2, RadioButton3,
                                                   RadioButton4};
    for (size_t m = 0; m < modes.size(); ++m)
        Quietly(modes[m], m == draft_.waitLimitMode);
    for (size_t k = 0; k < disciplines.size(); ++k)
        Quietly(disciplines[k], k == draft_.discipline);
    Quietly(RqPriorCheckBox, draft_.usePriority);
    const bool random = draft_.waitLimitMode == kWaitRandomLimit;
    MaxTimeEdit->setEnabled(draft_.waitLimitMode == kWaitFixedLimit);
    RadioButton4->setEnabled(random);
    SGRequests->setColumnHidden(kLawColumn, !random);
    RqPriorCheckBox->setEnabled(PriorityApplies(draft_.discipline));
    CSpinEdit1->setEnabled(draft_.lengthLimited);
}

void TAccumulatorForm::WaitModeClick(uint8_t mode) {
    if (Settled())
        SetWaitLimitMode(draft_, mode);
    ShowQueueState();
}

void TAccumulatorForm::DisciplineClick(uint8_t discipline) {
    if (Settled())
        draft_.discipline = discipline;
    ShowQueueState();
}

void TAccumulatorForm::NoLenLimitCheckBoxClick() {
    if (Settled())
        draft_.lengthLimited = NoLenLimitCheckBox->isChecked() ? 1 : 0;
    ShowQueueState();
}

void TAccumulatorForm::RqPriorCheckBoxClick() {
    if (Settled())
        draft_.usePriority = RqPriorCheckBox->isChecked() ? 1 : 0;
    ShowQueueState();
}

bool TAccumulatorForm::MaxTimeEditExit() {
    // Only the fixed mode uses the field; OK writes it in that mode alone.
    if (!node || draft_.kind != kQueue || !MaxTimeEdit->isEnabled())
        return true;
    const std::string text = MaxTimeEdit->text().toStdString();
    const NumberInput in = ReadWaitLimit(text, maxTimeShown_, draft_.waitLimit);
    if (!in.value) {
        ShowWarning(messages_, Text(in.message));
        return false;
    }
    draft_.waitLimit = *in.value;
    maxTimeShown_ = text;
    return true;
}

void TAccumulatorForm::ShowChannel() {
    setWindowTitle(QStringLiteral("Канал"));
    ShowTab(kSourcesTab, true);
    ShowTab(kReceiversTab, true);
    RequestListsPanel->show();
    RequestListsPanel->setMinimumHeight(170);
    ChannelPanel->show();
    {
        const QSignalBlocker quiet(RequestComboBox);
        RequestComboBox->clear();
        for (uint8_t t = 0; t < model_->typeCount(); ++t)
            RequestComboBox->addItem(Text(model_->RequestType(t)->name));
    }
    SGRequests->setHorizontalHeaderLabels({QStringLiteral("Наименование"),
                                           QStringLiteral("Закон обслуживания"),
                                           QStringLiteral("Преобразование")});
    SetColumnWidth(SGRequests, kLawColumn, 112);
    SetColumnWidth(SGRequests, kTransformColumn, 140);
    SGRequests->setColumnHidden(kLawColumn, false);
    SGRequests->setColumnHidden(kTransformColumn, !draft_.transformOn);
    CSpinEdit2->setValue(draft_.deviceCount);
    Quietly(TransformRTCheckBox, draft_.transformOn);
    FillRequestTypes();
    Quietly(FailureAvailableCheckBox, draft_.failuresOn);
    ShowLaw(WorkTimeEdit, draft_.workLaw);
    ShowLaw(RepairTimeEdit, draft_.repairLaw);
    FillReserveList();
    resize(draft_.transformOn ? kTransformWidth : 540, height());
    ShowChannelState();
    ArrangeFailurePanel();
}

void TAccumulatorForm::FillReserveList() {
    reserveChoices_ = ReserveCandidates(*model_, draft_.index);
    const QSignalBlocker quiet(ReserveChannelComboBox);
    ReserveChannelComboBox->clear();
    int selected = -1;
    for (size_t i = 0; i < reserveChoices_.size(); ++i) {
        ReserveChannelComboBox->addItem(Text(model_->Node(reserveChoices_[i])->name));
        if (reserveChoices_[i] == draft_.reserveChannel)
            selected = static_cast<int>(i);
    }
    ReserveChannelComboBox->setCurrentIndex(selected);
    Quietly(ReserveChannelCheckBox, selected >= 0);
}

void TAccumulatorForm::ShowChannelState() {
    const bool any = !reserveChoices_.empty();
    if (!any)
        Quietly(ReserveChannelCheckBox, false);
    ReserveChannelCheckBox->setEnabled(any);
    const bool reserve = ReserveChannelCheckBox->isChecked();
    ReserveChannelComboBox->setEnabled(reserve);
    for (size_t r = 0; r < FailureRuleRB.size(); ++r)
        Quietly(FailureRuleRB[r], r == draft_.failureRule);
    FailureRuleRB[kFailContinueInReserve]->setEnabled(reserve);
    FailureRuleRB[kFailRestartInReserve]->setEnabled(reserve);
}

void TAccumulatorForm::TransformRTCheckBoxClick() {
    if (!Settled()) {
        Quietly(TransformRTCheckBox, draft_.transformOn);
        return;
    }
    draft_.transformOn = TransformRTCheckBox->isChecked() ? 1 : 0;
    RequestComboBox->hide();
    SGRequests->setColumnHidden(kTransformColumn, !draft_.transformOn);
    if (draft_.transformOn && width() < kTransformWidth)
        resize(kTransformWidth, height());
}

void TAccumulatorForm::FailureAvailableCheckBoxClick() {
    if (!Settled()) {
        Quietly(FailureAvailableCheckBox, draft_.failuresOn);
        return;
    }
    draft_.failuresOn = FailureAvailableCheckBox->isChecked() ? 1 : 0;
    ArrangeFailurePanel();
}

void TAccumulatorForm::ReserveChannelCheckBoxClick() {
    // Without a reserve the requests of a failed channel can only be refused.
    if (!ReserveChannelCheckBox->isChecked() && (draft_.failureRule == kFailContinueInReserve ||
                                                 draft_.failureRule == kFailRestartInReserve))
        draft_.failureRule = kFailToRefusal;
    ShowChannelState();
}

void TAccumulatorForm::FailureRuleClick(uint8_t rule) {
    draft_.failureRule = rule;
    ShowChannelState();
}

void TAccumulatorForm::ArrangeFailurePanel() {
    const bool on = draft_.failuresOn;
    for (QWidget* w :
         {static_cast<QWidget*>(FailureRuleGroup), static_cast<QWidget*>(WorkTimeLabel),
          static_cast<QWidget*>(WorkTimeEdit), static_cast<QWidget*>(ErrorFreeTimeButton)})
        w->setVisible(on);
    if (on && width() < kFailureWidth)
        resize(kFailureWidth, height());
    FitHeight();
}

void TAccumulatorForm::ShowSink() {
    setWindowTitle(QStringLiteral("Сток"));
    SinkPanel->show();
    // Compared as nodes, not names: a model may have no refusal sink at all.
    Quietly(RefusalSinkCheckBox, model_->refusalSink == node);
    resize(300, 150);
}

void TAccumulatorForm::ShowRequestType() {
    setWindowTitle(QStringLiteral("Тип заявки"));
    TypePanel->show();
    CSpinEdit5->setValue(typeDraft_.priority);
    resize(300, 160);
}

void TAccumulatorForm::EditLaw(LawRecord& law, bool serviceTime, QLineEdit* shown) {
    if (!Settled() || !lawDialog_)
        return;
    LawRecord edited = law;
    if (!lawDialog_(edited, serviceTime))
        return;
    law = edited;
    if (shown)
        ShowLaw(shown, law);
}

void TAccumulatorForm::ShowLaw(QLineEdit* field, const LawRecord& law) {
    const QString text = Text(AppData.LawText(law));
    field->setText(text);
    field->setCursorPosition(0);
    field->setToolTip(text);
}

void TAccumulatorForm::Button1Click() {
    EditLaw(draft_.intervalLaw, false, GenDLawEdit);
}

void TAccumulatorForm::Button4Click() {
    EditLaw(draft_.batchLaw, false, ReqQtyEdit);
}

void TAccumulatorForm::ErrorFreeTimeButtonClick() {
    EditLaw(draft_.workLaw, false, WorkTimeEdit);
}

void TAccumulatorForm::Button11Click() {
    EditLaw(draft_.repairLaw, false, RepairTimeEdit);
}

}  // namespace marvolt
