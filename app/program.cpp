#include "app/program.h"

#include <QFileInfo>
#include <QScreen>

namespace marvolt {

QString StartupModelPath(const QStringList& arguments) {
    if (arguments.size() < 2 || arguments[1].isEmpty())
        return {};
    // Messages and the title name the file by its full path, as the open dialog gives it.
    return QFileInfo(arguments[1]).absoluteFilePath();
}

// The dialogs belong to the main window, so they open over it.
Program::Program(UiServices services)
    : mainForm_(services),
      dlawForm_(services.messages, &mainForm_),
      resultsForm_(services, models_, &mainForm_),
      addObjectForm_(services.messages, &mainForm_),
      accumulatorForm_(services.messages, &mainForm_),
      aboutForm_(&mainForm_),
      tableForm_(services, &mainForm_) {
    mainForm_.SetNameDialog(&addObjectForm_);
    mainForm_.SetAboutBox(&aboutForm_);
    accumulatorForm_.SetLawDialog(
        [this](LawRecord& law, bool serviceTime) { return dlawForm_.EditLaw(law, serviceTime); });
    mainForm_.SetPropertiesDialog(
        [this](CQSObject* node, CRequestType* type) { return accumulatorForm_.Edit(node, type); });
    resultsForm_.SetTableWindow(&tableForm_);
    mainForm_.SetExperimentWindow([this] { resultsForm_.exec(); });
}

void Program::ShowMainWindow() {
    // Without a window manager nothing would honour the maximised state.
    if (QScreen* screen = mainForm_.screen())
        mainForm_.setGeometry(screen->availableGeometry());
    mainForm_.showMaximized();
}

void Program::Start(const QStringList& arguments) {
    ShowMainWindow();
    const QString model = StartupModelPath(arguments);
    if (!model.isEmpty())
        mainForm_.OpenFile(model);
}

}  // namespace marvolt
