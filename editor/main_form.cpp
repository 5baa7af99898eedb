#include "editor/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

#include "editor/about_form.h"
#include "editor/add_object_form.h"
#include "editor/editor_resources.h"
#include "editor/logic/file_messages.h"
#include "editor/logic/fresh_model.h"
#include "persistence/model_file.h"

namespace marvolt {

namespace {

const QString kSaveQuestion = QStringLiteral("Сохранить текущую модель?");

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::string FilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

TMainForm::TMainForm(UiServices services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("MainForm"));
    BuildMenus();
    BuildPanels();
    BuildToolBar();
    NewModel();
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
    connect(scheme_, &SchemeEditor::ModelEdited, this, &TMainForm::ModelChanged);
    connect(scheme_, &SchemeEditor::PropertiesRequested, this, &TMainForm::EditObject);
    connect(scheme_, &SchemeEditor::NodeMenuRequested, this, &TMainForm::ObjectMenuFromScheme);
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

void TMainForm::ModelChanged(ModelChange what, TreeSelection select) {
    if (what == ModelChange::kReplaced || what == ModelChange::kNodeRemoved)
        popupNode_ = kNoIndex;
    if (what == ModelChange::kReplaced)
        tree_->ShowDescription(model_->modelDescription);
    if (what != ModelChange::kScheme)
        tree_->Refresh(*model_, what == ModelChange::kReplaced, select);
    scheme_->Refresh(*model_, what);
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
    model_ = BuildFreshModel();
    fileName_.clear();
    SetTitle();
    ModelChanged(ModelChange::kReplaced);
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
        ModelChanged(ModelChange::kRequestTypes, {nullptr, model_->FindRequestType(name)});
    else
        ModelChanged(ModelChange::kNodes, {model_->Node(added.node), nullptr});
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
    const CommandResult deleted = edit::DeleteNode(*model_, node, DeletionQuestion());
    ShowRefusal(services_.messages, deleted.refusal);
    if (deleted.done)
        ModelChanged(ModelChange::kNodeRemoved);
}

void TMainForm::DeleteSelectedType() {
    QTreeWidgetItem* item = tree_->SelectedEntry();
    if (!tree_->IsTypeEntry(item))
        return;
    const CommandResult deleted =
        edit::DeleteRequestType(*model_, item->text(0).toStdString(), DeletionQuestion());
    ShowRefusal(services_.messages, deleted.refusal);
    if (deleted.done)
        ModelChanged(ModelChange::kRequestTypes);
}

void TMainForm::EditObject(uint8_t node) {
    if (!properties_ || node >= model_->nodeCount())
        return;
    // A new name moves the entry and the list item; a channel's reserve line may change.
    if (properties_(model_->Node(node), nullptr))
        ModelChanged(ModelChange::kNodes);
}

void TMainForm::EditRequestType() {
    QTreeWidgetItem* item = tree_->SelectedEntry();
    if (!properties_ || !tree_->IsTypeEntry(item))
        return;
    CRequestType* type = model_->FindRequestType(item->text(0).toStdString());
    if (type && properties_(nullptr, type))
        ModelChanged(ModelChange::kRequestTypes);
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
    edit::SetRefusalSink(*model_, name.toStdString());
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
    model_->modelDescription = tree_->Description();
    const SaveResult saved = SaveModelFile(FilePath(path), *model_, results_.get());
    if (Refusal failure = SaveFailure(saved, path.toStdString())) {
        ShowRefusal(services_.messages, failure);
        return false;
    }
    fileName_ = path;
    SetTitle();
    return true;
}

void TMainForm::OpenModel() {
    const QString path = services_.fileDialogs.OpenFileName(ModelFileDialog());
    if (path.isEmpty() || !AskToSave())
        return;
    OpenFile(path);
}

bool TMainForm::OpenFile(const QString& path) {
    OpenedModels opened = OpenModelFile(FilePath(path));
    if (Refusal failure = OpenFailure(opened, path.toStdString())) {
        ShowRefusal(services_.messages, failure);
        return false;
    }
    model_ = std::move(opened.current);
    results_ = std::move(opened.results);
    fileName_ = path;
    SetTitle();
    // Every category open and the last request type selected, as if each
    // entry had been chosen in turn.
    TreeSelection last;
    if (model_->typeCount() > 0)
        last.type = model_->RequestType(model_->typeCount() - 1);
    ModelChanged(ModelChange::kReplaced, last);
    return true;
}

void TMainForm::N14Click() {
    if (!AskToSave())
        return;
    results_.reset();
    NewModel();
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
    if (answer == kButtonCancel || (answer == kButtonYes && !SaveCurrent())) {
        event->ignore();
        return;
    }
    event->accept();
}

// ---- the other windows and the tree panel ----

void TMainForm::N29Click() {
    if (experiment_)
        experiment_();
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
