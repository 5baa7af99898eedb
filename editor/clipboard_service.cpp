#include "editor/clipboard_service.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace marvolt {

void QtClipboardService::SetImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

void QtClipboardService::SetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool QtClipboardService::SetFormatted(const QString& html, const QByteArray& rtf,
                                      const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* data = new QMimeData;
    data->setHtml(html);
    data->setText(text);
    // Word processors look for RTF under either name.
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    clipboard->setMimeData(data);
    // A clipboard that refused the data does not give it back.
    const QMimeData* now = clipboard->mimeData();
    return now && now->hasHtml() && now->html() == html;
}

}  // namespace marvolt
