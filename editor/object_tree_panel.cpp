#include "editor/object_tree_panel.h"

#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "editor/dropped_file.h"
#include "editor/editor_resources.h"

namespace marvolt {

namespace {

constexpr int kTreeEntryIcon = 10;
// An entry remembers the object it stands for, only to know it again.
constexpr int kKeyRole = Qt::UserRole;

constexpr CategoryLook kCategories[] = {
    {"Генераторы", 5, "Добавить генератор", "Название генератора"},
    {"Накопители", 6, "Добавить накопитель", "Название накопителя"},
    {"Каналы", 7, "Добавить канал", "Название канала"},
    {"Стоки", 8, "Добавить сток", "Название стока"},
    {"Типы заявок", 9, "Добавить тип заявки", "Название типа заявки"},
};

constexpr uint8_t kKindOfCategory[] = {kGenerator, kQueue, kChannel, kSink, kNoIndex};

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

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

QVariant KeyData(const void* object) {
    return QVariant::fromValue(reinterpret_cast<quintptr>(object));
}

const void* KeyOf(const QVariant& data) {
    return reinterpret_cast<const void*>(data.value<quintptr>());
}

}  // namespace

const CategoryLook& LookOf(TreeCategory category) {
    return kCategories[category];
}

uint8_t KindOfCategory(TreeCategory category) {
    return kKindOfCategory[category];
}

ObjectTreePanel::ObjectTreePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TreePanel"));
    auto* panelLayout = new QVBoxLayout(this);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Splitter2 = new QSplitter(Qt::Vertical, this);
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
    TreeCloseButton->setText(QString(QChar(0x00D7)));
    headerLayout->addWidget(TreeCloseButton);
    connect(TreeCloseButton, &QToolButton::clicked, this, &ObjectTreePanel::TreeCloseButtonClick);
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
    connect(ObjectTree, &QTreeWidget::itemDoubleClicked, this,
            &ObjectTreePanel::PropertiesRequested);
    treeLayout->addWidget(ObjectTree);

    CommentMemo = new QPlainTextEdit(Splitter2);
    CommentMemo->setObjectName(QStringLiteral("CommentMemo"));
    CommentMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CommentMemo->installEventFilter(this);
    CommentMemo->viewport()->installEventFilter(this);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setSizes({400, 200});

    RefDisComboBox = new QComboBox(this);
    RefDisComboBox->setObjectName(QStringLiteral("RefDisComboBox"));
    RefDisComboBox->setEditable(false);
    RefDisComboBox->setFixedWidth(147);
    RefDisComboBox->setToolTip(QStringLiteral("Для заявок, получивших отказ в обслуживании"));
    connect(RefDisComboBox, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            emit RefusalSinkChosen(RefDisComboBox->itemText(index));
    });
}

// ---- in step with the model ----

void ObjectTreePanel::Refresh(const CQueuingSystem& model, bool rebuild, TreeSelection select) {
    for (int c = 0; c < 4; ++c) {
        std::vector<const void*> keys;
        std::vector<const std::string*> names;
        for (const auto& node : model.nodes) {
            if (node->kind == kKindOfCategory[c]) {
                keys.push_back(node.get());
                names.push_back(&node->name);
            }
        }
        RefreshCategory(categories_[c], keys, names, rebuild);
    }
    std::vector<const void*> keys;
    std::vector<const std::string*> names;
    for (const auto& type : model.requestTypes) {
        keys.push_back(type.get());
        names.push_back(&type->name);
    }
    RefreshCategory(categories_[kRequestTypesCategory], keys, names, rebuild);
    RefreshSinkList(model, rebuild);

    if (rebuild) {
        for (QTreeWidgetItem* category : categories_)
            category->setExpanded(true);
    }
    SelectObject(select);
}

void ObjectTreePanel::SelectObject(TreeSelection select) {
    if (select.node)
        Select(select.node, CategoryOfKind(select.node->kind));
    else if (select.type)
        Select(select.type, categories_[kRequestTypesCategory]);
}

void ObjectTreePanel::RefreshCategory(QTreeWidgetItem* category,
                                      const std::vector<const void*>& keys,
                                      const std::vector<const std::string*>& names,
                                      bool rebuild) {
    if (rebuild)
        qDeleteAll(category->takeChildren());
    std::vector<bool> shown(keys.size(), false);
    for (int i = category->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* entry = category->child(i);
        const auto at = std::find(keys.begin(), keys.end(), KeyOf(entry->data(0, kKeyRole)));
        if (at == keys.end()) {
            delete entry;
            continue;
        }
        const auto k = static_cast<size_t>(at - keys.begin());
        shown[k] = true;
        const QString name = Text(*names[k]);
        if (entry->text(0) != name)
            entry->setText(0, name);
    }
    for (size_t k = 0; k < keys.size(); ++k) {
        if (shown[k])
            continue;
        auto* entry = new TreeEntry(category, {Text(*names[k])});
        entry->setIcon(0, ToolIcon(kTreeEntryIcon));
        entry->setData(0, kKeyRole, KeyData(keys[k]));
    }
    category->sortChildren(0, Qt::AscendingOrder);
}

