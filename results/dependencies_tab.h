// The tab "Зависимости": the factor of a factor experiment (one parameter of
// one node with a start value, a step and a number of values), the list of
// dependencies it records, and their lines over the factor.
#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "editor/ui_services.h"
#include "kernel/queuing_system.h"
#include "results/logic/dependency_lists.h"
#include "results/logic/factor_plan.h"

class QChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QListWidget;
class QSpinBox;
class QToolButton;
class QValueAxis;

namespace marvolt {

class ChartView;
class FocusLeaveChecks;
class TTableForm;

class DependenciesTab : public QWidget {
    Q_OBJECT

  public:
    // Everything edited here belongs to the current model, asked for each time.
    DependenciesTab(UiServices services, std::function<CQueuingSystem*()> current,
                    QWidget* parent = nullptr);

    ChartView& Chart() { return *chartView_; }
    QLineSeries& Line(int i) { return *series_[static_cast<size_t>(i)]; }

    bool HasItems() const;
    // At least one selected dependency has values on the chart.
    bool HasValues() const { return hasValues_; }

    // As the window calls them.
    void Fill();
    void DrawCharts();
    void ShowTable(TTableForm& table);
    void SaveChart();
    void CopyChart();
    // Before a run: the fields left a moment ago are judged now. False on a
    // refusal, whose message has been shown.
    bool CheckFields();
    // The window closes: nothing left is judged any more.
    void DropPendingChecks();

    // Event handlers.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void DependListBoxDblClick();
    void ComboBox16Click();
    void ComboBox18Click();
    void ComboBox19Click();
    void ComboBox20Click();
    bool Edit28Exit();
    bool Edit29Exit();
    void CSpinEdit2Change(int value);
    void DependChartClickSeries(QLineSeries* series);
    void DependChartClickBackground();

  signals:
    void ButtonsChanged();

  private:
    CQueuingSystem* Model() const { return current_(); }
    std::vector<DependKey> SelectedKeys() const;
    void FillIndicatorAndTypeLists();
    void AddListItem(const DependEntry& entry);
    // The factor's object, type and parameter as chosen, then start and step normalised.
    void StoreChoices(const FactorChoices& choices, bool showFields);
    void NormaliseStartAndStep(bool showFields);
    void ShowFactorFields();
    void ShowStep();
    bool Refuse(QWidget* field, const std::string& message);

    UiServices services_;
    std::function<CQueuingSystem*()> current_;
    FocusLeaveChecks* checks_ = nullptr;
    bool hasValues_ = false;
    // While the controls are filled from the model, their signals change nothing.
    bool filling_ = false;

    QListWidget* DependListBox = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QComboBox* ComboBox16 = nullptr;
    QLabel* Label38 = nullptr;
    QComboBox* ComboBox15 = nullptr;
    QComboBox* ComboBox14 = nullptr;
    QChart* DependChart = nullptr;
    ChartView* chartView_ = nullptr;
    std::array<QLineSeries*, kDependLineCount> series_{};
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QComboBox* ComboBox18 = nullptr;
    QComboBox* ComboBox19 = nullptr;
    QComboBox* ComboBox20 = nullptr;
    QLineEdit* Edit28 = nullptr;
    QLineEdit* Edit29 = nullptr;
    QSpinBox* CSpinEdit2 = nullptr;
};

}  // namespace marvolt
