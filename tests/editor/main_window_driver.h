// Drives the main window as a user would, for the tests of its commands:
// the name dialog answered, the tree read, the mouse on the scheme picture.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "editor/add_object_form.h"
#include "editor/main_form.h"
#include "editor/scheme_picture.h"
#include "kernel/random_stat.h"
#include "recording_services.h"

namespace marvolt::test {

// What the name dialog showed when it was opened.
struct DialogShowing {
    bool shown = false;
    QString caption;
    QString label;
    QString proposed;
    bool typeMode = false;
};

struct MainWindowDriver {
    RecordingServices io;
    TAddObjectForm nameDialog{io.messages};
    TMainForm form{io.services()};

    MainWindowDriver() {
        RestoreRandomStartState();
        form.SetNameDialog(&nameDialog);
        form.resize(1000, 700);
        form.show();
        QCoreApplication::processEvents();
    }
    ~MainWindowDriver() {
        for (QMenu* menu : form.findChildren<QMenu*>())
            menu->hide();
    }

    CQueuingSystem& Model() { return *form.Model(); }
    QTreeWidget* Tree() { return form.findChild<QTreeWidget*>(QStringLiteral("ObjectTree")); }
    QComboBox* Sinks() { return form.findChild<QComboBox*>(QStringLiteral("RefDisComboBox")); }
    QPlainTextEdit* Memo() {
        return form.findChild<QPlainTextEdit*>(QStringLiteral("CommentMemo"));
    }
    SchemePicture* Picture() { return &form.Scheme().Picture(); }
    QAction* Action(const char* name) { return form.findChild<QAction*>(QString::fromUtf8(name)); }
    QToolButton* Button(const char* name) {
        return form.findChild<QToolButton*>(QString::fromUtf8(name));
    }
    void Trigger(const char* action) { Action(action)->trigger(); }

    QStringList Entries(TreeCategory c) {
        QStringList texts;
        QTreeWidgetItem* category = Tree()->topLevelItem(c);
        for (int i = 0; i < category->childCount(); ++i)
            texts << category->child(i)->text(0);
        return texts;
    }
    QTreeWidgetItem* Entry(TreeCategory c, const QString& name) {
        QTreeWidgetItem* category = Tree()->topLevelItem(c);
        for (int i = 0; i < category->childCount(); ++i) {
            if (category->child(i)->text(0) == name)
                return category->child(i);
        }
        return nullptr;
    }
    void Select(TreeCategory c, const QString& name = {}) {
        Tree()->setCurrentItem(name.isNull() ? Tree()->topLevelItem(c) : Entry(c, name));
    }
    QString Selected() {
        return Tree()->currentItem() ? Tree()->currentItem()->text(0) : QString();
    }

    // Adds under the category through the name dialog, answering it with the
    // name (the proposed one when null), and tells what the dialog showed.
    DialogShowing AddThroughDialog(TreeCategory c, const QString& name = {}) {
        Select(c);
        DialogShowing seen;
        QTimer::singleShot(0, &nameDialog, [&] {
            if (!nameDialog.isVisible())
                return;
            seen = {true, nameDialog.windowTitle(), nameDialog.Label1->text(),
                    nameDialog.NameEdit->text(), nameDialog.requestTypeMode};
            if (!name.isNull())
                nameDialog.NameEdit->setText(name);
            nameDialog.BitBtn1->click();
            if (nameDialog.isVisible())
                nameDialog.reject();
        });
        form.AddWithDialog();
        QCoreApplication::processEvents();
        return seen;
    }

    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Picture(), button, {}, at);
    }
    // Places a node of the mode button's kind centred on at; its index.
    uint8_t Place(const char* mode, QPoint at) {
        Button(mode)->click();
        Click(at);
        return static_cast<uint8_t>(Model().nodeCount() - 1);
    }
    void Link(uint8_t source, uint8_t receiver) {
        Button("LinkToolButton")->click();
        Click(Centre(source));
        Click(Centre(receiver));
        Button("CursorToolButton")->click();
    }
    // Presses on from, moves along the path and lets go at its end.
    void Drag(QPoint from, std::initializer_list<QPoint> path) {
        QTest::mousePress(Picture(), Qt::LeftButton, {}, from);
        QPoint last = from;
        for (QPoint p : path) {
            QTest::mouseMove(Picture(), p);
            last = p;
        }
        QTest::mouseRelease(Picture(), Qt::LeftButton, {}, last);
    }
    QPoint Centre(uint8_t node) {
        const CQSObject* n = Model().Node(node);
        return {n->x + 24, n->y + 24};
    }
};

}  // namespace marvolt::test
