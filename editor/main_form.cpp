#include "editor/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "editor/about_form.h"
#include "editor/add_object_form.h"
#include "editor/editor_resources.h"
#include "editor/scheme_picture.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "persistence/model_file.h"

namespace marvolt {

namespace {

const QString kRefusalSinkName = QStringLiteral("Сток отказов");
const QString kSaveQuestion = QStringLiteral("Сохранить текущую модель?");
constexpr int kTreeEntryIcon = 10;

// The order of names in the tree and in the refusal-sink list.
bool NameLess(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

class TreeEntry : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        return NameLess(text(0), other.text(0));
    }
};

struct CategoryLook {
    const char* text;
    int icon;
    const char* addCaption;
    const char* addLabel;
};

constexpr CategoryLook kCategories[] = {
    {"Генераторы", 5, "Добавить генератор", "Название генератора"},
    {"Накопители", 6, "Добавить накопитель", "Название накопителя"},
    {"Каналы", 7, "Добавить канал", "Название канала"},
    {"Стоки", 8, "Добавить сток", "Название стока"},
    {"Типы заявок", 9, "Добавить тип заявки", "Название типа заявки"},
};

constexpr uint8_t kKindOfCategory[] = {kGenerator, kQueue, kChannel, kSink};

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The memo shows line breaks as the toolkit writes them; the file keeps the
// code page's own pairs.
QString DescriptionForMemo(const std::string& stored) {
    return Text(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string DescriptionForFile(QString memo) {
    return memo.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

std::string FilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

CQSObject* AddNode(CQueuingSystem& model, uint8_t kind, const std::string& name) {
    switch (kind) {
        case kGenerator:
            return model.AddGenerator(name);
        case kQueue:
            return model.AddQueue(name);
        case kChannel:
            return model.AddChannel(name);
        default:
            return model.AddSink(name);
    }
}

// The link refusals of the scheme: "Сообщение", one OK button.
void ShowNotice(MessageService& messages, MessageIcon icon, const QString& text) {
    messages.Show(kCaptionNotice, icon, text, kButtonOk);
}

const QString kSinkAsSource =
    QStringLiteral("Сток не может быть выбран в качестве источника заявок.");

}  // namespace

TMainForm::TMainForm(UiServices services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("MainForm"));
    BuildMenus();
    BuildToolBar();
    BuildPanels();
    view_.GeneratorIcon = CQSView::WithWhiteTransparent(NodePicture(0));
    view_.QueueIcon = CQSView::WithWhiteTransparent(NodePicture(1));
    view_.ChannelIcon = CQSView::WithWhiteTransparent(NodePicture(2));
    view_.SinkIcon = CQSView::WithWhiteTransparent(NodePicture(3));
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
    NewModel(false);
}

TMainForm::~TMainForm() = default;

// ---- building the window ----

void TMainForm::BuildMenus() {
    const auto item = [this](QMenu* menu, QAction*& action, const char* name, const char* caption,
                             void (TMainForm::*handler)()) {
        action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, handler);
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("FileMenu"));
    item(file, N14, "N14", "Создать", &TMainForm::N14Click);
    item(file, N11, "N11", "Открыть", &TMainForm::N11Click);
    item(file, N12, "N12", "Сохранить", &TMainForm::N12Click);
    item(file, N13, "N13", "Сохранить как", &TMainForm::N13Click);
    item(file, N2, "N2", "Выход", &TMainForm::N2Click);
    QMenu* model = menuBar()->addMenu(QStringLiteral("Модель"));
    model->setObjectName(QStringLiteral("ModelMenu"));
    item(model, N28, "N28", "Дерево объектов", &TMainForm::N28Click);
    item(model, N29, "N29", "Управление экспериментом", &TMainForm::N29Click);
    item(model, N30, "N30", "Копировать схему", &TMainForm::N30Click);
    QMenu* about = menuBar()->addMenu(QStringLiteral("О программе"));
    about->setObjectName(QStringLiteral("AboutMenu"));
    item(about, N5, "N5", "О программе", &TMainForm::N5Click);
    N29->setEnabled(false);

    ObjectPopupMenu = new QMenu(this);
    ObjectPopupMenu->setObjectName(QStringLiteral("ObjectPopupMenu"));
    item(ObjectPopupMenu, AddObjectItem, "AddObjectItem", "Добавить объект",
         &TMainForm::AddObjectItemClick);
    item(ObjectPopupMenu, DeleteObjectItem, "DeleteObjectItem", "Удалить объект",
         &TMainForm::DeleteObjectItemClick);
    item(ObjectPopupMenu, PropertiesItem, "PropertiesItem", "Свойства объекта",
         &TMainForm::PropertiesItemClick);
    PropertiesItem->setEnabled(false);

    // Opened from the scheme picture by the canvas handlers.
    LinkPopupMenu = new QMenu(this);
    LinkPopupMenu->setObjectName(QStringLiteral("LinkPopupMenu"));
    item(LinkPopupMenu, N23, "N23", "Удалить связь", &TMainForm::N23Click);
    item(LinkPopupMenu, N24, "N24", "Свойства источника заявок", &TMainForm::N24Click);
    item(LinkPopupMenu, N25, "N25", "Свойства приемника заявок", &TMainForm::N25Click);
    N24->setEnabled(false);
    N25->setEnabled(false);
}

void TMainForm::BuildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    // The bar holds the only way to choose the refusal sink: it cannot be hidden.
    ToolBar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    ToolBar1->setIconSize(QSize(16, 16));
    const auto button = [this](QToolButton*& b, const char* name, const char* hint, int icon,
                               bool toggles, void (TMainForm::*handler)()) {
        b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromUtf8(name));
        b->setToolTip(QString::fromUtf8(hint));
        b->setIcon(ToolIcon(icon));
        b->setAutoRaise(true);
        b->setCheckable(toggles);
        ToolBar1->addWidget(b);
        connect(b, &QToolButton::clicked, this, handler);
    };
    button(ToolButton1, "ToolButton1", "Новый проект", 0, false, &TMainForm::N14Click);
    button(ToolButton2, "ToolButton2", "Открыть проект", 1, false, &TMainForm::N11Click);
    button(ToolButton3, "ToolButton3", "Сохранить проект", 2, false, &TMainForm::N12Click);
    ToolBar1->addSeparator();
    button(CursorToolButton, "CursorToolButton", "Указатель", 3, true,
           &TMainForm::CursorToolButtonClick);
    button(LinkToolButton, "LinkToolButton", "Установка связи между объектами", 4, true,
           &TMainForm::LinkToolButtonClick);
    button(GenToolButton, "GenToolButton", "Генератор", 5, true, &TMainForm::GenToolButtonClick);
    button(QueToolButton, "QueToolButton", "Накопитель", 6, true, &TMainForm::QueToolButtonClick);
    button(ChanToolButton, "ChanToolButton", "Канал", 7, true, &TMainForm::ChanToolButtonClick);
    button(DispToolButton, "DispToolButton", "Сток", 8, true, &TMainForm::DispToolButtonClick);
    button(ReqToolButton, "ReqToolButton", "Тип заявки", 9, false, &TMainForm::ReqToolButtonClick);
    auto* label = new QLabel(QStringLiteral("  Сток отказов: "), ToolBar1);
    label->setObjectName(QStringLiteral("Label1"));
    ToolBar1->addWidget(label);
    RefDisComboBox = new QComboBox(ToolBar1);
    RefDisComboBox->setObjectName(QStringLiteral("RefDisComboBox"));
    RefDisComboBox->setEditable(false);
    RefDisComboBox->setFixedWidth(147);
    RefDisComboBox->setToolTip(QStringLiteral("Для заявок, получивших отказ в обслуживании"));
    ToolBar1->addWidget(RefDisComboBox);
    connect(RefDisComboBox, &QComboBox::activated, this, &TMainForm::RefDisComboBoxChange);
    ToolBar1->addSeparator();
    button(ToolButton5, "ToolButton5", "Управление экспериментом", 12, false, &TMainForm::N29Click);
    ToolButton5->setEnabled(false);
}

