#include "editor/qsview.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "kernel/channel.h"

namespace marvolt {

namespace {

// The picture and the label are placed as on a 96-dpi screen, whatever the device.
constexpr double kLogicalDpi = 96.0;

QImage EmptyIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    return icon;
}

}  // namespace

CQSView::CQSView()
    : LabelFont(QStringLiteral("Sans Serif"), 8),
      GeneratorIcon(EmptyIcon(NodeSize)),
      ChannelIcon(EmptyIcon(NodeSize)),
      QueueIcon(EmptyIcon(NodeSize)),
      SinkIcon(EmptyIcon(NodeSize)) {}

QImage CQSView::WithWhiteTransparent(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                line[x] = 0;
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QImage& CQSView::Icon(uint8_t kind) const {
    switch (kind) {
        case kGenerator:
            return GeneratorIcon;
        case kChannel:
            return ChannelIcon;
        case kQueue:
            return QueueIcon;
        default:
            return SinkIcon;
    }
}

QString CQSView::LabelText(const std::string& name) const {
    const QString text = QString::fromStdString(name);
    if (text.size() <= MaxLabelLength)
        return text;
    return text.left(11) + QChar(0x2026);
}

int32_t CQSView::LabelFontHeight() const {
    if (LabelFont.pixelSize() > 0)
        return LabelFont.pixelSize();
    return static_cast<int32_t>(std::lround(LabelFont.pointSizeF() * kLogicalDpi / 72.0));
}

void CQSView::Draw(QPainter& canvas, uint8_t selected) {
    if (!Model || ViewRect.width() <= 0 || ViewRect.height() <= 0)
        return;
    QImage picture(ViewRect.width(), ViewRect.height(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        const uint8_t n = Model->nodeCount();
        for (uint8_t i = 0; i < n; ++i)
            DrawNode(i, p, i == selected);
        for (uint8_t i = 0; i < n; ++i) {
            const CQSObject* node = Model->Node(i);
            for (uint8_t r : node->receivers) {
                if (r < n)
                    DrawLink(i, r, p, Qt::SolidLine);
            }
            if (node->kind == kChannel) {
                const auto* channel = static_cast<const CChannel*>(node);
                if (channel->failuresOn && channel->reserveChannel < n)
                    DrawLink(i, channel->reserveChannel, p, Qt::DotLine);
            }
        }
    }
    canvas.drawImage(0, 0, picture);
}

void CQSView::DrawNode(uint8_t node, QPainter& canvas, bool focused) {
    CQSObject* n = Model->Node(node);
    // A node without a stored position gets a random one once and keeps it.
    if (n->x == 0)
        n->x = static_cast<int32_t>(NextRandom() / 32767.0 * 500.0);
    if (n->y == 0)
        n->y = static_cast<int32_t>(NextRandom() / 32767.0 * 500.0);
    canvas.drawImage(n->x, n->y, Icon(n->kind));

    const QString label = LabelText(n->name);
    canvas.save();
    canvas.setFont(LabelFont);
    canvas.setPen(Qt::black);
    canvas.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(LabelFont, canvas.device());
    const int32_t left = n->x + (NodeSize - metrics.horizontalAdvance(label)) / 2;
    const int32_t top = n->y + NodeSize - LabelFontHeight() - 2;
    canvas.drawText(QRect(left, top, metrics.horizontalAdvance(label) + 1, metrics.height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, label);
    canvas.restore();

    if (focused) {
        canvas.save();
        QPen pen(Qt::black, 0, Qt::DotLine);
        canvas.setPen(pen);
        canvas.setBrush(Qt::NoBrush);
        // An inverting outline stays visible over the picture and the white.
        canvas.setCompositionMode(QPainter::RasterOp_NotDestination);
        canvas.drawRect(n->x, n->y, NodeSize - 1, NodeSize - 1);
        canvas.restore();
    }
}

LinkLine CQSView::LinkEnds(uint8_t source, uint8_t receiver) const {
    const CQSObject* s = Model->Node(source);
    const CQSObject* r = Model->Node(receiver);
    LinkLine l{s->x, s->y, r->x, r->y};
    const int32_t h = NodeSize / 2;
    const int32_t dx = std::abs(l.x2 - l.x1);
    const int32_t dy = std::abs(l.y2 - l.y1);
    if (dx <= NodeSize && dy <= NodeSize) {
        l.x1 += h;
        l.y1 += h;
        l.x2 += h;
        l.y2 += h;
    } else if (dx > dy) {
        const auto t = static_cast<int32_t>(static_cast<float>(dy * h) / static_cast<float>(dx));
        if (l.x2 > l.x1)
            l.x1 += NodeSize;
        else
            l.x2 += NodeSize;
        if (l.y2 > l.y1) {
            l.y1 += h + t;
            l.y2 += h - t;
        } else {
            l.y1 += h - t;
            l.y2 += h + t;
        }
    } else {
        const auto t = static_cast<int32_t>(static_cast<float>(dx * h) / static_cast<float>(dy));
        if (l.y2 > l.y1)
            l.y1 += NodeSize;
        else
            l.y2 += NodeSize;
        if (l.x2 > l.x1) {
            l.x1 += h + t;
            l.x2 += h - t;
        } else {
            l.x1 += h - t;
            l.x2 += h + t;
        }
    }
    return l;
}

void CQSView::DrawLink(uint8_t source, uint8_t receiver, QPainter& canvas, Qt::PenStyle style) {
    if (source == receiver)
        return;
    const LinkLine l = LinkEnds(source, receiver);
    const auto dx = static_cast<float>(l.x1 - l.x2);
    const auto dy = static_cast<float>(l.y1 - l.y2);
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length < 1.0f)
        return;
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(Qt::black, 0, style));
    canvas.drawLine(l.x1, l.y1, l.x2, l.y2);
    canvas.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    const auto a = static_cast<float>(ArrowLength);
    const auto b = static_cast<float>(ArrowHalfWidth);
    const auto tip = [&](float sx, float sy) {
        return QPoint(static_cast<int>(static_cast<float>(l.x2) + sx / length),
                      static_cast<int>(static_cast<float>(l.y2) + sy / length));
    };
    const QPoint end(l.x2, l.y2);
    canvas.drawLine(end, tip(a * dx + b * dy, a * dy - b * dx));
    canvas.drawLine(end, tip(a * dx - b * dy, a * dy + b * dx));
    canvas.restore();
}

bool CQSView::IsInNode(uint8_t node, int32_t x, int32_t y) const {
    const CQSObject* n = Model->Node(node);
    return x >= n->x && x <= n->x + NodeSize && y >= n->y && y <= n->y + NodeSize;
}

NodeHit CQSView::NodeAt(int32_t x, int32_t y) const {
    if (!Model)
        return {};
    for (int i = Model->nodeCount() - 1; i >= 0; --i) {
        const auto node = static_cast<uint8_t>(i);
        if (IsInNode(node, x, y))
            return {node, x - Model->Node(node)->x, y - Model->Node(node)->y};
    }
    return {};
}

bool CQSView::IsOnLink(uint8_t source, uint8_t receiver, int32_t x, int32_t y) const {
    if (source == receiver)
        return false;
    const int32_t h = NodeSize / 2;
    const CQSObject* s = Model->Node(source);
    const CQSObject* r = Model->Node(receiver);
    const int32_t c1x = s->x + h, c1y = s->y + h;
    const int32_t c2x = r->x + h, c2y = r->y + h;
    const int32_t d = LinkTolerance;
    if (c1x == c2x) {
        if (c1y == c2y)
            return false;
        if (c1x < x - d || c1x > x + d)
            return false;
        return (c1y > y) != (c2y > y);
    }
    const float k = static_cast<float>(c2y - c1y) / static_cast<float>(c2x - c1x);
    const auto yA =
        static_cast<int32_t>(static_cast<float>(c1y) + k * static_cast<float>(x - d - c1x));
    const auto yB =
        static_cast<int32_t>(static_cast<float>(c1y) + k * static_cast<float>(x + d - c1x));
    if (yA < y - d && yB < y - d)
        return false;
    if (yA > y + d && yB > y + d)
        return false;
    if (x + d < std::min(c1x, c2x) || x - d > std::max(c1x, c2x))
        return false;
    if (y + d < std::min(c1y, c2y) || y - d > std::max(c1y, c2y))
        return false;
    return true;
}

LinkHit CQSView::LinkAt(int32_t x, int32_t y) const {
    if (!Model)
        return {};
    for (uint8_t i = 0; i < Model->nodeCount(); ++i) {
        for (uint8_t r : Model->Node(i)->receivers) {
            if (r < Model->nodeCount() && IsOnLink(i, r, x, y))
                return {i, r};
        }
    }
    return {};
}

int32_t CQSView::MaxRight() const {
    int32_t right = 0;
    for (const auto& node : Model->nodes)
        right = std::max(right, node->x + NodeSize);
    return right;
}

int32_t CQSView::MaxBottom() const {
    int32_t bottom = 0;
    for (const auto& node : Model->nodes)
        bottom = std::max(bottom, node->y + NodeSize);
    return bottom;
}

SchemeRect CQSView::Bounds() const {
    SchemeRect r{2000, 2000, 0, 0};
    for (const auto& node : Model->nodes) {
        r.left = std::min(r.left, node->x);
        r.top = std::min(r.top, node->y);
        r.right = std::max(r.right, node->x + NodeSize);
        r.bottom = std::max(r.bottom, node->y + NodeSize);
    }
    return r;
}

}  // namespace marvolt
