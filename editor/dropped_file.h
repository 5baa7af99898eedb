// A file dragged onto the main window from the desktop.
#pragma once

#include <QString>

class QMimeData;

namespace marvolt {

// The first local file among the dragged items; empty when there is none.
QString DroppedFilePath(const QMimeData* mime);

}  // namespace marvolt
