#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QTest>

#include "widget_test_util.h"
#include "widgets/SliderBar.h"
#include "widgets/SliderLogic.h"

using namespace sliderlogic;

namespace {

// The main window's slider: 617 x 11 with a 23-pixel pointer, so the track is 594 pixels.
constexpr int kWidth = 617;
constexpr int kTrack = 594;

}  // namespace

TEST(SliderLogic, ScaleIsTrackOverMaxAndSurvivesMaxZero)
{
    EXPECT_EQ(TrackLength(kWidth, 23), kTrack);
    EXPECT_DOUBLE_EQ(ComputeScale(kTrack, 100, 0.0), 5.94);
    EXPECT_DOUBLE_EQ(ComputeScale(kTrack, 0, 5.94), 5.94);
    EXPECT_DOUBLE_EQ(ComputeScale(kTrack, 0, 0.0), 0.0);
}

TEST(SliderLogic, DragToTheTrackEndReachesMaxExactly)
{
    const double scale = ComputeScale(kTrack, 100, 0.0);
    // 594 / 5.94 in extended precision lies just under 100 and rounds to it.
    EXPECT_EQ(DragPosition(kTrack, 0, kTrack, scale), 100);
    EXPECT_EQ(DragPosition(kTrack + 7, 7, kTrack, scale), 100);
    EXPECT_EQ(DragPosition(0, 0, kTrack, scale), 0);
    // 3 / 5.94 = 0.505..., 297 / 5.94 = 50
    EXPECT_EQ(DragPosition(3, 0, kTrack, scale), 1);
    EXPECT_EQ(DragPosition(297, 0, kTrack, scale), 50);
    EXPECT_EQ(DragPosition(-1, 0, kTrack, scale), std::nullopt);
    EXPECT_EQ(DragPosition(kTrack + 1, 0, kTrack, scale), std::nullopt);
    EXPECT_EQ(DragPosition(100, 0, kTrack, 0.0), std::nullopt);
}

TEST(SliderLogic, PixelsRoundHalvesToEven)
{
    EXPECT_EQ(ValueToPixel(1, 0.5), 0);
    EXPECT_EQ(ValueToPixel(3, 0.5), 2);
    EXPECT_EQ(ValueToPixel(5, 0.5), 2);
    EXPECT_EQ(ValueToPixel(100, 5.94), 594);
    // Huge values saturate instead of overflowing.
    EXPECT_EQ(ValueToPixel(INT64_MAX, 1e10), INT64_MAX);
}

TEST(SliderLogic, SettingAPositionAtOrPastTheTrackEnd)
{
    const double scale = 5.94;
    EXPECT_EQ(PositionAfterSet(42, scale, kTrack, 100, 7), 42);
    EXPECT_EQ(PositionAfterSet(100, scale, kTrack, 100, 7), 100);  // on the end: Max
    EXPECT_EQ(PositionAfterSet(101, scale, kTrack, 100, 7), 7);    // past it: unchanged
    // 3 units of 0.5 pixels is pixel 2 (halves to even), the end of a 2-pixel track: Max.
    EXPECT_EQ(PositionAfterSet(3, 0.5, 2, 4, 0), 4);
    EXPECT_EQ(PositionAfterSet(6, 0.5, 2, 4, 1), 1);
}

class SliderWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        slider = new TSliderBar(&host.window);
        slider->setGeometry(8, 19, kWidth, 11);
        slider->SetBar(Solid(1, 11, Qt::gray));
        slider->SetBarLeft(Solid(1, 11, Qt::darkGray));
        slider->SetBarRight(Solid(1, 11, Qt::darkGray));
        slider->SetBarPointer(Solid(23, 11, Qt::blue));
        slider->SetBarPointerDown(Solid(23, 11, Qt::red));
        slider->SetMax(100);
        ASSERT_TRUE(host.Show());
    }

    // Records each notification with the held state at the moment it was raised.
    struct Call {
        std::string what;
        Qt::MouseButton button;
        bool onPointer;
    };
    void Record()
    {
        slider->OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            calls.push_back({"down", b, slider->MouseOnPointer()});
        };
        slider->OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            calls.push_back({"up", b, slider->MouseOnPointer()});
        };
        slider->OnMouseMove = [this](Qt::KeyboardModifiers, int, int) {
            calls.push_back({"move", Qt::NoButton, slider->MouseOnPointer()});
        };
    }

    Host host{{640, 40}};
    TSliderBar* slider = nullptr;
    std::vector<Call> calls;
};

TEST_F(SliderWidget, StartsWithMaxTenBeforeAnyone)
{
    TSliderBar fresh;
    EXPECT_EQ(fresh.Max(), 10);
    EXPECT_EQ(fresh.Position(), 0);
    EXPECT_FALSE(fresh.MouseOnPointer());
}

