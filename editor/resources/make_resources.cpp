// Draws the editor's pictures: the tool and tree icons, the node pictures,
// the about box's JPEG and the program's icon in the installed sizes. Run once when a picture changes; its output files are
// kept beside it.
//   marvolt_make_resources <folder>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cmath>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

const QColor kDarkBlue(0, 0, 128);
const QColor kYellow(255, 255, 0);

QImage Canvas(int size, const QColor& background) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

bool Save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

QPen BluePen(qreal width) {
    QPen pen(kDarkBlue, width);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// One period and a half of a sine across the box.
QPainterPath Wave(const QRectF& box) {
    QPainterPath path;
    const int steps = 40;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const QPointF p(box.left() + t * box.width(),
                        box.center().y() - std::sin(t * 3.0 * M_PI) * box.height() / 2);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

QPolygon Octagon(int cx, int cy, int r) {
    const int c = r * 41 / 100;  // r * (sqrt(2) - 1): the corners cut at 45 degrees
    return QPolygon({QPoint(cx - c, cy - r), QPoint(cx + c, cy - r), QPoint(cx + r, cy - c),
                     QPoint(cx + r, cy + c), QPoint(cx + c, cy + r), QPoint(cx - c, cy + r),
                     QPoint(cx - r, cy + c), QPoint(cx - r, cy - c)});
}

QPolygon Diamond(int cx, int cy, int r) {
    return QPolygon(
        {QPoint(cx, cy - r), QPoint(cx + r, cy), QPoint(cx, cy + r), QPoint(cx - r, cy)});
}

// The four node shapes in a box; the node pictures keep their bottom strip
// free for the name drawn over it.
void DrawGenerator(QPainter& p, const QRect& r, qreal pen) {
    p.setPen(BluePen(pen));
    p.setBrush(kYellow);
    p.drawRect(r);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.drawPath(Wave(QRectF(r).adjusted(r.width() * 0.18, r.height() * 0.3, -r.width() * 0.18,
                                       -r.height() * 0.3)));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawQueue(QPainter& p, const QRect& r, qreal pen) {
    p.setPen(BluePen(pen));
    p.setBrush(kYellow);
    p.drawRect(r);
    for (int i = 1; i < 3; ++i) {
        const int x = r.left() + r.width() * i / 3;
        p.drawLine(x, r.top(), x, r.bottom());
    }
}

void DrawChannel(QPainter& p, int cx, int cy, int radius, qreal pen) {
    p.setPen(BluePen(pen));
    p.setBrush(kYellow);
    p.drawPolygon(Octagon(cx, cy, radius));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(Diamond(cx, cy, radius * 55 / 100));
}

void DrawSink(QPainter& p, const QRect& r, qreal pen) {
    p.setPen(BluePen(pen));
    p.setBrush(kYellow);
    p.drawRect(r);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

bool NodePictures(const QString& folder) {
    bool ok = true;
    const QRect box(7, 3, 34, 28);
    {
        QImage image = Canvas(48, Qt::white);
        QPainter p(&image);
        DrawGenerator(p, box, 2);
        p.end();
        ok &= Save(image, folder + "/nodes/generator.png");
    }
    {
        QImage image = Canvas(48, Qt::white);
        QPainter p(&image);
        DrawQueue(p, QRect(4, 6, 40, 22), 2);
        p.end();
        ok &= Save(image, folder + "/nodes/queue.png");
    }
    {
        QImage image = Canvas(48, Qt::white);
        QPainter p(&image);
        DrawChannel(p, 24, 17, 15, 2);
        p.end();
        ok &= Save(image, folder + "/nodes/channel.png");
    }
    {
        QImage image = Canvas(48, Qt::white);
        QPainter p(&image);
        DrawSink(p, box, 2);
        p.end();
        ok &= Save(image, folder + "/nodes/sink.png");
    }
    return ok;
}

bool Icon(const QString& folder, const char* name, void (*draw)(QPainter&)) {
    QImage image = Canvas(16, Qt::transparent);
    QPainter p(&image);
    draw(p);
    p.end();
    return Save(image, folder + "/icons/" + name + ".png");
}

void NewFile(QPainter& p) {
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
    p.drawPolyline(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
}

void OpenFolder(QPainter& p) {
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(255, 220, 96));
    p.drawPolygon(QPolygon(
        {QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(13, 5), QPoint(13, 13), QPoint(1, 13)}));
    p.setBrush(QColor(255, 240, 160));
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
}

void Diskette(QPainter& p) {
    p.setPen(QColor(0, 0, 64));
    p.setBrush(QColor(40, 70, 170));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(4, 9, 7, 5);
}

void Pointer(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(4, 1), QPoint(4, 13), QPoint(7, 10), QPoint(9, 15),
                            QPoint(11, 14), QPoint(9, 9), QPoint(13, 9)}));
}

void LinkIcon(QPainter& p) {
    p.setPen(kDarkBlue);
    p.setBrush(kYellow);
    p.drawRect(0, 9, 5, 5);
    p.drawRect(10, 1, 5, 5);
    p.drawLine(5, 10, 10, 5);
    p.drawLine(10, 5, 6, 6);
    p.drawLine(10, 5, 9, 9);
}

void GeneratorIcon(QPainter& p) {
    DrawGenerator(p, QRect(1, 2, 13, 11), 1);
}
void QueueIcon(QPainter& p) {
    DrawQueue(p, QRect(0, 4, 15, 8), 1);
}
void ChannelIcon(QPainter& p) {
    DrawChannel(p, 7, 7, 7, 1);
}
void SinkIcon(QPainter& p) {
    DrawSink(p, QRect(2, 2, 11, 11), 1);
}

void RequestType(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(230, 60, 40));
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(5, 5, 3, 3));
}