void ObjectTreePanel::RefreshSinkList(const CQueuingSystem& model, bool rebuild) {
    if (rebuild)
        RefDisComboBox->clear();
    std::vector<const CQSObject*> sinks;
    for (const auto& node : model.nodes) {
        if (node->kind == kSink)
            sinks.push_back(node.get());
    }
    std::vector<bool> listed(sinks.size(), false);
    for (int i = RefDisComboBox->count() - 1; i >= 0; --i) {
        const void* key = KeyOf(RefDisComboBox->itemData(i));
        const auto at = std::find(sinks.begin(), sinks.end(), key);
        if (at == sinks.end()) {
            RefDisComboBox->removeItem(i);
            continue;
        }
        listed[static_cast<size_t>(at - sinks.begin())] = true;
        // A renamed sink keeps its place.
        const QString name = Text((*at)->name);
        if (RefDisComboBox->itemText(i) != name)
            RefDisComboBox->setItemText(i, name);
    }
    for (size_t k = 0; k < sinks.size(); ++k) {
        if (listed[k])
            continue;
        const QString name = Text(sinks[k]->name);
        int at = 0;
        while (at < RefDisComboBox->count() && !NameLess(name, RefDisComboBox->itemText(at)))
            ++at;
        RefDisComboBox->insertItem(at, name, KeyData(sinks[k]));
    }
    const int chosen = RefDisComboBox->findData(KeyData(model.refusalSink));
    if (model.refusalSink && chosen >= 0)
        RefDisComboBox->setCurrentIndex(chosen);
}

void ObjectTreePanel::Select(const void* key, QTreeWidgetItem* category) {
    for (int i = 0; i < category->childCount(); ++i) {
        if (KeyOf(category->child(i)->data(0, kKeyRole)) == key) {
            category->setExpanded(true);
            ObjectTree->setCurrentItem(category->child(i));
            return;
        }
    }
}

// ---- what is selected ----

QTreeWidgetItem* ObjectTreePanel::CategoryOfKind(uint8_t kind) const {
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

int ObjectTreePanel::SelectedCategory() const {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    if (!item)
        return -1;
    return ObjectTree->indexOfTopLevelItem(item->parent() ? item->parent() : item);
}

void ObjectTreePanel::SelectCategory(TreeCategory category) {
    ObjectTree->setCurrentItem(categories_[category]);
}

QTreeWidgetItem* ObjectTreePanel::SelectedEntry() const {
    QTreeWidgetItem* item = ObjectTree->currentItem();
    return item && item->parent() ? item : nullptr;
}

bool ObjectTreePanel::IsTypeEntry(const QTreeWidgetItem* item) const {
    return item && item->parent() == categories_[kRequestTypesCategory];
}

// ---- the description ----

// The field shows line breaks as the toolkit writes them; the file keeps the
// code page's own pairs.
void ObjectTreePanel::ShowDescription(const std::string& stored) {
    CommentMemo->setPlainText(Text(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

std::string ObjectTreePanel::Description() const {
    return CommentMemo->toPlainText()
        .replace(QStringLiteral("\n"), QStringLiteral("\r\n"))
        .toStdString();
}

// ---- keys and the mouse ----

void ObjectTreePanel::FocusTree() {
    ObjectTree->setFocus();
}

void ObjectTreePanel::TreeCloseButtonClick() {
    // The splitter's handle goes with the panel it divides off.
    hide();
}

void ObjectTreePanel::ObjectTreeKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Insert || (key == Qt::Key_Plus && (modifiers & Qt::KeypadModifier)))
        emit AddRequested();
    else if (key == Qt::Key_Delete)
        emit DeleteRequested();
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        emit PropertiesRequested();
}

void ObjectTreePanel::ObjectTreeMouseDown(Qt::MouseButton button, Qt::MouseButtons held,
                                          const QPoint& at) {
    if (button != Qt::RightButton || (held & Qt::LeftButton))
        return;
    QTreeWidgetItem* item = ObjectTree->itemAt(at);
    if (!item)
        return;
    ObjectTree->setCurrentItem(item);
    emit ContextMenuRequested(ObjectTree->viewport()->mapToGlobal(at), item->parent() != nullptr);
}

bool ObjectTreePanel::FileDrag(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DroppedFilePath(drag->mimeData()).isEmpty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DroppedFilePath(drop->mimeData());
            if (path.isEmpty())
                return false;
            drop->acceptProposedAction();
            emit FileDropped(path);
            return true;
        }
        default:
            return false;
    }
}

bool ObjectTreePanel::eventFilter(QObject* watched, QEvent* event) {
    // Events arrive while the panel is still being built.
    if (!ObjectTree)
        return QWidget::eventFilter(watched, event);
    if (watched == ObjectTree && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool keypadPlus =
            key->key() == Qt::Key_Plus && (key->modifiers() & Qt::KeypadModifier);
        switch (key->key()) {
            case Qt::Key_Insert:
            case Qt::Key_Delete:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                ObjectTreeKeyDown(key->key(), key->modifiers());
                return true;
            default:
                if (keypadPlus) {
                    ObjectTreeKeyDown(key->key(), key->modifiers());
                    return true;
                }
                break;
        }
    } else if (CommentMemo && watched == CommentMemo && event->type() == QEvent::FocusOut) {
        emit DescriptionEditFinished();
    } else if (CommentMemo && watched == CommentMemo->viewport() && FileDrag(event)) {
        return true;
    } else if (watched == ObjectTree->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            ObjectTreeMouseDown(mouse->button(), mouse->buttons(), mouse->position().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace marvolt
