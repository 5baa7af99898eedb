// The mouse on the scheme picture: tool modes, placing, linking, dragging,
// context menus and the picture's growth, driven by real mouse events.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "editor/main_form.h"
#include "editor/scheme_picture.h"
#include "kernel/random_stat.h"
#include "recording_services.h"

namespace marvolt {
namespace {

using test::ShownMessage;

const QString kSinkAsSource =
    QStringLiteral("Сток не может быть выбран в качестве источника заявок.");

class CanvasTest : public ::testing::Test {
  protected:
    CanvasTest() : form(io.services()) {
        RestoreRandomStartState();
        form.resize(1000, 700);
        form.show();
        QCoreApplication::processEvents();
    }
    ~CanvasTest() override {
        for (QMenu* menu : form.findChildren<QMenu*>())
            menu->hide();
    }

    SchemePicture* Picture() { return &form.Scheme().Picture(); }
    CQueuingSystem& Model() { return *form.Model(); }
    const SchemeInteraction& State() { return form.Scheme().State(); }
    QToolButton* Button(const char* name) {
        return form.findChild<QToolButton*>(QString::fromUtf8(name));
    }
    QAction* Action(const char* name) { return form.findChild<QAction*>(QString::fromUtf8(name)); }
    QMenu* Menu(const char* name) { return form.findChild<QMenu*>(QString::fromUtf8(name)); }
    QLabel* Outline() { return form.findChild<QLabel*>(QStringLiteral("DragImage")); }
    QScrollArea* Box() { return form.findChild<QScrollArea*>(QStringLiteral("MainScrollBox")); }

    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Picture(), button, {}, QPoint(x, y));
    }
    // Places a node of the mode button's kind centred on (x, y); its index.
    uint8_t Place(const char* mode, int x, int y) {
        Button(mode)->click();
        Click(x, y);
        return static_cast<uint8_t>(Model().nodeCount() - 1);
    }
    void Drag(QPoint from, std::initializer_list<QPoint> path) {
        QTest::mousePress(Picture(), Qt::LeftButton, {}, from);
        for (QPoint p : path)
            QTest::mouseMove(Picture(), p);
    }
    QPoint Centre(uint8_t node) {
        const CQSObject* n = Model().Node(node);
        return {n->x + 24, n->y + 24};
    }
    QPoint Position(uint8_t node) { return {Model().Node(node)->x, Model().Node(node)->y}; }
    std::vector<uint8_t> Receivers(uint8_t node) { return Model().Node(node)->receivers; }

    QStringList Checked() {
        QStringList down;
        for (const char* name : {"CursorToolButton", "LinkToolButton", "GenToolButton",
                                 "QueToolButton", "ChanToolButton", "DispToolButton"}) {
            if (Button(name)->isChecked())
                down << QString::fromUtf8(name);
        }
        return down;
    }

    test::RecordingServices io;
    TMainForm form;
};

void ExpectNotice(const ShownMessage& m, MessageIcon icon, const QString& text) {
    EXPECT_EQ(m.caption, QStringLiteral("Сообщение"));
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, kButtonOk);
    EXPECT_EQ(m.text, text);
}

bool Black(const QImage& picture, int x, int y) {
    return qGray(picture.pixel(x, y)) < 64;
}

TEST_F(CanvasTest, EachModeButtonIsTheOnlyOneDownAndSetsThePointer) {
    const struct {
        const char* button;
        Qt::CursorShape shape;
    } modes[] = {
        {"LinkToolButton", Qt::UpArrowCursor}, {"GenToolButton", Qt::CrossCursor},
        {"QueToolButton", Qt::CrossCursor},    {"ChanToolButton", Qt::CrossCursor},
        {"DispToolButton", Qt::CrossCursor},   {"CursorToolButton", Qt::ArrowCursor},
    };
    EXPECT_EQ(Checked(), QStringList({"CursorToolButton"}));
    for (const auto& mode : modes) {
        Button("LinkToolButton")->click();
        Click(39, 39);  // the generator becomes the chosen source
        ASSERT_EQ(State().LinkSource, 0);
        Button(mode.button)->click();
        EXPECT_EQ(Checked(), QStringList({QString::fromUtf8(mode.button)}));
        EXPECT_EQ(Picture()->cursor().shape(), mode.shape) << mode.button;
        EXPECT_EQ(State().LinkSource, kNoIndex) << mode.button;
    }
    // Clicking the pressed button again keeps it down.
    Button("LinkToolButton")->click();
    Button("LinkToolButton")->click();
    EXPECT_EQ(Checked(), QStringList({"LinkToolButton"}));
}

