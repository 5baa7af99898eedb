// The scheme of a model: node pictures with their names, links with
// arrowheads, reserve-channel lines, and the hit tests of the editor.
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
    int32_t GripX = 0;
    int32_t GripY = 0;
    int32_t MaxLabelLength = 20;
    SchemeRect ViewRect;
    // White is transparent in these: the owner copies the pictures in that way.
    QImage GeneratorIcon;
    QImage ChannelIcon;
    QImage QueueIcon;
    QImage SinkIcon;
    uint8_t SelectedNode = kNoIndex;
    uint8_t LinkSource = kNoIndex;
    uint8_t PopupNode = kNoIndex;
    uint8_t HitLinkSource = kNoIndex;
    uint8_t HitLinkReceiver = kNoIndex;
    CQueuingSystem* Model = nullptr;

    CQSView();

    // Builds the whole picture off-screen and copies it onto the canvas at once.
    void Draw(QPainter& canvas);
    // Also gives a node without a stored position (0) its random place.
    void DrawNode(uint8_t node, QPainter& canvas);
    void DrawLink(uint8_t source, uint8_t receiver, QPainter& canvas, Qt::PenStyle style);
    LinkLine LinkEnds(uint8_t source, uint8_t receiver) const;
    bool IsInNode(uint8_t node, int32_t x, int32_t y) const;
    uint8_t NodeAt(int32_t x, int32_t y);
    bool IsOnLink(uint8_t source, uint8_t receiver, int32_t x, int32_t y) const;
    bool LinkAt(int32_t x, int32_t y);
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
