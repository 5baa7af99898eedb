// The main window's commands, answered through the recording seams.
#include "editor/main_form.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "editor/add_object_form.h"
#include "editor/file_dialog_service.h"
#include "editor/scheme_picture.h"
#include "kernel/generator.h"
#include "kernel/sink.h"
#include "main_window_driver.h"

namespace marvolt {
namespace {

using test::DialogShowing;
using test::ShownMessage;

class MainFormTest : public ::testing::Test, public test::MainWindowDriver {
  protected:
    QString Path(const char* name) { return dir.filePath(QString::fromUtf8(name)); }
    QStringList SinkList() {
        QStringList texts;
        for (int i = 0; i < Sinks()->count(); ++i)
            texts << Sinks()->itemText(i);
        return texts;
    }

    const ShownMessage& LastMessage() {
        EXPECT_FALSE(io.messages.shown.empty());
        return io.messages.shown.back();
    }

    QTemporaryDir dir;
};

void ExpectWarning(const ShownMessage& m, const QString& text) {
    EXPECT_EQ(m.caption, QStringLiteral("Предупреждение"));
    EXPECT_EQ(m.icon, MessageIcon::kWarning);
    EXPECT_EQ(m.buttons, kButtonOk);
    EXPECT_EQ(m.text, text);
}

void ExpectError(const ShownMessage& m, const QString& text) {
    EXPECT_EQ(m.caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(m.icon, MessageIcon::kWarning);
    EXPECT_EQ(m.buttons, kButtonOk);
    EXPECT_EQ(m.text, text);
}

TEST_F(MainFormTest, FreshStartShowsTheNewModel) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Marvolt - Имитационное моделирование СМО"));
    QStringList categories;
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
        categories << Tree()->topLevelItem(i)->text(0);
    EXPECT_EQ(categories,
              QStringList({"Генераторы", "Накопители", "Каналы", "Стоки", "Типы заявок"}));
    EXPECT_EQ(Entries(kGeneratorsCategory), QStringList({"Генератор1"}));
    EXPECT_EQ(Entries(kQueuesCategory), QStringList());
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Сток отказов"}));
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Тип_заявки1"}));
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("Новая модель"));
    EXPECT_EQ(SinkList(), QStringList({"Сток отказов"}));
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Сток отказов"));

