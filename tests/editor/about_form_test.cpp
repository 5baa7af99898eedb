// The about box and its picture, decoded by libjpeg.
#include "editor/about_form.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "editor/editor_resources.h"
#include "editor/jpeg_image.h"

namespace marvolt {
namespace {

int Blueness(QRgb c) {
    return qBlue(c) - (qRed(c) + qGreen(c)) / 2;
}
bool Yellow(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 180 && qBlue(c) < 110;
}

TEST(AboutPictureTest, IsBluePictureWithYellowLettering) {
    const QImage picture = DecodeJpeg(EditorResource(kAboutPicture));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(165, 116));
    int blue = 0, yellow = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            blue += Blueness(picture.pixel(x, y)) > 60;
            yellow += Yellow(picture.pixel(x, y));
        }
    }
    const int all = picture.width() * picture.height();
    EXPECT_GT(blue, all / 2);
    EXPECT_GT(yellow, all / 30);
}

TEST(AboutPictureTest, DamagedDataGivesNoPicture) {
    QByteArray data = EditorResource(kAboutPicture);
    ASSERT_GT(data.size(), 1000);
    EXPECT_TRUE(DecodeJpeg(data.left(20)).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
}

TEST(AboutFormTest, ShowsNameVersionAndPicture) {
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("О программе"));
    const QStringList lines = about.Memo1->text().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Marvolt v1.04"));
    EXPECT_EQ(lines[1], QStringLiteral("Среда имитационного "));
    EXPECT_EQ(lines[2], QStringLiteral("моделирования  систем  "));
    EXPECT_EQ(lines[3], QStringLiteral("массового обслуживания."));
    EXPECT_EQ(lines[4], QString());
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(165, 116));
    EXPECT_EQ(about.Image1->contentsRect().size(), QSize(165, 116));
    EXPECT_EQ(about.Button1->width(), 169);
}

TEST(EditorPicturesTest, EveryListedSlotHasItsPicture) {
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12})
        EXPECT_EQ(ToolImage(slot).size(), QSize(16, 16)) << slot;
    EXPECT_TRUE(ToolImage(11).isNull());
    for (int slot = 0; slot < 4; ++slot) {
        const QImage node = NodePicture(slot);
        ASSERT_EQ(node.size(), QSize(48, 48)) << slot;
        // Yellow inside, white around it (made transparent on the scheme), and
        // the bottom strip kept free for the name.
        int yellow = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 48; ++x)
                yellow += Yellow(node.pixel(x, y));
        }
        EXPECT_GT(yellow, 300) << slot;
        EXPECT_EQ(node.pixel(0, 0) | 0xFF000000u, 0xFFFFFFFFu) << slot;
        for (int x = 0; x < 48; ++x)
            EXPECT_EQ(node.pixel(x, 40) | 0xFF000000u, 0xFFFFFFFFu);
    }
}

}  // namespace
}  // namespace marvolt
