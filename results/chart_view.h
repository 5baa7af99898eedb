// A chart view that tells a click on a series from a click on the
// background, and the chart as a picture: rendered on white, copied to the
// clipboard or saved as a .bmp file so that a failure keeps the old file.
#pragma once

#include <QChartView>
#include <QImage>
#include <QString>

#include "persistence/safe_save.h"

namespace marvolt {

class ChartView : public QChartView {
    Q_OBJECT

  public:
    explicit ChartView(QChart* chart, QWidget* parent = nullptr);

    // Connected to a series' press and click signals, so that pressing it is
    // no click on the background.
    void SeriesTook() { seriesTook_ = true; }

    // The chart as shown, on a white background.
    QImage Picture();

  signals:
    void backgroundClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool seriesTook_ = false;
    bool pressed_ = false;
};

// The picture in the standard .bmp format, or nothing when it cannot be encoded.
QByteArray BmpBytes(const QImage& image);
SafeSaveResult SaveBmpFile(const QString& path, const QImage& image);

}  // namespace marvolt
