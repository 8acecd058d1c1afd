#include <gtest/gtest.h>

#include <QImage>

#include "widget_test_util.h"
#include "widgets/FSProgressBar.h"
#include "widgets/PaintUtils.h"

using progressbar::BarWidth;

TEST(ProgressBarLogic, StripBarOf886PixelsInSevenSteps)
{
    // 884 * n / 7, to the nearest integer.
    const int expected[] = {0, 126, 253, 379, 505, 631, 758, 884};
    for (int n = 0; n <= 7; ++n)
        EXPECT_EQ(BarWidth(886, 0, 7, n), expected[n]) << "n = " << n;
}

TEST(ProgressBarLogic, WidthRoundsHalvesToEvenAndEmptyRangeHasNoBar)
{
    EXPECT_EQ(BarWidth(7, 0, 2, 1), 2);   // 2.5
    EXPECT_EQ(BarWidth(9, 0, 2, 1), 4);   // 3.5
    EXPECT_EQ(BarWidth(12, 10, 20, 15), 5);
    EXPECT_EQ(BarWidth(100, 5, 5, 5), 0);
}

TEST(ProgressBarLogic, GradientRowsRoundEachChannel)
{
    const QColor from(0, 100, 255);
    const QColor to(3, 0, 254);
    EXPECT_EQ(widgets::GradientColor(from, to, 0, 2), from);
    EXPECT_EQ(widgets::GradientColor(from, to, 2, 2), to);
    // 1.5 -> 2, 50 -> 50, 254.5 -> 254
    EXPECT_EQ(widgets::GradientColor(from, to, 1, 2), QColor(2, 50, 254));
    EXPECT_EQ(widgets::GradientColor(from, to, 5, 0), from);
}

TEST(ProgressBarLogic, PictureHasFrameBarAndBackground)
{
    const progressbar::Colors colors;
    const int w = 100;
    const int h = 16;
    const QImage image = progressbar::RenderHorizontal(w, h, 40, colors);
    ASSERT_EQ(image.size(), QSize(w, h));
    EXPECT_EQ(QColor(image.pixel(0, 0)), colors.border);
    EXPECT_EQ(QColor(image.pixel(w - 1, h - 1)), colors.border);
    EXPECT_EQ(QColor(image.pixel(w / 2, h - 1)), colors.border);
    // Bar rows run from the face colour on row 0 to the bottom colour on row H.
    EXPECT_EQ(QColor(image.pixel(20, 5)), widgets::GradientColor(colors.foreFace, colors.foreGrad, 5, h));
    // Background rows 0..H-2 end on the bottom colour.
    EXPECT_EQ(QColor(image.pixel(70, h - 2)), colors.backGrad);
    EXPECT_EQ(QColor(image.pixel(70, 5)),
              widgets::GradientColor(colors.backFace, colors.backGrad, 5, h - 2));
    // The bar's end line takes the bar's colour near the bottom.
    EXPECT_EQ(QColor(image.pixel(40, 5)), QColor(image.pixel(2, h - 2)));
    EXPECT_NE(QColor(image.pixel(41, 5)), QColor(image.pixel(40, 5)));
}

TEST(ProgressBar, DefaultsAndIgnoredSettings)
{
    TFSProgressBar bar;
    EXPECT_EQ(bar.size(), QSize(200, 16));
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Step(), 10);
    EXPECT_EQ(bar.Orientation(), pbHorizontal);

    bar.SetMax(7);
    bar.SetPosition(-1);  // below Min: ignored
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(9);   // above Max: accepted
    EXPECT_EQ(bar.Position(), 9);
    bar.SetMin(8);        // above Max: ignored
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMin(3);
    bar.SetMax(2);        // below Min: ignored
    EXPECT_EQ(bar.Max(), 7);
    bar.SetStep(1);
    EXPECT_EQ(bar.Step(), 1);
}

TEST(ProgressBar, AnyColourSwitchesToTheCustomScheme)
{
    TFSProgressBar bar;
    EXPECT_EQ(bar.ColorScheme(), csDesert);
    EXPECT_EQ(bar.ColorBorder(), QColor(128, 86, 0));
    EXPECT_EQ(bar.BackColorFace(), QColor(255, 236, 198));
    EXPECT_EQ(bar.ForeColorGrad(), QColor(183, 123, 0));
    bar.SetColorBorder(QColor(127, 157, 185));
    EXPECT_EQ(bar.ColorScheme(), TFSProgressBar::csCustom);
    bar.SetColorScheme(csDesert);
    EXPECT_EQ(bar.ColorBorder(), QColor(128, 86, 0));
}

namespace {

class CountingBar : public TFSProgressBar {
public:
    using TFSProgressBar::TFSProgressBar;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        TFSProgressBar::paintEvent(event);
    }
};

}  // namespace

TEST(ProgressBar, PositionPaintsWithinTheCall)
{
    Host host;
    auto* bar = new CountingBar(&host.window);
    bar->setGeometry(0, 0, 886, 16);
    bar->SetMax(7);
    ASSERT_TRUE(host.Show());
    for (int n = 1; n <= 7; ++n) {
        const int before = bar->paints;
        bar->SetPosition(n);  // no event loop runs in between
        EXPECT_GT(bar->paints, before) << "n = " << n;
    }
    EXPECT_EQ(QColor(bar->grab().toImage().pixel(883, 8)), QColor(bar->Render().pixel(883, 8)));
}

TEST(ProgressBar, UprightBarGrowsFromTheBottom)
{
    TFSProgressBar bar;
    bar.resize(16, 100);
    bar.SetOrientation(pbVertical);
    bar.SetPosition(50);
    const QImage image = bar.Render();
    ASSERT_EQ(image.size(), QSize(16, 100));
    const QColor barColour = bar.Render().pixel(8, 80);
    EXPECT_NE(barColour, QColor(image.pixel(8, 20)));
    EXPECT_EQ(QColor(image.pixel(0, 0)), bar.ColorBorder());
}
