// The left panel of the main window: the object tree and the description
// field, together with the refusal-sink list that sits in the tool bar. They
// show the current model and follow it only through Refresh.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

#include "editor/model_change.h"
#include "kernel/queuing_system.h"

class QComboBox;
class QPlainTextEdit;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace marvolt {

// The five categories of the object tree, in their fixed order.
enum TreeCategory : int {
    kGeneratorsCategory = 0,
    kQueuesCategory = 1,
    kChannelsCategory = 2,
    kSinksCategory = 3,
    kRequestTypesCategory = 4,
};

// The texts of a category: its entry, and the name dialog that adds to it.
struct CategoryLook {
    const char* text;
    int icon;
    const char* addCaption;
    const char* addLabel;
};
const CategoryLook& LookOf(TreeCategory category);
// The node kind a category holds; 255 for the request types.
uint8_t KindOfCategory(TreeCategory category);

class ObjectTreePanel : public QWidget {
    Q_OBJECT

  public:
    explicit ObjectTreePanel(QWidget* parent = nullptr);

    // The main window puts it into its tool bar.
    QComboBox* RefusalSinkList() const { return RefDisComboBox; }
    QTreeWidget* Tree() const { return ObjectTree; }

    // Brings the tree and the refusal-sink list in step with the model.
    // Entries of objects that have gone leave, renamed ones take the new name
    // (in the list a sink keeps the place of its old name), new ones join at
    // their alphabetical place; the refusal sink is the list's choice. With
    // rebuild everything is built afresh and every category opened. The
    // selection, when given, becomes the tree's selected entry. Objects are
    // known again by their address: a node deleted and another created in
    // one change may stand in for each other, and the new sink then takes
    // the old one's place in the list.
    void Refresh(const CQueuingSystem& model, bool rebuild, TreeSelection select = {});

    // Selects the entry of the node, else of the request type; nothing for neither.
    void SelectObject(TreeSelection select);

    QTreeWidgetItem* Category(TreeCategory category) const { return categories_[category]; }
    QTreeWidgetItem* CategoryOfKind(uint8_t kind) const;
    // The category of the selected entry, or of the entry itself; -1 for none.
    int SelectedCategory() const;
    void SelectCategory(TreeCategory category);
    // The selected entry when it is an object's, not a category's; else null.
    QTreeWidgetItem* SelectedEntry() const;
    bool IsTypeEntry(const QTreeWidgetItem* item) const;

    // The model's description as the field shows it, and back as it is stored.
    // The field tells when the user has finished with it (it lost the focus).
    void ShowDescription(const std::string& stored);
    std::string Description() const;

    void FocusTree();

    // Event handlers, named after their control and event.
    void ObjectTreeKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ObjectTreeMouseDown(Qt::MouseButton button, Qt::MouseButtons held, const QPoint& at);
    void TreeCloseButtonClick();

  signals:
    void AddRequested();         // Insert or keypad plus
    void DeleteRequested();      // Delete
    void PropertiesRequested();  // Enter or double click
    // A right-button press on an entry, which is now selected.
    void ContextMenuRequested(const QPoint& global, bool onObject);
    void RefusalSinkChosen(const QString& name);
    void DescriptionEditFinished();
    // A file dragged from the desktop was dropped on the description field,
    // which would otherwise take its name as text.
    void FileDropped(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RefreshCategory(QTreeWidgetItem* category, const std::vector<const void*>& keys,
                         const std::vector<const std::string*>& names, bool rebuild);
    void RefreshSinkList(const CQueuingSystem& model, bool rebuild);
    void Select(const void* key, QTreeWidgetItem* category);
    // A file dragged over or dropped on the description field; false for
    // anything else, which the field handles itself.
    bool FileDrag(QEvent* event);

    QSplitter* Splitter2 = nullptr;
    QToolButton* TreeCloseButton = nullptr;
    QTreeWidget* ObjectTree = nullptr;
    QPlainTextEdit* CommentMemo = nullptr;
    QComboBox* RefDisComboBox = nullptr;
    std::array<QTreeWidgetItem*, 5> categories_{};
};

}  // namespace marvolt
