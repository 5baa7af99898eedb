// Starts the program on a real display, opens a model, opens the experiment
// window, runs the model from the indicators tab and photographs every tab:
// the first histogram tested against a fitted exponential law, and a factor
// experiment over the number of devices of the first channel planned and run
// in the window. Then starts a long run
// and photographs its progress dialog before cancelling it.
//   marvolt_experiment_screenshot_driver <model.qsf> <folder>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

#include "app/program.h"
#include "editor/law_editor.h"
#include "kernel/random_stat.h"
#include "results/dependencies_tab.h"
#include "results/distributions_tab.h"
#include "results/run_progress.h"
#include "scripted_answers.h"

using marvolt::screenshot::ScriptedAnswers;

namespace {

// As a user would: the first channel's number of devices from 1 in five
// steps, and a dependency on each node's first indicator.
void PlanDeviceFactor(marvolt::TResultsForm& window) {
    marvolt::DependenciesTab& tab = window.Dependencies();
    auto find = [&](const char* name) {
        return window.findChild<QComboBox*>(QString::fromLatin1(name));
    };
    QComboBox* objects = find("ComboBox18");
    QComboBox* parameters = find("ComboBox20");
    for (int i = 0; i < objects->count() && parameters->findText(QStringLiteral("Число устройств")) < 0; ++i) {
        objects->setCurrentIndex(i);
        tab.ComboBox18Click();
    }
    parameters->setCurrentIndex(parameters->findText(QStringLiteral("Число устройств")));
    tab.ComboBox20Click();
    auto* start = window.findChild<QLineEdit*>(QStringLiteral("Edit28"));
    start->setText(QStringLiteral("1"));
    start->setModified(true);
    tab.Edit28Exit();
    QComboBox* dependencyObjects = find("ComboBox16");
    for (int i = 0; i < dependencyObjects->count(); ++i) {
        dependencyObjects->setCurrentIndex(i);
        tab.ComboBox16Click();
        tab.SpeedButton1Click();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <model.qsf> <folder>\n", argv[0]);
        return 2;
    }
    marvolt::SeedRandomAtStartup();
    QApplication application(argc, argv);
    ScriptedAnswers answers(QString::fromLocal8Bit(argv[1]));
    marvolt::QtClipboardService clipboard;
    marvolt::Program program({answers, answers, clipboard, answers});
    program.ShowMainWindow();
    marvolt::TMainForm& main = program.MainForm();
    marvolt::TResultsForm& window = program.ExperimentWindow();
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));

    int status = 0;
    auto save = [&](const QPixmap& shot, const char* name) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        if (shot.isNull() || !shot.save(path))
            status = 1;
        std::fprintf(stderr, "saved %s\n", qPrintable(path));
    };
    auto tab = [&](const char* name) {
        pages->setCurrentWidget(window.findChild<QWidget*>(QString::fromLatin1(name)));
        QCoreApplication::processEvents();
    };

    QTimer::singleShot(500, [&] { main.findChild<QAction*>(QStringLiteral("N11"))->trigger(); });
    QTimer::singleShot(1500, [&] {
        // The window is modal: what follows runs inside its own event loop.
        QTimer::singleShot(700, [&] {
            tab("TabSheet1");
            window.RunButtonClick();
            QCoreApplication::processEvents();
            save(window.grab(), "experiment_indicators.png");
            tab("TabSheet6");
            save(window.grab(), "experiment_planning.png");
            tab("TabSheet2");
            save(window.grab(), "experiment_distributions.png");
            marvolt::DistributionsTab& distributions = window.Distributions();
            distributions.LawBox().ComboBox1Change(marvolt::kLawExponential);
            distributions.AutoParamsButtonClick();
            distributions.Button11Click();
            QCoreApplication::processEvents();
            save(window.grab(), "experiment_distributions_tested.png");

            tab("TabSheet3");
            save(window.grab(), "experiment_dependencies.png");
            PlanDeviceFactor(window);
            window.RunButtonClick();
            auto* list = window.findChild<QListWidget*>(QStringLiteral("DependListBox"));
            list->selectAll();
            window.Dependencies().DrawCharts();
            QCoreApplication::processEvents();
            save(window.grab(), "experiment_dependencies_run.png");

            // A run long enough for the progress dialog, cancelled part way.
            tab("TabSheet1");
            auto* arrivals = window.findChild<QLineEdit*>(QStringLiteral("Edit26"));
            arrivals->setText(QStringLiteral("50000000"));
            arrivals->setModified(true);
            window.Edit26Exit();
            QTimer::singleShot(2500, [&] {
                save(window.screen()->grabWindow(0), "experiment_progress.png");
                window.Progress().reject();
            });
            window.RunButtonClick();
            QCoreApplication::processEvents();
            save(window.grab(), "experiment_after_cancel.png");
            window.close();
        });
        main.findChild<QAction*>(QStringLiteral("N29"))->trigger();
        if (answers.failed)
            status = 1;
        application.quit();
    });
    application.exec();
    return status;
}
