// Marvolt: simulation modelling of queueing networks.
#include <QApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include "app/program.h"
#include "editor/editor_resources.h"
#include "kernel/random_stat.h"

int main(int argc, char** argv) {
    // One random sequence for the whole session, started before any window.
    marvolt::SeedRandomAtStartup();
    QApplication application(argc, argv);
    application.setWindowIcon(marvolt::ProgramIcon());
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("marvolt"));
    // The toolkit's own texts (edit menus, standard buttons) in Russian too.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&toolkitTexts);
    marvolt::QtMessageService messages;
    marvolt::QtFileDialogService fileDialogs;
    marvolt::QtClipboardService clipboard;
    marvolt::QtColorDialogService colors;
    marvolt::Program program({messages, fileDialogs, clipboard, colors});
    // The list of recent models is the only thing kept between sessions.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Marvolt"),
                       QStringLiteral("marvolt"));
    program.MainForm().SetRecentSettings(&settings);
    // A model named on the command line (a file manager opening a .qsf) opens
    // at once; without one the program starts with the fresh model.
    program.Start(QCoreApplication::arguments());
    return application.exec();
}
