#include "editor/field_width.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace marvolt {

int FieldWidthFor(const QLineEdit* edit, const QString& text) {
    constexpr int kProbe = 100;
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.rect = QRect(0, 0, kProbe, edit->sizeHint().height());
    frame.lineWidth = edit->hasFrame()
                          ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit)
                          : 0;
    const QRect inside = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit);
    const QMargins margins = edit->textMargins();
    // The edit keeps two pixels a side inside its contents, and one for the cursor.
    const int padding = kProbe - inside.width() + margins.left() + margins.right() + 5;
    return edit->fontMetrics().horizontalAdvance(text) + padding;
}

}  // namespace marvolt
