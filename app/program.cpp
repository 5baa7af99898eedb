#include "app/program.h"

#include <QScreen>

namespace marvolt {

Program::Program(UiServices services) : mainForm_(services), addObjectForm_(services.messages) {
    mainForm_.SetNameDialog(&addObjectForm_);
    mainForm_.SetAboutBox(&aboutForm_);
}

void Program::ShowMainWindow() {
    // Without a window manager nothing would honour the maximised state.
    if (QScreen* screen = mainForm_.screen())
        mainForm_.setGeometry(screen->availableGeometry());
    mainForm_.showMaximized();
}

}  // namespace marvolt