TEST_F(CanvasTest, PlacedNodesAreCentredOnThePressAndThePointerComesBack) {
    // A mark a full redraw would wipe: only the new node is drawn.
    Picture()->Bitmap().setPixel(600, 400, qRgb(255, 0, 0));

    const uint8_t generator = Place("GenToolButton", 10, 200);
    EXPECT_EQ(Model().Node(generator)->name, "Генератор2");
    EXPECT_EQ(Position(generator), QPoint(1, 176));
    EXPECT_EQ(Checked(), QStringList({"CursorToolButton"}));
    EXPECT_EQ(Picture()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(Picture()->Bitmap().pixel(600, 400), qRgb(255, 0, 0));
    EXPECT_NE(Picture()->Bitmap().pixel(25, 200), qRgb(255, 255, 255));
    QTreeWidget* tree = form.findChild<QTreeWidget*>(QStringLiteral("ObjectTree"));
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Генератор2"));
    EXPECT_EQ(tree->currentItem()->parent(), form.TreePanel().Category(kGeneratorsCategory));

    // Back in pointer mode another press places nothing.
    Click(300, 300);
    EXPECT_EQ(Model().nodeCount(), 3);

    const uint8_t queue = Place("QueToolButton", 100, 100);
    EXPECT_EQ(Model().Node(queue)->name, "Накопитель1");
    EXPECT_EQ(Position(queue), QPoint(76, 76));
    EXPECT_EQ(Position(Place("ChanToolButton", 25, 24)), QPoint(1, 1));
    EXPECT_EQ(Model().Node(Model().nodeCount() - 1)->kind, kChannel);

    const uint8_t sink = Place("DispToolButton", 400, 300);
    EXPECT_EQ(Model().Node(sink)->name, "Сток1");
    EXPECT_EQ(Position(sink), QPoint(376, 276));
    QComboBox* sinks = form.findChild<QComboBox*>(QStringLiteral("RefDisComboBox"));
    ASSERT_EQ(sinks->count(), 2);
    EXPECT_EQ(sinks->itemText(0), QStringLiteral("Сток отказов"));
    EXPECT_EQ(sinks->itemText(1), QStringLiteral("Сток1"));
    EXPECT_EQ(sinks->currentText(), QStringLiteral("Сток отказов"));
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(CanvasTest, PlacingTheTwoHundredFiftyFirstNodeIsRefusedAndTheModeStays) {
    for (int i = Model().nodeCount(); i < ObjectLimit; ++i)
        ASSERT_NE(Model().AddQueue("Н" + std::to_string(i)), nullptr);
    Button("GenToolButton")->click();
    Click(300, 300);
    EXPECT_EQ(Model().nodeCount(), ObjectLimit);
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Предупреждение"));
    EXPECT_EQ(io.messages.shown[0].text,
              QStringLiteral("Невозможно добавить новый объект.\nМодель содержит максимально "
                             "возможное количество объектов (250)."));
    EXPECT_EQ(Checked(), QStringList({"GenToolButton"}));
}

TEST_F(CanvasTest, LinkModeRefusesWhatTheModelRefusesAndAcceptsTheRest) {
    const uint8_t generator = 0, refusals = 1;
    const uint8_t q1 = Place("QueToolButton", 200, 60);
    const uint8_t q2 = Place("QueToolButton", 400, 60);
    const uint8_t c1 = Place("ChanToolButton", 200, 250);
    const uint8_t c2 = Place("ChanToolButton", 400, 250);
    const auto link = [&](uint8_t a, uint8_t b) {
        Click(Centre(a).x(), Centre(a).y());
        Click(Centre(b).x(), Centre(b).y());
    };
    Button("LinkToolButton")->click();

    Click(Centre(refusals).x(), Centre(refusals).y());
    ASSERT_EQ(io.messages.shown.size(), 1u);
    ExpectNotice(io.messages.shown.back(), MessageIcon::kInformation, kSinkAsSource);
    EXPECT_EQ(State().LinkSource, kNoIndex);

    link(c1, generator);
    ASSERT_EQ(io.messages.shown.size(), 2u);
    ExpectNotice(io.messages.shown.back(), MessageIcon::kInformation,
                 QStringLiteral("Генератор не может быть выбран в качестве приемника заявок."));
    EXPECT_EQ(State().LinkSource, kNoIndex);

    link(q1, q2);
    ASSERT_EQ(io.messages.shown.size(), 3u);
    ExpectNotice(io.messages.shown.back(), MessageIcon::kInformation,
                 QStringLiteral("Накопитель не может быть выбран \nв качестве источника заявок "
                                "для другого накопителя \n(между двумя накопителями нельзя "
                                "установить связь)."));
    EXPECT_EQ(State().LinkSource, kNoIndex);
    EXPECT_TRUE(Receivers(q1).empty());

    // The link appears on the picture at once: the line between the two lies at x = 39.
    EXPECT_FALSE(Black(Picture()->Bitmap(), 39, 70));
    link(generator, refusals);
    EXPECT_TRUE(Black(Picture()->Bitmap(), 39, 70));
    link(q1, c1);
    link(c1, c2);
    link(c2, q2);
    link(c1, refusals);
    EXPECT_EQ(io.messages.shown.size(), 3u);
    EXPECT_EQ(Receivers(generator), std::vector<uint8_t>({refusals}));
    EXPECT_EQ(Receivers(q1), std::vector<uint8_t>({c1}));
    EXPECT_EQ(Receivers(c1), std::vector<uint8_t>({c2, refusals}));
    EXPECT_EQ(Receivers(c2), std::vector<uint8_t>({q2}));
    EXPECT_EQ(State().LinkSource, kNoIndex);
    EXPECT_EQ(Checked(), QStringList({"LinkToolButton"}));

    // An existing link tried again shows nothing and keeps the source; so
    // does the source clicked again and a click on empty space.
    link(q1, c1);
    EXPECT_EQ(State().LinkSource, q1);
    Click(Centre(q1).x(), Centre(q1).y());
    Click(700, 500);
    EXPECT_EQ(State().LinkSource, q1);
    EXPECT_EQ(io.messages.shown.size(), 3u);
    Click(Centre(c2).x(), Centre(c2).y());
    EXPECT_EQ(Receivers(q1), std::vector<uint8_t>({c1, c2}));
    EXPECT_EQ(State().LinkSource, kNoIndex);
    // What the mouse alone cannot choose (a sink as the source, a stale
    // index) is pinned down by the model commands' own tests.
}

TEST_F(CanvasTest, AChainIsBuiltWithSuccessivePairsOfClicks) {
    const uint8_t queue = Place("QueToolButton", 200, 39);
    const uint8_t channel = Place("ChanToolButton", 350, 39);
    const uint8_t sink = Place("DispToolButton", 500, 39);
    Button("LinkToolButton")->click();
    for (auto [a, b] : {std::pair<uint8_t, uint8_t>{0, queue}, {queue, channel}, {channel, sink}}) {
        Click(Centre(a).x(), Centre(a).y());
        Click(Centre(b).x(), Centre(b).y());
    }
    EXPECT_EQ(Receivers(0), std::vector<uint8_t>({queue}));
    EXPECT_EQ(Receivers(queue), std::vector<uint8_t>({channel}));
    EXPECT_EQ(Receivers(channel), std::vector<uint8_t>({sink}));
    EXPECT_EQ(Checked(), QStringList({"LinkToolButton"}));
    EXPECT_TRUE(io.messages.shown.empty());
}

TEST_F(CanvasTest, AChosenSourceIsForgottenWhenItsModelChanges) {
    const uint8_t queue = Place("QueToolButton", 200, 60);
    const uint8_t c1 = Place("ChanToolButton", 300, 200);
    Place("ChanToolButton", 500, 200);  // the index the chosen one moves into
    Button("LinkToolButton")->click();
    Click(Centre(c1).x(), Centre(c1).y());
    ASSERT_EQ(State().LinkSource, c1);
    // Deleting the queue moves the channels down one place: the old index
    // would now name the second channel.
    io.messages.answers = {kButtonYes};
    form.DeleteObject(queue);
    EXPECT_EQ(State().LinkSource, kNoIndex);
    Click(39, 107);  // the refusal sink, so first chosen: refused, nothing linked
    EXPECT_EQ(io.messages.shown.back().text, kSinkAsSource);
    for (const auto& node : Model().nodes)
        EXPECT_TRUE(node->receivers.empty()) << node->name;

    Click(39, 39);
    ASSERT_EQ(State().LinkSource, 0);
    Action("N14")->trigger();
    EXPECT_EQ(State().LinkSource, kNoIndex);
}

TEST_F(CanvasTest, DraggingMovesTheOutlineWithinTheVisibleBoxAndDropsTheNode) {
    const uint8_t queue = Place("QueToolButton", 224, 224);  // at (200, 200)
    const QSize client = Box()->viewport()->size();
    const int width = Picture()->width();
    const int height = Picture()->height();
    ASSERT_EQ(client, Picture()->size());  // nothing scrolled, no scroll bars

    Drag({230, 210}, {{231, 210}});
    EXPECT_TRUE(Outline()->isVisible());
    EXPECT_EQ(State().SelectedNode, queue);
    EXPECT_EQ(Outline()->pos(), QPoint(201, 200));
    // Past the right edge the outline stops at the last place that fits.
    const int lastLeft = client.width() - 49;
    for (int x : {lastLeft + 30, lastLeft + 31, client.width() + 100})
        QTest::mouseMove(Picture(), QPoint(x, 250));
    EXPECT_EQ(Outline()->pos(), QPoint(lastLeft, 240));
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(client.width() + 100, 250));
    EXPECT_FALSE(Outline()->isVisible());
    EXPECT_EQ(State().SelectedNode, kNoIndex);
    EXPECT_EQ(Position(queue), QPoint(lastLeft, 240));
    // The nodes now span from 15 to the right edge: 50 more pixels of picture.
    EXPECT_EQ(Picture()->width(), width + 50);
    EXPECT_EQ(Picture()->height(), height);
    EXPECT_EQ(form.View().ViewRect, (SchemeRect{0, 0, width + 50, height}));
    EXPECT_NE(Picture()->Bitmap().pixel(lastLeft + 10, 250), qRgb(255, 255, 255));
    EXPECT_EQ(Picture()->Bitmap().pixel(210, 210), qRgb(255, 255, 255));  // the old place

    // A drop near the bottom grows the height alone; one well inside nothing.
    const int bottom = Box()->viewport()->height();
    Drag(Centre(queue), {{300, 300}, {300, bottom - 25}, {300, bottom}});
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(300, bottom));
    EXPECT_EQ(Position(queue), QPoint(276, bottom - 49));
    EXPECT_EQ(Picture()->size(), QSize(width + 50, height + 50));
    Drag(Centre(queue), {{300, 300}});
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(Position(queue), QPoint(276, 276));
    EXPECT_EQ(Picture()->size(), QSize(width + 50, height + 50));
}

