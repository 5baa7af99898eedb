#include "editor/main_form.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

#include "check/model_check.h"
#include "editor/about_form.h"
#include "editor/add_object_form.h"
#include "editor/editor_resources.h"
#include "editor/logic/edit_steps.h"
#include "editor/logic/fresh_model.h"
#include "editor/logic/model_snapshot.h"
#include "editor/model_check_form.h"

namespace marvolt {

namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

QKeySequence CommandKey(QKeySequence::StandardKey key) {
    const QKeySequence standard(key);
    if (!standard.isEmpty())
        return standard;
    // Where the platform has none, the keys most desktops use.
    switch (key) {
        case QKeySequence::SaveAs:
            return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
        case QKeySequence::Quit:
            return QKeySequence(Qt::CTRL | Qt::Key_Q);
        default:
            return standard;
    }
}

TMainForm::TMainForm(UiServices services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("MainForm"));
    setAcceptDrops(true);
    history_ = new ModelHistory(
        [this](const CQueuingSystem& state, const StepSelection& select) {
            RestoreState(state, select);
        },
        this);
    connect(history_, &ModelHistory::Changed, this, &TMainForm::HistoryChanged);
    BuildMenus();
    BuildPanels();
    BuildToolBar();
    checkForm_ = new TModelCheckForm(this);
    connect(checkForm_, &TModelCheckForm::NodeChosen, this, &TMainForm::ShowCheckedNode);
    NewModel();
}

TMainForm::~TMainForm() {
    // The panels outlive this part of the window: what they still say while
    // they go (the description field losing the focus) must not reach it.
    tree_->disconnect(this);
    scheme_->disconnect(this);
    history_->disconnect(this);
}

// ---- building the window ----

