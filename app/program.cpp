#include "app/program.h"

#include <QScreen>

namespace marvolt {

Program::Program(UiServices services)
    : mainForm_(services),
      resultsForm_(services, models_, &mainForm_),
      addObjectForm_(services.messages),
      tableForm_(services, &mainForm_) {
    mainForm_.SetNameDialog(&addObjectForm_);
    mainForm_.SetAboutBox(&aboutForm_);
    resultsForm_.SetTableWindow(&tableForm_);
    mainForm_.SetExperimentWindow([this] { resultsForm_.exec(); });
}

void Program::ShowMainWindow() {
    // Without a window manager nothing would honour the maximised state.
    if (QScreen* screen = mainForm_.screen())
        mainForm_.setGeometry(screen->availableGeometry());
    mainForm_.showMaximized();
}

}  // namespace marvolt