TEST_F(CanvasTest, AFirstMovePastTheEdgeKeepsTheNodesOwnColumn) {
    // The generator sits at (15, 15); the grip is 20 pixels in, so a press at
    // x = 35 moved to x = 20 would put the outline at -5.
    Drag({35, 39}, {{20, 200}});
    EXPECT_EQ(Outline()->pos(), QPoint(15, 176));
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(20, 200));
    EXPECT_EQ(Position(0), QPoint(15, 176));
}

TEST_F(CanvasTest, TheRightButtonCancelsADrag) {
    const QPoint before = Position(0);
    Drag({39, 39}, {{300, 300}});
    ASSERT_TRUE(Outline()->isVisible());
    // Pressed with the left button held, even over a node: no menu, and
    // releasing the left button cancels.
    QTest::mousePress(Picture(), Qt::RightButton, {}, QPoint(39, 39));
    EXPECT_FALSE(Menu("ObjectPopupMenu")->isVisible());
    EXPECT_FALSE(Menu("LinkPopupMenu")->isVisible());
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseRelease(Picture(), Qt::RightButton, {}, QPoint(300, 300));
    EXPECT_FALSE(Outline()->isVisible());
    EXPECT_EQ(Position(0), before);
    EXPECT_EQ(State().SelectedNode, kNoIndex);

    // Letting the right button go first ends the drag the same way, leaving
    // no outline behind.
    Drag({39, 39}, {{300, 300}});
    QTest::mousePress(Picture(), Qt::RightButton, {}, QPoint(300, 300));
    QTest::mouseRelease(Picture(), Qt::RightButton, {}, QPoint(300, 300));
    EXPECT_FALSE(Outline()->isVisible());
    QTest::mouseMove(Picture(), QPoint(400, 400));
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(400, 400));
    EXPECT_FALSE(Outline()->isVisible());
    EXPECT_EQ(Position(0), before);
}

