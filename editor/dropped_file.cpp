#include "editor/dropped_file.h"

#include <QMimeData>
#include <QUrl>

namespace marvolt {

QString DroppedFilePath(const QMimeData* mime) {
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    }
    return {};
}

}  // namespace marvolt
