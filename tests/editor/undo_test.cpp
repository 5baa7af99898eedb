// Undo and redo in the main window: every kind of change one step, put back
// and done again as the container holds it, field by field.
#include <QMenu>
#include <QTextCursor>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include "editor/logic/model_snapshot.h"
#include "kernel/channel.h"
#include "kernel/queue.h"
#include "main_window_driver.h"
#include "persistence/model_file.h"

namespace marvolt {
namespace {

using Parts = std::vector<std::string>;

class UndoTest : public ::testing::Test, public test::MainWindowDriver {
  protected:
    ModelHistory& History() { return form.History(); }
    QString UndoHint() { return Action("UndoAction")->toolTip(); }
    QString RedoHint() { return Action("RedoAction")->toolTip(); }

    // Makes the change, then checks that it is one step with that name,
    // undone to the state before it and redone to the state after it.
    void ExpectOneStep(const char* step, const std::function<void()>& change) {
        SCOPED_TRACE(step);
        const auto before = ConfigurationCopy(Model());
        const int steps = History().StepCount();
        change();
        const auto after = ConfigurationCopy(Model());
        ASSERT_FALSE(SameConfiguration(*before, *after)) << "the change changed nothing";
        EXPECT_EQ(History().StepCount(), steps + 1);
        EXPECT_EQ(UndoHint(), QStringLiteral("Отменить: ") + QString::fromUtf8(step));
        Trigger("UndoAction");
        EXPECT_EQ(ConfigurationDifferences(Model(), *before), Parts());
        EXPECT_EQ(RedoHint(), QStringLiteral("Повторить: ") + QString::fromUtf8(step));
        EXPECT_TRUE(Action("RedoAction")->isEnabled());
        Trigger("RedoAction");
        EXPECT_EQ(ConfigurationDifferences(Model(), *after), Parts());
        EXPECT_EQ(History().StepCount(), steps + 1);
    }