    const CQueuingSystem* model = form.Model();
    ASSERT_EQ(model->nodeCount(), 2);
    ASSERT_EQ(model->typeCount(), 1);
    const auto* generator = static_cast<const CGenerator*>(model->Node(0));
    EXPECT_EQ(generator->name, "Генератор1");
    EXPECT_EQ(generator->x, 15);
    EXPECT_EQ(generator->y, 15);
    EXPECT_EQ(generator->generatedTypes, std::vector<uint8_t>({0}));
    EXPECT_EQ(generator->typeProbabilities, std::vector<float>({1.0f}));
    EXPECT_EQ(model->Node(1)->name, "Сток отказов");
    EXPECT_EQ(model->Node(1)->x, 15);
    EXPECT_EQ(model->Node(1)->y, 83);
    EXPECT_EQ(model->refusalSink, model->Node(1));
    EXPECT_EQ(model->modelDescription, "Новая модель");
    EXPECT_EQ(form.ResultsModel(), nullptr);
    EXPECT_TRUE(form.FileName().isEmpty());
    EXPECT_EQ(form.View().Model, model);
    EXPECT_EQ(form.View().ViewRect,
              (SchemeRect{0, 0, form.Scheme().Picture().width(), form.Scheme().Picture().height()}));
    EXPECT_TRUE(form.findChild<QToolButton*>(QStringLiteral("CursorToolButton"))->isChecked());
    // The windows of these commands arrive later; until then they cannot be chosen.
    EXPECT_FALSE(form.findChild<QAction*>(QStringLiteral("N29"))->isEnabled());
    EXPECT_FALSE(form.findChild<QToolButton*>(QStringLiteral("ToolButton5"))->isEnabled());
    EXPECT_FALSE(form.findChild<QAction*>(QStringLiteral("PropertiesItem"))->isEnabled());
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(MainFormTest, DefaultNamesReuseTheSmallestFreeNumber) {
    DialogShowing first = AddThroughDialog(kChannelsCategory);
    EXPECT_TRUE(first.shown);
    EXPECT_EQ(first.caption, QStringLiteral("Добавить канал"));
    EXPECT_EQ(first.label, QStringLiteral("Название канала"));
    EXPECT_EQ(first.proposed, QStringLiteral("Канал1"));
    EXPECT_FALSE(first.typeMode);
    EXPECT_EQ(AddThroughDialog(kChannelsCategory).proposed, QStringLiteral("Канал2"));
    EXPECT_EQ(Tree()->currentItem()->text(0), QStringLiteral("Канал2"));
    const uint8_t second = form.Model()->NodeIndex("Канал2");
    EXPECT_EQ(form.Model()->Node(second)->x, 15);
    EXPECT_EQ(form.Model()->Node(second)->y, 15);

    io.messages.answers = {kButtonYes};
    form.DeleteObject(form.Model()->NodeIndex("Канал1"));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал2"}));
    EXPECT_EQ(AddThroughDialog(kChannelsCategory).proposed, QStringLiteral("Канал1"));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1", "Канал2"}));

    // A selected entry stands for its category.
    Select(kGeneratorsCategory, QStringLiteral("Генератор1"));
    DialogShowing generator;
    QTimer::singleShot(0, &nameDialog, [&] {
        generator.proposed = nameDialog.NameEdit->text();
        nameDialog.reject();
    });
    form.AddWithDialog();
    EXPECT_EQ(generator.proposed, QStringLiteral("Генератор2"));
    EXPECT_EQ(form.Model()->nodeCount(), 4);  // cancelled: nothing added

    const DialogShowing type = AddThroughDialog(kRequestTypesCategory);
    EXPECT_EQ(type.caption, QStringLiteral("Добавить тип заявки"));
    EXPECT_EQ(type.label, QStringLiteral("Название типа заявки"));
    EXPECT_EQ(type.proposed, QStringLiteral("Тип_заявки2"));
    EXPECT_TRUE(type.typeMode);
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Тип_заявки1", "Тип_заявки2"}));
}

TEST_F(MainFormTest, NewSinksJoinTheRefusalSinkListInOrder) {
    EXPECT_EQ(AddThroughDialog(kSinksCategory, QStringLiteral("Архив")).caption,
              QStringLiteral("Добавить сток"));
    AddThroughDialog(kSinksCategory, QStringLiteral("Выход"));
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Архив", "Выход", "Сток отказов"}));
    EXPECT_EQ(SinkList(), QStringList({"Архив", "Выход", "Сток отказов"}));
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Сток отказов"));

    // Choosing in the list makes that sink the refusal sink.
    emit Sinks()->activated(1);
    EXPECT_EQ(form.Model()->refusalSink->name, "Выход");
}

TEST_F(MainFormTest, TheOnlyGeneratorTheRefusalSinkAndTheOnlyTypeStay) {
    form.DeleteObject(0);
    ExpectWarning(LastMessage(), QStringLiteral("Генератор заявок \"Генератор1\" является "
                                                "единственным,\nпоэтому не может быть удален."));
    form.DeleteObject(1);
    ExpectWarning(LastMessage(), QStringLiteral("Сток \"Сток отказов\" является стоком "
                                                "отказов,\nпоэтому не может быть удален."));
    Select(kRequestTypesCategory, QStringLiteral("Тип_заявки1"));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    ExpectWarning(LastMessage(), QStringLiteral("Тип заявок \"Тип_заявки1\" является "
                                                "единственным,\nпоэтому не может быть удален."));
    EXPECT_EQ(io.messages.shown.size(), 3u);
    EXPECT_EQ(form.Model()->nodeCount(), 2);
    EXPECT_EQ(form.Model()->typeCount(), 1);
    EXPECT_EQ(Entries(kGeneratorsCategory), QStringList({"Генератор1"}));
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Сток отказов"}));
}

TEST_F(MainFormTest, OtherObjectsGoAfterConfirmation) {
    AddThroughDialog(kGeneratorsCategory);
    AddThroughDialog(kSinksCategory);
    AddThroughDialog(kRequestTypesCategory);
    io.messages.shown.clear();

    Select(kGeneratorsCategory, QStringLiteral("Генератор2"));
    QTest::keyClick(Tree(), Qt::Key_Delete);  // answered No
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Подтверждение удаления"));
    EXPECT_EQ(io.messages.shown[0].icon, MessageIcon::kQuestion);
    EXPECT_EQ(io.messages.shown[0].buttons, kButtonYes | kButtonNo);
    EXPECT_EQ(io.messages.shown[0].text,
              QStringLiteral("Вы действительно хотите удалить объект \"Генератор2\"?"));
    EXPECT_EQ(Entries(kGeneratorsCategory), QStringList({"Генератор1", "Генератор2"}));
    io.messages.answers = {kButtonYes};
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(Entries(kGeneratorsCategory), QStringList({"Генератор1"}));
    EXPECT_EQ(form.Model()->NodeIndex("Генератор2"), kNoIndex);

    // The tree's context menu acts on the entry it was opened on.
    QTreeWidgetItem* sink = Entry(kSinksCategory, QStringLiteral("Сток1"));
    form.TreePanel().ObjectTreeMouseDown(Qt::RightButton, Qt::RightButton,
                             Tree()->visualItemRect(sink).center());
    form.findChild<QMenu*>(QStringLiteral("ObjectPopupMenu"))->hide();
    io.messages.answers = {kButtonYes};
    Trigger("DeleteObjectItem");
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Сток отказов"}));
    EXPECT_EQ(SinkList(), QStringList({"Сток отказов"}));
    EXPECT_EQ(form.Model()->nodeCount(), 2);

    Select(kRequestTypesCategory, QStringLiteral("Тип_заявки2"));
    io.messages.answers = {kButtonYes};
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(LastMessage().text,
              QStringLiteral("Вы действительно хотите удалить тип заявок \"Тип_заявки2\"?"));
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Тип_заявки1"}));
    EXPECT_EQ(form.Model()->typeCount(), 1);
}

TEST_F(MainFormTest, TreeContextMenuOffersDeletionOnlyOnEntries) {
    QMenu* menu = form.findChild<QMenu*>(QStringLiteral("ObjectPopupMenu"));
    QTreeWidgetItem* generator = Entry(kGeneratorsCategory, QStringLiteral("Генератор1"));
    // Opened on the scheme first, the menu is about the node under the pointer.
    // A click, not a press: the button would stay held for the tests that follow.
    QTest::mouseClick(&form.Scheme().Picture(), Qt::RightButton, {}, QPoint(39, 39));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(form.PopupNode(), 0);
    menu->hide();
    QTest::mouseClick(Tree()->viewport(), Qt::RightButton, {},
                      Tree()->visualItemRect(generator).center());
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(Tree()->currentItem(), generator);
    EXPECT_EQ(form.PopupNode(), kNoIndex);
    EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("DeleteObjectItem"))->isEnabled());
    EXPECT_FALSE(form.findChild<QAction*>(QStringLiteral("PropertiesItem"))->isEnabled());
    menu->hide();

