// The scheme picture of the main window: a bitmap shown at its own size.
#pragma once

#include <QImage>
#include <QWidget>

namespace marvolt {

class SchemePicture : public QWidget {
    Q_OBJECT

  public:
    explicit SchemePicture(QWidget* parent = nullptr);

    QImage& Bitmap() { return bitmap_; }
    const QImage& Bitmap() const { return bitmap_; }
    // The picture and its bitmap take the new size; what was drawn stays at
    // the top-left corner, new parts are white.
    void SetPictureSize(int width, int height);

  signals:
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseUp(QMouseEvent* event);
    void DoubleClick(QMouseEvent* event);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage bitmap_;
};

}  // namespace marvolt
