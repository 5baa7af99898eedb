// JPEG pictures decoded with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>

namespace marvolt {

// A null image when the data is not a JPEG picture libjpeg can read.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace marvolt
