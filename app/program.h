// The program's windows, each created once, in start-up order.
#pragma once

#include "editor/about_form.h"
#include "editor/add_object_form.h"
#include "editor/main_form.h"
#include "editor/ui_services.h"

namespace marvolt {

class Program {
  public:
    // The random source must be seeded before this.
    explicit Program(UiServices services);

    TMainForm& MainForm() { return mainForm_; }
    // Only the main window is shown, maximised; the others open modally when needed.
    void ShowMainWindow();

  private:
    // Members are made in this order: the start-up order of the windows. The
    // distribution-law dialog and the experiment window follow the main window,
    // the properties dialog the name dialog, and the table window the about box.
    TMainForm mainForm_;
    TAddObjectForm addObjectForm_;
    TAboutForm aboutForm_;
};

}  // namespace marvolt