TEST_F(CanvasTest, RightClicksOpenTheNodeOrTheLinkMenu) {
    // The generator (15, 15) linked to the refusal sink (15, 83): the line
    // through the centres runs down x = 39.
    ASSERT_EQ(Model().Link(0, 1), kOk);
    form.ModelChanged(ModelChange::kScheme);
    ASSERT_TRUE(Black(Picture()->Bitmap(), 39, 70));

    Click(500, 400, Qt::RightButton);
    EXPECT_FALSE(Menu("ObjectPopupMenu")->isVisible());
    EXPECT_FALSE(Menu("LinkPopupMenu")->isVisible());
    Click(42, 70, Qt::RightButton);  // 3 pixels beside the line
    EXPECT_FALSE(Menu("LinkPopupMenu")->isVisible());

    Button("LinkToolButton")->click();  // menus open in every mode
    Click(41, 70, Qt::RightButton);
    EXPECT_TRUE(Menu("LinkPopupMenu")->isVisible());
    EXPECT_EQ(State().HitLinkSource, 0);
    EXPECT_EQ(State().HitLinkReceiver, 1);
    EXPECT_FALSE(Action("N24")->isEnabled());  // no properties dialog yet
    Menu("LinkPopupMenu")->hide();
    Action("N23")->trigger();
    EXPECT_TRUE(Receivers(0).empty());
    EXPECT_FALSE(Black(Picture()->Bitmap(), 39, 70));
    Action("N23")->trigger();  // the link has gone: nothing to do
    EXPECT_TRUE(io.messages.shown.empty());

    const uint8_t sink = Place("DispToolButton", 300, 300);
    Click(300, 300, Qt::RightButton);
    EXPECT_TRUE(Menu("ObjectPopupMenu")->isVisible());
    EXPECT_EQ(form.PopupNode(), sink);
    EXPECT_FALSE(Action("AddObjectItem")->isVisible());
    EXPECT_TRUE(Action("DeleteObjectItem")->isEnabled());
    EXPECT_FALSE(Action("PropertiesItem")->isEnabled());
    Menu("ObjectPopupMenu")->hide();
    io.messages.answers = {kButtonYes};
    Action("DeleteObjectItem")->trigger();
    EXPECT_EQ(io.messages.shown.back().text,
              QStringLiteral("Вы действительно хотите удалить объект \"Сток1\"?"));
    EXPECT_EQ(Model().nodeCount(), 2);
}