void TMainForm::BuildPanels() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    setCentralWidget(Splitter1);

    TreePanel = new QWidget(Splitter1);
    TreePanel->setObjectName(QStringLiteral("TreePanel"));
    auto* panelLayout = new QVBoxLayout(TreePanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Splitter2 = new QSplitter(Qt::Vertical, TreePanel);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setChildrenCollapsible(false);
    panelLayout->addWidget(Splitter2);

    auto* treeBox = new QWidget(Splitter2);
    auto* treeLayout = new QVBoxLayout(treeBox);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->setSpacing(1);
    auto* header = new QWidget(treeBox);
    header->setObjectName(QStringLiteral("TreeHeader"));
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(0, 1, 1, 1);
    headerLayout->addStretch(1);
    TreeCloseButton = new QToolButton(header);
    TreeCloseButton->setObjectName(QStringLiteral("TreeCloseButton"));
    TreeCloseButton->setFixedSize(12, 12);
    TreeCloseButton->setAutoRaise(true);
    headerLayout->addWidget(TreeCloseButton);
    connect(TreeCloseButton, &QToolButton::clicked, this, &TMainForm::TreeCloseButtonClick);
    treeLayout->addWidget(header);

    ObjectTree = new QTreeWidget(treeBox);
    ObjectTree->setObjectName(QStringLiteral("ObjectTree"));
    ObjectTree->setHeaderHidden(true);
    ObjectTree->setColumnCount(1);
    ObjectTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ObjectTree->setSelectionMode(QAbstractItemView::SingleSelection);
    ObjectTree->setSortingEnabled(false);
    ObjectTree->setIconSize(QSize(16, 16));
    for (int c = 0; c < 5; ++c) {
        auto* category = new TreeEntry(ObjectTree, {QString::fromUtf8(kCategories[c].text)});
        category->setIcon(0, ToolIcon(kCategories[c].icon));
        categories_[c] = category;
    }
    ObjectTree->installEventFilter(this);
    ObjectTree->viewport()->installEventFilter(this);
    connect(ObjectTree, &QTreeWidget::itemDoubleClicked, this, &TMainForm::ObjectTreeDblClick);
    treeLayout->addWidget(ObjectTree);

    CommentMemo = new QPlainTextEdit(Splitter2);
    CommentMemo->setObjectName(QStringLiteral("CommentMemo"));
    CommentMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setSizes({400, 200});

    MainScrollBox = new QScrollArea(Splitter1);
    MainScrollBox->setObjectName(QStringLiteral("MainScrollBox"));
    MainScrollBox->setWidgetResizable(false);
    MainScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette white = MainScrollBox->viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    MainScrollBox->viewport()->setPalette(white);
    MainScrollBox->viewport()->setAutoFillBackground(true);
    Image1 = new SchemePicture;
    Image1->setObjectName(QStringLiteral("Image1"));
    MainScrollBox->setWidget(Image1);
    MainScrollBox->installEventFilter(this);
    DragImage = new QLabel(MainScrollBox->viewport());
    DragImage->setObjectName(QStringLiteral("DragImage"));
    DragImage->setAttribute(Qt::WA_TranslucentBackground);
    DragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    DragImage->hide();

    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    TreePanel->resize(250, TreePanel->height());
    Splitter1->setSizes({250, 800});
}

