// The dependencies tab in the experiment window: the dependency list, the
// factor controls, the factor experiment with its chart and table.
#include "results/dependencies_tab.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QValueAxis>

#include <map>
#include <sstream>

#include "persistence/model_file.h"
#include "results/application_data.h"
#include "results/chart_view.h"
#include "tests/results_windows/experiment_window_fixture.h"

namespace marvolt {
namespace {

using namespace testing_models;

class DependenciesTabTest : public test::ExperimentWindowFixture {
  protected:
    DependenciesTabTest() : ExperimentWindowFixture(1.25f, 500) {}
    DependenciesTab& TabOf() { return form->Dependencies(); }
    QListWidget* List() { return Find<QListWidget>("DependListBox"); }
    QStringList Items(const char* box) {
        QStringList items;
        QComboBox* b = Find<QComboBox>(box);
        for (int i = 0; i < b->count(); ++i)
            items << b->itemText(i);
        return items;
    }
    void AddDependency(uint8_t object, uint8_t indicator) {
        ASSERT_TRUE(Choose("ComboBox16", object));
        TabOf().ComboBox16Click();
        ASSERT_TRUE(Choose("ComboBox14", indicator));
        TabOf().SpeedButton1Click();
    }
    void FactorObject(uint8_t node) {
        ASSERT_TRUE(Choose("ComboBox18", node));
        TabOf().ComboBox18Click();
    }
    void FactorParameter(int8_t id) {
        ASSERT_TRUE(Choose("ComboBox20", id));
        TabOf().ComboBox20Click();
    }
    void Count(int n) { Find<QSpinBox>("CSpinEdit2")->setValue(n); }
    const FactorSettings& Planned() { return Model().plannedFactor; }
    QString Field(const char* edit) { return Find<QLineEdit>(edit)->text(); }
    // The points of a line series of the chart.
    std::vector<QPointF> Points(int i) {
        const QList<QPointF> p = TabOf().Line(i).points();
        return {p.begin(), p.end()};
    }
    bool InLegend(int i) {
        const auto markers = TabOf().Chart().chart()->legend()->markers(&TabOf().Line(i));
        return !markers.isEmpty() && markers[0]->isVisible();
    }
};

TEST_F(DependenciesTabTest, ListsOfANewDependencyFollowTheObject) {
    Show();
    Tab("TabSheet3");
    EXPECT_EQ(Items("ComboBox16"),
              (QStringList{"СМО", "Сток отказов", "Накопитель1", "Канал1", "Сток1"}))
        << "the system, then every node but the generators";
    ASSERT_TRUE(Choose("ComboBox16", QueueLine::kQueueAt));
    TabOf().ComboBox16Click();
    EXPECT_EQ(Items("ComboBox14"), (QStringList{"Среднее время ожидания", "Средняя длина очереди",
                                                "Доля заявок, получивших отказ"}));
    EXPECT_TRUE(Items("ComboBox15").isEmpty()) << "one request type: no type list";
    EXPECT_FALSE(Find<QComboBox>("ComboBox15")->isEnabled());
    EXPECT_FALSE(Find<QLabel>("Label38")->isEnabled());

    form->close();
    Model().AddRequestType("Вторая");
    Show();
    EXPECT_TRUE(Find<QComboBox>("ComboBox15")->isEnabled());
    ASSERT_TRUE(Choose("ComboBox16", kNoIndex));
    TabOf().ComboBox16Click();
    EXPECT_EQ(Items("ComboBox15"), (QStringList{"Все типы заявок", "Тип_заявки1", "Вторая"}));
    EXPECT_EQ(Items("ComboBox14"),
              (QStringList{"Среднее число заявок в системе", "Пропускная способность"}));
}

TEST_F(DependenciesTabTest, EveryIndicatorNameShowsWholeInItsList) {
    Show();
    Tab("TabSheet3");
    QCoreApplication::processEvents();
    QComboBox* box = Find<QComboBox>("ComboBox14");
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.rect = box->rect();
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, box);
    for (uint8_t object :
         {kNoIndex, QueueLine::kQueueAt, QueueLine::kChannelAt, QueueLine::kSinkAt}) {
        ASSERT_TRUE(Choose("ComboBox16", object));
        TabOf().ComboBox16Click();
        for (const QString& name : Items("ComboBox14"))
            EXPECT_LE(box->fontMetrics().horizontalAdvance(name), field.width())
                << name.toStdString();
    }
}

TEST_F(DependenciesTabTest, AddingNeedsAnObjectAndKeepsOneOfEach) {
    Show();
    Tab("TabSheet3");
    Find<QComboBox>("ComboBox16")->setCurrentIndex(-1);
    TabOf().SpeedButton1Click();
    EXPECT_EQ(LastMessage().caption, kCaptionNotice);
    EXPECT_EQ(LastMessage().text,
              "Невозможно добавить зависимость,\nт.к. не выбран объект модели.");
    EXPECT_EQ(Model().DependencyCount(), 0u);

    AddDependency(QueueLine::kChannelAt, indLoad);
    AddDependency(QueueLine::kChannelAt, indLoad);
    ASSERT_EQ(Model().DependencyCount(), 1u);
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->item(0)->text(), "Коэффициент загрузки (Канал1)");
    AddDependency(kNoIndex, indThroughput);
    EXPECT_EQ(List()->item(1)->text(), "Пропускная способность") << "sorted";

