// The distributions tab in the experiment window: the list, the histogram,
// the law editor and the chi-square test, the table, the picture and colours.
#include "results/distributions_tab.h"

#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

#include <fstream>

#include "editor/law_editor.h"
#include "results/application_data.h"
#include "results/chart_view.h"
#include "tests/results_windows/experiment_window_fixture.h"
#include "tests/support/test_folder.h"

namespace marvolt {
namespace {

using namespace testing_models;

class DistributionsTabTest : public test::ExperimentWindowFixture {
  protected:
    DistributionsTabTest() : ExperimentWindowFixture(1.25f, 500) {
        // The service time of the channel and the waiting time in the queue.
        line.channel->serviceDistFlag = 1;
        CQueue& q = *line.queue;
        if (!q.waitDistributions[0])
            q.waitDistributions[0].emplace();
        q.waitDistFlags[0] = 1;
    }
    DistributionsTab& TabOf() { return form->Distributions(); }
    QListWidget* List() { return Find<QListWidget>("DistrListBox"); }
    void Pick(int row) {
        List()->setCurrentRow(row);
        TabOf().DistrListBoxDblClick();
    }
    QString Shown() { return TabOf().Chart().chart()->title(); }
    LawEditor& Law() { return TabOf().LawBox(); }
    void SetLaw(LawRecord law) {
        Law().dialogLaw = law;
        Law().RefreshLaw();
    }
    // The value of every bar of a set.
    std::vector<double> Heights(QBarSet& set) {
        std::vector<double> h;
        for (int i = 0; i < set.count(); ++i)
            h.push_back(set.at(i));
        return h;
    }
};

TEST_F(DistributionsTabTest, ARunListsTheCollectedDistributionsAndDrawsTheFirst) {
    Show();
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(Find<QPushButton>("SaveResultsButton")->isEnabled()) << "no results yet";
    Run();
    ASSERT_EQ(List()->count(), 2);
    EXPECT_EQ(List()->item(0)->text(), "Время обслуживания (Канал1)");
    EXPECT_EQ(List()->item(1)->text(), "Время ожидания (Накопитель1)");
    EXPECT_EQ(Shown(), "Время обслуживания (Канал1)");
    QBarSet& observed = TabOf().ObservedSeries();
    ASSERT_EQ(observed.count(), 8);
    const CDistribution& d = line.channel->serviceDistribution;
    float value = 0, centre = 0;
    d.BinAtCenter(3, value, centre);
    EXPECT_EQ(observed.at(3), value);
    EXPECT_EQ(Find<QLineEdit>("Edit22")->text(), QString::number(d.sampleCount));
    EXPECT_FALSE(Find<QCheckBox>("NullRequestCheckBox")->isEnabled())
        << "only waiting times have zero waits";
    EXPECT_FALSE(TabOf().ExpectedShown());
    for (const char* b : {"ShowTableButton", "SaveResultsButton", "CopyButton"})
        EXPECT_TRUE(Find<QPushButton>(b)->isEnabled()) << b;
}

TEST_F(DistributionsTabTest, TheSameHistogramStaysSelectedAfterANewRun) {
    Show();
    Run();
    Pick(1);
    ASSERT_EQ(Shown(), "Время ожидания (Накопитель1)");
    Model().arrivalsLimit = 800;
    Run();
    EXPECT_EQ(List()->currentRow(), 1);
    EXPECT_EQ(Shown(), "Время ожидания (Накопитель1)");
    // Showing the tab again rebuilds the list and keeps the choice as well.
    Tab("TabSheet1");
    Tab("TabSheet2");
    EXPECT_EQ(Shown(), "Время ожидания (Накопитель1)");
}

TEST_F(DistributionsTabTest, ZeroWaitsJoinTheFirstBarWhenTheBoxIsChecked) {
    Show();
    Run();
    Pick(1);
    QCheckBox* box = Find<QCheckBox>("NullRequestCheckBox");
    ASSERT_TRUE(box->isEnabled());
    const uint32_t zero = Model().CountIndicator(indZeroWaitCount, QueueLine::kQueueAt, kNoIndex);
    const uint32_t counted = line.queue->waitDistributions[0]->sampleCount;
    ASSERT_GT(zero, 0u);
    const std::vector<double> before = Heights(TabOf().ObservedSeries());
    box->click();
    EXPECT_EQ(Find<QLineEdit>("Edit22")->text(), QString::number(counted + zero));
    const std::vector<double> after = Heights(TabOf().ObservedSeries());
    EXPECT_EQ(after[0], before[0] + zero);
    EXPECT_EQ(after[1], before[1]);
    const ShownTable t = ShowTable();
    ASSERT_EQ(t.cells.size(), 3u);
    EXPECT_EQ(t.cells[1][1], CAppData::FormatValue(static_cast<float>(after[0]), ','));
    EXPECT_EQ(t.caption, "Распределение - Время ожидания (Накопитель1)");
    EXPECT_EQ(t.label, "");
}

TEST_F(DistributionsTabTest, TheTestDrawsExpectedBarsAndTheTableUsesTheTestedLaw) {
    Show();
    Run();
    SetLaw({kLawExponential, 1.0f, 0.0f});
    TabOf().AutoParamsButtonClick();
    const LawRecord fitted = Law().dialogLaw;
    EXPECT_EQ(fitted, LawFromSample(line.channel->serviceDistribution, kLawExponential));
    EXPECT_EQ(ShowTable().cells.size(), 3u) << "no theoretical row before a test";

    TabOf().Button11Click();
    EXPECT_EQ(LastMessage().caption, kCaptionResult);
    EXPECT_EQ(LastMessage().icon, MessageIcon::kInformation);
    EXPECT_TRUE(LastMessage().text.startsWith("Наблюдаемое значение хи-квадрат - "));
    EXPECT_NE(LastMessage().text.indexOf("Критическое значение хи-квадрат - 12.6"), -1);
    ASSERT_TRUE(TabOf().ExpectedShown());
    std::vector<float> expected;
    line.channel->serviceDistribution.ChiSquare(fitted, &expected);
    ASSERT_EQ(TabOf().ExpectedSeries().count(), 8);
    EXPECT_FLOAT_EQ(TabOf().ExpectedSeries().at(0), expected[0]);
    EXPECT_EQ(TabOf().ExpectedSeries().color(), QColor(128, 128, 255));
    EXPECT_EQ(TabOf().ExpectedSeries().borderColor(), QColor(0, 0, 160));

    // Another law in the editor does not change what was tested.
    SetLaw({kLawNormal, 5.0f, 1.0f});
    ShownTable t = ShowTable();
    ASSERT_EQ(t.cells.size(), 4u);
    EXPECT_EQ(t.cells[3][0], "Теоретическая частота");
    EXPECT_EQ(t.cells[3][1], CAppData::FormatValue(expected[0], ','));

    // Drawing the histogram again hides the expected bars and the row.
    TabOf().DistrListBoxDblClick();
    EXPECT_FALSE(TabOf().ExpectedShown());
    EXPECT_EQ(ShowTable().cells.size(), 3u);
}

TEST_F(DistributionsTabTest, ALawTheEditorRefusesIsNotTestedAndAnEmptySampleGetsNoVerdict) {
    Show();
    Run();
    SetLaw({kLawUniform, 2.0f, 3.0f});
    Law().dialogLaw.param2 = 2.0f;  // an empty interval the fields never saw
    const size_t boxes = io.messages.shown.size();
    TabOf().Button11Click();
    ASSERT_EQ(io.messages.shown.size(), boxes + 1);
    EXPECT_EQ(LastMessage().caption, kCaptionWarning);
    EXPECT_FALSE(TabOf().ExpectedShown());

    // A waiting-time histogram far beyond every wait holds nothing.
    line.queue->waitDistributions[0]->lowerBound = 1000.0f;
    line.queue->waitDistributions[0]->upperBound = 2000.0f;
    Run();
    Pick(1);
    SetLaw({kLawExponential, 1.0f, 0.0f});
    TabOf().Button11Click();
    EXPECT_EQ(LastMessage().caption, kCaptionResult);
    EXPECT_EQ(LastMessage().text.indexOf("Гипотез"), -1);
    EXPECT_NE(LastMessage().text.indexOf("не содержит ни одного значения"), -1);
    EXPECT_FALSE(TabOf().ExpectedShown());
}

TEST_F(DistributionsTabTest, TheTheoreticalLawStaysBetweenShowings) {
    Show();
    SetLaw({kLawNormal, 2.0f, 0.5f});
    form->close();
    SetLaw({kLawDeterministic, 7.0f, 0.0f});
    Show();
    EXPECT_EQ(Law().dialogLaw, (LawRecord{kLawNormal, 2.0f, 0.5f}));
    EXPECT_EQ(Law().Edit1->text(), "2");
    EXPECT_TRUE(Law().AutoParamsButton->isVisible());
}

// Pixels of a colour in a picture: the chart is drawn, not just a blank.
int CountColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

TEST_F(DistributionsTabTest, TheChartIsSavedAsABitmapAndCopiedAsAPicture) {
    Show();
    Run();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("histogram.bmp"));
    io.fileDialogs.saveAnswers.push_back(path);
    const size_t boxes = io.messages.shown.size();
    form->SaveResultsButtonClick();
    EXPECT_EQ(io.messages.shown.size(), boxes);
    ASSERT_FALSE(io.fileDialogs.requests.empty());
    EXPECT_EQ(io.fileDialogs.requests.back().filter, "*.bmp|*.bmp");
    EXPECT_EQ(io.fileDialogs.requests.back().defaultExtension, "bmp");
    QImage saved(path, "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), TabOf().Chart().size());
    EXPECT_GT(CountColour(saved, Qt::red), 100) << "the red bars are in the picture";
    EXPECT_GT(CountColour(saved, Qt::white), saved.width() * saved.height() / 4)
        << "on a white background";

    form->CopyButtonClick();
    ASSERT_EQ(io.clipboard.images.size(), 1u);
    EXPECT_EQ(io.clipboard.images[0].size(), saved.size());
    EXPECT_GT(CountColour(io.clipboard.images[0], Qt::red), 100);
}

TEST_F(DistributionsTabTest, ASaveThatFailsSaysSoAndKeepsTheOldFile) {
    Show();
    Run();
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing/histogram.bmp"));
    io.fileDialogs.saveAnswers.push_back(missing);
    form->SaveResultsButtonClick();
    EXPECT_EQ(LastMessage().caption, kCaptionError);
    EXPECT_EQ(LastMessage().text, "Невозможно открыть файл \"" + missing + "\" для записи.");

    const QString path = dir.filePath(QStringLiteral("old.bmp"));
    std::ofstream(path.toStdString()) << "old picture";
    io.fileDialogs.saveAnswers.push_back(path);
    // A full disk: the picture cannot be written past a few bytes.
    test_files::WithFileSizeLimit(100, [&] {
        form->SaveResultsButtonClick();
        return 0;
    });
    EXPECT_EQ(LastMessage().caption, kCaptionError);
    EXPECT_NE(LastMessage().text.indexOf(path), -1);
    EXPECT_EQ(test_files::FileBytes(path.toStdString()), "old picture");
}

TEST_F(DistributionsTabTest, ColoursOfTheBarsAndTheBackgroundAreTheUsersChoice) {
    Show();
    Run();
    io.colors.answers.push_back(QColor(0, 128, 0));
    TabOf().Chart1ClickSeries(&TabOf().ObservedSeries());
    ASSERT_EQ(io.colors.initial.size(), 1u);
    EXPECT_EQ(io.colors.initial[0], QColor(Qt::red)) << "the dialog starts from the bars' colour";
    EXPECT_EQ(TabOf().ObservedSeries().color(), QColor(0, 128, 0));
    TabOf().Chart1ClickSeries(&TabOf().ObservedSeries());  // cancelled
    EXPECT_EQ(TabOf().ObservedSeries().color(), QColor(0, 128, 0));

    io.colors.answers.push_back(QColor(255, 255, 200));
    TabOf().Chart1ClickBackground();
    QChart* chart = TabOf().Chart().chart();
    EXPECT_EQ(chart->backgroundBrush().color(), QColor(255, 255, 200));
    EXPECT_EQ(chart->plotAreaBackgroundBrush().color(), QColor(255, 255, 200));

    // A real click beside the plot area is a click on the background.
    TabOf().Chart().resize(400, 300);
    io.colors.answers.push_back(QColor(200, 200, 255));
    QTest::mouseClick(TabOf().Chart().viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(chart->backgroundBrush().color(), QColor(200, 200, 255));
}

}  // namespace
}  // namespace marvolt
