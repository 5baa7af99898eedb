// The main window: owner of the current model and its results model, the
// file commands, the object tree, the description and the scheme.
#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "editor/qsview.h"
#include "editor/ui_services.h"
#include "kernel/queuing_system.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace marvolt {

class SchemePicture;
class TAboutForm;
class TAddObjectForm;

inline const QString kTitleBase = QStringLiteral("Marvolt - Имитационное моделирование СМО");
inline const QString kModelFileFilter =
    QStringLiteral("Файл модели (*.qsf)|*.qsf|Все файлы (*.*)|*.*");

// The five categories of the object tree, in their fixed order.
enum TreeCategory : int {
    kGeneratorsCategory = 0,
    kQueuesCategory = 1,
    kChannelsCategory = 2,
    kSinksCategory = 3,
    kRequestTypesCategory = 4,
};

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(UiServices services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The windows created after this one are handed in as they are made.
    void SetNameDialog(TAddObjectForm* dialog) { nameDialog_ = dialog; }
    void SetAboutBox(TAboutForm* about) { aboutBox_ = about; }
    // The object properties dialog: edits the node, or else the request type,
    // of the current model and answers true on OK. Its commands stay disabled
    // until it is attached.
    using PropertiesDialog = std::function<bool(CQSObject* node, CRequestType* type)>;
    void SetPropertiesDialog(PropertiesDialog dialog);
    // Opens the experiment window modally; its commands stay disabled until then.
    void SetExperimentWindow(std::function<void()> open);

    CQueuingSystem* Model() const { return model_.get(); }
    CQueuingSystem* ResultsModel() const { return results_.get(); }
    void SetResultsModel(std::unique_ptr<CQueuingSystem> results) { results_ = std::move(results); }
    const QString& FileName() const { return fileName_; }
    CQSView& View() { return view_; }
    SchemePicture& Picture() { return *Image1; }
    QTreeWidgetItem* Category(TreeCategory category) const { return categories_[category]; }
    QTreeWidgetItem* CategoryOfKind(uint8_t kind) const;

    // The operations of the commands, shared with the scheme's mouse handlers.
    void NewModel(bool redraw);
    void RebuildTree();
    void AddTreeEntry(QTreeWidgetItem* category, const QString& name);
    void AddWithDialog();
    void DeleteObject(uint8_t node);
    void DeleteSelectedType();
    void EditObject(uint8_t node);
    void EditRequestType();
    void OpenModel();
    // False when nothing was written; the error has been shown.
    bool SaveModel(const QString& path);
    void ReleaseToolButtons();
    void ObjectLimitMessage();
    void RequestTypeLimitMessage();
    // Builds the whole scheme again onto the picture.
    void RedrawScheme();
    // Adds a sink's name to the refusal-sink list at its sorted place.
    void AddRefusalSinkName(const QString& name);

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
    void TreeCloseButtonClick();
    void ReqToolButtonClick();
    void RefDisComboBoxChange(int index);
    void CursorToolButtonClick();
    void LinkToolButtonClick();
    void GenToolButtonClick();
    void QueToolButtonClick();
    void ChanToolButtonClick();
    void DispToolButtonClick();
    void AddObjectItemClick();
    void DeleteObjectItemClick();
    void PropertiesItemClick();
    void ObjectTreeKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ObjectTreeDblClick();
    void ObjectTreeMouseDown(Qt::MouseButton button, Qt::MouseButtons held, const QPoint& at);
    void MainScrollBoxResize();
    // The scheme picture's mouse work. Positions are picture pixels; held is
    // the set of buttons down once the event has happened.
    void Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void Image1MouseMove(Qt::MouseButtons held, int x, int y);
    void Image1MouseUp(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void Image1DblClick(int x, int y);
    void N23Click();  // delete the link
    void N24Click();  // properties of the link's source
    void N25Click();  // properties of the link's receiver

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildToolBar();
    void BuildPanels();
    void BuildMenus();
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
    void FillRefusalSinkList();
    void SelectRefusalSink();
    void ReplaceModel(std::unique_ptr<CQueuingSystem> current,
                      std::unique_ptr<CQueuingSystem> results);
    void TakeViewRect();
    QTreeWidgetItem* SelectedCategory() const;
    QTreeWidgetItem* FindChild(QTreeWidgetItem* category, const QString& name) const;
    bool IsTypeEntry(const QTreeWidgetItem* item) const;
    // The node of a tree entry, found by name; 255 for a category or a request type.
    uint8_t NodeOfEntry(const QTreeWidgetItem* item) const;
    void DeleteSelectedEntry();
    void EditSelectedEntry();
    void SelectMode(QToolButton* button, Qt::CursorShape shape);
    // The kind of node the pressed placement button puts down; 255 in the
    // pointer and link modes.
    uint8_t PlacementKind() const;
    void PlaceNode(uint8_t kind, int x, int y);
    void LinkModeClick(int x, int y);
    void SchemeContextMenu(int x, int y);
    void DragOutline(int x, int y);
    void DropNode(bool cancelled);
    void GrowPictureAroundNodes();
    // Indices into the model stop meaning anything once it loses a node or is replaced.
    void ForgetNodeIndices();

    UiServices services_;
    std::unique_ptr<CQueuingSystem> model_;
    std::unique_ptr<CQueuingSystem> results_;
    QString fileName_;
    CQSView view_;
    bool shown_ = false;

    TAddObjectForm* nameDialog_ = nullptr;
    TAboutForm* aboutBox_ = nullptr;
    PropertiesDialog properties_;
    std::function<void()> experiment_;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* CursorToolButton = nullptr;
    QToolButton* LinkToolButton = nullptr;
    QToolButton* GenToolButton = nullptr;
    QToolButton* QueToolButton = nullptr;
    QToolButton* ChanToolButton = nullptr;
    QToolButton* DispToolButton = nullptr;
    QToolButton* ReqToolButton = nullptr;
    QComboBox* RefDisComboBox = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* TreePanel = nullptr;
    QSplitter* Splitter2 = nullptr;
    QToolButton* TreeCloseButton = nullptr;
    QTreeWidget* ObjectTree = nullptr;
    QPlainTextEdit* CommentMemo = nullptr;
    QScrollArea* MainScrollBox = nullptr;
    SchemePicture* Image1 = nullptr;
    QLabel* DragImage = nullptr;
    std::array<QTreeWidgetItem*, 5> categories_{};

    QAction* N14 = nullptr;
    QAction* N11 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N2 = nullptr;
    QAction* N28 = nullptr;
    QAction* N29 = nullptr;
    QAction* N30 = nullptr;
    QAction* N5 = nullptr;
    QMenu* ObjectPopupMenu = nullptr;
    QAction* AddObjectItem = nullptr;
    QAction* DeleteObjectItem = nullptr;
    QAction* PropertiesItem = nullptr;
    QMenu* LinkPopupMenu = nullptr;
    QAction* N23 = nullptr;
    QAction* N24 = nullptr;
    QAction* N25 = nullptr;
};

}  // namespace marvolt