TEST_F(CanvasTest, PropertiesOpenFromADoubleClickAndFromTheLinkMenu) {
    const uint8_t queue = Place("QueToolButton", 300, 39);
    ASSERT_EQ(Model().Link(0, queue), kOk);
    // Until the dialog exists a double click does nothing.
    QTest::mouseDClick(Picture(), Qt::LeftButton, {}, Centre(queue));
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, Centre(queue));

    std::vector<std::string> edited;
    form.SetPropertiesDialog([&](CQSObject* node, CRequestType*) {
        edited.push_back(node->name);
        return false;
    });
    QTest::mouseDClick(Picture(), Qt::LeftButton, {}, Centre(queue));
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, Centre(queue));
    QTest::mouseDClick(Picture(), Qt::LeftButton, {}, QPoint(500, 400));  // empty space
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(500, 400));
    Button("LinkToolButton")->click();  // only in pointer mode
    QTest::mouseDClick(Picture(), Qt::LeftButton, {}, Centre(0));
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, Centre(0));
    EXPECT_EQ(edited, std::vector<std::string>({"Накопитель1"}));

    Click(150, 39, Qt::RightButton);
    ASSERT_TRUE(Menu("LinkPopupMenu")->isVisible());
    Menu("LinkPopupMenu")->hide();
    EXPECT_TRUE(Action("N24")->isEnabled());
    Action("N24")->trigger();
    Action("N25")->trigger();
    EXPECT_EQ(edited, std::vector<std::string>({"Накопитель1", "Генератор1", "Накопитель1"}));

    Click(39, 39, Qt::RightButton);
    EXPECT_TRUE(Action("PropertiesItem")->isEnabled());
    Menu("ObjectPopupMenu")->hide();
    Action("PropertiesItem")->trigger();
    EXPECT_EQ(edited.back(), "Генератор1");
}

