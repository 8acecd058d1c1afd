#include "imaging/imageTools.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using imaging::TBgrColor;
using imaging::TFastDIB;

namespace {

TFastDIB& RedPicture(int width, int height)
{
    static TFastDIB picture;
    picture.Allocate(width, height, 32);
    picture.FillColor(TBgrColor{0, 0, 200});
    return picture;
}

}  // namespace

TEST(DrawCentered, OnACanvasFillsTheBoxAndCentresThePicture)
{
    const TFastDIB& picture = RedPicture(4, 2);
    QImage canvas(12, 8, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setPen(Qt::NoPen);
    imaging::DrawCentered(picture, painter, 10, 6, TBgrColor{});
    painter.end();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 12; ++x) {
            QRgb expected = qRgb(255, 255, 255);
            if (x < 10 && y < 6)
                expected = x >= 3 && x < 7 && y >= 2 && y < 4 ? qRgb(200, 0, 0) : qRgb(0, 0, 0);
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(DrawCentered, OnACanvasOutlinesTheBoxWithThePainterPen)
{
    const TFastDIB& picture = RedPicture(2, 2);
    QImage canvas(8, 8, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setPen(QPen(QColor(0, 255, 0), 0));
    imaging::DrawCentered(picture, painter, 6, 6, TBgrColor{});
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(6, 6), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(2, 2), qRgb(200, 0, 0));
}

TEST(DrawCentered, OnABufferWithOddSpareSpace)
{
    const TFastDIB& picture = RedPicture(3, 1);
    TFastDIB target;
    target.Allocate(8, 5, 32);
    target.FillColor(TBgrColor{255, 255, 255});
    imaging::DrawCentered(picture, target, 8, 4, TBgrColor{});
    // (8 - 3) div 2 = 2, (4 - 1) div 2 = 1
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(target.PixelAt(x, 1), x >= 2 && x < 5 ? 0xC80000u : 0u) << x;
    EXPECT_EQ(target.PixelAt(0, 4), 0xFFFFFFu);
}
