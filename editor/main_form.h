// The main window: owner of the current model and its results model, the
// menus and the tool bar, the file commands and the editing commands of the
// object tree. The tree panel and the scheme editor show the model; every
// change reaches them through ModelChanged.
#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/logic/model_commands.h"
#include "editor/model_change.h"
#include "editor/model_history.h"
#include "editor/object_tree_panel.h"
#include "editor/recent_models.h"
#include "editor/scheme_editor.h"
#include "editor/ui_services.h"
#include "kernel/queuing_system.h"

class QAction;
class QMenu;
class QSettings;
class QSplitter;
class QToolBar;

namespace marvolt {

class TAboutForm;
class TAddObjectForm;
class TModelCheckForm;

inline const QString kTitleBase = QStringLiteral("Marvolt - Имитационное моделирование СМО");
inline const QString kModelFileFilter =
    QStringLiteral("Файл модели (*.qsf)|*.qsf|Все файлы (*.*)|*.*");

// The platform's standard key of a command; for "Сохранить как" and "Выход",
// which some platforms leave without one, Ctrl+Shift+S and Ctrl+Q.
QKeySequence CommandKey(QKeySequence::StandardKey key);

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(UiServices services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The windows created after this one are handed in as they are made.
    void SetNameDialog(TAddObjectForm* dialog) { nameDialog_ = dialog; }
    void SetAboutBox(TAboutForm* about) { aboutBox_ = about; }
    // The object properties dialog: edits the node, or else the request type,
    // of the current model and answers true on OK; the main window then calls
    // ModelChanged itself. Its commands stay disabled until it is attached.
    using PropertiesDialog = std::function<bool(CQSObject* node, CRequestType* type)>;
    void SetPropertiesDialog(PropertiesDialog dialog);
    // Opens the experiment window modally; its commands stay disabled until
    // then. A window that replaces or edits the model calls ModelChanged.
    void SetExperimentWindow(std::function<void()> open);

    // The settings the recent models are kept in (the program's own file);
    // without them the list lasts only while the window does.
    void SetRecentSettings(QSettings* settings);
    const QStringList& RecentPaths() const { return recent_.Paths(); }

    CQueuingSystem* Model() const { return model_.get(); }
    CQueuingSystem* ResultsModel() const { return results_.get(); }
    // New results are something to save, though never a step of the history.
    void SetResultsModel(std::unique_ptr<CQueuingSystem> results) {
        results_ = std::move(results);
        resultsUnsaved_ = true;
    }
    const QString& FileName() const { return fileName_; }
    ModelHistory& History() { return *history_; }
    TModelCheckForm* CheckWindow() const { return checkForm_; }
    ObjectTreePanel& TreePanel() { return *tree_; }
    SchemeEditor& Scheme() { return *scheme_; }
    CQSView& View() { return scheme_->View(); }
    // The node whose context menu was opened on the scheme; 255 when the menu
    // was opened in the tree.
    uint8_t PopupNode() const { return popupNode_; }

    // The one way the tree, the refusal-sink list, the description field and
    // the scheme follow the current model: whoever changes the model (a
    // command, a dialog on OK, undo, opening a file) says here, after each
    // change, what changed and which tree entry to select (none keeps the
    // selection). For another model altogether, install it first (the main
    // window's own commands do). Every change but another model becomes one
    // step of the history, under the name given.
    void ModelChanged(ModelChange what, TreeSelection select = {}, const std::string& step = {});
    // Something would be lost without a save: a step since the model was
    // last saved or opened, or results not yet saved.
    bool HasUnsavedChanges();

    // The operations of the commands.
    void NewModel();
    void AddWithDialog();
    void DeleteObject(uint8_t node);
    void DeleteSelectedType();
    void EditObject(uint8_t node);
    void EditRequestType();
    void OpenModel();
    // Reads the file into the window as the open command does once a file is
    // chosen; a missing or damaged file is reported and changes nothing.
    // Also the way a model named at start-up is opened.
    bool OpenFile(const QString& path);
    // False when nothing was written; the error has been shown.
    bool SaveModel(const QString& path);

    // Event handlers, named after their control and event.
    void FormShow();
    void N14Click();  // new model
    void N11Click();  // open
    void N12Click();  // save
    void N13Click();  // save as
    void N2Click();   // exit
    void N28Click();  // show the object tree
    void N29Click();  // experiment window
    void N30Click();  // copy the scheme
    void N5Click();   // about box
    void ReqToolButtonClick();
    void RefDisComboBoxChange(const QString& name);
    void AddObjectItemClick();
    void DeleteObjectItemClick();
    void PropertiesItemClick();
    void UndoActionClick();
    void RedoActionClick();
    void CheckModelActionClick();
    void RecentModelClick(int position);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void BuildPanels();
    void SetTitle();
    FileDialogRequest ModelFileDialog() const;
    // The save question of the new and open commands. False when the user
    // wanted the model saved and saving failed: the command then stops, so the
    // model the error was about is not thrown away.
    bool AskToSave();
    // Saves to the current file, asking for one when there is none. A
    // cancelled dialog counts as done: the user chose not to save.
    bool SaveCurrent();
    void SaveWithDialog();
    Confirm DeletionQuestion();
    // The node of a tree entry, found by name; 255 for a category or a request type.
    uint8_t NodeOfEntry(const QTreeWidgetItem* item) const;
    // Delete and Enter in the tree act on the selected entry's request type or node.
    void ActOnSelectedEntry(void (TMainForm::*onType)(), void (TMainForm::*onNode)(uint8_t));
    void ObjectMenuFromTree(const QPoint& global, bool onObject);
    void ObjectMenuFromScheme(uint8_t node, const QPoint& global);
    // The object menu's items act on the request type selected in the tree,
    // or on the node the menu was opened for.
    void ActOnMenuObject(void (TMainForm::*onType)(), void (TMainForm::*onNode)(uint8_t));

    // A new or opened model: the history starts afresh at it, as saved.
    void InstallModel(std::unique_ptr<CQueuingSystem> model, TreeSelection select);
    // Undo and redo put the configuration of state in place.
    void RestoreState(const CQueuingSystem& state, const StepSelection& select);
    StepSelection CurrentSelection() const;
    TreeSelection SelectionIn(const StepSelection& select) const;
    void RecordStep(const std::string& step, const StepSelection& before);
    // The description field's text becomes the model's, as a step of its own.
    void FlushDescription();
    void HistoryChanged();
    void RebuildRecentMenu();
    void OpenDropped(const QString& path);
    void RefreshCheckWindow();
    void ShowCheckedNode(uint8_t node);

    UiServices services_;
    std::unique_ptr<CQueuingSystem> model_;
    std::unique_ptr<CQueuingSystem> results_;
    QString fileName_;
    uint8_t popupNode_ = kNoIndex;
    bool shown_ = false;
    ModelHistory* history_ = nullptr;
    bool resultsUnsaved_ = false;
    RecentModels recent_;

    TAddObjectForm* nameDialog_ = nullptr;
    TAboutForm* aboutBox_ = nullptr;
    TModelCheckForm* checkForm_ = nullptr;
    PropertiesDialog properties_;
    std::function<void()> experiment_;

    QToolBar* ToolBar1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    ObjectTreePanel* tree_ = nullptr;
    SchemeEditor* scheme_ = nullptr;

    QAction* N14 = nullptr;
    QAction* N11 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N2 = nullptr;
    QAction* N28 = nullptr;
    QAction* N29 = nullptr;
    QAction* N30 = nullptr;
    QAction* N5 = nullptr;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
    QAction* CheckModelAction = nullptr;
    QMenu* FileMenu = nullptr;
    QAction* RecentSeparator = nullptr;
    std::vector<QAction*> recentActions_;
    QAction* ReqToolAction = nullptr;
    QMenu* ObjectPopupMenu = nullptr;
    QAction* AddObjectItem = nullptr;
    QAction* DeleteObjectItem = nullptr;
    QAction* PropertiesItem = nullptr;
};

}  // namespace marvolt
