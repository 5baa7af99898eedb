// The experiment window inside the program: opened from the main window, it
// runs the main window's model and leaves the results model with it.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/program.h"
#include "tests/editor/recording_services.h"

namespace marvolt {
namespace {

TEST(ProgramExperimentTest, TheMainWindowOpensItAndKeepsItsResults) {
    RestoreRandomStartState();
    test::RecordingServices io;
    Program program(io.services());
    TMainForm& main = program.MainForm();
    QAction* command = main.findChild<QAction*>(QStringLiteral("N29"));
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->isEnabled());
    main.Model()->arrivalsLimit = 50;

    TResultsForm& window = program.ExperimentWindow();
    bool ran = false;
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Управление экспериментом");
        auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        pages->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("TabSheet1")));
        window.RunButtonClick();
        EXPECT_EQ(window.ResultsModel(), main.Model()) << "right after the run";
        EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Edit3"))->text(), "51");
        ran = true;
        window.close();
    });
    command->trigger();
    ASSERT_TRUE(ran);
    ASSERT_NE(main.ResultsModel(), nullptr);
    EXPECT_NE(main.ResultsModel(), main.Model());
    EXPECT_EQ(main.ResultsModel()->arrived, 51u);
    EXPECT_EQ(main.Model()->resultsValid, 0);
}

}  // namespace
}  // namespace marvolt
