#include "app/program.h"

#include <QScreen>

namespace marvolt {

Program::Program(UiServices services)
    : mainForm_(services),
      dlawForm_(services.messages, &mainForm_),
      addObjectForm_(services.messages),
      accumulatorForm_(services.messages, &mainForm_) {
    mainForm_.SetNameDialog(&addObjectForm_);
    mainForm_.SetAboutBox(&aboutForm_);
    accumulatorForm_.SetLawDialog(
        [this](LawRecord& law, bool serviceTime) { return dlawForm_.EditLaw(law, serviceTime); });
    mainForm_.SetPropertiesDialog([this](CQSObject* node, CRequestType* type) {
        return accumulatorForm_.Edit(node, type);
    });
}

void Program::ShowMainWindow() {
    // Without a window manager nothing would honour the maximised state.
    if (QScreen* screen = mainForm_.screen())
        mainForm_.setGeometry(screen->availableGeometry());
    mainForm_.showMaximized();
}

}  // namespace marvolt
