// The object properties dialog: every setting of a node or a request type.
// It works on copies while it is open and writes them into the model only on
// OK, once every check has passed.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "editor/logic/properties_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace marvolt {

class FocusLeaveChecks;
class LinkListTab;
class MessageService;
class ProbabilityCells;

class TAccumulatorForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAccumulatorForm(MessageService& messages, QWidget* parent = nullptr);
    ~TAccumulatorForm() override;

    // Edits a law in the law dialog; true on OK with the law replaced. A
    // service time may be 0.
    using LawDialog = std::function<bool(LawRecord& law, bool serviceTime)>;
    void SetLawDialog(LawDialog dialog) { lawDialog_ = std::move(dialog); }

    // Edits the node, or else the request type, of its model modally; true on
    // OK, with everything written.
    bool Edit(CQSObject* node, CRequestType* type);
    // What the next showing edits: exactly one of the two.
    CQSObject* node = nullptr;
    CRequestType* requestType = nullptr;

    QLineEdit* NameEdit;
    QPushButton* BitBtn17;
    QPushButton* BitBtn18;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    LinkListTab* TabSheet4;
    LinkListTab* TabSheet3;

    // Request-type lists.
    QWidget* RequestListsPanel;
    QTableWidget* SGRequests;
    QPushButton* EqReqPrsButton;
    QPushButton* Button12;
    QPushButton* Button15;
    QPushButton* Button14;
    QPushButton* Button13;
    QGroupBox* OtherTypesGroup;
    QListWidget* AllRequestListBox;
    QComboBox* RequestComboBox;

    // Generator.
    QGroupBox* GeneratorPanel;
    QLineEdit* GenDLawEdit;
    QPushButton* Button1;
    QLineEdit* ReqQtyEdit;
    QPushButton* Button4;

    // Queue.
    QWidget* QueuePanel;
    QCheckBox* NoLenLimitCheckBox;
    QSpinBox* CSpinEdit1;
    QRadioButton* RadioButton5;
    QRadioButton* RadioButton6;
    QRadioButton* RadioButton7;
    QLineEdit* MaxTimeEdit;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QCheckBox* RqPriorCheckBox;

    // Channel.
    QWidget* ChannelPanel;
    QGroupBox* ServiceGroup;
    QSpinBox* CSpinEdit2;
    QCheckBox* TransformRTCheckBox;
    QGroupBox* FailureRuleGroup;
    std::array<QRadioButton*, 4> FailureRuleRB;  // by failure rule code
    QGroupBox* FailureGroup;
    QCheckBox* FailureAvailableCheckBox;
    QLabel* WorkTimeLabel;
    QLineEdit* WorkTimeEdit;
    QPushButton* ErrorFreeTimeButton;
    QLineEdit* RepairTimeEdit;
    QPushButton* Button11;
    QCheckBox* ReserveChannelCheckBox;
    QComboBox* ReserveChannelComboBox;

    // Sink and request type.
    QWidget* SinkPanel;
    QCheckBox* RefusalSinkCheckBox;
    QWidget* TypePanel;
    QSpinBox* CSpinEdit5;

    void FormShow();
    void BitBtn17Click();
    bool NameEditExit();
    void TabSheetShow(int index);

    void SGRequestsClick(int row, int column);
    void SGRequestsDblClick(int row, int column);
    bool SGRequestsExit();
    void Button12Click();  // <
    void Button15Click();  // <<
    void Button14Click();  // >
    void Button13Click();  // >>
    void EqReqPrsButtonClick();
    void RequestComboBoxExit();

    void WaitModeClick(uint8_t mode);          // RadioButton5 to RadioButton7
    void DisciplineClick(uint8_t discipline);  // RadioButton1 to RadioButton4
    void NoLenLimitCheckBoxClick();
    void RqPriorCheckBoxClick();
    bool MaxTimeEditExit();

    void TransformRTCheckBoxClick();
    void FailureAvailableCheckBoxClick();
    void ReserveChannelCheckBoxClick();
    void FailureRuleClick(uint8_t rule);
    void ArrangeFailurePanel();

    void Button1Click();              // interval law
    void Button4Click();              // requests per event
    void ErrorFreeTimeButtonClick();  // time to failure
    void Button11Click();             // repair time

    // OK writes only when every check passes; the dialog stays open otherwise.
    void accept() override;
    // Every way of closing ends here: nothing typed survives the showing.
    void done(int result) override;

    // The showing is prepared before the window appears, so that it comes up
    // at the size of what it shows.
    void setVisible(bool visible) override;

  private:
    void BuildTypeLists();
    void BuildGeneratorPanel();
    void BuildQueuePanel();
    void BuildChannelPanel();
    void BuildSinkAndTypePanels();
    void HideAllPanels();
    // A hidden tab's page must not hold the dialog at its own size.
    void ShowTab(int index, bool shown);
    void ShowGenerator();
    void ShowQueue();
    void ShowChannel();
    void ShowSink();
    void ShowRequestType();
    void ShowQueueState();
    void ShowChannelState();
    void FillRequestTypes();
    void FillReserveList();
    // Fits the dialog's height to its contents, within the screen.
    void FitHeight();
    // The checks of fields left a moment ago must pass before a button acts.
    bool Settled();
    // Edits one of the draft's laws and shows its text.
    void EditLaw(LawRecord& law, bool serviceTime, QLineEdit* shown);
    // A law text longer than its field keeps its start in view and shows whole as a hint.
    void ShowLaw(QLineEdit* field, const LawRecord& law);
    void Refuse(const DraftRefusal& refusal);
    // Values the controls hold rather than the working copy: spin boxes, the reserve.
    void CollectControls();

    MessageService& messages_;
    FocusLeaveChecks* checks_;
    std::unique_ptr<ProbabilityCells> typeCells_;
    LawDialog lawDialog_;

    CQueuingSystem* model_ = nullptr;
    NodeDraft draft_;
    TypeDraft typeDraft_;
    std::string nameAtOpening_;
    std::vector<uint8_t> reserveChoices_;
    std::string maxTimeShown_;
    int transformRow_ = -1;
};

}  // namespace marvolt
