// Starts the program's windows on a real display, opens a model through the
// main window's open command and photographs the whole screen, optionally
// with a dialog open over the main window.
//   marvolt_screenshot_driver <model.qsf> <screenshot.png> [what]
// what: a node name (its properties dialog), "type:<name>" (a request type's
// dialog), "law:<channel name>" (the law dialog over that channel's dialog,
// editing the service law of its first request type) or "check:" (a channel
// put down with the mouse, so that there is a step to undo, and the model
// check window with what it finds).
#include <QAction>
#include <QApplication>
#include <QToolButton>
#include <QToolTip>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

#include "app/program.h"
#include "editor/model_check_form.h"
#include "editor/objects_form.h"
#include "kernel/random_stat.h"
#include "scripted_answers.h"

using marvolt::screenshot::ScriptedAnswers;

namespace {

// A channel placed where nothing reaches it, and the check window beside the
// scheme; the undo button's hint names the step.
void ShowCheck(marvolt::TMainForm& form) {
    marvolt::SchemeEditor& scheme = form.Scheme();
    scheme.SetMode(marvolt::ToolMode::kChannel);
    scheme.Image1MouseDown(Qt::LeftButton, Qt::LeftButton, 460, 330);
    scheme.Image1MouseUp(Qt::LeftButton, Qt::NoButton, 460, 330);
    form.findChild<QAction*>(QStringLiteral("CheckModelAction"))->trigger();
    marvolt::TModelCheckForm* check = form.CheckWindow();
    const QRect screen = form.screen()->availableGeometry();
    check->move(screen.right() - check->frameGeometry().width() - 20,
                screen.bottom() - check->frameGeometry().height() - 20);
    QTimer::singleShot(500, &form, [&form] {
        auto* undo = form.findChild<QToolButton*>(QStringLiteral("UndoToolButton"));
        QToolTip::showText(undo->mapToGlobal(QPoint(8, undo->height())), undo->toolTip(), undo);
    });
}

// Opens the dialog the argument names; returns at once when it names nothing.
void OpenDialog(marvolt::Program& program, const QString& what) {
    marvolt::TMainForm& form = program.MainForm();
    marvolt::CQueuingSystem& model = *form.Model();
    if (what == QStringLiteral("check:")) {
        ShowCheck(form);
        return;
    }
    if (what.startsWith(QStringLiteral("type:"))) {
        const std::string name = what.mid(5).toStdString();
        QTreeWidgetItem* types = form.TreePanel().Category(marvolt::kRequestTypesCategory);
        for (int i = 0; i < types->childCount(); ++i) {
            if (types->child(i)->text(0).toStdString() == name)
                types->treeWidget()->setCurrentItem(types->child(i));
        }
        form.EditRequestType();
        return;
    }
    const bool law = what.startsWith(QStringLiteral("law:"));
    const std::string name = (law ? what.mid(4) : what).toStdString();
    if (!model.FindNode(name)) {
        std::fprintf(stderr, "no node \"%s\"\n", name.c_str());
        return;
    }
    if (law) {
        QTimer::singleShot(600, [&program] { program.AccumulatorForm().SGRequestsDblClick(0, 1); });
    }
    form.EditObject(model.NodeIndex(name));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <model.qsf> <screenshot.png> [what]\n", argv[0]);
        return 2;
    }
    marvolt::SeedRandomAtStartup();
    QApplication application(argc, argv);
    ScriptedAnswers answers(QString::fromLocal8Bit(argv[1]));
    marvolt::QtClipboardService clipboard;
    marvolt::Program program({answers, answers, clipboard, answers});
    program.ShowMainWindow();
    marvolt::TMainForm& form = program.MainForm();

    int status = 0;
    QTimer::singleShot(500, [&] { form.findChild<QAction*>(QStringLiteral("N11"))->trigger(); });
    if (argc == 4) {
        const QString what = QString::fromLocal8Bit(argv[3]);
        QTimer::singleShot(1000, [&program, what] { OpenDialog(program, what); });
    }
    QTimer::singleShot(argc == 4 ? 2500 : 2000, [&] {
        std::fprintf(stderr, "window title: %s\n", qPrintable(form.windowTitle()));
        const QPixmap shot = form.screen()->grabWindow(0);
        if (answers.failed || shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2])))
            status = 1;
        // Dialogs first: each runs an event loop of its own inside the one below.
        while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
        QTimer::singleShot(0, &application, &QApplication::quit);
    });
    application.exec();
    return status;
}
