// The scheme's geometry: labels, link ends, hit tests, extents, and what the
// drawing leaves on the picture.
#include "editor/qsview.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queuing_system.h"
#include "kernel/sink.h"

namespace marvolt {
namespace {

class SchemeViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RestoreRandomStartState();
        model.AddRequestType("Тип_заявки1");
        view.Model = &model;
        view.ViewRect = {0, 0, 700, 700};
    }

    uint8_t Node(uint8_t kind, const std::string& name, int32_t x, int32_t y) {
        CQSObject* node = nullptr;
        switch (kind) {
            case kGenerator:
                node = model.AddGenerator(name);
                break;
            case kChannel:
                node = model.AddChannel(name);
                break;
            default:
                node = model.AddSink(name);
                break;
        }
        node->x = x;
        node->y = y;
        return model.NodeIndex(name);
    }

    QImage Drawn(uint8_t selected = kNoIndex) {
        QImage picture(700, 700, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter p(&picture);
        view.Draw(p, selected);
        return picture;
    }

    static bool Black(const QImage& picture, int x, int y) {
        return qGray(picture.pixel(x, y)) < 64;
    }

    CQueuingSystem model;
    CQSView view;
};

TEST_F(SchemeViewTest, LongNamesAreShortenedToElevenCharactersAndAnEllipsis) {
    EXPECT_EQ(view.LabelText("Накопитель_длинный_1"), QStringLiteral("Накопитель_длинный_1"));
    EXPECT_EQ(view.LabelText("Накопитель_длинный_12"), QStringLiteral("Накопитель_…"));
    EXPECT_EQ(view.LabelText(""), QString());
}

TEST_F(SchemeViewTest, LinkLeavesAndEntersByTheFacingEdges) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t right = Node(kSink, "справа", 300, 150);
    // t = 50 * 24 / 200 = 6.
    EXPECT_EQ(view.LinkEnds(g, right), (LinkLine{148, 130, 300, 168}));
    // Seen from the other end: leaves by the left edge, enters by the right one.
    const uint8_t c = Node(kChannel, "К", 300, 150);
    const uint8_t back = Node(kSink, "слева", 100, 100);
    EXPECT_EQ(view.LinkEnds(c, back), (LinkLine{300, 168, 148, 130}));
    // Mostly vertical: t = 20 * 24 / 120 = 4.
    const uint8_t below = Node(kSink, "снизу", 120, 220);
    EXPECT_EQ(view.LinkEnds(g, below), (LinkLine{128, 148, 140, 220}));
}

TEST_F(SchemeViewTest, OverlappingNodesAreJoinedCentreToCentre) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t s = Node(kSink, "С", 148, 130);
    EXPECT_EQ(view.LinkEnds(g, s), (LinkLine{124, 124, 172, 154}));
}

TEST_F(SchemeViewTest, NodeAtPrefersTheNodeDrawnLastAndHitsTheEdgeLines) {
    Node(kGenerator, "Г", 100, 100);
    const uint8_t upper = Node(kSink, "С", 120, 120);
    const NodeHit hit = view.NodeAt(130, 130);
    EXPECT_EQ(hit.node, upper);
    EXPECT_EQ(hit.gripX, 10);
    EXPECT_EQ(hit.gripY, 10);
    EXPECT_EQ(view.NodeAt(110, 110).node, 0);
    EXPECT_EQ(view.NodeAt(148, 100).node, 0);  // right edge line of the generator
    const NodeHit bottom = view.NodeAt(100, 148);  // bottom edge line
    EXPECT_EQ(bottom.node, 0);
    EXPECT_EQ(bottom.gripX, 0);
    EXPECT_EQ(bottom.gripY, 48);
    EXPECT_EQ(view.NodeAt(169, 169).node, kNoIndex);
}

TEST_F(SchemeViewTest, LinkIsHitWithinTwoPixelsOfTheLineBetweenCentres) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t s = Node(kSink, "С", 300, 100);  // centres (124, 124) and (324, 124)
    EXPECT_TRUE(view.IsOnLink(g, s, 200, 124));
    EXPECT_TRUE(view.IsOnLink(g, s, 200, 126));
    EXPECT_TRUE(view.IsOnLink(g, s, 200, 122));
    EXPECT_FALSE(view.IsOnLink(g, s, 200, 127));
    EXPECT_FALSE(view.IsOnLink(g, s, 200, 121));
    // On the line through the centres, but beyond one of them.
    EXPECT_TRUE(view.IsOnLink(g, s, 326, 124));
    EXPECT_FALSE(view.IsOnLink(g, s, 340, 124));
    EXPECT_FALSE(view.IsOnLink(g, s, 60, 124));
    EXPECT_FALSE(view.IsOnLink(g, g, 124, 124));
}

TEST_F(SchemeViewTest, VerticalLinkIsHitOnlyBetweenItsCentres) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t s = Node(kSink, "С", 100, 300);  // centres (124, 124) and (124, 324)
    EXPECT_TRUE(view.IsOnLink(g, s, 126, 200));
    EXPECT_FALSE(view.IsOnLink(g, s, 127, 200));
    EXPECT_TRUE(view.IsOnLink(g, s, 124, 124));
    EXPECT_FALSE(view.IsOnLink(g, s, 124, 330));
    EXPECT_FALSE(view.IsOnLink(g, s, 124, 100));
}

