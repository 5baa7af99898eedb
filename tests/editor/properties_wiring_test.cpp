// The properties dialog in the program: the commands that open it, and the
// main window in step after OK (tree entries renamed and sorted, the
// refusal-sink list, the scheme).
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/program.h"
#include "editor/scheme_picture.h"
#include "modal_runner.h"
#include "recording_services.h"

namespace marvolt {
namespace {

class PropertiesWiringTest : public ::testing::Test {
  protected:
    PropertiesWiringTest() : program(io.services()), form(program.MainForm()) {
        form.resize(1000, 700);
        form.show();
        QCoreApplication::processEvents();
    }
    ~PropertiesWiringTest() override {
        for (QMenu* menu : form.findChildren<QMenu*>())
            menu->hide();
    }

    CQueuingSystem& Model() { return *form.Model(); }
    QTreeWidget* Tree() { return form.TreePanel().Tree(); }
    QStringList Entries(TreeCategory category) {
        QStringList names;
        QTreeWidgetItem* c = form.TreePanel().Category(category);
        for (int i = 0; i < c->childCount(); ++i)
            names << c->child(i)->text(0);
        return names;
    }
    QPoint Centre(uint8_t node) {
        const CQSObject* n = Model().Node(node);
        return {n->x + 24, n->y + 24};
    }
    // The dialog gets this name and OK (or Cancel); what it was opened for is kept.
    void AnswerProperties(const QString& name, bool ok = true) {
        test::WhenModal<TAccumulatorForm>([this, name, ok](TAccumulatorForm& f) {
            openedFor = f.node;
            openedForType = f.requestType;
            f.NameEdit->setText(name);
            (ok ? f.BitBtn17 : f.BitBtn18)->click();
        });
    }
    QImage Scheme() { return form.Scheme().Picture().Bitmap(); }

    test::RecordingServices io;
    Program program;
    TMainForm& form;
    const CQSObject* openedFor = nullptr;
    const CRequestType* openedForType = nullptr;
};

TEST_F(PropertiesWiringTest, RenamedRefusalSinkMovesInTheTreeTheListAndTheScheme) {
    CQSObject* refusals = Model().refusalSink;
    ASSERT_NE(refusals, nullptr);
    Model().AddSink("Сток1");
    form.ModelChanged(ModelChange::kNodes);
    EXPECT_EQ(Entries(kSinksCategory), (QStringList{"Сток отказов", "Сток1"}));
    const QImage before = Scheme();

    AnswerProperties(QStringLiteral("Яма"));
    const QPoint at = Centre(Model().NodeIndex(refusals->name));
    QTest::mouseDClick(&form.Scheme().Picture(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(&form.Scheme().Picture(), Qt::LeftButton, {}, at);
    EXPECT_EQ(openedFor, refusals);
    EXPECT_EQ(refusals->name, "Яма");
    EXPECT_EQ(Model().refusalSink, refusals);
    EXPECT_EQ(Entries(kSinksCategory), (QStringList{"Сток1", "Яма"}));
    QComboBox* sinks = form.TreePanel().RefusalSinkList();
    EXPECT_EQ(sinks->currentText(), QStringLiteral("Яма"));
    EXPECT_EQ(sinks->findText(QStringLiteral("Сток отказов")), -1);
    EXPECT_NE(Scheme(), before) << "the new name is drawn under the node";
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(PropertiesWiringTest, CancelChangesNothing) {
    const QStringList generators = Entries(kGeneratorsCategory);
    const QImage before = Scheme();
    AnswerProperties(QStringLiteral("Другое имя"), false);
    form.EditObject(Model().NodeIndex("Генератор1"));
    EXPECT_EQ(Model().Node(Model().NodeIndex("Генератор1"))->name, "Генератор1");
    EXPECT_EQ(Entries(kGeneratorsCategory), generators);
    EXPECT_EQ(Scheme(), before);
}

TEST_F(PropertiesWiringTest, EnterOnARequestTypeEntryEditsItAndSortsTheCategory) {
    Model().AddRequestType("Тип_заявки2");
    form.ModelChanged(ModelChange::kRequestTypes);
    QTreeWidgetItem* types = form.TreePanel().Category(kRequestTypesCategory);
    Tree()->setCurrentItem(types->child(1));
    Tree()->setFocus();
    AnswerProperties(QStringLiteral("Априорный"));
    QTest::keyClick(Tree(), Qt::Key_Return);
    EXPECT_EQ(openedForType, Model().RequestType(1));
    EXPECT_EQ(Model().RequestType(1)->name, "Априорный");
    EXPECT_EQ(Entries(kRequestTypesCategory), (QStringList{"Априорный", "Тип_заявки1"}));
    ASSERT_NE(Tree()->currentItem(), nullptr);
    EXPECT_EQ(Tree()->currentItem()->text(0), QStringLiteral("Априорный"));
}

TEST_F(PropertiesWiringTest, DoubleClickOnANodeEntryOpensItsDialog) {
    QTreeWidgetItem* generator = form.TreePanel().Category(kGeneratorsCategory)->child(0);
    Tree()->scrollToItem(generator);
    const QRect r = Tree()->visualItemRect(generator);
    AnswerProperties(QStringLiteral("Источник"));
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(Tree()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(openedFor, Model().FindNode("Источник"));
    EXPECT_EQ(Entries(kGeneratorsCategory), (QStringList{"Источник"}));
}

TEST_F(PropertiesWiringTest, PropertiesCommandsAreAvailableWithTheDialog) {
    auto* item = form.findChild<QAction*>(QStringLiteral("PropertiesItem"));
    auto* source = form.findChild<QAction*>(QStringLiteral("N24"));
    auto* receiver = form.findChild<QAction*>(QStringLiteral("N25"));
    ASSERT_TRUE(item && source && receiver);
    EXPECT_TRUE(source->isEnabled());
    EXPECT_TRUE(receiver->isEnabled());

    const uint8_t generator = Model().NodeIndex("Генератор1");
    const uint8_t sink = Model().NodeIndex("Сток отказов");
    ASSERT_EQ(Model().Link(generator, sink), kOk);
    form.ModelChanged(ModelChange::kScheme);
    SchemeEditor& scheme = form.Scheme();
    // A right-button press on the line between the two nodes.
    const QPoint a = Centre(generator), b = Centre(sink);
    QTest::mousePress(&scheme.Picture(), Qt::RightButton, {}, (a + b) / 2);
    ASSERT_EQ(scheme.State().HitLinkSource, generator);
    ASSERT_EQ(scheme.State().HitLinkReceiver, sink);
    AnswerProperties(QStringLiteral("Генератор1"));
    source->trigger();
    EXPECT_EQ(openedFor, Model().Node(generator));
    AnswerProperties(QStringLiteral("Сток отказов"));
    receiver->trigger();
    EXPECT_EQ(openedFor, Model().Node(sink));

    // The object menu on a node of the scheme.
    QTest::mousePress(&scheme.Picture(), Qt::RightButton, {}, Centre(generator));
    EXPECT_TRUE(item->isEnabled());
    AnswerProperties(QStringLiteral("Генератор1"));
    item->trigger();
    EXPECT_EQ(openedFor, Model().Node(generator));
    EXPECT_TRUE(io.messages.shown.empty());
}

}  // namespace
}  // namespace marvolt