// ---- start-up and the fresh model ----

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TMainForm::FormShow() {
    TreeCloseButton->setText(QString(QChar(0x00D7)));
    FillRefusalSinkList();
    SelectRefusalSink();
    RebuildTree();
    for (QTreeWidgetItem* category : categories_)
        category->setExpanded(true);
    TakeViewRect();
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
    view_.SelectedNode = kNoIndex;
    RedrawScheme();
    CursorToolButtonClick();
    MainScrollBoxResize();
}

void TMainForm::NewModel(bool redraw) {
    model_ = std::make_unique<CQueuingSystem>();
    model_->AddRequestType(model_->DefaultTypeName());
    CGenerator* generator = model_->AddGenerator(model_->DefaultNodeName(kGenerator));
    generator->SetGeneratedType(0, true);
    generator->typeProbabilities[0] = 1.0f;
    generator->x = 15;
    generator->y = 15;
    CDispose* refusals = model_->AddSink(kRefusalSinkName.toStdString());
    model_->SetRefusalSink(refusals->name);
    refusals->x = 15;
    refusals->y = view_.NodeSize + 35;
    view_.Model = model_.get();
    ForgetNodeIndices();
    model_->modelDescription = "Новая модель";
    CommentMemo->setPlainText(DescriptionForMemo(model_->modelDescription));
    fileName_.clear();
    SetTitle();
    if (redraw) {
        view_.SelectedNode = kNoIndex;
        RedrawScheme();
        FillRefusalSinkList();
        SelectRefusalSink();
        RebuildTree();
    }
}

void TMainForm::SetTitle() {
    if (fileName_.isEmpty())
        setWindowTitle(kTitleBase);
    else
        setWindowTitle(kTitleBase + QStringLiteral(" - [") + QFileInfo(fileName_).fileName() +
                       QLatin1Char(']'));
}

void TMainForm::SetPropertiesDialog(PropertiesDialog dialog) {
    properties_ = std::move(dialog);
    const bool available = static_cast<bool>(properties_);
    PropertiesItem->setEnabled(available);
    N24->setEnabled(available);
    N25->setEnabled(available);
}

void TMainForm::SetExperimentWindow(std::function<void()> open) {
    experiment_ = std::move(open);
    N29->setEnabled(static_cast<bool>(experiment_));
    ToolButton5->setEnabled(static_cast<bool>(experiment_));
}

// ---- the scheme ----

void TMainForm::RedrawScheme() {
    QPainter canvas(&Image1->Bitmap());
    view_.Draw(canvas);
    canvas.end();
    Image1->update();
}

void TMainForm::TakeViewRect() {
    view_.ViewRect = {0, 0, Image1->width(), Image1->height()};
}

void TMainForm::MainScrollBoxResize() {
    // The picture never shrinks; it grows to cover the box, in steps of at least 50.
    // The box's client area is counted without scroll bars: they come and go
    // with the picture's size and must not feed back into it.
    const QSize client = MainScrollBox->maximumViewportSize();
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
    view_.SelectedNode = kNoIndex;
    if (changed)
        RedrawScheme();
}

void TMainForm::N30Click() {
    const SchemeRect bounds = view_.Bounds();
    const int width = Image1->Bitmap().width();
    const int height = Image1->Bitmap().height();
    const int margin = 12;
    const int left = bounds.left > margin ? bounds.left - margin : 0;
    const int top = bounds.top > margin ? bounds.top - margin : 0;
    const int right = bounds.right < width - margin ? bounds.right + margin : width;
    const int bottom = bounds.bottom < height - margin ? bounds.bottom + margin : height;
    if (right <= left || bottom <= top)
        return;
    services_.clipboard.SetImage(Image1->Bitmap().copy(left, top, right - left, bottom - top));
}

// ---- the object tree ----

QTreeWidgetItem* TMainForm::CategoryOfKind(uint8_t kind) const {
    switch (kind) {
        case kGenerator:
            return categories_[kGeneratorsCategory];
        case kChannel:
            return categories_[kChannelsCategory];
        case kQueue:
            return categories_[kQueuesCategory];
        default:
            return categories_[kSinksCategory];
    }
}