TEST_F(CanvasTest, ThePictureCoversTheBoxInStepsOfAtLeastFifty) {
    const QSize client = Box()->maximumViewportSize();
    Picture()->SetPictureSize(client.width() - 50, client.height() - 49);
    form.Scheme().MainScrollBoxResize();
    EXPECT_EQ(Picture()->size(), QSize(client.width(), client.height() + 1));
    EXPECT_EQ(form.View().ViewRect, (SchemeRect{0, 0, client.width(), client.height() + 1}));

    Picture()->SetPictureSize(client.width() + 100, client.height() + 100);
    form.Scheme().MainScrollBoxResize();
    EXPECT_EQ(Picture()->size(), QSize(client.width() + 100, client.height() + 100));
}

TEST_F(CanvasTest, AModelBuiltWithTheMouseOpensAgainAsItWasLeft) {
    const uint8_t generator = Place("GenToolButton", 100, 250);
    const uint8_t queue = Place("QueToolButton", 250, 250);
    const uint8_t channel = Place("ChanToolButton", 400, 250);
    const uint8_t sink = Place("DispToolButton", 550, 250);
    Button("LinkToolButton")->click();
    for (auto [a, b] :
         {std::pair<uint8_t, uint8_t>{generator, queue}, {queue, channel}, {channel, sink}}) {
        Click(Centre(a).x(), Centre(a).y());
        Click(Centre(b).x(), Centre(b).y());
    }
    Button("CursorToolButton")->click();
    Drag(Centre(channel), {{420, 330}});
    QTest::mouseRelease(Picture(), Qt::LeftButton, {}, QPoint(420, 330));
    ASSERT_EQ(Position(channel), QPoint(396, 306));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mouse.qsf"));
    io.fileDialogs.saveAnswers = {path};
    Action("N13")->trigger();
    struct Saved {
        std::string name;
        uint8_t kind;
        int32_t x, y;
        std::vector<uint8_t> receivers;
        bool operator==(const Saved&) const = default;
    };
    std::vector<Saved> saved;
    for (const auto& n : Model().nodes)
        saved.push_back({n->name, n->kind, n->x, n->y, n->receivers});

    Action("N14")->trigger();
    ASSERT_EQ(Model().nodeCount(), 2);
    io.fileDialogs.openAnswers = {path};
    Action("N11")->trigger();
    std::vector<Saved> opened;
    for (const auto& n : Model().nodes)
        opened.push_back({n->name, n->kind, n->x, n->y, n->receivers});
    EXPECT_EQ(opened, saved);
    ASSERT_EQ(opened.size(), 6u);
    EXPECT_EQ(opened[sink].receivers, std::vector<uint8_t>());
    EXPECT_EQ(opened[channel].receivers, std::vector<uint8_t>({sink}));
    // The model was saved and the fresh one left untouched: nothing to ask, nothing shown.
    EXPECT_TRUE(io.messages.shown.empty());
}

}  // namespace
}  // namespace marvolt
