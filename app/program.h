// The program's windows, each created once, in start-up order.
#pragma once

#include "editor/about_form.h"
#include "editor/add_object_form.h"
#include "editor/dlaw_form.h"
#include "editor/main_form.h"
#include "editor/objects_form.h"
#include "editor/ui_services.h"

namespace marvolt {

class Program {
  public:
    // The random source must be seeded before this.
    explicit Program(UiServices services);

    TMainForm& MainForm() { return mainForm_; }
    TDLawForm& DLawForm() { return dlawForm_; }
    TAccumulatorForm& AccumulatorForm() { return accumulatorForm_; }
    // Only the main window is shown, maximised; the others open modally when needed.
    void ShowMainWindow();

  private:
    // Members are made in this order: the start-up order of the windows. The
    // experiment window follows the law dialog, and the table window the
    // about box. Dialogs are destroyed before the main window they belong to.
    TMainForm mainForm_;
    TDLawForm dlawForm_;
    TAddObjectForm addObjectForm_;
    TAccumulatorForm accumulatorForm_;
    TAboutForm aboutForm_;
};

}  // namespace marvolt