    List()->clearSelection();
    List()->item(0)->setSelected(true);
    TabOf().SpeedButton2Click();
    ASSERT_EQ(Model().DependencyCount(), 1u);
    EXPECT_EQ(Model().Dependency(0)->dependencyIndicator, indThroughput);
    EXPECT_EQ(List()->count(), 1);
}

TEST_F(DependenciesTabTest, FactorControlsFollowTheNodeAndItsLaw) {
    // A second channel with a normal service law beside the uniform one.
    line.channel->serviceLaws[0] = Uniform(0.5f, 1.0f);
    CChannel* normal = Model().AddChannel("Канал2");
    normal->serviceLaws[0] = {kLawNormal, 1.0f, 0.1f};
    Model().Link(QueueLine::kQueueAt, 5);
    Show();
    Tab("TabSheet3");
    EXPECT_EQ(Items("ComboBox18"), (QStringList{"Генератор1", "Накопитель1", "Канал1", "Канал2"}));
    FactorObject(QueueLine::kGeneratorAt);
    EXPECT_EQ(Items("ComboBox20"), (QStringList{"Интенсивность потока"}));
    EXPECT_FALSE(Find<QComboBox>("ComboBox19")->isEnabled());
    EXPECT_EQ(Planned().factorParameter, kFactorIntervalIntensity);

    FactorObject(QueueLine::kChannelAt);
    EXPECT_TRUE(Find<QComboBox>("ComboBox19")->isEnabled());
    EXPECT_EQ(Items("ComboBox19"), (QStringList{"Тип_заявки1"}));
    EXPECT_EQ(Items("ComboBox20").size(), 5);
    FactorParameter(kFactorServiceUpper);
    EXPECT_EQ(Planned().factorParameter, kFactorServiceUpper);
    EXPECT_EQ(Planned().factorType, 0);

    FactorObject(5);
    EXPECT_EQ(Planned().factorObject, 5);
    EXPECT_EQ(Planned().factorParameter, kFactorDevices);
    EXPECT_EQ(Find<QComboBox>("ComboBox20")->currentText(), "Число устройств");
}

TEST_F(DependenciesTabTest, StartStepAndNumberKeepTheDevicesWithinRange) {
    Show();
    Tab("TabSheet3");
    FactorObject(QueueLine::kChannelAt);
    FactorParameter(kFactorDevices);
    Count(10);
    Type("Edit28", "251");
    EXPECT_FALSE(TabOf().Edit28Exit());
    EXPECT_EQ(LastMessage().caption, kCaptionWarning);
    EXPECT_EQ(LastMessage().text,
              "Введено некорректное значение.\nПравильным значением является любое целое "
              "\nположительное число, не превышающее 250.");
    EXPECT_EQ(Planned().startValue, 1.0f) << "nothing stored";
    EXPECT_EQ(Field("Edit28"), "251") << "the refused text stays";

    Type("Edit28", "250");
    EXPECT_TRUE(TabOf().Edit28Exit());
    EXPECT_EQ(Planned().startValue, 250.0f);
    EXPECT_EQ(Planned().step, 0.0f) << "ten runs with 250 devices";
    EXPECT_EQ(Field("Edit29"), "0");

    Type("Edit28", "5");
    EXPECT_TRUE(TabOf().Edit28Exit());
    Type("Edit29", "-3");
    const size_t boxes = io.messages.shown.size();
    EXPECT_TRUE(TabOf().Edit29Exit());
    EXPECT_EQ(io.messages.shown.size(), boxes) << "silently";
    EXPECT_EQ(Planned().step, 1.0f);
    EXPECT_EQ(Field("Edit29"), "1");

    Type("Edit29", "30");
    EXPECT_TRUE(TabOf().Edit29Exit());
    EXPECT_EQ(Planned().step, 27.0f) << "the tenth value is 248";
    EXPECT_EQ(Field("Edit29"), "27");
    Count(20);
    EXPECT_EQ(Planned().valueCount, 20);
    EXPECT_EQ(Planned().step, 13.0f);
    EXPECT_EQ(Field("Edit29"), "13");
}

