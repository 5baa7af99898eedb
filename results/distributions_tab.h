// The tab "Распределения": the sample distributions of the last simple run,
// the histogram of the chosen one, a theoretical law with its fitted
// parameters and the chi-square test, whose expected frequencies are drawn
// beside the observed ones.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "editor/ui_services.h"
#include "kernel/queuing_system.h"
#include "results/logic/histogram.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QValueAxis;

namespace marvolt {

class ChartView;
class LawEditor;
class TTableForm;

inline const QString kChartFileFilter = QStringLiteral("*.bmp|*.bmp");

// The save of a chart picture with its error box; shared by both chart tabs.
void SaveChartPicture(UiServices& services, ChartView& chart);

class DistributionsTab : public QWidget {
    Q_OBJECT

  public:
    // The results are asked for each time: they may be replaced at any run.
    // The law of the last test is the window's.
    DistributionsTab(UiServices services, std::function<const CQueuingSystem*()> results,
                     LawRecord& testedLaw, QWidget* parent = nullptr);

    LawEditor& LawBox() { return *lawEditor_; }
    ChartView& Chart() { return *chartView_; }
    QBarSet& ObservedSeries() { return *Series1; }
    QBarSet& ExpectedSeries() { return *Series5; }
    // Series5 is in the chart: a test was made for the histogram on display.
    bool ExpectedShown() const { return expectedShown_; }
    const std::optional<DistrInfo>& ShownDistr() const { return shownDistr_; }

    bool HasItems() const;
    // A histogram is on display.
    bool HasHistogram() const { return shownDistr_.has_value(); }

    // As the window calls them.
    void RebuildList();
    void DrawHistogram();
    void ShowTable(TTableForm& table);
    void SaveChart();
    void CopyChart();

    // Event handlers.
    void DistrListBoxDblClick();
    void NullRequestCheckBoxClick();
    void AutoParamsButtonClick();
    void Button11Click();
    void Chart1ClickSeries(QBarSet* set);
    void Chart1ClickBackground();

  signals:
    // What the window's buttons may do has changed.
    void ButtonsChanged();

  private:
    const CDistribution* Distribution(const DistrInfo& info) const;
    std::optional<DistrInfo> Selected() const;
    uint32_t ZeroWaits(const CDistribution& d, const DistrInfo& info) const;
    void SetBars(const std::vector<HistogramBar>& observed,
                 const std::vector<HistogramBar>* expected);
    void ShowExpected(bool on);

    UiServices services_;
    std::function<const CQueuingSystem*()> results_;
    LawRecord& testedLaw_;
    std::optional<DistrInfo> shownDistr_;
    bool expectedShown_ = false;

    QListWidget* DistrListBox = nullptr;
    QCheckBox* NullRequestCheckBox = nullptr;
    QLabel* Label25 = nullptr;
    QLineEdit* Edit22 = nullptr;
    LawEditor* lawEditor_ = nullptr;
    QPushButton* Button11 = nullptr;
    QChart* Chart1 = nullptr;
    ChartView* chartView_ = nullptr;
    QBarSeries* bars_ = nullptr;
    QBarSet* Series1 = nullptr;
    QBarSet* Series5 = nullptr;
    QBarCategoryAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QPlainTextEdit* DistrHelpMemo = nullptr;
};

}  // namespace marvolt