void TMainForm::RebuildTree() {
    for (QTreeWidgetItem* category : categories_)
        qDeleteAll(category->takeChildren());
    const auto entry = [](QTreeWidgetItem* category, const std::string& name) {
        auto* item = new TreeEntry(category, {Text(name)});
        item->setIcon(0, ToolIcon(kTreeEntryIcon));
    };
    for (const auto& node : model_->nodes)
        entry(CategoryOfKind(node->kind), node->name);
    for (const auto& type : model_->requestTypes)
        entry(categories_[kRequestTypesCategory], type->name);
}

void TMainForm::AddTreeEntry(QTreeWidgetItem* category, const QString& name) {
    auto* item = new TreeEntry(category, {name});
    item->setIcon(0, ToolIcon(kTreeEntryIcon));
    category->setExpanded(true);
    ObjectTree->setCurrentItem(item);
    category->sortChildren(0, Qt::AscendingOrder);
}

QTreeWidgetItem* TMainForm::SelectedCategory() const {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!item)
        return nullptr;
    return item->parent() ? item->parent() : item;
}

QTreeWidgetItem* TMainForm::FindChild(QTreeWidgetItem* category, const QString& name) const {
    for (int i = 0; i < category->childCount(); ++i) {
        if (category->child(i)->text(0) == name)
            return category->child(i);
    }
    return nullptr;
}

bool TMainForm::IsTypeEntry(const QTreeWidgetItem* item) const {
    return item && item->parent() == categories_[kRequestTypesCategory];
}

uint8_t TMainForm::NodeOfEntry(const QTreeWidgetItem* item) const {
    if (!item || !item->parent() || IsTypeEntry(item))
        return kNoIndex;
    return model_->NodeIndex(item->text(0).toStdString());
}

void TMainForm::ObjectTreeKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Insert || (key == Qt::Key_Plus && (modifiers & Qt::KeypadModifier)))
        AddWithDialog();
    else if (key == Qt::Key_Delete)
        DeleteSelectedEntry();
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        EditSelectedEntry();
}

void TMainForm::ObjectTreeDblClick() {
    EditSelectedEntry();
}

void TMainForm::ObjectTreeMouseDown(Qt::MouseButton button, Qt::MouseButtons held,
                                    const QPoint& at) {
    if (button != Qt::RightButton || (held & Qt::LeftButton))
        return;
    QTreeWidgetItem* item = ObjectTree->itemAt(at);
    if (!item)
        return;
    ObjectTree->setCurrentItem(item);
    view_.PopupNode = kNoIndex;
    const bool child = item->parent() != nullptr;
    AddObjectItem->setVisible(true);
    DeleteObjectItem->setEnabled(child);
    PropertiesItem->setEnabled(child && properties_);
    ObjectPopupMenu->popup(ObjectTree->viewport()->mapToGlobal(at));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Events arrive while the window is still being built.
    if (!ObjectTree || !MainScrollBox)
        return QMainWindow::eventFilter(watched, event);
    if (watched == ObjectTree && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Insert:
            case Qt::Key_Delete:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                ObjectTreeKeyDown(key->key(), key->modifiers());
                return true;
            case Qt::Key_Plus:
                if (key->modifiers() & Qt::KeypadModifier) {
                    ObjectTreeKeyDown(key->key(), key->modifiers());
                    return true;
                }
                break;
            default:
                break;
        }
    } else if (watched == ObjectTree->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            ObjectTreeMouseDown(mouse->button(), mouse->buttons(), mouse->position().toPoint());
            return true;
        }
    } else if (watched == MainScrollBox && event->type() == QEvent::Resize) {
        MainScrollBoxResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::N28Click() {
    TreePanel->show();
    QList<int> sizes = Splitter1->sizes();
    if (sizes.size() == 2 && sizes[0] < 50) {
        const int total = sizes[0] + sizes[1];
        Splitter1->setSizes({250, std::max(total - 250, 1)});
    }
    ObjectTree->setFocus();
}

void TMainForm::TreeCloseButtonClick() {
    // The splitter's handle goes with the panel it divides off.
    TreePanel->hide();
}

// ---- adding ----

void TMainForm::ObjectLimitMessage() {
    ShowWarning(services_.messages,
                QStringLiteral("Невозможно добавить новый объект.\nМодель содержит максимально "
                               "возможное количество объектов (") +
                    QString::number(ObjectLimit) + QStringLiteral(")."));
}

void TMainForm::RequestTypeLimitMessage() {
    ShowWarning(services_.messages,
                QStringLiteral("Невозможно добавить новый тип заявки.\nМодель содержит "
                               "максимально возможное количество типов заявок (") +
                    QString::number(RequestTypeLimit) + QStringLiteral(")."));
}

void TMainForm::AddRefusalSinkName(const QString& name) {
    int at = 0;
    while (at < RefDisComboBox->count() && !NameLess(name, RefDisComboBox->itemText(at)))
        ++at;
    RefDisComboBox->insertItem(at, name);
}

void TMainForm::AddWithDialog() {
    QTreeWidgetItem* target = SelectedCategory();
    if (!target || !nameDialog_)
        return;
    const int category = ObjectTree->indexOfTopLevelItem(target);
    if (category < 0)
        return;
    const bool typeMode = category == kRequestTypesCategory;
    if (typeMode && model_->typeCount() == RequestTypeLimit) {
        RequestTypeLimitMessage();
        return;
    }
    if (!typeMode && model_->nodeCount() == ObjectLimit) {
        ObjectLimitMessage();
        return;
    }
    const uint8_t kind = typeMode ? uint8_t{kGenerator} : kKindOfCategory[category];
    nameDialog_->requestTypeMode = typeMode;
    nameDialog_->model = model_.get();
    nameDialog_->setWindowTitle(QString::fromUtf8(kCategories[category].addCaption));
    nameDialog_->Label1->setText(QString::fromUtf8(kCategories[category].addLabel));
    nameDialog_->NameEdit->setText(
        Text(typeMode ? model_->DefaultTypeName() : model_->DefaultNodeName(kind)));
    if (nameDialog_->exec() != QDialog::Accepted)
        return;
    const QString name = nameDialog_->NameEdit->text();
    const std::string utf8 = name.toStdString();

    if (typeMode) {
        if (!model_->AddRequestType(utf8))
            return;
        AddTreeEntry(target, name);
        return;
    }
    CQSObject* node = AddNode(*model_, kind, utf8);
    if (!node)
        return;
    AddTreeEntry(target, name);
    if (kind == kSink)
        AddRefusalSinkName(name);
    node->x = 15;
    node->y = 15;
    RedrawScheme();
}

void TMainForm::ReqToolButtonClick() {
    ObjectTree->setCurrentItem(categories_[kRequestTypesCategory]);
    AddWithDialog();
}

void TMainForm::AddObjectItemClick() {
    AddWithDialog();
}

// ---- deleting ----

void TMainForm::DeleteObject(uint8_t node) {
    if (node >= model_->nodeCount())
        return;
    CQSObject* n = model_->Node(node);
    const QString name = Text(n->name);
    if (n->kind == kGenerator) {
        int generators = 0;
        for (const auto& other : model_->nodes)
            generators += other->kind == kGenerator;
        if (generators == 1) {
            ShowWarning(
                services_.messages,
                QStringLiteral("Генератор заявок ") + Quoted(name) +
                    QStringLiteral(" является единственным,\nпоэтому не может быть удален."));
            return;
        }
    }
    if (n->kind == kSink && model_->refusalSink && model_->refusalSink->name == n->name) {
        ShowWarning(services_.messages,
                    QStringLiteral("Сток ") + Quoted(name) +
                        QStringLiteral(" является стоком отказов,\nпоэтому не может быть удален."));
        return;
    }
    if (services_.messages.Show(kCaptionConfirmDelete, MessageIcon::kQuestion,
                                QStringLiteral("Вы действительно хотите удалить объект ") +
                                    Quoted(name) + QLatin1Char('?'),
                                kButtonYes | kButtonNo) != kButtonYes)
        return;
    if (n->kind == kSink) {
        const int at = RefDisComboBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at >= 0)
            RefDisComboBox->removeItem(at);
    }
    delete FindChild(CategoryOfKind(n->kind), name);
    const std::string nodeName = n->name;  // the node and its name go with it
    model_->DeleteNode(nodeName);
    ForgetNodeIndices();
    RedrawScheme();
}