TEST_F(DependenciesTabTest, TheFieldsShowWhatTheNormalisationStored) {
    FactorSettings f = Factor(QueueLine::kChannelAt, kFactorDevices, 2.4f, 2.6f, 4);
    ASSERT_EQ(Model().SetFactor(f, kAllFactorFields), kOk);
    Show();
    EXPECT_EQ(Planned().startValue, 2.0f);
    EXPECT_EQ(Planned().step, 3.0f);
    EXPECT_EQ(Field("Edit28"), "2");
    EXPECT_EQ(Field("Edit29"), "3");
    EXPECT_EQ(Find<QSpinBox>("CSpinEdit2")->value(), 4);

    // A real parameter keeps its value and is shown as every number.
    f = Factor(QueueLine::kGeneratorAt, kFactorIntervalIntensity, 0.125f, 0.5f, 3);
    ASSERT_EQ(Model().SetFactor(f, kAllFactorFields), kOk);
    form->close();
    Show();
    EXPECT_EQ(Field("Edit28"), "0.125");
    EXPECT_EQ(Find<QComboBox>("ComboBox18")->currentText(), "Генератор1");
}

TEST_F(DependenciesTabTest, AnIntensityFactorStartingAtZeroIsRefused) {
    Show();
    Tab("TabSheet3");
    FactorObject(QueueLine::kGeneratorAt);
    Type("Edit28", "0");
    EXPECT_TRUE(TabOf().Edit28Exit()) << "a start of 0 is a number the field takes";
    AddDependency(kNoIndex, indThroughput);
    Run();
    EXPECT_EQ(LastMessage().caption, kCaptionWarning);
    EXPECT_EQ(LastMessage().text,
              "Фактор установлен некорректно.\nЭксперимент не может быть проведен.");
    EXPECT_TRUE(Model().Dependency(0)->values.empty()) << "no run was made";
}

TEST_F(DependenciesTabTest, FourSelectedDrawThreeLinesAndTabulateAll) {
    Show();
    Tab("TabSheet3");
    FactorObject(QueueLine::kChannelAt);
    FactorParameter(kFactorDevices);
    Count(3);
    AddDependency(QueueLine::kQueueAt, indMeanWait);
    AddDependency(QueueLine::kChannelAt, indLoad);
    AddDependency(kNoIndex, indThroughput);
    AddDependency(QueueLine::kSinkAt, indMeanLifetime);
    EXPECT_FALSE(Find<QPushButton>("ShowTableButton")->isEnabled()) << "no values yet";
    List()->selectAll();
    TabOf().DrawCharts();
    EXPECT_TRUE(InLegend(0)) << "listed without points";
    EXPECT_TRUE(Points(0).empty());
    EXPECT_EQ(TabOf().Chart().chart()->axes(Qt::Horizontal)[0]->titleText(), "");

    Run();
    List()->selectAll();
    TabOf().DependListBoxDblClick();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(InLegend(i));
        ASSERT_EQ(Points(i).size(), 3u);
        EXPECT_EQ(TabOf().Line(i).name(), List()->item(i)->text());
    }
    EXPECT_EQ(Points(0)[2].x(), 3.0);
    EXPECT_EQ(TabOf().Chart().chart()->axes(Qt::Horizontal)[0]->titleText(),
              "Число устройств (Канал1)");
    EXPECT_TRUE(Find<QPushButton>("ShowTableButton")->isEnabled());
    const ShownTable t = ShowTable();
    EXPECT_EQ(t.caption, "Таблица зависимостей");
    EXPECT_EQ(t.label, "Первая строка таблицы содержит значения фактора");
    ASSERT_EQ(t.cells.size(), 5u);
    EXPECT_EQ(t.cells[0], (std::vector<std::string>{"Число устройств (Канал1)", "1", "2", "3"}));
    EXPECT_EQ(t.cells[4][0], List()->item(3)->text().toStdString());

    // One selected: one line, the others out of the legend.
    List()->clearSelection();
    List()->item(2)->setSelected(true);
    TabOf().DrawCharts();
    EXPECT_TRUE(InLegend(0));
    EXPECT_EQ(TabOf().Line(0).name(), List()->item(2)->text());
    EXPECT_FALSE(InLegend(1));
    EXPECT_TRUE(Points(1).empty());
    EXPECT_EQ(ShowTable().cells.size(), 2u);

    // The line series styles.
    EXPECT_EQ(TabOf().Line(0).pen().style(), Qt::SolidLine);
    EXPECT_EQ(TabOf().Line(1).pen().style(), Qt::DotLine);
    EXPECT_EQ(TabOf().Line(2).pen().style(), Qt::DashLine);
    EXPECT_EQ(TabOf().Line(0).color(), QColor(Qt::red));
    EXPECT_EQ(TabOf().Chart().chart()->legend()->alignment(), Qt::AlignTop);
}

