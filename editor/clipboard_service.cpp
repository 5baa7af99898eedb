#include "editor/clipboard_service.h"

#include <QClipboard>
#include <QGuiApplication>

namespace marvolt {

void QtClipboardService::SetImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

void QtClipboardService::SetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace marvolt