void TMainForm::DeleteSelectedType() {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!IsTypeEntry(item))
        return;
    const QString name = item->text(0);
    if (model_->typeCount() == 1) {
        ShowWarning(services_.messages,
                    QStringLiteral("Тип заявок ") + Quoted(name) +
                        QStringLiteral(" является единственным,\nпоэтому не может быть удален."));
        return;
    }
    if (services_.messages.Show(kCaptionConfirmDelete, MessageIcon::kQuestion,
                                QStringLiteral("Вы действительно хотите удалить тип заявок ") +
                                    Quoted(name) + QLatin1Char('?'),
                                kButtonYes | kButtonNo) != kButtonYes)
        return;
    model_->DeleteRequestType(name.toStdString());
    delete item;
}

void TMainForm::DeleteSelectedEntry() {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!item || !item->parent())
        return;
    if (IsTypeEntry(item))
        DeleteSelectedType();
    else
        DeleteObject(NodeOfEntry(item));
}

void TMainForm::DeleteObjectItemClick() {
    if (view_.PopupNode != kNoIndex) {
        DeleteObject(view_.PopupNode);
        return;
    }
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!item || !item->parent())
        return;
    if (IsTypeEntry(item)) {
        DeleteSelectedType();
        return;
    }
    view_.PopupNode = NodeOfEntry(item);
    DeleteObject(view_.PopupNode);
}

// ---- properties ----

void TMainForm::EditObject(uint8_t node) {
    if (!properties_ || node >= model_->nodeCount())
        return;
    CQSObject* n = model_->Node(node);
    const QString before = Text(n->name);
    if (!properties_(n, nullptr))
        return;
    const QString after = Text(n->name);
    if (after != before) {
        QTreeWidgetItem* category = CategoryOfKind(n->kind);
        if (QTreeWidgetItem* entry = FindChild(category, before)) {
            entry->setText(0, after);
            category->sortChildren(0, Qt::AscendingOrder);
        }
        if (n->kind == kSink) {
            const int at =
                RefDisComboBox->findText(before, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (at >= 0) {
                RefDisComboBox->setItemText(at, after);
                if (model_->refusalSink == n)
                    RefDisComboBox->setCurrentIndex(at);
            }
        }
        view_.SelectedNode = kNoIndex;
        RedrawScheme();
    }
    // The reserve-channel line may have changed.
    if (n->kind == kChannel) {
        view_.SelectedNode = kNoIndex;
        RedrawScheme();
    }
}

void TMainForm::EditRequestType() {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!properties_ || !IsTypeEntry(item))
        return;
    CRequestType* type = model_->FindRequestType(item->text(0).toStdString());
    if (!type || !properties_(nullptr, type))
        return;
    item->setText(0, Text(type->name));
    item->parent()->sortChildren(0, Qt::AscendingOrder);
}

