#include "editor/scheme_picture.h"

#include <QMouseEvent>
#include <QPainter>

namespace marvolt {

SchemePicture::SchemePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    SetPictureSize(249, 217);
}

void SchemePicture::SetPictureSize(int width, int height) {
    QImage grown(width, height, QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!bitmap_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, bitmap_);
    }
    bitmap_ = grown;
    setFixedSize(width, height);
    update();
}

void SchemePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, bitmap_);
}

void SchemePicture::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event);
}
void SchemePicture::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event);
}
void SchemePicture::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(event);
}
void SchemePicture::mouseDoubleClickEvent(QMouseEvent* event) {
    emit DoubleClick(event);
}

}  // namespace marvolt