TEST_F(DependenciesTabTest, ColoursAndTheSavedPicture) {
    Show();
    Tab("TabSheet3");
    io.colors.answers.push_back(QColor(120, 0, 120));
    TabOf().DependChartClickSeries(&TabOf().Line(1));
    EXPECT_EQ(io.colors.initial.back(), QColor(0, 128, 0));
    EXPECT_EQ(TabOf().Line(1).color(), QColor(120, 0, 120));
    EXPECT_EQ(TabOf().Line(1).pen().style(), Qt::DotLine) << "the style stays";
    io.colors.answers.push_back(QColor(230, 230, 230));
    TabOf().DependChartClickBackground();
    QChart* chart = TabOf().Chart().chart();
    EXPECT_EQ(chart->backgroundBrush().color(), QColor(230, 230, 230));
    EXPECT_EQ(chart->legend()->brush().color(), QColor(230, 230, 230));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lines.bmp"));
    const QImage picture = TabOf().Chart().Picture();
    ASSERT_EQ(SaveBmpFile(path, picture), SafeSaveResult::kOk);
    const QImage back(path);
    EXPECT_EQ(back.size(), picture.size());
    EXPECT_EQ(back.pixelColor(12, 12), QColor(230, 230, 230));
}

// The example of a queue in front of c devices, planned and run in the
// window, and the same saved file run by the batch runner.
TEST_F(DependenciesTabTest, DeviceFactorOfAnMMcModelMatchesTheBatchRunner) {
    line.generator->intervalLaw = Exponential(1.0f);
    line.channel->serviceLaws[0] = Exponential(0.6f);
    line.channel->deviceCount = 2;
    Model().arrivalsLimit = 3000;
    Show();
    Tab("TabSheet3");
    FactorObject(QueueLine::kChannelAt);
    FactorParameter(kFactorDevices);
    Type("Edit28", "2");
    ASSERT_TRUE(TabOf().Edit28Exit());
    Type("Edit29", "1");
    ASSERT_TRUE(TabOf().Edit29Exit());
    Count(4);
    AddDependency(QueueLine::kQueueAt, indMeanWait);
    AddDependency(QueueLine::kChannelAt, indLoad);
    AddDependency(kNoIndex, indThroughput);
    Run();
    EXPECT_EQ(Model().factorRunsDone, 4);
    EXPECT_EQ(line.channel->deviceCount, 2) << "the factor is put back";
    List()->selectAll();
    TabOf().DrawCharts();
    ASSERT_EQ(Points(0).size(), 4u);
    EXPECT_EQ(Points(0)[3].x(), 5.0);
    const ShownTable t = ShowTable();
    ASSERT_EQ(t.cells.size(), 4u);

    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("mmc.qsf")).toStdString();
    ASSERT_EQ(SaveModelFile(path, Model(), nullptr), SaveResult::kOk);
    QProcess run;
    run.start(QStringLiteral(MARVOLT_RUN), {QString::fromStdString(path)});
    ASSERT_TRUE(run.waitForFinished(120000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    // The runner prints the same table, with decimal points, in the model's order.
    std::map<std::string, std::vector<std::string>> printed;
    std::istringstream lines(run.readAllStandardOutput().toStdString());
    for (std::string l; std::getline(lines, l);) {
        std::vector<std::string> cells;
        std::istringstream cellStream(l);
        for (std::string c; std::getline(cellStream, c, '\t');) {
            std::replace(c.begin(), c.end(), '.', ',');
            cells.push_back(c);
        }
        printed[cells[0]] = cells;
    }
    ASSERT_EQ(printed.size(), 4u);
    for (const std::vector<std::string>& row : t.cells)
        EXPECT_EQ(printed[row[0]], row) << row[0];
    EXPECT_EQ(t.cells[0],
              (std::vector<std::string>{"Число устройств (Канал1)", "2", "3", "4", "5"}));
}

}  // namespace
}  // namespace marvolt
