// The experiment control window: planning of the stop criterion and of the
// sample distributions, the run command, and the tabs that show the results
// of the last experiment.
#pragma once

#include <QDialog>

#include <memory>

#include "editor/ui_services.h"
#include "kernel/queuing_system.h"
#include "results/logic/results_session.h"
#include "results/logic/stop_limits.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace marvolt {

class DependenciesTab;
class DistributionsTab;
class IndicatorsTab;
class PlanningGrid;
class RunProgressDialog;
class TTableForm;

inline const QString kExperimentWindowTitle = QStringLiteral("Управление экспериментом");
inline const QString kReportFileFilter =
    QStringLiteral("Текстовый файл (*.txt)|*.txt|Все файлы (*.*)|*.*");

class TResultsForm : public QDialog {
    Q_OBJECT

  public:
    // The models live where place says; the window holds neither.
    TResultsForm(UiServices services, ModelPlace& place, QWidget* parent = nullptr);
    ~TResultsForm() override;

    void SetTableWindow(TTableForm* table) { tableWindow_ = table; }

    ResultsSession& Session() { return session_; }
    CQueuingSystem* ResultsModel() const { return session_.Results(); }
    RunProgressDialog& Progress() { return *progress_; }
    IndicatorsTab& Indicators() { return *indicators_; }
    DistributionsTab& Distributions() { return *distributions_; }
    DependenciesTab& Dependencies() { return *dependencies_; }
    PlanningGrid& Planning() { return *planning_; }

    // Event handlers, named after their control and event.
    void FormShow();
    void FormClose();
    void PageControl1Change();
    void RunButtonClick();
    void ShowTableButtonClick();
    void SaveResultsButtonClick();
    void CopyButtonClick();
    void CloseButtonClick();
    void TabSheet1Hide();
    void TabSheet2Hide();
    void TabSheet2Show();
    void RadioButton1Click();
    void RadioButton2Click();
    bool Edit25Exit();
    bool Edit26Exit();
    bool Edit27Exit();
    void Button9Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildPlanningTab();
    void ArrangeButtons();
    void EnableConfidenceControls(bool on);
    // A rejected field: its message, then the focus back into it.
    void Reject(QLineEdit* edit, const std::string& message);
    // Leaving a field: an edited text is checked and, if good, stored.
    template <class T, class Store>
    bool LeaveField(QLineEdit* edit, FieldValue<T> (*check)(std::string_view), Store store);
    void ShowRunMessages(const RunOutcome& outcome);
    // The progress dialog's clock starts; the callback keeps it up to date
    // and tells the run when the user cancelled.
    ProgressCallback WatchRun();
    CQueuingSystem* Current() const { return place_.Current(); }
    bool OnTab(const QWidget* tab) const;

    UiServices services_;
    ModelPlace& place_;
    ResultsSession session_;
    TTableForm* tableWindow_ = nullptr;
    RunProgressDialog* progress_ = nullptr;

    bool IndicatorsUnfilled = true;
    bool DistrListStale = true;
    LawRecord TheoreticalLaw{kLawDeterministic, 1.0f, 0.0f};
    LawRecord TestedLaw;
    // The tab shown before the current one, whose leaving takes the snapshot.
    QWidget* shownTab_ = nullptr;
    bool closing_ = false;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    IndicatorsTab* indicators_ = nullptr;
    DistributionsTab* distributions_ = nullptr;
    DependenciesTab* dependencies_ = nullptr;
    PlanningGrid* planning_ = nullptr;

    QWidget* ButtonBar = nullptr;
    QPushButton* RunButton = nullptr;
    QPushButton* ShowTableButton = nullptr;
    QPushButton* SaveResultsButton = nullptr;
    QPushButton* CopyButton = nullptr;
    QPushButton* CloseButton = nullptr;

    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QLineEdit* Edit25 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLineEdit* Edit26 = nullptr;
    QLabel* Label40 = nullptr;
    QLabel* Label41 = nullptr;
    QLabel* Label42 = nullptr;
    QComboBox* ComboBox17 = nullptr;
    QLabel* Label43 = nullptr;
    QLineEdit* Edit27 = nullptr;
    QPushButton* Button9 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
};

}  // namespace marvolt
