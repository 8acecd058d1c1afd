#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include "widget_test_util.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/TileImage.h"

TEST(LinePanel, DefaultsTakeTheParentsColour)
{
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    parent.setPalette(pal);
    TLinePanel panel(&parent);
    EXPECT_EQ(panel.size(), QSize(185, 41));
    EXPECT_EQ(panel.LineColor(), QColor(127, 157, 185));
    EXPECT_EQ(panel.LineBorders(), TLineBorders());
    EXPECT_EQ(panel.BorderWidth(), 0);
    EXPECT_TRUE(panel.ParentColor());
    EXPECT_EQ(panel.Color(), QColor(1, 2, 3));
    EXPECT_EQ(panel.Alignment(), Qt::AlignHCenter);

    // A panel inside a panel follows the outer panel's own colour.
    panel.SetColor(Qt::black);
    EXPECT_FALSE(panel.ParentColor());
    TLinePanel inner(&panel);
    EXPECT_EQ(inner.Color(), QColor(Qt::black));
    panel.SetParentColor(true);
    EXPECT_EQ(inner.Color(), QColor(1, 2, 3));
}

TEST(LinePanel, BorderWidthIsTheLayoutsInnerMargin)
{
    Host host;
    auto* panel = new TLinePanel(&host.window);
    panel->setGeometry(0, 0, 250, 308);
    panel->SetBorderWidth(5);
    EXPECT_EQ(panel->contentsMargins(), QMargins(5, 5, 5, 5));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* child = new QLabel("tree", panel);
    layout->addWidget(child);
    ASSERT_TRUE(host.Show());
    EXPECT_EQ(child->geometry(), QRect(5, 5, 240, 298));
}

TEST(LinePanel, LinesOnTheChosenSidesOnly)
{
    TLinePanel panel;
    panel.resize(20, 10);
    panel.SetColor(Qt::white);
    panel.SetLineColor(Qt::red);
    panel.SetLineBorders(lbTop | lbRight);
    const QImage shot = panel.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(10, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(19, 5)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(0, 5)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(10, 9)), QColor(Qt::white));
    panel.SetLineBorders(lbTop | lbLeft | lbRight | lbBottom);
    const QImage all = panel.grab().toImage();
    EXPECT_EQ(QColor(all.pixel(0, 5)), QColor(Qt::red));
    EXPECT_EQ(QColor(all.pixel(10, 9)), QColor(Qt::red));
    EXPECT_EQ(QColor(all.pixel(10, 5)), QColor(Qt::white));
}

TEST(TileImage, OnceOrTiled)
{
    QPixmap picture(4, 3);
    picture.fill(Qt::blue);
    Host host;
    host.window.setStyleSheet("background: white");
    auto* tile = new TTileImage(&host.window);
    EXPECT_EQ(tile->size(), QSize(105, 105));
    tile->resize(10, 8);
    tile->SetPicture(picture);
    ASSERT_TRUE(host.Show());
    QImage shot = host.window.grab(QRect(0, 0, 10, 8)).toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(Qt::blue));
    EXPECT_NE(QColor(shot.pixel(9, 7)), QColor(Qt::blue));
    tile->SetTileImage(true);
    shot = host.window.grab(QRect(0, 0, 10, 8)).toImage();
    EXPECT_EQ(QColor(shot.pixel(9, 7)), QColor(Qt::blue));
}

TEST(ImageLogic, WhereThePictureGoes)
{
    using imagelogic::DestRect;
    const QSize box(81, 57);
    EXPECT_EQ(DestRect({40, 20}, box, false, false, false), QRect(0, 0, 40, 20));
    EXPECT_EQ(DestRect({40, 20}, box, false, false, true), QRect(20, 18, 40, 20));
    EXPECT_EQ(DestRect({40, 20}, box, true, false, false), QRect(0, 0, 81, 57));
    // Proportional alone never enlarges, but shrinks a picture larger than the box.
    EXPECT_EQ(DestRect({40, 20}, box, false, true, false), QRect(0, 0, 40, 20));
    EXPECT_EQ(DestRect({162, 57}, box, false, true, true), QRect(0, 14, 81, 28));
    // Stretched and proportional: as large as fits, aspect kept.
    EXPECT_EQ(DestRect({40, 20}, box, true, true, true), QRect(0, 8, 81, 40));
    EXPECT_EQ(DestRect({20, 40}, box, true, true, true), QRect(26, 0, 28, 57));
    EXPECT_EQ(DestRect({}, box, true, true, true), QRect(40, 28, 0, 0));
}

TEST(Image, ClickPaintAndTag)
{
    Host host;
    auto* image = new TImage(&host.window);
    image->setGeometry(18, 39, 81, 57);
    image->SetTag(3);
    image->SetStretch(true);
    image->SetPicture(Solid(10, 10, Qt::green));
    int clicks = 0;
    image->OnClick = [&] { ++clicks; };
    ASSERT_TRUE(host.Show());
    EXPECT_EQ(image->Tag(), 3);
    EXPECT_EQ(QColor(image->grab().toImage().pixel(80, 56)), QColor(Qt::green));
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(40, 20));
    QTest::mouseClick(image, Qt::RightButton, {}, QPoint(40, 20));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(40, 20));
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(200, 20));  // let go elsewhere
    EXPECT_EQ(clicks, 1);
}

TEST(Image, TransparentLetsTheKeyColourThrough)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    Host host;
    host.window.setStyleSheet("background: white");
    auto* image = new TImage(&host.window);
    image->setGeometry(0, 0, 4, 4);
    image->SetPicture(QPixmap::fromImage(picture));
    image->SetTransparent(true);
    ASSERT_TRUE(host.Show());
    const QImage shot = host.window.grab(QRect(0, 0, 4, 4)).toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(3, 3)), QColor(Qt::white));
}