    QTemporaryDir dir;
};

TEST_F(UndoTest, CommandsWaitForAStepAndSitAtTheTopOfTheModelMenu) {
    for (const char* name : {"UndoAction", "RedoAction"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    EXPECT_FALSE(Button("UndoToolButton")->isEnabled());
    EXPECT_FALSE(Button("RedoToolButton")->isEnabled());
    EXPECT_EQ(UndoHint(), QStringLiteral("Отменить"));
    EXPECT_EQ(RedoHint(), QStringLiteral("Повторить"));
    const QList<QAction*> menu =
        form.findChild<QMenu*>(QStringLiteral("ModelMenu"))->actions();
    ASSERT_GE(menu.size(), 2);
    EXPECT_EQ(menu[0], Action("UndoAction"));
    EXPECT_EQ(menu[1], Action("RedoAction"));

    AddThroughDialog(kChannelsCategory);
    EXPECT_TRUE(Button("UndoToolButton")->isEnabled());
    EXPECT_EQ(Button("UndoToolButton")->toolTip(), QStringLiteral("Отменить: добавление «Канал1»"));
    EXPECT_FALSE(Action("RedoAction")->isEnabled());
}

TEST_F(UndoTest, AddingAndDeletingNodesAndTypes) {
    ExpectOneStep("добавление «Канал1»", [&] { AddThroughDialog(kChannelsCategory); });
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
    Trigger("UndoAction");
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    Trigger("RedoAction");
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
    EXPECT_EQ(Selected(), QStringLiteral("Канал1"));

    ExpectOneStep("добавление «Срочная»",
                  [&] { AddThroughDialog(kRequestTypesCategory, QStringLiteral("Срочная")); });
    ExpectOneStep("добавление «Накопитель1»",
                  [&] { Place("QueToolButton", QPoint(300, 200)); });
    ExpectOneStep("удаление «Канал1»", [&] {
        Select(kChannelsCategory, QStringLiteral("Канал1"));
        io.messages.answers = {kButtonYes};
        QTest::keyClick(Tree(), Qt::Key_Delete);
    });
    // Undone, the deleted node is back in the tree and chosen again.
    Trigger("UndoAction");
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
    EXPECT_EQ(Selected(), QStringLiteral("Канал1"));
    Trigger("RedoAction");
    ExpectOneStep("удаление «Срочная»", [&] {
        Select(kRequestTypesCategory, QStringLiteral("Срочная"));
        io.messages.answers = {kButtonYes};
        QTest::keyClick(Tree(), Qt::Key_Delete);
    });
    // A refused deletion is no step.
    const int steps = History().StepCount();
    form.DeleteObject(0);
    EXPECT_EQ(History().StepCount(), steps);
}

TEST_F(UndoTest, LinkingUnlinkingAndMovingOnTheScheme) {
    const uint8_t queue = Place("QueToolButton", QPoint(324, 124));
    ExpectOneStep("связь «Генератор1» → «Накопитель1»", [&] { Link(0, queue); });
    EXPECT_EQ(Model().Node(0)->receivers, std::vector<uint8_t>({queue}));
    ExpectOneStep("удаление связи «Генератор1» → «Накопитель1»", [&] {
        // A right click on the line between the two centres opens the link menu.
        Click(QPoint(181, 81), Qt::RightButton);
        QMenu* menu = form.findChild<QMenu*>(QStringLiteral("LinkPopupMenu"));
        ASSERT_TRUE(menu->isVisible());
        menu->hide();
        Trigger("N23");
    });
    EXPECT_TRUE(Model().Node(0)->receivers.empty());
    ExpectOneStep("перемещение «Накопитель1»",
                  [&] { Drag(Centre(queue), {{330, 140}, {360, 180}, {400, 220}}); });
    EXPECT_EQ(Model().Node(queue)->x, 376);
    // Dropped where it was grabbed: nothing moved, no step.
    const int steps = History().StepCount();
    Drag(Centre(queue), {{Centre(queue).x() + 10, Centre(queue).y()}, Centre(queue)});
    EXPECT_EQ(History().StepCount(), steps);
}

TEST_F(UndoTest, ADragIsOneStepHoweverLong) {
    const QPoint start(Model().Node(0)->x, Model().Node(0)->y);
    const int steps = History().StepCount();
    Drag(Centre(0), {{60, 60}, {100, 90}, {150, 120}, {200, 160}, {260, 200}});
    ASSERT_NE(QPoint(Model().Node(0)->x, Model().Node(0)->y), start);
    EXPECT_EQ(History().StepCount(), steps + 1);
    Trigger("UndoAction");
    EXPECT_EQ(QPoint(Model().Node(0)->x, Model().Node(0)->y), start);
    EXPECT_FALSE(Action("UndoAction")->isEnabled());
}

TEST_F(UndoTest, AnOkOfThePropertiesDialogIsOneStepWhateverItChanged) {
    AddThroughDialog(kChannelsCategory);
    bool ok = true;
    form.SetPropertiesDialog([&](CQSObject* node, CRequestType* type) {
        if (type) {
            type->name = "Обычная";
            type->priority = 3;
            return ok;
        }
        auto* channel = static_cast<CChannel*>(node);
        channel->name = "Касса";
        channel->deviceCount = 4;
        channel->serviceLaws[0] = {kLawExponential, 3.0f, 0.0f};
        channel->failuresOn = 1;
        channel->description = "у входа";
        return ok;
    });
    ExpectOneStep("изменение свойств «Касса»",
                  [&] { form.EditObject(Model().NodeIndex("Канал1")); });
    Trigger("UndoAction");
    const auto* channel = static_cast<const CChannel*>(Model().FindNode("Канал1"));
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->deviceCount, 1);
    EXPECT_EQ(channel->failuresOn, 0);
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
    Trigger("RedoAction");
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Касса"}));

    ExpectOneStep("изменение свойств «Обычная»", [&] {
        Select(kRequestTypesCategory, QStringLiteral("Тип_заявки1"));
        form.EditRequestType();
    });
    EXPECT_EQ(Model().RequestType(0)->priority, 3);

    // Cancelled, or OK with nothing changed: no step.
    const int steps = History().StepCount();
    form.SetPropertiesDialog([](CQSObject*, CRequestType*) { return true; });
    form.EditObject(0);
    form.SetPropertiesDialog([](CQSObject* node, CRequestType*) {
        node->x = 700;
        return false;
    });
    EXPECT_EQ(History().StepCount(), steps);
}

TEST_F(UndoTest, TheRefusalSinkChoiceAndTheDescription) {
    AddThroughDialog(kSinksCategory, QStringLiteral("Архив"));
    ExpectOneStep("выбор стока отказов «Архив»", [&] {
        const int at = Sinks()->findText(QStringLiteral("Архив"));
        Sinks()->setCurrentIndex(at);
        emit Sinks()->activated(at);
    });
    Trigger("UndoAction");
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Сток отказов"));
    EXPECT_EQ(Model().refusalSink->name, "Сток отказов");
    Trigger("RedoAction");
    EXPECT_EQ(Sinks()->currentText(), QStringLiteral("Архив"));

    // Typing is one step once the field is left.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ExpectOneStep("изменение описания модели", [&] {
        Memo()->setFocus();
        Memo()->moveCursor(QTextCursor::End);
        QTest::keyClicks(Memo(), QStringLiteral(" v2"));
        EXPECT_EQ(History().StepCount(), 2) << "still typing";
        Tree()->setFocus();
    });
    EXPECT_EQ(Model().modelDescription, "Новая модель v2");
    Trigger("UndoAction");
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("Новая модель"));
    // Text still being typed is the latest change: undo takes it back first.
    Memo()->setFocus();
    Memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(Memo(), QStringLiteral("!"));
    Button("UndoToolButton")->click();
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("Новая модель"));
    EXPECT_EQ(Model().modelDescription, "Новая модель");
}

