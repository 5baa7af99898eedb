// Whether a line edit shows its whole text inside its frame and margins.
#pragma once

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace marvolt::test {

inline bool ShowsWhole(const QLineEdit* e) {
    QStyleOptionFrame frame;
    frame.initFrom(e);
    frame.rect = e->rect();
    frame.lineWidth =
        e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, e) : 0;
    const QRect inside = e->style()->subElementRect(QStyle::SE_LineEditContents, &frame, e);
    return e->fontMetrics().horizontalAdvance(e->text()) <= inside.width() - 4;
}

}  // namespace marvolt::test
