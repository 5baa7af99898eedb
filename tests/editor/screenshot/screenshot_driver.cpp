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

namespace {

// Answers the open dialog with the model, the save question with No, and
// reports every other box.
class ScriptedAnswers final : public marvolt::MessageService, public marvolt::FileDialogService {
  public:
    explicit ScriptedAnswers(QString model) : model_(std::move(model)) {}

    marvolt::MessageButton Show(const QString& caption, marvolt::MessageIcon, const QString& text,
                                int) override {
        std::fprintf(stderr, "box \"%s\": %s\n", qPrintable(caption), qPrintable(text));
        if (caption == marvolt::kCaptionError)
            failed = true;
        return marvolt::kButtonNo;
    }
    QString OpenFileName(const marvolt::FileDialogRequest&) override { return model_; }
    QString SaveFileName(const marvolt::FileDialogRequest&) override { return {}; }

    bool failed = false;

  private:
    QString model_;
};

}  // namespace

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
