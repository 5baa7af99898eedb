#include "editor/model_history.h"

#include <QUndoCommand>

#include "editor/logic/model_snapshot.h"

namespace marvolt {

class ModelHistory::Step final : public QUndoCommand {
  public:
    Step(ModelHistory& history, const std::string& name,
         std::shared_ptr<const CQueuingSystem> before, std::shared_ptr<const CQueuingSystem> after,
         StepSelection selectBefore, StepSelection selectAfter)
        : QUndoCommand(QString::fromStdString(name)),
          history_(history),
          before_(std::move(before)),
          after_(std::move(after)),
          selectBefore_(std::move(selectBefore)),
          selectAfter_(std::move(selectAfter)) {}

    void undo() override { history_.GoTo(before_, selectBefore_); }
    void redo() override {
        // The change was made before the step was recorded.
        if (done_) {
            done_ = false;
            return;
        }
        history_.GoTo(after_, selectAfter_);
    }

  private:
    ModelHistory& history_;
    std::shared_ptr<const CQueuingSystem> before_;
    std::shared_ptr<const CQueuingSystem> after_;
    StepSelection selectBefore_;
    StepSelection selectAfter_;
    bool done_ = true;
};

ModelHistory::ModelHistory(Restore restore, QObject* parent)
    : QObject(parent), restore_(std::move(restore)) {
    stack_.setUndoLimit(kStepLimit);
    connect(&stack_, &QUndoStack::indexChanged, this, &ModelHistory::Changed);
    connect(&stack_, &QUndoStack::cleanChanged, this, &ModelHistory::Changed);
}

ModelHistory::~ModelHistory() {
    // The steps refer back to the history.
    stack_.clear();
}

void ModelHistory::Reset(const CQueuingSystem& model) {
    stack_.clear();
    current_ = ConfigurationCopy(model);
    stack_.setClean();
    emit Changed();
}

bool ModelHistory::Record(const std::string& step, const CQueuingSystem& model,
                          StepSelection before, StepSelection after) {
    if (current_ && SameConfiguration(*current_, model))
        return false;
    std::shared_ptr<const CQueuingSystem> next = ConfigurationCopy(model);
    std::shared_ptr<const CQueuingSystem> previous =
        current_ ? current_ : std::shared_ptr<const CQueuingSystem>(ConfigurationCopy(model));
    current_ = next;
    stack_.push(new Step(*this, step, std::move(previous), std::move(next), std::move(before),
                         std::move(after)));
    return true;
}

void ModelHistory::Undo() {
    stack_.undo();
}

void ModelHistory::Redo() {
    stack_.redo();
}

void ModelHistory::GoTo(const std::shared_ptr<const CQueuingSystem>& state,
                        const StepSelection& select) {
    current_ = state;
    restore_(*state, select);
}

}  // namespace marvolt