TEST_F(SchemeViewTest, LinkAtFindsLinksButNotReserveLines) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t c = Node(kChannel, "К", 300, 100);
    const uint8_t reserve = Node(kChannel, "Резерв", 300, 300);
    ASSERT_EQ(model.Link(g, c), kOk);
    auto* channel = static_cast<CChannel*>(model.Node(c));
    channel->failuresOn = 1;
    channel->reserveChannel = reserve;

    const LinkHit hit = view.LinkAt(200, 125);
    EXPECT_TRUE(hit.found());
    EXPECT_EQ(hit.source, g);
    EXPECT_EQ(hit.receiver, c);
    const LinkHit reserveLine = view.LinkAt(324, 200);
    EXPECT_FALSE(reserveLine.found());
    EXPECT_EQ(reserveLine.source, kNoIndex);
    EXPECT_EQ(reserveLine.receiver, kNoIndex);
}

TEST_F(SchemeViewTest, ExtentsOfTheNodes) {
    EXPECT_EQ(view.MaxRight(), 0);
    EXPECT_EQ(view.MaxBottom(), 0);
    EXPECT_EQ(view.Bounds(), (SchemeRect{2000, 2000, 0, 0}));
    Node(kGenerator, "Г", 30, 200);
    Node(kSink, "С", 250, 40);
    EXPECT_EQ(view.MaxRight(), 298);
    EXPECT_EQ(view.MaxBottom(), 248);
    EXPECT_EQ(view.Bounds(), (SchemeRect{30, 40, 298, 248}));
}

TEST_F(SchemeViewTest, NodeWithoutPositionGetsARandomPlaceOnceAndKeepsIt) {
    const uint8_t g = Node(kGenerator, "Г", 0, 0);
    const uint8_t s = Node(kSink, "С", 40, 0);
    Drawn();
    const CQSObject* generator = model.Node(g);
    EXPECT_GE(generator->x, 0);
    EXPECT_LE(generator->x, 500);
    EXPECT_GE(generator->y, 0);
    EXPECT_LE(generator->y, 500);
    EXPECT_EQ(model.Node(s)->x, 40);  // only the missing coordinate is drawn
    const int32_t x = generator->x, y = generator->y, sinkY = model.Node(s)->y;
    Drawn();
    EXPECT_EQ(generator->x, x);
    EXPECT_EQ(generator->y, y);
    EXPECT_EQ(model.Node(s)->y, sinkY);
}

TEST_F(SchemeViewTest, LinkIsDrawnWithAnOpenArrowheadAtTheReceiver) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t s = Node(kSink, "С", 300, 100);
    ASSERT_EQ(model.Link(g, s), kOk);
    const QImage picture = Drawn();
    // The line runs at height 124 from x 148 to 300; the arrowhead's barbs end
    // at (285, 121) and (285, 127), and the V between them stays open.
    for (int x = 150; x < 290; x += 7)
        EXPECT_TRUE(Black(picture, x, 124)) << x;
    EXPECT_TRUE(Black(picture, 285, 121));
    EXPECT_TRUE(Black(picture, 285, 127));
    EXPECT_FALSE(Black(picture, 286, 123));
    EXPECT_FALSE(Black(picture, 286, 125));
}

TEST_F(SchemeViewTest, ReserveLineIsDottedAndOnlyWhenFailuresAreModelled) {
    const uint8_t c = Node(kChannel, "К", 100, 100);
    const uint8_t reserve = Node(kChannel, "Резерв", 100, 300);
    auto* channel = static_cast<CChannel*>(model.Node(c));
    channel->reserveChannel = reserve;
    // The line would run at x 124 from y 148 to 300.
    const auto inked = [&](const QImage& picture) {
        int black = 0;
        for (int y = 160; y < 280; ++y)
            black += Black(picture, 124, y);
        return black;
    };
    EXPECT_EQ(inked(Drawn()), 0);
    channel->failuresOn = 1;
    const QImage dotted = Drawn();
    EXPECT_GT(inked(dotted), 20);
    EXPECT_LT(inked(dotted), 100);
    EXPECT_TRUE(Black(dotted, 121, 285));  // its arrowhead
}

TEST_F(SchemeViewTest, SelfLinksAndTooShortLinksAreNotDrawn) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const uint8_t s = Node(kSink, "С", 200, 200);
    QImage blank(300, 300, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage picture = blank;
    {
        QPainter p(&picture);
        view.DrawLink(g, g, p, Qt::SolidLine);
    }
    EXPECT_EQ(picture, blank);
    model.Node(s)->x = 100;
    model.Node(s)->y = 100;  // the same place: a link of length 0
    {
        QPainter p(&picture);
        view.DrawLink(g, s, p, Qt::SolidLine);
    }
    EXPECT_EQ(picture, blank);
}

TEST_F(SchemeViewTest, SelectedNodeGetsAnOutlineOverItsPicture) {
    const uint8_t g = Node(kGenerator, "Г", 100, 100);
    const QImage plain = Drawn();
    const QImage selected = Drawn(g);
    int changed = 0;
    for (int x = 100; x < 148; ++x)
        changed += plain.pixel(x, 100) != selected.pixel(x, 100);
    EXPECT_GT(changed, 10);
    // Only the outline changes.
    EXPECT_EQ(plain.pixel(124, 124), selected.pixel(124, 124));
}

}  // namespace
}  // namespace marvolt
