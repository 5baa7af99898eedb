// The scheme of a model: node pictures with their names, links with
// arrowheads, reserve-channel lines, and the hit tests of the editor. What the
// mouse is doing lives with the scheme editor; the view only draws and answers.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <string>

#include "kernel/queuing_system.h"

class QPainter;

namespace marvolt {

// Edges as the scheme counts them: right and bottom lie one past the last pixel.
struct SchemeRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const SchemeRect&) const = default;
};

// A node under a point, and where in its picture the point lies.
struct NodeHit {
    uint8_t node = kNoIndex;
    int32_t gripX = 0;
    int32_t gripY = 0;
};

// The ends of a link under a point; 255 both when there is none.
struct LinkHit {
    uint8_t source = kNoIndex;
    uint8_t receiver = kNoIndex;

    bool found() const { return source != kNoIndex; }
};

struct LinkLine {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    bool operator==(const LinkLine&) const = default;
};

class CQSView {
  public:
    int32_t NodeSize = 48;
    int32_t ArrowLength = 15;
    int32_t ArrowHalfWidth = 3;
    int32_t LinkTolerance = 2;
    QFont LabelFont;
    int32_t MaxLabelLength = 20;
    SchemeRect ViewRect;
    // White is transparent in these: the owner copies the pictures in that way.
    QImage GeneratorIcon;
    QImage ChannelIcon;
    QImage QueueIcon;
    QImage SinkIcon;
    CQueuingSystem* Model = nullptr;

    CQSView();

    // Builds the whole picture off-screen and copies it onto the canvas at
    // once; the selected node (255 none) gets a focus rectangle.
    void Draw(QPainter& canvas, uint8_t selected = kNoIndex);
    // Also gives a node without a stored position (0) its random place.
    void DrawNode(uint8_t node, QPainter& canvas, bool focused = false);
    void DrawLink(uint8_t source, uint8_t receiver, QPainter& canvas, Qt::PenStyle style);
    LinkLine LinkEnds(uint8_t source, uint8_t receiver) const;
    bool IsInNode(uint8_t node, int32_t x, int32_t y) const;
    // The node drawn last wins where pictures overlap.
    NodeHit NodeAt(int32_t x, int32_t y) const;
    bool IsOnLink(uint8_t source, uint8_t receiver, int32_t x, int32_t y) const;
    // Reserve-channel lines are never found.
    LinkHit LinkAt(int32_t x, int32_t y) const;
    int32_t MaxRight() const;
    int32_t MaxBottom() const;
    SchemeRect Bounds() const;

    // The text under a node: long names shortened to 11 characters and an ellipsis.
    QString LabelText(const std::string& name) const;
    // Height of the label font in pixels, as the label's placement counts it.
    int32_t LabelFontHeight() const;
    // White made transparent, as the scheme draws node pictures.
    static QImage WithWhiteTransparent(const QImage& picture);

  private:
    const QImage& Icon(uint8_t kind) const;
};

}  // namespace marvolt