void TMainForm::BuildMenus() {
    const auto item = [this](QMenu* menu, QAction*& action, const char* name, const char* caption,
                             void (TMainForm::*handler)()) {
        action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, handler);
    };
    FileMenu = menuBar()->addMenu(QStringLiteral("&Файл"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    item(FileMenu, N14, "N14", "&Создать", &TMainForm::N14Click);
    item(FileMenu, N11, "N11", "&Открыть", &TMainForm::N11Click);
    item(FileMenu, N12, "N12", "Со&хранить", &TMainForm::N12Click);
    item(FileMenu, N13, "N13", "Сохранить &как", &TMainForm::N13Click);
    // The recent models come between the two separators.
    FileMenu->addSeparator();
    RecentSeparator = FileMenu->addSeparator();
    item(FileMenu, N2, "N2", "&Выход", &TMainForm::N2Click);
    N14->setShortcut(CommandKey(QKeySequence::New));
    N11->setShortcut(CommandKey(QKeySequence::Open));
    N12->setShortcut(CommandKey(QKeySequence::Save));
    N13->setShortcut(CommandKey(QKeySequence::SaveAs));
    N2->setShortcut(CommandKey(QKeySequence::Quit));

    QMenu* model = menuBar()->addMenu(QStringLiteral("&Модель"));
    model->setObjectName(QStringLiteral("ModelMenu"));
    item(model, UndoAction, "UndoAction", "&Отменить", &TMainForm::UndoActionClick);
    item(model, RedoAction, "RedoAction", "&Повторить", &TMainForm::RedoActionClick);
    UndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    model->addSeparator();
    item(model, N28, "N28", "&Дерево объектов", &TMainForm::N28Click);
    item(model, N29, "N29", "&Управление экспериментом", &TMainForm::N29Click);
    item(model, N30, "N30", "&Копировать схему", &TMainForm::N30Click);
    item(model, CheckModelAction, "CheckModelAction", "Про&верить модель",
         &TMainForm::CheckModelActionClick);
    QMenu* about = menuBar()->addMenu(QStringLiteral("&О программе"));
    about->setObjectName(QStringLiteral("AboutMenu"));
    item(about, N5, "N5", "&О программе", &TMainForm::N5Click);
    N29->setEnabled(false);

    ObjectPopupMenu = new QMenu(this);
    ObjectPopupMenu->setObjectName(QStringLiteral("ObjectPopupMenu"));
    item(ObjectPopupMenu, AddObjectItem, "AddObjectItem", "&Добавить объект",
         &TMainForm::AddObjectItemClick);
    item(ObjectPopupMenu, DeleteObjectItem, "DeleteObjectItem", "&Удалить объект",
         &TMainForm::DeleteObjectItemClick);
    item(ObjectPopupMenu, PropertiesItem, "PropertiesItem", "&Свойства объекта",
         &TMainForm::PropertiesItemClick);
    PropertiesItem->setEnabled(false);
}

void TMainForm::BuildPanels() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    setCentralWidget(Splitter1);
    tree_ = new ObjectTreePanel(Splitter1);
    scheme_ = new SchemeEditor(services_.messages, Splitter1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    tree_->resize(250, tree_->height());
    Splitter1->setSizes({250, 800});

    connect(tree_, &ObjectTreePanel::AddRequested, this, &TMainForm::AddWithDialog);
    connect(tree_, &ObjectTreePanel::DeleteRequested, this, [this] {
        ActOnSelectedEntry(&TMainForm::DeleteSelectedType, &TMainForm::DeleteObject);
    });
    connect(tree_, &ObjectTreePanel::PropertiesRequested, this, [this] {
        ActOnSelectedEntry(&TMainForm::EditRequestType, &TMainForm::EditObject);
    });
    connect(tree_, &ObjectTreePanel::ContextMenuRequested, this, &TMainForm::ObjectMenuFromTree);
    connect(tree_, &ObjectTreePanel::RefusalSinkChosen, this, &TMainForm::RefDisComboBoxChange);
    connect(tree_, &ObjectTreePanel::DescriptionEditFinished, this, &TMainForm::FlushDescription);
    connect(tree_, &ObjectTreePanel::FileDropped, this, &TMainForm::OpenDropped);
    connect(scheme_, &SchemeEditor::ModelEdited, this, &TMainForm::ModelChanged);
    connect(scheme_, &SchemeEditor::PropertiesRequested, this, &TMainForm::EditObject);
    connect(scheme_, &SchemeEditor::NodeMenuRequested, this, &TMainForm::ObjectMenuFromScheme);
    connect(scheme_, &SchemeEditor::DeleteRequested, this, &TMainForm::DeleteObject);
    connect(scheme_, &SchemeEditor::NodeChosen, this, [this](uint8_t node) {
        if (node < model_->nodeCount())
            tree_->SelectObject({model_->Node(node), nullptr});
    });
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
    // A button and the menu item of the same command are one action, so they
    // are enabled and disabled together.
    const auto button = [this](QAction* action, const char* name, int icon, const char* hint) {
        action->setIcon(ToolIcon(icon));
        action->setIconVisibleInMenu(false);
        action->setToolTip(QString::fromUtf8(hint));
        ToolBar1->addAction(action);
        ToolBar1->widgetForAction(action)->setObjectName(QString::fromUtf8(name));
    };
    button(N14, "ToolButton1", 0, "Новый проект");
    button(N11, "ToolButton2", 1, "Открыть проект");
    button(N12, "ToolButton3", 2, "Сохранить проект");
    ToolBar1->addSeparator();
    button(UndoAction, "UndoToolButton", 13, "Отменить");
    button(RedoAction, "RedoToolButton", 14, "Повторить");
    ToolBar1->addSeparator();
    scheme_->AddModeButtons(ToolBar1);
    ReqToolAction = new QAction(QStringLiteral("Тип заявки"), this);
    ReqToolAction->setObjectName(QStringLiteral("ReqToolAction"));
    connect(ReqToolAction, &QAction::triggered, this, &TMainForm::ReqToolButtonClick);
    button(ReqToolAction, "ReqToolButton", 9, "Тип заявки");
    auto* label = new QLabel(QStringLiteral("  Сток отказов: "), ToolBar1);
    label->setObjectName(QStringLiteral("Label1"));
    ToolBar1->addWidget(label);
    ToolBar1->addWidget(tree_->RefusalSinkList());
    ToolBar1->addSeparator();
    button(N29, "ToolButton5", 12, "Управление экспериментом");
}

void TMainForm::SetPropertiesDialog(PropertiesDialog dialog) {
    properties_ = std::move(dialog);
    const bool available = static_cast<bool>(properties_);
    PropertiesItem->setEnabled(available);
    scheme_->SetPropertiesAvailable(available);
}

void TMainForm::SetExperimentWindow(std::function<void()> open) {
    experiment_ = std::move(open);
    N29->setEnabled(static_cast<bool>(experiment_));
}

void TMainForm::SetTitle() {
    if (fileName_.isEmpty())
        setWindowTitle(kTitleBase);
    else
        setWindowTitle(kTitleBase + QStringLiteral(" - [") + QFileInfo(fileName_).fileName() +
                       QLatin1Char(']'));
}

// ---- the model and its views ----

void TMainForm::ModelChanged(ModelChange what, TreeSelection select, const std::string& step) {
    const bool another = what == ModelChange::kReplaced || what == ModelChange::kRestored;
    // The tree still shows the entry selected before the change.
    const StepSelection before = CurrentSelection();
    if (another || what == ModelChange::kNodeRemoved)
        popupNode_ = kNoIndex;
    if (another)
        tree_->ShowDescription(model_->modelDescription);
    if (what != ModelChange::kScheme && what != ModelChange::kLinkDrawn)
        tree_->Refresh(*model_, what == ModelChange::kReplaced, select);
    scheme_->Refresh(*model_, what);
    if (!another)
        RecordStep(step.empty() ? step::Other() : step, before);
    RefreshCheckWindow();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TMainForm::FormShow() {
    scheme_->SetMode(ToolMode::kPointer);
    scheme_->MainScrollBoxResize();
}

void TMainForm::NewModel() {
    fileName_.clear();
    SetTitle();
    InstallModel(BuildFreshModel(), {});
}

// ---- adding, deleting, properties ----

void TMainForm::AddWithDialog() {
    const int selected = tree_->SelectedCategory();
    if (selected < 0 || !nameDialog_)
        return;
    const auto category = static_cast<TreeCategory>(selected);
    const bool typeMode = category == kRequestTypesCategory;
    if (Refusal full = typeMode ? edit::TypeRoom(*model_) : edit::NodeRoom(*model_)) {
        ShowRefusal(services_.messages, full);
        return;
    }
    const uint8_t kind = KindOfCategory(category);
    const CategoryLook& look = LookOf(category);
    nameDialog_->Prepare(
        QString::fromUtf8(look.addCaption), QString::fromUtf8(look.addLabel), typeMode,
        model_.get(), Text(typeMode ? model_->DefaultTypeName() : model_->DefaultNodeName(kind)));
    if (nameDialog_->exec() != QDialog::Accepted)
        return;
    const std::string name = nameDialog_->NameEdit->text().toStdString();
    const CommandResult added =
        typeMode ? edit::AddRequestType(*model_, name) : edit::AddNode(*model_, kind, name);
    ShowRefusal(services_.messages, added.refusal);
    if (!added.done)
        return;
    if (typeMode)
        ModelChanged(ModelChange::kRequestTypes, {nullptr, model_->FindRequestType(name)},
                     step::Added(name));
    else
        ModelChanged(ModelChange::kNodes, {model_->Node(added.node), nullptr}, step::Added(name));
}

void TMainForm::ReqToolButtonClick() {
    tree_->SelectCategory(kRequestTypesCategory);
    AddWithDialog();
}

void TMainForm::AddObjectItemClick() {
    AddWithDialog();
}

Confirm TMainForm::DeletionQuestion() {
    return [this](const std::string& question) {
        return services_.messages.Show(kCaptionConfirmDelete, MessageIcon::kQuestion,
                                       Text(question), kButtonYes | kButtonNo) == kButtonYes;
    };
}

void TMainForm::DeleteObject(uint8_t node) {
    const std::string name = node < model_->nodeCount() ? model_->Node(node)->name : std::string();
    const CommandResult deleted = edit::DeleteNode(*model_, node, DeletionQuestion());
    ShowRefusal(services_.messages, deleted.refusal);
    if (deleted.done)
        ModelChanged(ModelChange::kNodeRemoved, {}, step::Deleted(name));
}

void TMainForm::DeleteSelectedType() {
    QTreeWidgetItem* item = tree_->SelectedEntry();
    if (!tree_->IsTypeEntry(item))
        return;
    const std::string name = item->text(0).toStdString();
    const CommandResult deleted = edit::DeleteRequestType(*model_, name, DeletionQuestion());
    ShowRefusal(services_.messages, deleted.refusal);
    if (deleted.done)
        ModelChanged(ModelChange::kRequestTypes, {}, step::Deleted(name));
}

void TMainForm::EditObject(uint8_t node) {
    if (!properties_ || node >= model_->nodeCount())
        return;
    // A new name moves the entry and the list item; a channel's reserve line
    // may change. Whatever the dialog changed is one step.
    CQSObject* edited = model_->Node(node);
    if (properties_(edited, nullptr))
        ModelChanged(ModelChange::kNodes, {}, step::Properties(edited->name));
}

void TMainForm::EditRequestType() {
    QTreeWidgetItem* item = tree_->SelectedEntry();
    if (!properties_ || !tree_->IsTypeEntry(item))
        return;
    CRequestType* type = model_->FindRequestType(item->text(0).toStdString());
    if (type && properties_(nullptr, type))
        ModelChanged(ModelChange::kRequestTypes, {}, step::Properties(type->name));
}

uint8_t TMainForm::NodeOfEntry(const QTreeWidgetItem* item) const {
    if (!item || !item->parent() || tree_->IsTypeEntry(item))
        return kNoIndex;
    return model_->NodeIndex(item->text(0).toStdString());
}

void TMainForm::ActOnSelectedEntry(void (TMainForm::*onType)(),
                                   void (TMainForm::*onNode)(uint8_t)) {
    QTreeWidgetItem* item = tree_->SelectedEntry();
    if (tree_->IsTypeEntry(item))
        (this->*onType)();
    else if (item)
        (this->*onNode)(NodeOfEntry(item));
}

// The object menu acts on the node it was opened for: on the scheme that is
// recorded when it opens, in the tree it is the selected entry's.
void TMainForm::ObjectMenuFromTree(const QPoint& global, bool onObject) {
    popupNode_ = kNoIndex;
    AddObjectItem->setVisible(true);
    DeleteObjectItem->setEnabled(onObject);
    PropertiesItem->setEnabled(onObject && properties_);
    ObjectPopupMenu->popup(global);
}

void TMainForm::ObjectMenuFromScheme(uint8_t node, const QPoint& global) {
    AddObjectItem->setVisible(false);
    DeleteObjectItem->setEnabled(true);
    PropertiesItem->setEnabled(static_cast<bool>(properties_));
    popupNode_ = node;
    ObjectPopupMenu->popup(global);
}

void TMainForm::ActOnMenuObject(void (TMainForm::*onType)(), void (TMainForm::*onNode)(uint8_t)) {
    QTreeWidgetItem* item = tree_->SelectedEntry();
    if (popupNode_ == kNoIndex && tree_->IsTypeEntry(item)) {
        (this->*onType)();
        return;
    }
    if (popupNode_ == kNoIndex)
        popupNode_ = NodeOfEntry(item);
    (this->*onNode)(popupNode_);
}

void TMainForm::DeleteObjectItemClick() {
    ActOnMenuObject(&TMainForm::DeleteSelectedType, &TMainForm::DeleteObject);
}

void TMainForm::PropertiesItemClick() {
    ActOnMenuObject(&TMainForm::EditRequestType, &TMainForm::EditObject);
}

void TMainForm::RefDisComboBoxChange(const QString& name) {
    const StepSelection before = CurrentSelection();
    if (edit::SetRefusalSink(*model_, name.toStdString()).done)
        RecordStep(step::RefusalSink(name.toStdString()), before);
}

// ---- the other windows and the tree panel ----

void TMainForm::N29Click() {
    if (!experiment_)
        return;
    FlushDescription();
    const auto before = ConfigurationCopy(*model_);
    const CQueuingSystem* results = results_.get();
    const StepSelection selection = CurrentSelection();
    experiment_();
    // What the window set for the next experiment is one step; what it ran
    // is results, to be saved but never undone.
    RecordStep(step::ExperimentSettings(), selection);
    if (results_.get() != results || !SameOutcomes(*before, *model_))
        resultsUnsaved_ = true;
    RefreshCheckWindow();
}

void TMainForm::CheckModelActionClick() {
    checkForm_->ShowFindings(CheckModel(*model_));
    checkForm_->show();
    checkForm_->raise();
    checkForm_->activateWindow();
}

void TMainForm::RefreshCheckWindow() {
    if (checkForm_ && checkForm_->isVisible())
        checkForm_->ShowFindings(CheckModel(*model_));
}

void TMainForm::ShowCheckedNode(uint8_t node) {
    if (node >= model_->nodeCount())
        return;
    scheme_->ShowNode(node);
    tree_->SelectObject({model_->Node(node), nullptr});
}

void TMainForm::N5Click() {
    if (aboutBox_)
        aboutBox_->exec();
}

void TMainForm::N28Click() {
    tree_->show();
    QList<int> sizes = Splitter1->sizes();
    if (sizes.size() == 2 && sizes[0] < 50) {
        const int total = sizes[0] + sizes[1];
        Splitter1->setSizes({250, std::max(total - 250, 1)});
    }
    tree_->FocusTree();
}

void TMainForm::N30Click() {
    const QImage copy = scheme_->SchemeCopy();
    if (!copy.isNull())
        services_.clipboard.SetImage(copy);
}

}  // namespace marvolt
