// The experiment window over a small model, answered through the recording seams.
#include "results/experiments_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "results/application_data.h"
#include "results/indicators_tab.h"
#include "results/logic/report_file.h"
#include "results/run_progress.h"
#include "tests/results_windows/experiment_window_fixture.h"
#include "tests/support/shows_whole.h"

namespace marvolt {
namespace {

using namespace testing_models;

class ExperimentWindowTest : public test::ExperimentWindowFixture {
  protected:
    ExperimentWindowTest() : ExperimentWindowFixture(2.0f, 100) {}
};

TEST_F(ExperimentWindowTest, WithoutResultsSaveAndCopyAreDisabled) {
    Show();
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget(), Find<QWidget>("TabSheet2"))
        << "the window starts on the distributions";
    Tab("TabSheet1");
    EXPECT_FALSE(Find<QPushButton>("SaveResultsButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("CopyButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("RunButton")->isVisible());
    EXPECT_EQ(Find<QComboBox>("ComboBox2")->count(), 0);
    EXPECT_EQ(Text("Edit3"), "");
    form->SaveResultsButtonClick();
    EXPECT_EQ(LastMessage().text, "Эксперимент не был проведен.");
    EXPECT_EQ(LastMessage().caption, kCaptionError);

    Tab("TabSheet6");
    EXPECT_FALSE(Find<QPushButton>("RunButton")->isVisible()) << "no run from the planning tab";
    EXPECT_EQ(Find<QPushButton>("CloseButton")->x(), 8);
}

TEST_F(ExperimentWindowTest, ARunFromDistributionsIsWhatTheIndicatorsShow) {
    Show();
    Tab("TabSheet1");
    Run();
    EXPECT_EQ(Text("Edit3"), "101");
    EXPECT_TRUE(Find<QPushButton>("SaveResultsButton")->isEnabled());

    Tab("TabSheet2");
    Model().arrivalsLimit = 300;
    Run();
    Tab("TabSheet1");
    EXPECT_EQ(Text("Edit3"), "301") << "the tab shows what Save and Copy export";
    form->CopyButtonClick();
    ASSERT_EQ(io.clipboard.texts.size(), 1u);
    EXPECT_NE(io.clipboard.texts[0].indexOf("Число поступивших заявок:\t301"), -1);
}

TEST_F(ExperimentWindowTest, AfterClosingTheSnapshotStaysWhileTheModelChanges) {
    Show();
    Tab("TabSheet1");
    Run();
    const QString load = Text("Edit6");
    form->close();
    EXPECT_EQ(Model().resultsValid, 0);
    ASSERT_NE(place.results, nullptr);
    Model().DeleteNode("Канал1");
    Model().arrivalsLimit = 5000;

    Show();
    EXPECT_EQ(Find<QComboBox>("ComboBox2")->count(), 1) << "the snapshot still has the channel";
    EXPECT_EQ(Text("Edit6"), load);
    EXPECT_EQ(Text("Edit3"), "101");
    EXPECT_EQ(Text("Edit26"), "5000");
}

TEST_F(ExperimentWindowTest, AFactorExperimentLeavesTheShownResultsAlone) {
    Show();
    Tab("TabSheet1");
    Run();
    const QString report = QString::fromStdString(CAppData::ReportText(form->ResultsModel()));
    Tab("TabSheet3");
    Run();
    EXPECT_EQ(LastMessage().text,
              "Перед проведением эксперимента нужно выбрать фактор.\nФактором является параметр "
              "системы, значение которого\nизменяется в ходе эксперимента.");
    FactorSettings f;
    f.factorObject = line.kChannelAt;
    f.factorParameter = kFactorDevices;
    f.valueCount = 3;
    ASSERT_EQ(Model().SetFactor(f, 63), kOk);
    Model().AddDependency(line.kChannelAt, kNoIndex, indLoad);
    Model().arrivalsLimit = 700;
    const size_t boxes = io.messages.shown.size();
    Run();
    EXPECT_EQ(io.messages.shown.size(), boxes) << "no notice unless asked for";
    EXPECT_EQ(Model().Dependency(0)->values.size(), 3u);
    Tab("TabSheet1");
    EXPECT_EQ(QString::fromStdString(CAppData::ReportText(form->ResultsModel())), report);
    EXPECT_EQ(Text("Edit3"), "101");
}

TEST_F(ExperimentWindowTest, TheSuccessNoticeAndTheGuardWarning) {
    Show();
    Tab("TabSheet1");
    Find<QCheckBox>("CheckBox1")->setChecked(true);
    Run();
    EXPECT_EQ(LastMessage().caption, kCaptionExperimentResult);
    EXPECT_EQ(LastMessage().text, "Эксперимент успешно завершен.");

    line.generator->batchLaw = Deterministic(0.0f);
    Model().progressGuard = 1000;
    io.messages.shown.clear();
    Run();
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(LastMessage().caption, kCaptionWarning);
    EXPECT_EQ(LastMessage().text,
              QString::fromStdString(CAppData::StopReasonText(StopReason::kProgressGuard)));
}

TEST_F(ExperimentWindowTest, ALongRunShowsProgressAndCancelKeepsThePreviousResults) {
    Show();
    Tab("TabSheet1");
    Run();
    ASSERT_EQ(Text("Edit3"), "101");
    Model().arrivalsLimit = 2000000000;
    Model().progressPeriod = std::chrono::milliseconds(1);
    form->Progress().SetDelay(0);
    bool sawDialog = false;
    // Pressed while the run goes on: the timer fires inside the run's callback.
    QTimer::singleShot(50, &form->Progress(), [&] {
        sawDialog = form->Progress().isVisible();
        form->Progress().findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    io.messages.shown.clear();
    Find<QCheckBox>("CheckBox1")->setChecked(true);
    Run();
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(form->Progress().isVisible()) << "gone once the run stopped";
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(LastMessage().caption, kCaptionNotice);
    EXPECT_EQ(LastMessage().text.indexOf("успешно"), -1);
    EXPECT_NE(LastMessage().text.indexOf("прерван"), -1);
    EXPECT_EQ(Text("Edit3"), "101") << "the previous results stay on display";
    EXPECT_NE(form->ResultsModel(), &Model());
    EXPECT_EQ(form->ResultsModel()->arrived, 101u);
    EXPECT_LT(Model().arrived, 2000000000u);
}

TEST_F(ExperimentWindowTest, StopCriterionFieldsAreCheckedWhenLeft) {
    Model().timeLimit = 12345.678f;
    Model().stopByTime = 1;
    Show();
    EXPECT_TRUE(Find<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_FALSE(Find<QPushButton>("Button9")->isEnabled());
    EXPECT_EQ(Text("Edit25"), "12346");
    // Passing through without typing keeps the model's own value.
    EXPECT_TRUE(form->Edit25Exit());
    EXPECT_EQ(Model().timeLimit, 12345.678f);

    Type("Edit25", "0");
    EXPECT_FALSE(form->Edit25Exit());
    EXPECT_EQ(LastMessage().text,
              "Введено некорректное значение.\nПравильным значением является любое положительное "
              "число.");
    EXPECT_EQ(LastMessage().caption, kCaptionWarning);
    Type("Edit25", "abc");
    EXPECT_FALSE(form->Edit25Exit());
    EXPECT_EQ(LastMessage().text,
              "Введено некорректное значение \"abc\".\nПравильным значением является любое "
              "положительное число.");
    Type("Edit25", "1e39");
    EXPECT_FALSE(form->Edit25Exit());
    EXPECT_EQ(Model().timeLimit, 12345.678f);
    EXPECT_EQ(Text("Edit25"), "1e39") << "the refused text stays";
    Type("Edit25", "250");
    EXPECT_TRUE(form->Edit25Exit());
    EXPECT_EQ(Model().timeLimit, 250.0f);

    Type("Edit26", "4294967295");
    EXPECT_FALSE(form->Edit26Exit());
    EXPECT_EQ(Model().arrivalsLimit, 100u);
    Type("Edit26", "2000");
    EXPECT_TRUE(form->Edit26Exit());
    EXPECT_EQ(Model().arrivalsLimit, 2000u);

    Find<QRadioButton>("RadioButton2")->click();
    EXPECT_EQ(Model().stopByTime, 0);
    EXPECT_TRUE(Find<QPushButton>("Button9")->isEnabled());
}

TEST_F(ExperimentWindowTest, ConfidenceIntervalMethodChecksItsInputsAgain) {
    line.channel->serviceLaws[0] = Uniform(0.0f, 2.0f);
    line.generator->intervalLaw = Deterministic(1.0f);
    Show();
    Type("Edit27", "0");
    EXPECT_FALSE(form->Edit27Exit());
    // The refused text is still there when the button is pressed.
    form->Button9Click();
    EXPECT_EQ(LastMessage().text,
              "Введено некорректное значение \"0\".\nПравильным значением является любое "
              "положительное число.");
    EXPECT_EQ(Model().arrivalsLimit, 100u);
    Type("Edit27", "abc");
    form->Button9Click();
    EXPECT_EQ(Model().arrivalsLimit, 100u);
    Find<QComboBox>("ComboBox17")->setEditText(QStringLiteral("-1"));
    Type("Edit27", "0.01");
    form->Button9Click();
    EXPECT_NE(LastMessage().text.indexOf("\"-1\""), -1);
    EXPECT_EQ(Model().arrivalsLimit, 100u);

    Find<QComboBox>("ComboBox17")->setEditText(QStringLiteral("1.95"));
    form->Button9Click();
    EXPECT_EQ(Model().arrivalsLimit, 12675u);
    EXPECT_EQ(Text("Edit26"), "12675");
    EXPECT_EQ(Model().stopByTime, 0);
}

std::string Contents(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ExperimentWindowTest, TheReportIsSavedAndASaveThatFailsSaysSo) {
    Show();
    Tab("TabSheet1");
    Run();
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing/report.txt"));
    io.fileDialogs.saveAnswers.push_back(missing);
    form->SaveResultsButtonClick();
    EXPECT_EQ(LastMessage().caption, kCaptionError);
    EXPECT_EQ(LastMessage().text, "Невозможно открыть файл \"" + missing + "\" для записи.");
    ASSERT_FALSE(io.fileDialogs.requests.empty());
    EXPECT_EQ(io.fileDialogs.requests.back().filter, kReportFileFilter);
    EXPECT_EQ(io.fileDialogs.requests.back().defaultExtension, "txt");

    const QString path = dir.filePath(QStringLiteral("report.txt"));
    io.fileDialogs.saveAnswers.push_back(path);
    const size_t boxes = io.messages.shown.size();
    form->SaveResultsButtonClick();
    EXPECT_EQ(io.messages.shown.size(), boxes);
    EXPECT_EQ(Contents(path), ReportFileBytes(CAppData::ReportText(form->ResultsModel())));
    form->SaveResultsButtonClick();  // cancelled: nothing happens
    EXPECT_EQ(io.messages.shown.size(), boxes);
}

TEST_F(ExperimentWindowTest, IndicatorListsKeepTheirChoiceAcrossRuns) {
    Model().AddRequestType("Все типы заявок");
    line.generator->SetGeneratedType(1, true);
    line.generator->typeProbabilities = {0.5f, 0.5f};
    Show();
    Tab("TabSheet1");
    Run();
    // The law editor of the distributions tab has a ComboBox1 of its own.
    QComboBox* types = form->Indicators().findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 3);
    types->setCurrentIndex(2);  // the type, not all types
    form->Indicators().ComboBox1Click();
    const QString ofType = Text("Edit3");
    EXPECT_NE(ofType, "101");
    Run();
    EXPECT_EQ(types->currentIndex(), 2);
    EXPECT_EQ(Text("Edit3"), QString::number(Model().CountIndicator(indArrived, kNoIndex, 1)));
    QComboBox* queueTypes = Find<QComboBox>("ComboBox4");
    EXPECT_EQ(queueTypes->count(), 3);
}

TEST_F(ExperimentWindowTest, ValueFieldsShowTheLargestCountsWhole) {
    Show();
    Tab("TabSheet1");
    Run();
    QLineEdit* arrived = Find<QLineEdit>("Edit3");
    EXPECT_TRUE(test::ShowsWhole(arrived)) << arrived->text().toStdString();
    const int usual = arrived->width();
    // A run may count up to the largest 32-bit number of arrivals.
    Model().arrived = 4294967295u;  // the results are the current model until a snapshot
    form->Indicators().Fill();
    QCoreApplication::processEvents();
    ASSERT_EQ(Text("Edit3"), "4294967295");
    EXPECT_TRUE(test::ShowsWhole(arrived)) << arrived->width();
    // Back to a short text, the field is as narrow as before.
    Model().arrived = 101;
    form->Indicators().Fill();
    QCoreApplication::processEvents();
    EXPECT_EQ(arrived->width(), usual);
}

TEST_F(ExperimentWindowTest, EnterInAFieldCommitsItAndPressesNoButton) {
    Show();
    Tab("TabSheet6");
    QLineEdit* arrivals = Find<QLineEdit>("Edit26");
    arrivals->setFocus();
    arrivals->selectAll();
    QTest::keyClicks(arrivals, "12345");
    QTest::keyClick(arrivals, Qt::Key_Return);
    EXPECT_EQ(arrivals->text(), "12345") << "not replaced by the confidence-interval method";
    EXPECT_EQ(Model().arrivalsLimit, 12345u);
    QTest::keyClicks(arrivals, "x");
    QTest::keyClick(arrivals, Qt::Key_Return);
    ASSERT_EQ(io.messages.shown.size(), 1u) << "a refused text is told at once";
    EXPECT_EQ(Model().arrivalsLimit, 12345u);
}

}  // namespace
}  // namespace marvolt