void TMainForm::EditSelectedEntry() {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!item || !item->parent())
        return;
    if (IsTypeEntry(item))
        EditRequestType();
    else
        EditObject(NodeOfEntry(item));
}

void TMainForm::PropertiesItemClick() {
    if (view_.PopupNode != kNoIndex) {
        EditObject(view_.PopupNode);
        return;
    }
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!item || !item->parent())
        return;
    if (IsTypeEntry(item)) {
        EditRequestType();
        return;
    }
    view_.PopupNode = NodeOfEntry(item);
    EditObject(view_.PopupNode);
}

// ---- the refusal sink ----

void TMainForm::FillRefusalSinkList() {
    QStringList sinks;
    for (const auto& node : model_->nodes) {
        if (node->kind == kSink)
            sinks << Text(node->name);
    }
    std::sort(sinks.begin(), sinks.end(), NameLess);
    RefDisComboBox->clear();
    RefDisComboBox->addItems(sinks);
}

void TMainForm::SelectRefusalSink() {
    if (!model_->refusalSink)
        return;
    const int at = RefDisComboBox->findText(Text(model_->refusalSink->name),
                                            Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        RefDisComboBox->setCurrentIndex(at);
}

void TMainForm::RefDisComboBoxChange(int index) {
    if (index < 0)
        return;
    model_->SetRefusalSink(RefDisComboBox->itemText(index).toStdString());
}

// ---- files ----

FileDialogRequest TMainForm::ModelFileDialog() const {
    return {kModelFileFilter, QStringLiteral("qsf")};
}

void TMainForm::SaveWithDialog() {
    const QString path = services_.fileDialogs.SaveFileName(ModelFileDialog());
    if (!path.isEmpty())
        SaveModel(path);
}

bool TMainForm::SaveCurrent() {
    if (!fileName_.isEmpty())
        return SaveModel(fileName_);
    const QString path = services_.fileDialogs.SaveFileName(ModelFileDialog());
    return path.isEmpty() || SaveModel(path);
}

bool TMainForm::AskToSave() {
    if (services_.messages.Show(QStringLiteral("Новая модель"), MessageIcon::kQuestion,
                                kSaveQuestion, kButtonYes | kButtonNo) != kButtonYes)
        return true;
    return SaveCurrent();
}

bool TMainForm::SaveModel(const QString& path) {
    model_->modelDescription = DescriptionForFile(CommentMemo->toPlainText());
    switch (SaveModelFile(FilePath(path), *model_, results_.get())) {
        case SaveResult::kOk:
            break;
        case SaveResult::kCannotOpenForWriting:
            ShowError(services_.messages, QStringLiteral("Невозможно открыть файл ") +
                                              Quoted(path) + QStringLiteral(" для записи."));
            return false;
        case SaveResult::kCannotStoreText:
            ShowError(services_.messages,
                      QStringLiteral("Невозможно сохранить модель в файл ") + Quoted(path) +
                          QStringLiteral(".\nОписание модели или имя одного из ее объектов "
                                         "содержит символы, которые нельзя записать в файл."));
            return false;
        case SaveResult::kWriteFailed:
            ShowError(services_.messages,
                      QStringLiteral("Ошибка при записи файла ") + Quoted(path) + QLatin1Char('.'));
            return false;
    }
    fileName_ = path;
    SetTitle();
    return true;
}

void TMainForm::ReplaceModel(std::unique_ptr<CQueuingSystem> current,
                             std::unique_ptr<CQueuingSystem> results) {
    model_ = std::move(current);
    results_ = std::move(results);
    view_.Model = model_.get();
    ForgetNodeIndices();
}

void TMainForm::OpenModel() {
    const QString path = services_.fileDialogs.OpenFileName(ModelFileDialog());
    if (path.isEmpty())
        return;
    if (!AskToSave())
        return;
    OpenedModels opened = OpenModelFile(FilePath(path));
    if (opened.result == OpenResult::kCannotOpenForReading) {
        ShowError(services_.messages, QStringLiteral("Невозможно открыть файл ") + Quoted(path) +
                                          QStringLiteral(" для чтения."));
        return;
    }
    if (opened.result != OpenResult::kOk || !opened.current) {
        ShowError(services_.messages,
                  QStringLiteral("Ошибка при чтении файла ") + Quoted(path) + QLatin1Char('.'));
        return;
    }
    ReplaceModel(std::move(opened.current), std::move(opened.results));

    RebuildTree();
    QTreeWidgetItem* last = nullptr;
    for (QTreeWidgetItem* category : categories_) {
        category->setExpanded(true);
        last = category->childCount() > 0 ? category->child(category->childCount() - 1) : category;
    }
    ObjectTree->setCurrentItem(last);
    for (QTreeWidgetItem* category : categories_)
        category->sortChildren(0, Qt::AscendingOrder);

    fileName_ = path;
    CommentMemo->setPlainText(DescriptionForMemo(model_->modelDescription));
    FillRefusalSinkList();
    SelectRefusalSink();
    SetTitle();

    const int width = std::max(Image1->width(), view_.MaxRight() + 10);
    const int height = std::max(Image1->height(), view_.MaxBottom() + 10);
    if (width != Image1->width() || height != Image1->height())
        Image1->SetPictureSize(width, height);
    TakeViewRect();
    MainScrollBox->horizontalScrollBar()->setValue(0);
    MainScrollBox->verticalScrollBar()->setValue(0);
    view_.SelectedNode = kNoIndex;
    RedrawScheme();
}

void TMainForm::N14Click() {
    if (!AskToSave())
        return;
    results_.reset();
    model_.reset();
    NewModel(true);
}

void TMainForm::N11Click() {
    OpenModel();
}

void TMainForm::N12Click() {
    SaveCurrent();
}

void TMainForm::N13Click() {
    SaveWithDialog();
}

void TMainForm::N2Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    const MessageButton answer =
        services_.messages.Show(QStringLiteral("Выход из программы"), MessageIcon::kQuestion,
                                kSaveQuestion, kButtonYes | kButtonNo | kButtonCancel);
    if (answer == kButtonCancel) {
        event->ignore();
        return;
    }
    if (answer == kButtonYes && !SaveCurrent()) {
        event->ignore();
        return;
    }
    event->accept();
}