TEST_F(UndoTest, UndoingBackToTheSavedStateLeavesNothingToSave) {
    AddThroughDialog(kChannelsCategory);
    io.fileDialogs.saveAnswers = {dir.filePath(QStringLiteral("net.qsf"))};
    Trigger("N12");
    AddThroughDialog(kQueuesCategory);
    EXPECT_TRUE(form.HasUnsavedChanges());
    Trigger("UndoAction");
    EXPECT_FALSE(form.HasUnsavedChanges());
    io.messages.shown.clear();
    EXPECT_TRUE(form.close()) << "closed without a question";
    EXPECT_TRUE(io.messages.shown.empty());
    form.show();

    // Past the saved state the other way round there is something to save again.
    Trigger("UndoAction");
    EXPECT_TRUE(form.HasUnsavedChanges());
    Trigger("RedoAction");
    EXPECT_FALSE(form.HasUnsavedChanges());
    // A new step after undoing past the saved state never reaches it again.
    Trigger("UndoAction");
    AddThroughDialog(kSinksCategory);
    Trigger("UndoAction");
    EXPECT_TRUE(form.HasUnsavedChanges());
}

TEST_F(UndoTest, NewAndOpenStartTheHistoryAfresh) {
    AddThroughDialog(kChannelsCategory);
    const QString path = dir.filePath(QStringLiteral("net.qsf"));
    io.fileDialogs.saveAnswers = {path};
    Trigger("N13");
    AddThroughDialog(kQueuesCategory);
    Trigger("N14");  // the save question answered No
    EXPECT_FALSE(Action("UndoAction")->isEnabled());
    EXPECT_FALSE(form.HasUnsavedChanges());
    AddThroughDialog(kSinksCategory);
    io.fileDialogs.openAnswers = {path};
    Trigger("N11");
    EXPECT_EQ(Entries(kChannelsCategory), QStringList({"Канал1"}));
    EXPECT_FALSE(Action("UndoAction")->isEnabled());
    EXPECT_FALSE(Action("RedoAction")->isEnabled());
    EXPECT_EQ(History().StepCount(), 0);
}

