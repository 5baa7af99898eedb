#include "results/chart_view.h"

#include <QBuffer>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>

namespace marvolt {

ChartView::ChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRenderHint(QPainter::Antialiasing);
}

QImage ChartView::Picture() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The scene, not the widget: no frame and no scroll bars in the picture.
    scene()->render(&painter, QRectF(image.rect()), QRectF(viewport()->rect()));
    return image;
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    seriesTook_ = false;
    pressed_ = event->button() == Qt::LeftButton;
    QChartView::mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    QChartView::mouseReleaseEvent(event);
    const bool background = pressed_ && !seriesTook_ && event->button() == Qt::LeftButton;
    pressed_ = false;
    seriesTook_ = false;
    if (background)
        emit backgroundClicked();
}

QByteArray BmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "BMP"))
        return {};
    return bytes;
}

SafeSaveResult SaveBmpFile(const QString& path, const QImage& image) {
    const QByteArray bytes = BmpBytes(image);
    if (bytes.isEmpty())
        return SafeSaveResult::kWriteFailed;
    return SaveBytesWithResult(QFile::encodeName(path).toStdString(),
                               std::string_view(bytes.constData(), bytes.size()));
}

}  // namespace marvolt
