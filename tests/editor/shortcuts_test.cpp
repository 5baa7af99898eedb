// The keyboard: the platform's standard keys for the file commands, undo and
// redo, the Delete key on the scheme, and a mnemonic on every menu and item.
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

#include "main_window_driver.h"

namespace marvolt {
namespace {

class ShortcutsTest : public ::testing::Test, public test::MainWindowDriver {
  protected:
    ShortcutsTest() { active = Activate(); }
    // Shortcuts reach only the active window; a dialog leaves another one active.
    bool Activate() {
        form.activateWindow();
        return QTest::qWaitForWindowActive(&form);
    }
    void Press(const QKeySequence& keys) { QTest::keySequence(&form, keys); }

    bool active = false;
};

TEST_F(ShortcutsTest, StandardKeysRunTheFileCommands) {
    ASSERT_TRUE(active);
    const struct {
        const char* action;
        QKeySequence::StandardKey key;
    } commands[] = {{"N14", QKeySequence::New},
                    {"N11", QKeySequence::Open},
                    {"N12", QKeySequence::Save},
                    {"N13", QKeySequence::SaveAs},
                    {"N2", QKeySequence::Quit}};
    for (const auto& c : commands) {
        const QKeySequence standard(c.key);
        if (!standard.isEmpty()) {
            EXPECT_EQ(Action(c.action)->shortcut(), standard) << c.action;
        }
        EXPECT_EQ(Action(c.action)->shortcut(), CommandKey(c.key)) << c.action;
        EXPECT_FALSE(CommandKey(c.key).isEmpty()) << c.action;
    }
    EXPECT_EQ(CommandKey(QKeySequence::New), QKeySequence(QKeySequence::New));

    Press(CommandKey(QKeySequence::Open));
    EXPECT_EQ(io.fileDialogs.opened, 1);
    Press(CommandKey(QKeySequence::Save));
    EXPECT_EQ(io.fileDialogs.saved, 1);
    Press(CommandKey(QKeySequence::SaveAs));
    EXPECT_EQ(io.fileDialogs.saved, 2);
    AddThroughDialog(kChannelsCategory);
    ASSERT_TRUE(Activate());
    Press(CommandKey(QKeySequence::New));  // asked, and answered No
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Новая модель"));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    Press(CommandKey(QKeySequence::Quit));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ShortcutsTest, UndoAndRedoKeys) {
    ASSERT_TRUE(active);
    AddThroughDialog(kChannelsCategory);
    ASSERT_TRUE(Activate());
    Tree()->setFocus();
    Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    Press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
    Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
}

TEST_F(ShortcutsTest, DeleteOnTheSchemeAsksAndDeletesTheChosenNode) {
    ASSERT_TRUE(active);
    const uint8_t channel = Place("ChanToolButton", QPoint(300, 200));
    Click(QPoint(100, 300));  // empty space: nothing chosen
    QTest::keyClick(&form.Scheme(), Qt::Key_Delete);
    EXPECT_TRUE(io.messages.shown.empty());

    Click(Centre(channel));
    EXPECT_TRUE(form.Scheme().hasFocus());
    EXPECT_EQ(Selected(), QStringLiteral("Канал1")) << "the tree shows the node chosen";
    QTest::keyClick(&form.Scheme(), Qt::Key_Delete);  // answered No
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Подтверждение удаления"));
    EXPECT_EQ(io.messages.shown[0].text,
              QStringLiteral("Вы действительно хотите удалить объект \"Канал1\"?"));
    EXPECT_EQ(Model().nodeCount(), 3);
    io.messages.answers = {kButtonYes};
    QTest::keyClick(&form.Scheme(), Qt::Key_Delete);
    EXPECT_EQ(Model().nodeCount(), 2);
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    // The node is gone: Delete has nothing left to act on.
    QTest::keyClick(&form.Scheme(), Qt::Key_Delete);
    EXPECT_EQ(io.messages.shown.size(), 2u);

    // The same refusals as the menu's.
    Click(Centre(0));
    QTest::keyClick(&form.Scheme(), Qt::Key_Delete);
    EXPECT_EQ(io.messages.shown.back().text,
              QStringLiteral("Генератор заявок \"Генератор1\" является единственным,\nпоэтому "
                             "не может быть удален."));
}

// Alt and the underlined letter reach every menu and every item of it.
void ExpectMnemonics(QMenu* menu) {
    std::set<QKeySequence> seen;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        const QKeySequence key = QKeySequence::mnemonic(action->text());
        EXPECT_FALSE(key.isEmpty()) << action->text().toStdString();
        EXPECT_TRUE(seen.insert(key).second) << "repeated: " << action->text().toStdString();
    }
}

TEST_F(ShortcutsTest, EveryMenuAndItemHasAMnemonic) {
    std::set<QKeySequence> menus;
    for (QAction* top : form.menuBar()->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(top->text());
        EXPECT_FALSE(key.isEmpty()) << top->text().toStdString();
        EXPECT_TRUE(menus.insert(key).second);
        ASSERT_NE(top->menu(), nullptr);
        ExpectMnemonics(top->menu());
    }
    EXPECT_EQ(menus.size(), 3u);
    ExpectMnemonics(form.findChild<QMenu*>(QStringLiteral("ObjectPopupMenu")));
    ExpectMnemonics(form.findChild<QMenu*>(QStringLiteral("LinkPopupMenu")));
}

}  // namespace
}  // namespace marvolt
