// What the experiment window leaves in the main window's history: its
// settings one step, its runs nothing to undo but something to save.
#include <QAction>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "app/program.h"
#include "tests/editor/recording_services.h"

namespace marvolt {
namespace {

class ExperimentHistoryTest : public ::testing::Test {
  protected:
    ExperimentHistoryTest() { RestoreRandomStartState(); }

    // Opens the experiment window from the main window, does what is asked
    // inside it and closes it.
    void InWindow(const std::function<void(TResultsForm&)>& action) {
        TResultsForm& window = program.ExperimentWindow();
        bool done = false;
        QTimer::singleShot(0, &window, [&] {
            action(window);
            done = true;
            window.close();
        });
        main.findChild<QAction*>(QStringLiteral("N29"))->trigger();
        ASSERT_TRUE(done);
    }

    test::RecordingServices io;
    Program program{io.services()};
    TMainForm& main = program.MainForm();
};

TEST_F(ExperimentHistoryTest, LookingChangesNothing) {
    InWindow([](TResultsForm&) {});
    EXPECT_EQ(main.History().StepCount(), 0);
    EXPECT_FALSE(main.HasUnsavedChanges());
}

TEST_F(ExperimentHistoryTest, TheStopCriterionChosenThereIsOneStep) {
    ASSERT_EQ(main.Model()->stopByTime, 0);
    InWindow([](TResultsForm& window) {
        window.findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->click();
    });
    ASSERT_EQ(main.Model()->stopByTime, 1);
    EXPECT_EQ(main.History().StepCount(), 1);
    EXPECT_EQ(main.History().UndoStep(), "изменение настроек эксперимента");
    main.findChild<QAction*>(QStringLiteral("UndoAction"))->trigger();
    EXPECT_EQ(main.Model()->stopByTime, 0);
}

TEST_F(ExperimentHistoryTest, ARunIsNoStepButResultsToSave) {
    main.Model()->arrivalsLimit = 50;
    InWindow([](TResultsForm& window) {
        auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        pages->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet1")));
        window.RunButtonClick();
    });
    ASSERT_NE(main.ResultsModel(), nullptr);
    // The limit was set behind the window: that is the one step.
    EXPECT_EQ(main.History().StepCount(), 1);
    main.findChild<QAction*>(QStringLiteral("UndoAction"))->trigger();
    EXPECT_NE(main.ResultsModel(), nullptr);
    EXPECT_TRUE(main.HasUnsavedChanges()) << "the results are not saved yet";
}

}  // namespace
}  // namespace marvolt