// ---- other windows ----

void TMainForm::N29Click() {
    if (experiment_)
        experiment_();
}

void TMainForm::N5Click() {
    if (aboutBox_)
        aboutBox_->exec();
}

// ---- tool modes ----

void TMainForm::ReleaseToolButtons() {
    for (QToolButton* b : {CursorToolButton, LinkToolButton, GenToolButton, QueToolButton,
                           ChanToolButton, DispToolButton})
        b->setChecked(false);
    view_.LinkSource = kNoIndex;
}

void TMainForm::SelectMode(QToolButton* button, Qt::CursorShape shape) {
    ReleaseToolButtons();
    button->setChecked(true);
    Image1->setCursor(shape);
}

void TMainForm::CursorToolButtonClick() {
    SelectMode(CursorToolButton, Qt::ArrowCursor);
    view_.LinkSource = kNoIndex;
}

void TMainForm::LinkToolButtonClick() {
    SelectMode(LinkToolButton, Qt::UpArrowCursor);
}
void TMainForm::GenToolButtonClick() {
    SelectMode(GenToolButton, Qt::CrossCursor);
}
void TMainForm::QueToolButtonClick() {
    SelectMode(QueToolButton, Qt::CrossCursor);
}
void TMainForm::ChanToolButtonClick() {
    SelectMode(ChanToolButton, Qt::CrossCursor);
}
void TMainForm::DispToolButtonClick() {
    SelectMode(DispToolButton, Qt::CrossCursor);
}

uint8_t TMainForm::PlacementKind() const {
    if (GenToolButton->isChecked())
        return kGenerator;
    if (QueToolButton->isChecked())
        return kQueue;
    if (ChanToolButton->isChecked())
        return kChannel;
    if (DispToolButton->isChecked())
        return kSink;
    return kNoIndex;
}

// ---- the mouse on the scheme ----

void TMainForm::ForgetNodeIndices() {
    view_.SelectedNode = kNoIndex;
    view_.LinkSource = kNoIndex;
}