    QTreeWidgetItem* category = Tree()->topLevelItem(kQueuesCategory);
    form.TreePanel().ObjectTreeMouseDown(Qt::RightButton, Qt::RightButton,
                             Tree()->visualItemRect(category).center());
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(form.findChild<QAction*>(QStringLiteral("DeleteObjectItem"))->isEnabled());
    menu->hide();

    // Not with the left button held, and not on empty space.
    form.TreePanel().ObjectTreeMouseDown(Qt::RightButton, Qt::RightButton | Qt::LeftButton,
                             Tree()->visualItemRect(generator).center());
    EXPECT_FALSE(menu->isVisible());
    form.TreePanel().ObjectTreeMouseDown(Qt::RightButton, Qt::RightButton,
                             QPoint(5, Tree()->viewport()->height() - 2));
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(MainFormTest, RenamedNodesMoveInTheTreeAndTheRefusalSinkStaysSelected) {
    AddThroughDialog(kSinksCategory);
    AddThroughDialog(kGeneratorsCategory);
    ASSERT_EQ(SinkList(), QStringList({"Сток отказов", "Сток1"}));
    std::string newName;
    form.SetPropertiesDialog([&](CQSObject* node, CRequestType* type) {
        EXPECT_EQ(type, nullptr);
        if (newName.empty())
            return false;
        node->name = newName;
        return true;
    });
    EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("PropertiesItem"))->isEnabled());

    form.EditObject(form.Model()->NodeIndex("Сток отказов"));  // cancelled
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Сток отказов", "Сток1"}));

    newName = "Яма отказов";
    form.EditObject(form.Model()->NodeIndex("Сток отказов"));
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Сток1", "Яма отказов"}));
    EXPECT_EQ(SinkList(), QStringList({"Яма отказов", "Сток1"}));
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Яма отказов"));
    EXPECT_EQ(form.Model()->refusalSink->name, "Яма отказов");

    // Enter on a tree entry opens the same dialog.
    newName = "Альфа";
    Select(kGeneratorsCategory, QStringLiteral("Генератор2"));
    QTest::keyClick(Tree(), Qt::Key_Return);
    EXPECT_EQ(Entries(kGeneratorsCategory), QStringList({"Альфа", "Генератор1"}));
}

