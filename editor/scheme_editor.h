// The scheme box of the main window: the picture of the current model and
// what the mouse does on it in each tool mode (placing, linking, dragging,
// the context menus), and the picture's growth.
#pragma once

#include <QImage>
#include <QScrollArea>

#include <array>
#include <cstdint>
#include <string>

#include "editor/model_change.h"
#include "editor/qsview.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QToolBar;

namespace marvolt {

class MessageService;
class SchemePicture;

enum class ToolMode { kPointer, kLink, kGenerator, kQueue, kChannel, kSink };

// What the mouse handlers share between events. Node indices; 255 none.
struct SchemeInteraction {
    uint8_t SelectedNode = kNoIndex;  // grabbed in pointer mode, drawn with a focus rectangle
    uint8_t LinkSource = kNoIndex;    // the first end chosen in link mode
    int32_t GripX = 0;                // where in its picture the grabbed node was hit
    int32_t GripY = 0;
    uint8_t HitLinkSource = kNoIndex;  // the link under the last right-button press
    uint8_t HitLinkReceiver = kNoIndex;
    uint8_t CurrentNode = kNoIndex;  // the node last pressed in pointer mode: Delete acts on it
};

class SchemeEditor : public QScrollArea {
    Q_OBJECT

  public:
    explicit SchemeEditor(MessageService& messages, QWidget* parent = nullptr);
    ~SchemeEditor() override;

    CQSView& View() { return view_; }
    SchemePicture& Picture() { return *Image1; }
    const SchemeInteraction& State() const { return state_; }

    // The tool modes: one action each, in one exclusive group; the buttons
    // on the tool bar are those actions.
    ToolMode Mode() const { return mode_; }
    void SetMode(ToolMode mode);
    // Puts the six mode buttons on the bar, in their order, under their names.
    void AddModeButtons(QToolBar* bar);
    // The properties items of the link menu work only once the dialog exists.
    void SetPropertiesAvailable(bool available);

    // Brings the picture in step with the model after a change; only the main
    // window's ModelChanged calls this.
    void Refresh(CQueuingSystem& model, ModelChange what);
    // Builds the whole scheme again onto the picture.
    void Redraw();
    // The nodes with a margin of 12 pixels, clipped to the picture; null when
    // there is nothing to copy.
    QImage SchemeCopy() const;
    // Marks the node as the current one, with its focus rectangle, and
    // scrolls it into sight.
    void ShowNode(uint8_t node);

    // Event handlers, named after their control and event. Positions are
    // picture pixels; held is the set of buttons down once the event has happened.
    void Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void Image1MouseMove(Qt::MouseButtons held, int x, int y);
    void Image1MouseUp(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void Image1DblClick(int x, int y);
    void N23Click();  // delete the link
    void N24Click();  // properties of the link's source
    void N25Click();  // properties of the link's receiver
    // The picture never shrinks; it grows to cover the box, in steps of at least 50.
    void MainScrollBoxResize();

  signals:
    // The model was changed here, by the step named; the main window brings
    // everything in step.
    void ModelEdited(ModelChange what, TreeSelection select, const std::string& step);
    void PropertiesRequested(uint8_t node);
    void NodeMenuRequested(uint8_t node, const QPoint& global);
    // A press in pointer mode chose the node; the tree shows it too.
    void NodeChosen(uint8_t node);
    // The Delete key, for the current node.
    void DeleteRequested(uint8_t node);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CQueuingSystem& Model() const { return *view_.Model; }
    void BuildModeActions();
    void BuildLinkMenu();
    void PlaceNode(uint8_t kind, int x, int y);
    void LinkModeClick(int x, int y);
    void SchemeContextMenu(int x, int y);
    void DragOutline(int x, int y);
    void DropNode(bool cancelled);
    void GrowPictureAroundNodes();
    void FitPictureToNodes();
    void TakeViewRect();
    // Draws on the picture without redrawing the rest.
    template <class Draw>
    void DrawOnPicture(Draw draw);

    MessageService& messages_;
    CQSView view_;
    SchemeInteraction state_;
    ToolMode mode_ = ToolMode::kPointer;

    SchemePicture* Image1 = nullptr;
    QLabel* DragImage = nullptr;
    QActionGroup* modes_ = nullptr;
    std::array<QAction*, 6> modeActions_{};
    QMenu* LinkPopupMenu = nullptr;
    QAction* N23 = nullptr;
    QAction* N24 = nullptr;
    QAction* N25 = nullptr;
};

}  // namespace marvolt
