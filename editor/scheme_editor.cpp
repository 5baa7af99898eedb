#include "editor/scheme_editor.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#include "editor/editor_resources.h"
#include "editor/logic/edit_steps.h"
#include "editor/logic/model_commands.h"
#include "editor/message_service.h"
#include "editor/scheme_picture.h"

namespace marvolt {

namespace {

struct ModeLook {
    const char* button;
    const char* hint;
    int icon;
    Qt::CursorShape shape;
    uint8_t kind;  // what a press puts down; 255 in the pointer and link modes
};

// In the order of ToolMode and of the tool bar.
constexpr ModeLook kModes[] = {
    {"CursorToolButton", "Указатель", 3, Qt::ArrowCursor, kNoIndex},
    {"LinkToolButton", "Установка связи между объектами", 4, Qt::UpArrowCursor, kNoIndex},
    {"GenToolButton", "Генератор", 5, Qt::CrossCursor, kGenerator},
    {"QueToolButton", "Накопитель", 6, Qt::CrossCursor, kQueue},
    {"ChanToolButton", "Канал", 7, Qt::CrossCursor, kChannel},
    {"DispToolButton", "Сток", 8, Qt::CrossCursor, kSink},
};

const ModeLook& LookOf(ToolMode mode) {
    return kModes[static_cast<int>(mode)];
}

}  // namespace

SchemeEditor::SchemeEditor(MessageService& messages, QWidget* parent)
    : QScrollArea(parent), messages_(messages) {
    setObjectName(QStringLiteral("MainScrollBox"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(white);
    viewport()->setAutoFillBackground(true);

    view_.GeneratorIcon = CQSView::WithWhiteTransparent(NodePicture(0));
    view_.QueueIcon = CQSView::WithWhiteTransparent(NodePicture(1));
    view_.ChannelIcon = CQSView::WithWhiteTransparent(NodePicture(2));
    view_.SinkIcon = CQSView::WithWhiteTransparent(NodePicture(3));

    Image1 = new SchemePicture;
    Image1->setObjectName(QStringLiteral("Image1"));
    setWidget(Image1);
    TakeViewRect();
    const auto at = [](const QMouseEvent* e) { return e->position().toPoint(); };
    connect(Image1, &SchemePicture::MouseDown, this, [this, at](QMouseEvent* e) {
        Image1MouseDown(e->button(), e->buttons(), at(e).x(), at(e).y());
    });
    connect(Image1, &SchemePicture::MouseMove, this,
            [this, at](QMouseEvent* e) { Image1MouseMove(e->buttons(), at(e).x(), at(e).y()); });
    connect(Image1, &SchemePicture::MouseUp, this, [this, at](QMouseEvent* e) {
        Image1MouseUp(e->button(), e->buttons(), at(e).x(), at(e).y());
    });
    connect(Image1, &SchemePicture::DoubleClick, this,
            [this, at](QMouseEvent* e) { Image1DblClick(at(e).x(), at(e).y()); });

    // The grey dotted outline that follows the pointer while a node is dragged.
    DragImage = new QLabel(viewport());
    DragImage->setObjectName(QStringLiteral("DragImage"));
    DragImage->setAttribute(Qt::WA_TranslucentBackground);
    DragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPixmap outline(view_.NodeSize, view_.NodeSize);
    outline.fill(Qt::transparent);
    {
        QPainter p(&outline);
        p.setPen(QPen(QColor(128, 128, 128), 0, Qt::DotLine));
        p.drawRect(0, 0, view_.NodeSize - 1, view_.NodeSize - 1);
    }
    DragImage->setPixmap(outline);
    DragImage->setFixedSize(view_.NodeSize, view_.NodeSize);
    DragImage->hide();

    BuildModeActions();
    BuildLinkMenu();
    // A click on the picture gives the box the keyboard, for the Delete key.
    setFocusPolicy(Qt::StrongFocus);
}

SchemeEditor::~SchemeEditor() = default;

void SchemeEditor::BuildModeActions() {
    modes_ = new QActionGroup(this);
    modes_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (size_t m = 0; m < modeActions_.size(); ++m) {
        const ModeLook& look = kModes[m];
        QAction* action = modes_->addAction(ToolIcon(look.icon), QString::fromUtf8(look.hint));
        action->setCheckable(true);
        action->setData(static_cast<int>(m));
        modeActions_[m] = action;
    }
    // Every press of a mode button starts that mode afresh, also the one already on.
    connect(modes_, &QActionGroup::triggered, this,
            [this](QAction* action) { SetMode(static_cast<ToolMode>(action->data().toInt())); });
    SetMode(ToolMode::kPointer);
}

void SchemeEditor::AddModeButtons(QToolBar* bar) {
    for (size_t m = 0; m < modeActions_.size(); ++m) {
        bar->addAction(modeActions_[m]);
        bar->widgetForAction(modeActions_[m])->setObjectName(QString::fromUtf8(kModes[m].button));
    }
}

void SchemeEditor::BuildLinkMenu() {
    LinkPopupMenu = new QMenu(this);
    LinkPopupMenu->setObjectName(QStringLiteral("LinkPopupMenu"));
    const auto item = [this](QAction*& action, const char* name, const char* caption,
                             void (SchemeEditor::*handler)()) {
        action = LinkPopupMenu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, handler);
    };
    item(N23, "N23", "&Удалить связь", &SchemeEditor::N23Click);
    item(N24, "N24", "Свойства &источника заявок", &SchemeEditor::N24Click);
    item(N25, "N25", "Свойства &приемника заявок", &SchemeEditor::N25Click);
    SetPropertiesAvailable(false);
}

void SchemeEditor::SetPropertiesAvailable(bool available) {
    N24->setEnabled(available);
    N25->setEnabled(available);
}

void SchemeEditor::SetMode(ToolMode mode) {
    mode_ = mode;
    modeActions_[static_cast<size_t>(mode)]->setChecked(true);
    state_.LinkSource = kNoIndex;
    Image1->setCursor(LookOf(mode).shape);
}

// ---- the picture ----

template <class Draw>
void SchemeEditor::DrawOnPicture(Draw draw) {
    QPainter canvas(&Image1->Bitmap());
    draw(canvas);
    canvas.end();
    Image1->update();
}

void SchemeEditor::Redraw() {
    DrawOnPicture([this](QPainter& canvas) { view_.Draw(canvas, state_.SelectedNode); });
}

void SchemeEditor::Refresh(CQueuingSystem& model, ModelChange what) {
    view_.Model = &model;
    switch (what) {
        case ModelChange::kReplaced:
        case ModelChange::kRestored:
            DragImage->hide();
            state_ = {};
            FitPictureToNodes();
            if (what == ModelChange::kReplaced) {
                horizontalScrollBar()->setValue(0);
                verticalScrollBar()->setValue(0);
            }
            Redraw();
            break;
        case ModelChange::kNodeRemoved:
            DragImage->hide();
            state_.SelectedNode = kNoIndex;
            state_.LinkSource = kNoIndex;
            state_.HitLinkSource = kNoIndex;
            state_.HitLinkReceiver = kNoIndex;
            state_.CurrentNode = kNoIndex;
            Redraw();
            break;
        case ModelChange::kNodes:
        case ModelChange::kScheme:
            state_.SelectedNode = kNoIndex;
            Redraw();
            break;
        case ModelChange::kNodePlaced:
        case ModelChange::kRequestTypes:
        case ModelChange::kLinkDrawn:
            break;
    }
}

void SchemeEditor::TakeViewRect() {
    view_.ViewRect = {0, 0, Image1->width(), Image1->height()};
}

void SchemeEditor::FitPictureToNodes() {
    const int width = std::max(Image1->width(), view_.MaxRight() + 10);
    const int height = std::max(Image1->height(), view_.MaxBottom() + 10);
    if (width != Image1->width() || height != Image1->height())
        Image1->SetPictureSize(width, height);
    TakeViewRect();
}

void SchemeEditor::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    MainScrollBoxResize();
}

void SchemeEditor::MainScrollBoxResize() {
    // The box's client area is counted without scroll bars: they come and go
    // with the picture's size and must not feed back into it.
    const QSize client = maximumViewportSize();
    const auto grown = [](int size, int clientSize) {
        if (size >= clientSize)
            return size;
        return clientSize - size >= 50 ? clientSize : size + 50;
    };
    const int height = grown(Image1->height(), client.height());
    const int width = grown(Image1->width(), client.width());
    const bool changed = height != Image1->height() || width != Image1->width();
    if (changed)
        Image1->SetPictureSize(width, height);
    TakeViewRect();
    state_.SelectedNode = kNoIndex;
    if (changed && view_.Model)
        Redraw();
}

QImage SchemeEditor::SchemeCopy() const {
    const SchemeRect bounds = view_.Bounds();
    const QImage& bitmap = Image1->Bitmap();
    const int margin = 12;
    const int left = bounds.left > margin ? bounds.left - margin : 0;
    const int top = bounds.top > margin ? bounds.top - margin : 0;
    const int right = bounds.right < bitmap.width() - margin ? bounds.right + margin : bitmap.width();
    const int bottom =
        bounds.bottom < bitmap.height() - margin ? bounds.bottom + margin : bitmap.height();
    if (right <= left || bottom <= top)
        return {};
    return bitmap.copy(left, top, right - left, bottom - top);
}

// ---- the mouse ----

void SchemeEditor::Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons held, int x, int y) {
    if (button == Qt::RightButton) {
        if (!(held & Qt::LeftButton))
            SchemeContextMenu(x, y);
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (mode_ == ToolMode::kPointer) {
        const NodeHit hit = view_.NodeAt(x, y);
        state_.SelectedNode = hit.node;
        state_.CurrentNode = hit.node;
        if (hit.node != kNoIndex) {
            state_.GripX = hit.gripX;
            state_.GripY = hit.gripY;
            emit NodeChosen(hit.node);
        }
    } else if (mode_ == ToolMode::kLink) {
        LinkModeClick(x, y);
    } else {
        PlaceNode(LookOf(mode_).kind, x, y);
    }
}

void SchemeEditor::PlaceNode(uint8_t kind, int x, int y) {
    const CommandResult placed = edit::PlaceNode(Model(), kind, x, y, view_.NodeSize);
    ShowRefusal(messages_, placed.refusal);
    if (!placed.done)
        return;
    SetMode(ToolMode::kPointer);
    DrawOnPicture([&](QPainter& canvas) { view_.DrawNode(placed.node, canvas); });
    const CQSObject* node = Model().Node(placed.node);
    emit ModelEdited(ModelChange::kNodePlaced, {node, nullptr}, step::Added(node->name));
}

void SchemeEditor::LinkModeClick(int x, int y) {
    const uint8_t source = state_.LinkSource;
    const uint8_t pressed = view_.NodeAt(x, y).node;
    const edit::LinkStep step = edit::LinkModePress(Model(), source, pressed);
    state_.LinkSource = step.linkSource;
    if (step.linked) {
        DrawOnPicture(
            [&](QPainter& canvas) { view_.DrawLink(source, pressed, canvas, Qt::SolidLine); });
        emit ModelEdited(ModelChange::kLinkDrawn, {},
                         step::Linked(Model().Node(source)->name, Model().Node(pressed)->name));
    }
    ShowRefusal(messages_, step.refusal);
}

void SchemeEditor::SchemeContextMenu(int x, int y) {
    const QPoint global = Image1->mapToGlobal(QPoint(x, y));
    const uint8_t node = view_.NodeAt(x, y).node;
    if (node != kNoIndex) {
        emit NodeMenuRequested(node, global);
        return;
    }
    const LinkHit link = view_.LinkAt(x, y);
    state_.HitLinkSource = link.source;
    state_.HitLinkReceiver = link.receiver;
    if (link.found())
        LinkPopupMenu->popup(global);
}

void SchemeEditor::Image1MouseMove(Qt::MouseButtons held, int x, int y) {
    if ((held & Qt::LeftButton) && state_.SelectedNode < Model().nodeCount())
        DragOutline(x, y);
}

void SchemeEditor::DragOutline(int x, int y) {
    const bool first = DragImage->isHidden();
    QPoint place = DragImage->pos();
    if (first) {
        // An axis the first move cannot use keeps the node's own place, not
        // wherever the outline was left by the previous drag.
        const CQSObject* node = Model().Node(state_.SelectedNode);
        place = QPoint(node->x + Image1->x(), node->y + Image1->y());
    }
    const QSize client = viewport()->size();
    const int left = x - state_.GripX + Image1->x();
    if (left > 0 && left + view_.NodeSize < client.width())
        place.setX(left);
    const int top = y - state_.GripY + Image1->y();
    if (top > 0 && top + view_.NodeSize < client.height())
        place.setY(top);
    DragImage->move(place);
    if (first) {
        DrawOnPicture([this](QPainter& canvas) {
            view_.DrawNode(state_.SelectedNode, canvas, true);
        });
        DragImage->raise();
        DragImage->show();
    }
}

void SchemeEditor::Image1MouseUp(Qt::MouseButton button, Qt::MouseButtons held, int, int) {
    // Any other release during a drag (the right button let go first) ends it
    // as a cancel, so neither the outline nor the focus rectangle is left behind.
    if (!DragImage->isHidden())
        DropNode(button != Qt::LeftButton || (held & Qt::RightButton) ||
                 state_.SelectedNode >= Model().nodeCount());
    state_.SelectedNode = kNoIndex;
}

void SchemeEditor::DropNode(bool cancelled) {
    DragImage->hide();
    const uint8_t node = state_.SelectedNode;
    state_.SelectedNode = kNoIndex;
    if (cancelled) {
        Redraw();
        return;
    }
    edit::MoveNode(Model(), node, DragImage->x() - Image1->x(), DragImage->y() - Image1->y());
    GrowPictureAroundNodes();
    emit ModelEdited(ModelChange::kScheme, {}, step::Moved(Model().Node(node)->name));
}

void SchemeEditor::GrowPictureAroundNodes() {
    const SchemeRect bounds = view_.Bounds();
    int width = Image1->width();
    int height = Image1->height();
    if (bounds.width() + 50 > width)
        width += 50;
    if (bounds.height() + 50 > height)
        height += 50;
    if (width == Image1->width() && height == Image1->height())
        return;
    Image1->SetPictureSize(width, height);
    TakeViewRect();
}

void SchemeEditor::Image1DblClick(int x, int y) {
    if (mode_ != ToolMode::kPointer)
        return;
    const uint8_t node = view_.NodeAt(x, y).node;
    if (node != kNoIndex)
        emit PropertiesRequested(node);
}

void SchemeEditor::N23Click() {
    const uint8_t source = state_.HitLinkSource;
    const uint8_t receiver = state_.HitLinkReceiver;
    const CommandResult unlinked = edit::Unlink(Model(), source, receiver);
    state_.SelectedNode = kNoIndex;
    if (unlinked.done) {
        emit ModelEdited(ModelChange::kScheme, {},
                         step::Unlinked(Model().Node(source)->name, Model().Node(receiver)->name));
    }
}

void SchemeEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && (event->modifiers() & ~Qt::KeypadModifier) == 0) {
        if (state_.CurrentNode < Model().nodeCount())
            emit DeleteRequested(state_.CurrentNode);
        event->accept();
        return;
    }
    QScrollArea::keyPressEvent(event);
}

void SchemeEditor::ShowNode(uint8_t node) {
    if (node >= Model().nodeCount())
        return;
    state_.SelectedNode = node;
    state_.CurrentNode = node;
    Redraw();
    const CQSObject* n = Model().Node(node);
    const int half = view_.NodeSize / 2;
    ensureVisible(n->x + half, n->y + half, half + 20, half + 20);
}

void SchemeEditor::N24Click() {
    emit PropertiesRequested(state_.HitLinkSource);
}

void SchemeEditor::N25Click() {
    emit PropertiesRequested(state_.HitLinkReceiver);
}

}  // namespace marvolt