TEST_F(MainFormTest, RequestTypePropertiesRenameTheEntry) {
    AddThroughDialog(kRequestTypesCategory);
    form.SetPropertiesDialog([](CQSObject* node, CRequestType* type) {
        EXPECT_EQ(node, nullptr);
        type->name = "Срочная";
        return true;
    });
    Select(kRequestTypesCategory, QStringLiteral("Тип_заявки2"));
    Trigger("PropertiesItem");
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Срочная", "Тип_заявки1"}));
}

TEST_F(MainFormTest, SaveAsksForAFileOnceAndSaveAsAlways) {
    const QString first = Path("net.qsf");
    io.fileDialogs.saveAnswers = {first};
    Trigger("N12");
    EXPECT_EQ(io.fileDialogs.saved, 1);
    EXPECT_TRUE(QFile::exists(first));
    EXPECT_EQ(form.FileName(), first);
    EXPECT_EQ(form.windowTitle(), kTitleBase + QStringLiteral(" - [net.qsf]"));

    Trigger("N12");
    form.findChild<QToolButton*>(QStringLiteral("ToolButton3"))->click();
    EXPECT_EQ(io.fileDialogs.saved, 1);

    const QString second = Path("copy.qsf");
    io.fileDialogs.saveAnswers = {second};
    Trigger("N13");
    EXPECT_EQ(io.fileDialogs.saved, 2);
    EXPECT_TRUE(QFile::exists(second));
    EXPECT_EQ(form.windowTitle(), kTitleBase + QStringLiteral(" - [copy.qsf]"));
    Trigger("N13");  // cancelled
    EXPECT_EQ(io.fileDialogs.saved, 3);
    EXPECT_EQ(form.FileName(), second);

    for (const FileDialogRequest& r : io.fileDialogs.requests) {
        EXPECT_EQ(r.filter, QStringLiteral("Файл модели (*.qsf)|*.qsf|Все файлы (*.*)|*.*"));
        EXPECT_EQ(r.defaultExtension, QStringLiteral("qsf"));
    }
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(MainFormTest, SavedModelOpensAgainWithItsDescription) {
    AddThroughDialog(kQueuesCategory);
    Memo()->setPlainText(QStringLiteral("Две строки\nописания"));
    const QString path = Path("net.qsf");
    io.fileDialogs.saveAnswers = {path};
    Trigger("N13");
    // Typed after the save: something to ask about.
    Memo()->setPlainText(QStringLiteral("Черновик"));

    Trigger("N14");  // the save question is answered No
    EXPECT_EQ(Entries(kQueuesCategory), QStringList());
    EXPECT_EQ(form.windowTitle(), kTitleBase);
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("Новая модель"));

    io.fileDialogs.openAnswers = {path};
    Trigger("N11");
    EXPECT_EQ(Entries(kQueuesCategory), QStringList({"Накопитель1"}));
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("Две строки\nописания"));
    EXPECT_EQ(form.windowTitle(), kTitleBase + QStringLiteral(" - [net.qsf]"));
    EXPECT_EQ(form.FileName(), path);
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Сток отказов"));
    EXPECT_EQ(form.ResultsModel(), nullptr);
    EXPECT_EQ(form.View().Model, form.Model());
    EXPECT_EQ(Tree()->currentItem()->text(0), QStringLiteral("Тип_заявки1"));
    EXPECT_EQ(form.Model()->Node(form.Model()->NodeIndex("Накопитель1"))->x, 15);

    // The fresh model was left as it was: opening asked nothing.
    ASSERT_EQ(io.messages.shown.size(), 1u);
    for (const ShownMessage& m : io.messages.shown) {
        EXPECT_EQ(m.caption, QStringLiteral("Новая модель"));
        EXPECT_EQ(m.icon, MessageIcon::kQuestion);
        EXPECT_EQ(m.text, QStringLiteral("Сохранить текущую модель?"));
        EXPECT_EQ(m.buttons, kButtonYes | kButtonNo);
    }
}