void TMainForm::Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons held, int x, int y) {
    if (button == Qt::RightButton) {
        if (!(held & Qt::LeftButton))
            SchemeContextMenu(x, y);
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (CursorToolButton->isChecked()) {
        view_.SelectedNode = view_.NodeAt(x, y);
        return;
    }
    if (LinkToolButton->isChecked()) {
        LinkModeClick(x, y);
        return;
    }
    const uint8_t kind = PlacementKind();
    if (kind != kNoIndex)
        PlaceNode(kind, x, y);
}

void TMainForm::PlaceNode(uint8_t kind, int x, int y) {
    if (model_->nodeCount() == ObjectLimit) {
        ObjectLimitMessage();
        return;
    }
    const std::string name = model_->DefaultNodeName(kind);
    CQSObject* node = AddNode(*model_, kind, name);
    if (!node)
        return;
    AddTreeEntry(CategoryOfKind(kind), Text(name));
    if (kind == kSink)
        AddRefusalSinkName(Text(name));
    CursorToolButtonClick();
    // Centred on the press, but never at 0: a node there counts as unplaced.
    const int32_t half = view_.NodeSize / 2;
    node->x = x < half + 1 ? 1 : x - half;
    node->y = y < half + 1 ? 1 : y - half;
    QPainter canvas(&Image1->Bitmap());
    view_.DrawNode(model_->NodeIndex(name), canvas);
    canvas.end();
    Image1->update();
}

void TMainForm::LinkModeClick(int x, int y) {
    const uint8_t hit = view_.NodeAt(x, y);
    if (hit == kNoIndex)
        return;
    if (view_.LinkSource == kNoIndex) {
        if (model_->Node(hit)->kind == kSink)
            ShowNotice(services_.messages, MessageIcon::kInformation, kSinkAsSource);
        else
            view_.LinkSource = hit;
        return;
    }
    if (view_.LinkSource == hit)
        return;
    const uint8_t source = view_.LinkSource;
    switch (model_->Link(source, hit)) {
        case kOk: {
            QPainter canvas(&Image1->Bitmap());
            view_.DrawLink(source, hit, canvas, Qt::SolidLine);
            canvas.end();
            Image1->update();
            view_.LinkSource = kNoIndex;
            break;
        }
        case kLinkFromSink:
            ShowNotice(services_.messages, MessageIcon::kWarning, kSinkAsSource);
            view_.LinkSource = kNoIndex;
            break;
        case kLinkToGenerator:
            ShowNotice(services_.messages, MessageIcon::kInformation,
                       QStringLiteral("Генератор не может быть выбран в качестве приемника "
                                      "заявок."));
            view_.LinkSource = kNoIndex;
            break;
        case kLinkExists:
            break;
        case kLinkQueueToQueue:
            ShowNotice(services_.messages, MessageIcon::kInformation,
                       QStringLiteral("Накопитель не может быть выбран \nв качестве источника "
                                      "заявок для другого накопителя \n(между двумя "
                                      "накопителями нельзя установить связь)."));
            view_.LinkSource = kNoIndex;
            break;
        default:
            ShowNotice(services_.messages, MessageIcon::kWarning,
                       QStringLiteral("Объект не найден."));
            break;
    }
}

void TMainForm::SchemeContextMenu(int x, int y) {
    const QPoint global = Image1->mapToGlobal(QPoint(x, y));
    const uint8_t node = view_.NodeAt(x, y);
    if (node != kNoIndex) {
        AddObjectItem->setVisible(false);
        DeleteObjectItem->setEnabled(true);
        PropertiesItem->setEnabled(static_cast<bool>(properties_));
        view_.PopupNode = node;
        ObjectPopupMenu->popup(global);
        return;
    }
    if (view_.LinkAt(x, y))
        LinkPopupMenu->popup(global);
}

void TMainForm::Image1MouseMove(Qt::MouseButtons held, int x, int y) {
    if ((held & Qt::LeftButton) && view_.SelectedNode < model_->nodeCount())
        DragOutline(x, y);
}

void TMainForm::DragOutline(int x, int y) {
    const bool first = DragImage->isHidden();
    QPoint place = DragImage->pos();
    if (first) {
        // An axis the first move cannot use keeps the node's own place, not
        // wherever the outline was left by the previous drag.
        const CQSObject* node = model_->Node(view_.SelectedNode);
        place = QPoint(node->x + Image1->x(), node->y + Image1->y());
    }
    const QSize client = MainScrollBox->viewport()->size();
    const int left = x - view_.GripX + Image1->x();
    if (left > 0 && left + view_.NodeSize < client.width())
        place.setX(left);
    const int top = y - view_.GripY + Image1->y();
    if (top > 0 && top + view_.NodeSize < client.height())
        place.setY(top);
    DragImage->move(place);
    if (first) {
        QPainter canvas(&Image1->Bitmap());
        view_.DrawNode(view_.SelectedNode, canvas);
        canvas.end();
        Image1->update();
        DragImage->raise();
        DragImage->show();
    }
}

void TMainForm::Image1MouseUp(Qt::MouseButton button, Qt::MouseButtons held, int, int) {
    // Any other release during a drag (the right button let go first) ends it
    // as a cancel, so neither the outline nor the focus rectangle is left behind.
    if (!DragImage->isHidden())
        DropNode(button != Qt::LeftButton || (held & Qt::RightButton) ||
                 view_.SelectedNode >= model_->nodeCount());
    view_.SelectedNode = kNoIndex;
}

void TMainForm::DropNode(bool cancelled) {
    DragImage->hide();
    if (!cancelled) {
        CQSObject* node = model_->Node(view_.SelectedNode);
        node->x = DragImage->x() - Image1->x();
        node->y = DragImage->y() - Image1->y();
        GrowPictureAroundNodes();
    }
    view_.SelectedNode = kNoIndex;
    RedrawScheme();
}

void TMainForm::GrowPictureAroundNodes() {
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

void TMainForm::Image1DblClick(int x, int y) {
    if (!CursorToolButton->isChecked())
        return;
    const uint8_t node = view_.NodeAt(x, y);
    if (node != kNoIndex)
        EditObject(node);
}

void TMainForm::N23Click() {
    const uint8_t source = view_.HitLinkSource;
    const uint8_t receiver = view_.HitLinkReceiver;
    if (source >= model_->nodeCount() || receiver >= model_->nodeCount())
        return;
    const int result = model_->Unlink(source, receiver);
    view_.SelectedNode = kNoIndex;
    if (result == kOk)
        RedrawScheme();
}

void TMainForm::N24Click() {
    EditObject(view_.HitLinkSource);
}

void TMainForm::N25Click() {
    EditObject(view_.HitLinkReceiver);
}

}  // namespace marvolt
