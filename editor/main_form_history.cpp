// The main window's edit history: every change a step, undo and redo putting
// a recorded state back, and what counts as unsaved.
#include <QAction>
#include <QTreeWidget>

#include "editor/logic/edit_steps.h"
#include "editor/logic/model_snapshot.h"
#include "editor/main_form.h"

namespace marvolt {

void TMainForm::RecordStep(const std::string& step, const StepSelection& before) {
    // Results belong to the model as it was when they were made.
    if (history_->Record(step, *model_, before, CurrentSelection()))
        model_->resultsValid = 0;
}

StepSelection TMainForm::CurrentSelection() const {
    StepSelection selection;
    selection.category = tree_->SelectedCategory();
    if (const QTreeWidgetItem* entry = tree_->SelectedEntry())
        selection.name = entry->text(0).toStdString();
    return selection;
}

TreeSelection TMainForm::SelectionIn(const StepSelection& select) const {
    if (select.category < 0 || select.name.empty())
        return {};
    const auto category = static_cast<TreeCategory>(select.category);
    if (category == kRequestTypesCategory)
        return {nullptr, model_->FindRequestType(select.name)};
    const CQSObject* node = model_->FindNode(select.name);
    if (node && node->kind == KindOfCategory(category))
        return {node, nullptr};
    return {};
}

void TMainForm::InstallModel(std::unique_ptr<CQueuingSystem> model, TreeSelection select) {
    model_ = std::move(model);
    ModelChanged(ModelChange::kReplaced, select);
    // After the first drawing, which places the nodes a file left unplaced.
    history_->Reset(*model_);
    resultsUnsaved_ = false;
}

void TMainForm::RestoreState(const CQueuingSystem& state, const StepSelection& select) {
    model_ = RestoredModel(state, *model_);
    const TreeSelection entry = SelectionIn(select);
    ModelChanged(ModelChange::kRestored, entry);
    if (!entry.node && !entry.type && select.category >= 0)
        tree_->SelectCategory(static_cast<TreeCategory>(select.category));
}

void TMainForm::FlushDescription() {
    const std::string text = tree_->Description();
    if (text == model_->modelDescription)
        return;
    model_->modelDescription = text;
    RecordStep(step::Description(), CurrentSelection());
}

bool TMainForm::HasUnsavedChanges() {
    FlushDescription();
    // A change made behind the window without a word still counts.
    RecordStep(step::Other(), CurrentSelection());
    return !history_->AtSavedState() || resultsUnsaved_;
}

void TMainForm::HistoryChanged() {
    UndoAction->setEnabled(history_->CanUndo());
    RedoAction->setEnabled(history_->CanRedo());
    const QString undo = QString::fromStdString(step::UndoHint(history_->UndoStep()));
    const QString redo = QString::fromStdString(step::RedoHint(history_->RedoStep()));
    UndoAction->setToolTip(undo);
    UndoAction->setStatusTip(undo);
    RedoAction->setToolTip(redo);
    RedoAction->setStatusTip(redo);
}

void TMainForm::UndoActionClick() {
    // What was typed into the description is the latest change.
    FlushDescription();
    history_->Undo();
}

void TMainForm::RedoActionClick() {
    FlushDescription();
    history_->Redo();
}

}  // namespace marvolt