void TreeEntry(QPainter& p) {
    p.setPen(kDarkBlue);
    p.setBrush(kDarkBlue);
    p.drawPolygon(QPolygon({QPoint(5, 4), QPoint(10, 8), QPoint(5, 12)}));
}

void Experiment(QPainter& p) {
    p.setPen(Qt::black);
    p.drawLine(1, 1, 1, 14);
    p.drawLine(1, 14, 15, 14);
    p.setBrush(QColor(40, 160, 60));
    p.drawRect(3, 8, 2, 5);
    p.drawRect(7, 4, 2, 9);
    p.drawRect(11, 6, 2, 7);
}

// A curved arrow turning back to the left (undo), or mirrored (redo).
void TurnArrow(QPainter& p, bool back) {
    p.setRenderHint(QPainter::Antialiasing, true);
    if (!back) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(kDarkBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath curve;
    curve.moveTo(4, 6);
    curve.cubicTo(11, 6, 14, 8, 13, 11);
    curve.cubicTo(12, 14, 8, 14, 6, 13);
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(kDarkBlue);
    p.drawPolygon(QPolygonF({QPointF(1, 6), QPointF(6, 1.5), QPointF(6, 10.5)}));
}

void Undo(QPainter& p) {
    TurnArrow(p, true);
}
void Redo(QPainter& p) {
    TurnArrow(p, false);
}

// The program's icon: a generator sending requests to a channel, drawn on a
// 48-unit grid and scaled to the size asked for.
QImage ProgramIcon(int size) {
    QImage image = Canvas(size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 48.0, size / 48.0);
    DrawGenerator(p, QRect(2, 2, 21, 17), 2);
    p.setRenderHint(QPainter::Antialiasing, true);
    DrawChannel(p, 35, 35, 11, 2);
    // The link leaves the generator's bottom edge and ends on the channel's
    // upper-left edge with an open arrowhead, as on the scheme.
    QPen link = BluePen(2);
    link.setCapStyle(Qt::RoundCap);
    p.setPen(link);
    const QPointF from(13, 20), to(27, 28);
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    p.drawLine(from, to);
    p.drawLine(to, to - 7 * along + 3.5 * across);
    p.drawLine(to, to - 7 * along - 3.5 * across);
    p.end();
    return image;
}

// The about picture: the product name and the Russian words in yellow over
// blue scattered with 0 and 1 digits.
QImage AboutPicture() {
    QImage image(165, 116, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 116);
    sky.setColorAt(0, QColor(16, 40, 120));
    sky.setColorAt(1, QColor(30, 80, 176));
    p.fillRect(image.rect(), sky);

    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setPixelSize(10);
    p.setFont(digits);
    unsigned state = 20231;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int i = 0; i < 150; ++i) {
        const int x = static_cast<int>(next() % 160);
        const int y = static_cast<int>(next() % 116) + 6;
        const int shade = 120 + static_cast<int>(next() % 70);
        p.setPen(QColor(shade / 2, shade * 3 / 4, shade + 60 > 255 ? 255 : shade + 60));
        p.drawText(x, y, next() % 2 ? QStringLiteral("1") : QStringLiteral("0"));
    }

    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(28);
    const auto shadowed = [&p](const QRect& r, const QString& text) {
        p.setPen(QColor(0, 0, 40));
        p.drawText(r.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, text);
        p.setPen(QColor(255, 230, 0));
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, text);
    };
    p.setFont(title);
    shadowed(QRect(0, 8, 165, 36), QStringLiteral("Marvolt"));
    QFont words(QStringLiteral("DejaVu Sans"));
    words.setBold(true);
    words.setPixelSize(13);
    p.setFont(words);
    shadowed(QRect(0, 48, 165, 18), QStringLiteral("имитационное"));
    shadowed(QRect(0, 65, 165, 18), QStringLiteral("моделирование"));
    shadowed(QRect(0, 84, 165, 22), QStringLiteral("СМО"));
    p.end();
    return image;
}

bool SaveJpeg(const QImage& picture, const QString& path) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder + "/icons");
    QDir().mkpath(folder + "/nodes");
    bool ok = NodePictures(folder);
    ok &= Icon(folder, "new", NewFile);
    ok &= Icon(folder, "open", OpenFolder);
    ok &= Icon(folder, "save", Diskette);
    ok &= Icon(folder, "pointer", Pointer);
    ok &= Icon(folder, "link", LinkIcon);
    ok &= Icon(folder, "generator", GeneratorIcon);
    ok &= Icon(folder, "queue", QueueIcon);
    ok &= Icon(folder, "channel", ChannelIcon);
    ok &= Icon(folder, "sink", SinkIcon);
    ok &= Icon(folder, "request_type", RequestType);
    ok &= Icon(folder, "tree_entry", TreeEntry);
    ok &= Icon(folder, "experiment", Experiment);
    ok &= Icon(folder, "undo", Undo);
    ok &= Icon(folder, "redo", Redo);
    ok &= SaveJpeg(AboutPicture(), folder + "/about.jpg");
    QDir().mkpath(folder + "/program");
    for (int size : {16, 32, 48, 64, 128, 256})
        ok &= Save(ProgramIcon(size), folder + QStringLiteral("/program/marvolt_%1.png").arg(size));
    return ok ? 0 : 1;
}