TEST_F(SliderWidget, DraggingThePointerToTheRightEndGivesMax)
{
    EXPECT_DOUBLE_EQ(slider->Scale(), 5.94);
    const int y = 5;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(10, y));  // 10 px into the pointer
    ASSERT_TRUE(slider->MouseOnPointer());
    ASSERT_TRUE(slider->isDown());
    QTest::mouseMove(slider, QPoint(10 + 297, y));
    EXPECT_EQ(slider->Position(), 50);
    QTest::mouseMove(slider, QPoint(10 + kTrack, y));
    EXPECT_EQ(slider->Position(), 100);
    EXPECT_EQ(slider->PointerRect().left(), kTrack);
    // Beyond the end the pointer stays where it was.
    QTest::mouseMove(slider, QPoint(10 + kTrack + 30, y));
    EXPECT_EQ(slider->Position(), 100);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(10 + kTrack + 30, y));
    EXPECT_FALSE(slider->MouseOnPointer());
    EXPECT_FALSE(slider->isDown());
    EXPECT_EQ(slider->Position(), 100);
}

TEST_F(SliderWidget, PressOffThePointerDoesNotMoveOrGrabIt)
{
    slider->SetPosition(20);
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(400, 5));
    EXPECT_FALSE(slider->MouseOnPointer());
    QTest::mouseMove(slider, QPoint(450, 5));
    EXPECT_EQ(slider->Position(), 20);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(450, 5));
}

TEST_F(SliderWidget, PositionSetterKeepsInsideTheTrack)
{
    slider->SetPosition(30);
    EXPECT_EQ(slider->Position(), 30);
    slider->SetPosition(100);
    EXPECT_EQ(slider->Position(), 100);
    slider->SetPosition(40);
    slider->SetPosition(150);  // its pixel lies past the track
    EXPECT_EQ(slider->Position(), 40);
}

TEST_F(SliderWidget, MaxZeroKeepsScaleAndClampsPosition)
{
    slider->SetPosition(60);
    slider->SetMax(0);
    EXPECT_DOUBLE_EQ(slider->Scale(), 5.94);
    EXPECT_EQ(slider->Position(), 0);
}

TEST_F(SliderWidget, MaxBelowPositionPullsItDown)
{
    slider->SetPosition(80);
    slider->SetMax(50);
    EXPECT_EQ(slider->Position(), 50);
    EXPECT_DOUBLE_EQ(slider->Scale(), 594.0 / 50);
}

TEST_F(SliderWidget, ResizeRecomputesScale)
{
    slider->resize(523, 11);  // track 500
    EXPECT_DOUBLE_EQ(slider->Scale(), 5.0);
}

TEST_F(SliderWidget, NotificationsComeTwiceAroundTheHeldState)
{
    Record();
    QTest::mousePress(slider, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    QTest::mouseMove(slider, QPoint(60, 5));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(60, 5));
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].what, "down");
    EXPECT_FALSE(calls[0].onPointer);  // before the grab
    EXPECT_EQ(calls[1].what, "down");
    EXPECT_TRUE(calls[1].onPointer);  // after it: the controller's cue to pause
    EXPECT_EQ(calls[1].button, Qt::LeftButton);
    EXPECT_EQ(calls[2].what, "move");
    EXPECT_EQ(calls[3].what, "move");
    EXPECT_EQ(calls[4].what, "up");
    EXPECT_TRUE(calls[4].onPointer);  // still held: the controller's cue to seek
    EXPECT_EQ(calls[5].what, "up");
    EXPECT_FALSE(calls[5].onPointer);
}

TEST_F(SliderWidget, RightButtonPressNeitherGrabsNorRepeats)
{
    Record();
    QTest::mousePress(slider, Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].button, Qt::RightButton);
    EXPECT_FALSE(slider->MouseOnPointer());
    EXPECT_FALSE(slider->isDown());
    QTest::mouseMove(slider, QPoint(60, 5));
    EXPECT_EQ(slider->Position(), 0);
    QTest::mouseRelease(slider, Qt::RightButton, {}, QPoint(60, 5));
}

TEST_F(SliderWidget, MiddleButtonGrabsLikeLeft)
{
    QTest::mousePress(slider, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_TRUE(slider->MouseOnPointer());
    QTest::mouseRelease(slider, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_FALSE(slider->MouseOnPointer());
}

TEST_F(SliderWidget, PointerIsDrawnAtItsPixelAndHeldLookWhileDown)
{
    slider->SetPosition(50);  // pixel 297
    QImage shot = slider->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(297 + 11, 5)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(100, 5)), QColor(Qt::gray));
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(300, 5));
    shot = slider->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(297 + 11, 5)), QColor(Qt::red));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(300, 5));
}
