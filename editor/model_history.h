// The edit history of the current model: one step per change the user made,
// each holding the model's configuration before and after it, so that undo
// and redo put back a whole state. Results are never part of it.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <string>

#include "kernel/queuing_system.h"

namespace marvolt {

// A tree entry as the history remembers it: its category and its text.
struct StepSelection {
    int category = -1;  // none
    std::string name;
};

class ModelHistory : public QObject {
    Q_OBJECT

  public:
    // Restore installs a model built from state and selects the entry; the
    // history stands at state afterwards.
    using Restore = std::function<void(const CQueuingSystem& state, const StepSelection& select)>;
    explicit ModelHistory(Restore restore, QObject* parent = nullptr);
    ~ModelHistory() override;

    // Steps kept; older ones are forgotten.
    static constexpr int kStepLimit = 100;

    // Forgets every step: the history starts at model, which counts as saved.
    void Reset(const CQueuingSystem& model);
    // A step named step from where the history stands to model, when model's
    // configuration differs from it; false, and no step, when it does not.
    bool Record(const std::string& step, const CQueuingSystem& model, StepSelection before,
                StepSelection after);
    void Undo();
    void Redo();
    bool CanUndo() const { return stack_.canUndo(); }
    bool CanRedo() const { return stack_.canRedo(); }
    // The names of the steps undo and redo would take; empty for none.
    std::string UndoStep() const { return stack_.undoText().toStdString(); }
    std::string RedoStep() const { return stack_.redoText().toStdString(); }
    int StepCount() const { return stack_.count(); }

    // The state the history stands at now is the one in the file.
    void MarkSaved() { stack_.setClean(); }
    bool AtSavedState() const { return stack_.isClean(); }

  signals:
    // What undo or redo would do, or whether the saved state is reached, changed.
    void Changed();

  private:
    class Step;
    void GoTo(const std::shared_ptr<const CQueuingSystem>& state, const StepSelection& select);

    QUndoStack stack_;
    // The configuration the history stands at.
    std::shared_ptr<const CQueuingSystem> current_;
    Restore restore_;
};

}  // namespace marvolt
