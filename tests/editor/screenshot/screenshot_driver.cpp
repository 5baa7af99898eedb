// Starts the program's windows on a real display, opens a model through the
// main window's open command and photographs the whole screen.
//   marvolt_screenshot_driver <model.qsf> <screenshot.png>
#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "app/program.h"
#include "kernel/random_stat.h"
#include "scripted_answers.h"

using marvolt::screenshot::ScriptedAnswers;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <model.qsf> <screenshot.png>\n", argv[0]);
        return 2;
    }
    marvolt::SeedRandomAtStartup();
    QApplication application(argc, argv);
    ScriptedAnswers answers(QString::fromLocal8Bit(argv[1]));
    marvolt::QtClipboardService clipboard;
    marvolt::Program program({answers, answers, clipboard});
    program.ShowMainWindow();
    marvolt::TMainForm& form = program.MainForm();

    int status = 0;
    QTimer::singleShot(500, [&] { form.findChild<QAction*>(QStringLiteral("N11"))->trigger(); });
    QTimer::singleShot(2000, [&] {
        std::fprintf(stderr, "window title: %s\n", qPrintable(form.windowTitle()));
        const QPixmap shot = form.screen()->grabWindow(0);
        if (answers.failed || shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2])))
            status = 1;
        application.quit();
    });
    application.exec();
    return status;
}
