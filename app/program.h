// The program's windows, each created once, in start-up order.
#pragma once

#include <QString>
#include <QStringList>

#include "editor/about_form.h"
#include "editor/add_object_form.h"
#include "editor/dlaw_form.h"
#include "editor/main_form.h"
#include "editor/objects_form.h"
#include "editor/ui_services.h"
#include "results/experiments_form.h"
#include "results/table_form.h"

namespace marvolt {

// The model named on the command line (its absolute path), or empty when
// there is none. Only the first argument counts: a file manager passes one.
QString StartupModelPath(const QStringList& arguments);

class Program {
  public:
    // The random source must be seeded before this.
    explicit Program(UiServices services);

    TMainForm& MainForm() { return mainForm_; }
    TDLawForm& DLawForm() { return dlawForm_; }
    TResultsForm& ExperimentWindow() { return resultsForm_; }
    TAccumulatorForm& AccumulatorForm() { return accumulatorForm_; }
    TTableForm& TableWindow() { return tableForm_; }
    // Only the main window is shown, maximised; the others open modally when needed.
    void ShowMainWindow();
    // Shows the main window and opens the model named in the arguments (the
    // program's own name first, as main() has them) as the open command
    // would, with its messages for a missing or damaged file; the fresh model
    // then stays. There is no save question: nothing has been made yet.
    void Start(const QStringList& arguments);

  private:
    // The experiment window finds the models where the main window keeps them.
    class MainWindowModels final : public ModelPlace {
      public:
        explicit MainWindowModels(TMainForm& main) : main_(main) {}
        CQueuingSystem* Current() override { return main_.Model(); }
        CQueuingSystem* StoredResults() override { return main_.ResultsModel(); }
        void StoreResults(std::unique_ptr<CQueuingSystem> r) override {
            main_.SetResultsModel(std::move(r));
        }

      private:
        TMainForm& main_;
    };

    // Members are made in this order: the start-up order of the windows. The
    // experiment window follows the law dialog, and the table window the
    // about box. Dialogs are destroyed before the main window they belong to.
    TMainForm mainForm_;
    MainWindowModels models_{mainForm_};
    TDLawForm dlawForm_;
    TResultsForm resultsForm_;
    TAddObjectForm addObjectForm_;
    TAccumulatorForm accumulatorForm_;
    TAboutForm aboutForm_;
    TTableForm tableForm_;
};

}  // namespace marvolt
