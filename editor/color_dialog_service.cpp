#include "editor/color_dialog_service.h"

#include <QApplication>
#include <QColorDialog>

namespace marvolt {

std::optional<QColor> QtColorDialogService::PickColor(const QColor& initial) {
    const QColor chosen =
        QColorDialog::getColor(initial, QApplication::activeWindow(), QStringLiteral("Цвет"));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

}  // namespace marvolt
