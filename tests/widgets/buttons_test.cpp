#include <gtest/gtest.h>

#include <QTest>

#include "widget_test_util.h"
#include "widgets/MyButtonEx.h"
#include "widgets/imagebutton.h"

using imagebutton::ChooseFace;
using imagebutton::Look;

TEST(ImageButtonLogic, FirstMatchingLookWins)
{
    const imagebutton::Pictures all{{29, 29}, {29, 29}, {29, 29}, {29, 29}};
    EXPECT_EQ(ChooseFace(all, false, true, true, true).look, Look::Disabled);
    const auto pressed = ChooseFace(all, true, true, true, true);
    EXPECT_EQ(pressed.look, Look::Down);
    EXPECT_EQ(pressed.rect, QRect(2, 2, 29, 29));
    EXPECT_EQ(ChooseFace(all, true, true, false, false).rect, QRect(0, 0, 29, 29));
    EXPECT_EQ(ChooseFace(all, true, false, true, true).look, Look::Over);
    EXPECT_EQ(ChooseFace(all, true, false, false, true).look, Look::Normal);

    // No pressed picture: the mouse-over one stands in, shifted as well.
    const imagebutton::Pictures noDown{{20, 20}, {24, 24}, {}, {}};
    const auto stand = ChooseFace(noDown, true, true, false, true);
    EXPECT_EQ(stand.look, Look::Over);
    EXPECT_EQ(stand.rect, QRect(2, 2, 24, 24));
    // No mouse-over picture: hovering keeps the normal look.
    const imagebutton::Pictures plain{{20, 20}, {}, {}, {}};
    EXPECT_EQ(ChooseFace(plain, true, false, true, true).look, Look::Normal);
}

class ImageButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        button = new TImageButton(&host.window);
        button->setGeometry(10, 10, 40, 40);
        button->SetImage(Solid(20, 20, Qt::green));
        button->SetImageOver(Solid(20, 20, Qt::yellow));
        button->SetImageDown(Solid(20, 20, Qt::red));
        button->SetImageDisable(Solid(20, 20, Qt::gray));
        button->OnClick = [this] { ++clicks; };
        ASSERT_TRUE(host.Show());
    }
    Host host;
    TImageButton* button = nullptr;
    int clicks = 0;
};

TEST_F(ImageButton, ClickOnThePicture)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->IsPressed());
}

TEST_F(ImageButton, DraggedOffAndBackStillClicks)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(button->HitRect(), QRect(2, 2, 20, 20));
    QTest::mouseMove(button, QPoint(30, 30));  // off the picture, still on the widget
    EXPECT_FALSE(button->IsPressed());
    QTest::mouseMove(button, QPoint(10, 10));
    EXPECT_FALSE(button->IsPressed());  // coming back does not press again
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImageButton, ReleasedOutsideThePictureDoesNotClick)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(30, 30));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButton, OnlyTheLeftButtonClicks)
{
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseClick(button, Qt::MiddleButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButton, DisabledNeitherPressesNorClicks)
{
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(QColor(button->grab().toImage().pixel(5, 5)), QColor(Qt::gray));
}

TEST_F(ImageButton, DisablingMidPressDropsThePress)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    button->setEnabled(false);
    button->setEnabled(true);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(QColor(button->grab().toImage().pixel(1, 1)), QColor(Qt::green));
}

TEST_F(ImageButton, PressedPictureShiftsUnlessUseDownIsOff)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QImage shot = button->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(21, 21)), QColor(Qt::red));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    button->SetUseDown(false);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->HitRect(), QRect(0, 0, 20, 20));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 2);
}

TEST(ButtonExLogic, GlyphAndCaptionCentreTogether)
{
    const auto plain = buttonex::LayoutContent({75, 25}, {}, {30, 15}, false);
    EXPECT_EQ(plain.caption, QRect(22, 5, 30, 15));
    EXPECT_TRUE(plain.glyph.isEmpty());
    EXPECT_EQ(buttonex::LayoutContent({75, 25}, {}, {30, 15}, true).caption, QRect(22, 7, 30, 15));

    const auto withGlyph = buttonex::LayoutContent({113, 41}, {16, 16}, {40, 15}, false);
    // 16 + 3 + 40 = 59 wide, left at 27
    EXPECT_EQ(withGlyph.glyph, QRect(27, 12, 16, 16));
    EXPECT_EQ(withGlyph.caption, QRect(46, 13, 40, 15));
    const auto pressed = buttonex::LayoutContent({113, 41}, {16, 16}, {40, 15}, true);
    EXPECT_EQ(pressed.glyph, withGlyph.glyph);
    EXPECT_EQ(pressed.caption, QRect(48, 15, 40, 15));  // gap 5, two lower
}

class ButtonEx : public ::testing::Test {
protected:
    void SetUp() override
    {
        button = new TMyButtonEx(&host.window);
        button->move(10, 10);
        button->SetCaption("&OK");
        button->OnClick = [this] { ++clicks; };
        ASSERT_TRUE(host.ShowActive());
    }
    Host host;
    TMyButtonEx* button = nullptr;
    int clicks = 0;
};

TEST_F(ButtonEx, Defaults)
{
    EXPECT_EQ(button->size(), QSize(75, 25));
    EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(button->DefaultColorFrom(), QColor(238, 238, 238));
    EXPECT_EQ(button->ClickColorTo(), QColor(238, 238, 238));
    EXPECT_EQ(button->BorderColor(), QColor(197, 197, 197));
    EXPECT_FALSE(button->DrawFocus());
}

TEST_F(ButtonEx, ClickTakesTheFocus)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(button->IsPressed());
    EXPECT_TRUE(button->hasFocus());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonEx, DraggedOffAndBackDoesNotClick)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(button, QPoint(100, 10));
    EXPECT_FALSE(button->IsPressed());
    QTest::mouseMove(button, QPoint(20, 10));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonEx, AccessKeyAndSpaceClick)
{
    QTest::keyClick(&host.window, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonEx, SharedAccessKeyAlwaysClicksTheFirstButton)
{
    auto* second = new TMyButtonEx(&host.window);
    second->move(10, 50);
    second->SetCaption("&Open");
    int secondClicks = 0;
    second->OnClick = [&secondClicks] { ++secondClicks; };
    second->show();
    QTest::keyClick(&host.window, Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(&host.window, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(secondClicks, 0);
}

TEST_F(ButtonEx, DisabledIgnoresMouseAndAccessKey)
{
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClick(&host.window, Qt::Key_O, Qt::AltModifier);
    button->Click();
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonEx, ProgrammaticClickNeedsAVisibleButton)
{
    button->Click();
    EXPECT_EQ(clicks, 1);
    button->hide();
    button->Click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonEx, DisablingEndsThePress)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    button->setEnabled(false);
    EXPECT_FALSE(button->IsPressed());
    button->setEnabled(true);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonEx, FaceFrameAndRoundedCorners)
{
    button->SetDefaultColorFrom(QColor(200, 0, 0));
    button->SetDefaultColorTo(QColor(0, 0, 200));
    const QImage shot = button->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(40, 2)), QColor(200, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(40, 22)), QColor(0, 0, 200));
    EXPECT_EQ(QColor(shot.pixel(40, 0)), button->BorderColor());
    EXPECT_EQ(QColor(shot.pixel(1, 1)), button->BorderColor());
    EXPECT_FALSE(button->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(button->mask().contains(QPoint(1, 1)));
}