TEST_F(MainFormTest, OpeningADamagedFileLeavesEverythingAsItWas) {
    AddThroughDialog(kChannelsCategory);
    Memo()->setPlainText(QStringLiteral("Черновик"));
    const CQueuingSystem* before = form.Model();
    const QString title = form.windowTitle();
    const QImage picture = form.Scheme().Picture().Bitmap().copy();
    QStringList tree;
    for (int c = 0; c < 5; ++c)
        tree << Entries(static_cast<TreeCategory>(c));

    const QString damaged = Path("damaged.qsf");
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("QSFMthis is not a model at all");
    }
    io.fileDialogs.openAnswers = {damaged};
    Trigger("N11");
    ASSERT_EQ(io.messages.shown.size(), 2u);  // the save question, then the error
    ExpectError(LastMessage(),
                QStringLiteral("Ошибка при чтении файла \"") + damaged + QStringLiteral("\"."));

    const QString absent = Path("absent.qsf");
    io.fileDialogs.openAnswers = {absent};
    Trigger("N11");
    ExpectError(LastMessage(), QStringLiteral("Невозможно открыть файл \"") + absent +
                                   QStringLiteral("\" для чтения."));

    EXPECT_EQ(form.Model(), before);
    EXPECT_EQ(form.View().Model, before);
    EXPECT_EQ(form.windowTitle(), title);
    EXPECT_TRUE(form.FileName().isEmpty());
    QStringList treeAfter;
    for (int c = 0; c < 5; ++c)
        treeAfter << Entries(static_cast<TreeCategory>(c));
    EXPECT_EQ(treeAfter, tree);
    EXPECT_EQ(form.Scheme().Picture().Bitmap(), picture);
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("Черновик"));

    // A cancelled open dialog asks nothing.
    io.messages.shown.clear();
    Trigger("N11");
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(MainFormTest, FailedSavesAreReportedAndChangeNothing) {
    const QString nowhere = Path("missing/net.qsf");
    io.fileDialogs.saveAnswers = {nowhere};
    Trigger("N12");
    ExpectError(LastMessage(), QStringLiteral("Невозможно открыть файл \"") + nowhere +
                                   QStringLiteral("\" для записи."));
    EXPECT_TRUE(form.FileName().isEmpty());
    EXPECT_EQ(form.windowTitle(), kTitleBase);

    // A description the file's code page has no characters for.
    Memo()->setPlainText(QStringLiteral("Модель 漢"));
    const QString path = Path("net.qsf");
    io.fileDialogs.saveAnswers = {path};
    Trigger("N12");
    EXPECT_EQ(LastMessage().caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(LastMessage().text.startsWith(
        QStringLiteral("Невозможно сохранить модель в файл \"") + path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(form.FileName().isEmpty());
    EXPECT_EQ(form.windowTitle(), kTitleBase);
}

TEST_F(MainFormTest, TheTwoHundredFiftyFirstNodeAndTypeAreRefused) {
    CQueuingSystem* model = form.Model();
    for (int i = model->nodeCount(); i < ObjectLimit; ++i)
        ASSERT_NE(model->AddQueue("Накопитель" + std::to_string(i)), nullptr);
    form.ModelChanged(ModelChange::kNodes);
    const DialogShowing node = AddThroughDialog(kGeneratorsCategory);
    EXPECT_FALSE(node.shown);
    ASSERT_EQ(io.messages.shown.size(), 1u);
    ExpectWarning(LastMessage(), QStringLiteral("Невозможно добавить новый объект.\nМодель "
                                                "содержит максимально возможное количество "
                                                "объектов (250)."));
    EXPECT_EQ(model->nodeCount(), ObjectLimit);

    for (int i = model->typeCount(); i < RequestTypeLimit; ++i)
        ASSERT_NE(model->AddRequestType("Тип" + std::to_string(i)), nullptr);
    form.findChild<QToolButton*>(QStringLiteral("ReqToolButton"))->click();
    QCoreApplication::processEvents();
    ExpectWarning(LastMessage(), QStringLiteral("Невозможно добавить новый тип заявки.\nМодель "
                                                "содержит максимально возможное количество "
                                                "типов заявок (250)."));
    EXPECT_EQ(model->typeCount(), RequestTypeLimit);
}

TEST_F(MainFormTest, CopySchemePutsTheNodesWithMarginsOnTheClipboard) {
    Trigger("N30");
    ASSERT_EQ(io.clipboard.images.size(), 1u);
    // Nodes span (15, 15)-(63, 131); 12 pixels on every side.
    EXPECT_EQ(io.clipboard.images[0].size(), QSize(48 + 24, 116 + 24));
    EXPECT_EQ(io.clipboard.images[0], form.Scheme().Picture().Bitmap().copy(3, 3, 72, 140));

    CQSObject* generator = form.Model()->Node(0);
    generator->x = 5;
    generator->y = 5;
    form.ModelChanged(ModelChange::kScheme);
    Trigger("N30");
    EXPECT_EQ(io.clipboard.images[1].size(), QSize(63 + 12, 131 + 12));

    // Against the far edges the margin stops at the picture.
    const int width = form.Scheme().Picture().width();
    generator->x = width - 50;
    form.ModelChanged(ModelChange::kScheme);
    Trigger("N30");
    EXPECT_EQ(io.clipboard.images[2].width(), width - 3);
}

TEST_F(MainFormTest, NewModelReplacesModelAndResults) {
    AddThroughDialog(kChannelsCategory);
    form.SetResultsModel(std::make_unique<CQueuingSystem>());
    io.messages.answers = {kButtonYes};  // then the save dialog is cancelled
    Trigger("N14");
    EXPECT_EQ(io.fileDialogs.saved, 1);
    EXPECT_EQ(form.ResultsModel(), nullptr);
    EXPECT_EQ(form.Model()->nodeCount(), 2);
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Тип_заявки1"}));
    EXPECT_EQ(SinkList(), QStringList({"Сток отказов"}));
    EXPECT_EQ(form.View().Model, form.Model());
}

TEST_F(MainFormTest, AFailedSaveStopsTheNewAndOpenCommands) {
    AddThroughDialog(kChannelsCategory);
    const QString nowhere = Path("missing/net.qsf");
    io.messages.answers = {kButtonYes};
    io.fileDialogs.saveAnswers = {nowhere};
    Trigger("N14");
    EXPECT_EQ(LastMessage().caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));

    // The file saved to last has gone with its folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString gone = Path("sub/net.qsf");
    io.fileDialogs.saveAnswers = {gone};
    Trigger("N13");
    ASSERT_EQ(form.FileName(), gone);
    AddThroughDialog(kChannelsCategory);
    ASSERT_TRUE(QDir(Path("sub")).removeRecursively());
    io.messages.answers = {kButtonYes};
    io.fileDialogs.openAnswers = {Path("absent.qsf")};
    Trigger("N11");
    EXPECT_EQ(LastMessage().text, QStringLiteral("Невозможно открыть файл \"") + gone +
                                      QStringLiteral("\" для записи."));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1", "Канал2"}));
}

TEST_F(MainFormTest, ClosingAsksAndCancelKeepsTheWindowOpen) {
    AddThroughDialog(kQueuesCategory);
    io.messages.answers = {kButtonCancel};
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Выход из программы"));
    EXPECT_EQ(io.messages.shown[0].text, QStringLiteral("Сохранить текущую модель?"));
    EXPECT_EQ(io.messages.shown[0].buttons, kButtonYes | kButtonNo | kButtonCancel);

    // Yes, and the save fails: the window stays, with the model in it.
    io.messages.answers = {kButtonYes};
    io.fileDialogs.saveAnswers = {Path("missing/net.qsf")};
    EXPECT_FALSE(form.close());
    EXPECT_EQ(LastMessage().caption, QStringLiteral("Ошибка"));

    // Yes with a cancelled save dialog still closes.
    io.messages.answers = {kButtonYes};
    EXPECT_TRUE(form.close());
    EXPECT_EQ(io.fileDialogs.saved, 2);
}

TEST_F(MainFormTest, PictureGrowsToCoverTheSchemeBoxAndNeverShrinks) {
    const QScrollArea* box = form.findChild<QScrollArea*>(QStringLiteral("MainScrollBox"));
    form.resize(1200, 900);
    QCoreApplication::processEvents();
    const QSize client = box->maximumViewportSize();
    EXPECT_EQ(form.Scheme().Picture().size(), client);
    // Less than 50 pixels more of box: 50 more of picture.
    form.resize(1220, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Scheme().Picture().size(), QSize(client.width() + 50, client.height()));
    form.resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Scheme().Picture().size(), QSize(client.width() + 50, client.height()));
    EXPECT_EQ(form.View().ViewRect,
              (SchemeRect{0, 0, form.Scheme().Picture().width(), form.Scheme().Picture().height()}));
}

// What a dialog or undo will do: change the model itself, then say so once.
TEST_F(MainFormTest, OneModelChangedBringsTreeListAndSchemeInStep) {
    form.resize(1000, 700);
    QCoreApplication::processEvents();
    AddThroughDialog(kSinksCategory, QStringLiteral("Архив"));
    AddThroughDialog(kSinksCategory, QStringLiteral("Выход"));
    ASSERT_EQ(SinkList(), QStringList({"Архив", "Выход", "Сток отказов"}));
    CQueuingSystem& model = *form.Model();
    model.FindNode("Архив")->name = "Яма";
    CDispose* added = model.AddSink("Борт");
    added->x = 300;
    added->y = 300;
    ASSERT_EQ(model.DeleteNode("Выход"), kOk);
    model.AddRequestType("Срочная");
    QImage& bitmap = form.Scheme().Picture().Bitmap();
    ASSERT_EQ(bitmap.pixel(324, 310), qRgb(255, 255, 255));

    form.ModelChanged(ModelChange::kNodeRemoved, {added, nullptr});
    EXPECT_EQ(Entries(kSinksCategory), QStringList({"Борт", "Сток отказов", "Яма"}));
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Срочная", "Тип_заявки1"}));
    // The renamed sink keeps its place in the list; the new one joins in order.
    EXPECT_EQ(SinkList(), QStringList({"Борт", "Яма", "Сток отказов"}));
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Сток отказов"));
    EXPECT_EQ(Tree()->currentItem()->text(0), QStringLiteral("Борт"));
    EXPECT_NE(bitmap.pixel(324, 310), qRgb(255, 255, 255));

    // A change of request types alone leaves the picture; one of the scheme redraws it.
    bitmap.setPixel(600, 400, qRgb(255, 0, 0));
    model.DeleteRequestType("Срочная");
    form.ModelChanged(ModelChange::kRequestTypes);
    EXPECT_EQ(Entries(kRequestTypesCategory), QStringList({"Тип_заявки1"}));
    EXPECT_EQ(bitmap.pixel(600, 400), qRgb(255, 0, 0));
    added->x = 500;
    form.ModelChanged(ModelChange::kScheme);
    EXPECT_EQ(bitmap.pixel(600, 400), qRgb(255, 255, 255));
    EXPECT_EQ(bitmap.pixel(324, 310), qRgb(255, 255, 255));

    // The refusal sink renamed under the window keeps its list item selected.
    model.refusalSink->name = "Отказы";
    form.ModelChanged(ModelChange::kNodes);
    EXPECT_EQ(SinkList(), QStringList({"Борт", "Яма", "Отказы"}));
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Отказы"));
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(MainFormTest, TreePanelHidesAndComesBack) {
    QWidget* panel = form.findChild<QWidget*>(QStringLiteral("TreePanel"));
    form.findChild<QToolButton*>(QStringLiteral("TreeCloseButton"))->click();
    EXPECT_FALSE(panel->isVisible());
    Trigger("N28");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_GT(panel->width(), 0);
}

}  // namespace
}  // namespace marvolt

namespace marvolt {
namespace {

// The tool bar holds the only refusal-sink choice: no menu may hide it.
TEST_F(MainFormTest, ToolBarHasNoMenuThatHidesIt) {
    QToolBar* bar = form.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(bar, nullptr);
    bool popupSeen = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popupSeen = true;
            popup->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), bar->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(bar, &event);
    QTest::qWait(80);
    EXPECT_FALSE(popupSeen);
    EXPECT_TRUE(bar->isVisible());
}

TEST(FileDialogFilterTest, AllFilesMatchNamesWithoutADot) {
    EXPECT_EQ(ToolkitFilter(QStringLiteral("Файл модели (*.qsf)|*.qsf|Все файлы (*.*)|*.*")),
              QStringLiteral("Файл модели (*.qsf);;Все файлы (*)"));
    EXPECT_EQ(ToolkitFilter(QStringLiteral("Отчет|*.txt")), QStringLiteral("Отчет (*.txt)"));
}

}  // namespace
}  // namespace marvolt