TEST_F(UndoTest, ResultsAreNoPartOfTheHistory) {
    Model().arrivalsLimit = 200;
    const uint8_t sink = Place("DispToolButton", QPoint(300, 60));
    Link(0, sink);
    ASSERT_EQ(Model().Experiment(), kOk);
    form.SetResultsModel(CQueuingSystem::CopyModel(Model(), true));
    const CQueuingSystem* results = form.ResultsModel();
    std::vector<uint8_t> resultBytes;
    ASSERT_TRUE(WriteModelBytes(*results, nullptr, resultBytes));

    AddThroughDialog(kChannelsCategory);
    EXPECT_EQ(Model().resultsValid, 0) << "an edit leaves the results behind";
    Trigger("UndoAction");
    Trigger("UndoAction");
    EXPECT_EQ(Model().resultsValid, 0);
    EXPECT_TRUE(Model().Node(0)->receivers.empty());
    ASSERT_EQ(form.ResultsModel(), results);
    std::vector<uint8_t> after;
    ASSERT_TRUE(WriteModelBytes(*form.ResultsModel(), nullptr, after));
    EXPECT_EQ(after, resultBytes);
    // Back at the start of the history the results still wait to be saved.
    Trigger("UndoAction");
    EXPECT_FALSE(Action("UndoAction")->isEnabled());
    EXPECT_TRUE(form.HasUnsavedChanges());
}

TEST_F(UndoTest, TheExperimentWindowsSettingsAreOneStepAndItsRunsWaitToBeSaved) {
    form.SetExperimentWindow([&] {
        Model().stopByTime = 1;
        Model().timeLimit = 50.0f;
        Model().countDistFlag = 1;
    });
    Trigger("N29");
    EXPECT_EQ(UndoHint(), QStringLiteral("Отменить: изменение настроек эксперимента"));
    EXPECT_EQ(History().StepCount(), 1);
    Trigger("UndoAction");
    EXPECT_EQ(Model().stopByTime, 0);
    EXPECT_EQ(Model().countDistFlag, 0);
    Trigger("RedoAction");
    EXPECT_EQ(Model().timeLimit, 50.0f);

    io.fileDialogs.saveAnswers = {dir.filePath(QStringLiteral("run.qsf"))};
    Trigger("N12");
    ASSERT_FALSE(form.HasUnsavedChanges());
    // A window that only runs the model makes no step, but leaves results to save.
    form.SetExperimentWindow([&] {
        ASSERT_EQ(Model().Experiment(), kOk);
        form.SetResultsModel(CQueuingSystem::CopyModel(Model(), true));
        Model().resultsValid = 0;
    });
    Trigger("N29");
    EXPECT_EQ(History().StepCount(), 1);
    EXPECT_TRUE(form.HasUnsavedChanges());
    Trigger("N12");
    EXPECT_FALSE(form.HasUnsavedChanges());
    // Results of a factor experiment stay in the model's dependencies: to be saved too.
    form.SetExperimentWindow([&] {
        Model().dependencies.Add(kNoIndex, kNoIndex, indThroughput)->values = {1.0f, 2.0f};
    });
    Trigger("N29");
    EXPECT_EQ(UndoHint(), QStringLiteral("Отменить: изменение настроек эксперимента"));
    form.SetExperimentWindow([&] { Model().dependencies.Item(0)->values = {3.0f, 4.0f}; });
    Trigger("N12");
    const int steps = History().StepCount();
    Trigger("N29");
    EXPECT_EQ(History().StepCount(), steps);
    EXPECT_TRUE(form.HasUnsavedChanges());
}

TEST_F(UndoTest, ChangesMadeBehindTheWindowAreStepsToo) {
    // A window that edits the model says so through the one path.
    Model().FindNode("Генератор1")->description = "главный";
    form.ModelChanged(ModelChange::kNodes);
    EXPECT_EQ(UndoHint(), QStringLiteral("Отменить: изменение модели"));
    // One that does not still leaves something to save.
    Trigger("UndoAction");
    EXPECT_FALSE(form.HasUnsavedChanges());
    Model().timeLimit = 42.0f;
    EXPECT_TRUE(form.HasUnsavedChanges());
    Trigger("UndoAction");
    EXPECT_EQ(Model().timeLimit, 10000.0f);
}

}  // namespace
}  // namespace marvolt
