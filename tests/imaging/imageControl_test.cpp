// The crop and resize tools on an image control that is never shown.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "imaging/FreeBitmap.h"
#include "imaging/imageControl.h"
#include "testImages.h"

namespace imaging {
namespace {

// A picture whose every pixel tells where it came from.
std::uint32_t PatternAt(int x, int y)
{
    return static_cast<std::uint32_t>(((x & 255) << 16) | ((y & 255) << 8) | ((x * 7 + y * 3) & 255));
}

void SavePattern(const std::string& path, int width, int height)
{
    TFastDIB buffer;
    buffer.Allocate(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            buffer.SetPixelAt(x, y, PatternAt(x, y));
    TFreeBitmap bitmap;
    BufferToBitmap(buffer, bitmap);
    ASSERT_TRUE(bitmap.Save(path));
}

class CropTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = folder.Path("pattern.png");
        SavePattern(path, 200, 100);
        control.LoadImageFile(QString::fromStdString(path));
        ASSERT_EQ(control.width(), 200);
        ASSERT_EQ(control.height(), 100);
    }

    void Drag(QPoint from, QPoint to)
    {
        tool.MouseDown(Qt::LeftButton, {}, from.x(), from.y());
        tool.MouseMove({}, from.x() + (to.x() - from.x()) / 2, from.y() + (to.y() - from.y()) / 2);
        tool.MouseMove({}, to.x(), to.y());
        tool.MouseUp(Qt::LeftButton, {}, to.x(), to.y());
    }

    test::TempFolder folder;
    TImageControl control;
    TImageCropTool tool{control};
};

TEST_F(CropTool, HandlesAtThePictureEdgeLieInsideTheSelectionAndSizeIt)
{
    Drag({0, 0}, {50, 40});
    EXPECT_EQ(tool.Selection, (TCropRect{0, 0, 50, 40}));
    EXPECT_EQ(tool.HandleRects[0], (TCropRect{0, 0, 8, 8}));
    EXPECT_EQ(tool.HandleRects[1], (TCropRect{50, 0, 58, 8}));
    EXPECT_EQ(tool.HandleRects[3], (TCropRect{0, 40, 8, 48}));
    // Inside the selection, but on a handle: the press takes the corner, not the whole.
    tool.MouseDown(Qt::LeftButton, {}, 3, 3);
    EXPECT_EQ(tool.DragState, TImageCropTool::dsSizing);
    EXPECT_EQ(tool.ActiveHandle, 0);
    tool.MouseMove({}, 10, 12);
    tool.MouseUp(Qt::LeftButton, {}, 10, 12);
    EXPECT_EQ(tool.Selection, (TCropRect{10, 12, 50, 40}));
}

TEST_F(CropTool, MovingPastTheRightEdgeKeepsTheWidthUntilTheLeftEdgeLeaves)
{
    Drag({10, 10}, {60, 40});
    tool.MouseDown(Qt::LeftButton, {}, 20, 20);
    EXPECT_EQ(tool.DragState, TImageCropTool::dsMoving);
    tool.MouseMove({}, 200, 20);
    EXPECT_EQ(tool.Selection, (TCropRect{150, 10, 200, 40}));
    // Every move counts from the press: the left edge at 270 parks the selection at the left.
    tool.MouseMove({}, 280, 20);
    EXPECT_EQ(tool.Selection, (TCropRect{0, 10, 5, 40}));
    tool.MouseUp(Qt::LeftButton, {}, 280, 20);
    EXPECT_EQ(tool.CommittedSelection, tool.Selection);
}

TEST_F(CropTool, CornerDraggedPastTheOppositeOneFlipsAndStaysInHand)
{
    Drag({20, 20}, {60, 60});
    tool.MouseDown(Qt::LeftButton, {}, 15, 15);  // handle 0 lies outside the selection here
    ASSERT_EQ(tool.DragState, TImageCropTool::dsSizing);
    tool.MouseMove({}, 100, 90);
    EXPECT_EQ(tool.Selection, (TCropRect{60, 60, 100, 90}));
    tool.MouseMove({}, 110, 95);
    EXPECT_EQ(tool.Selection, (TCropRect{60, 60, 110, 95}));
    tool.MouseMove({}, 300, -30);
    EXPECT_EQ(tool.Selection, (TCropRect{60, 0, 200, 60}));
}

TEST_F(CropTool, ClickWithoutMoveLeavesNothingToCrop)
{
    Drag({20, 20}, {60, 60});
    Drag({100, 50}, {100, 50});
    EXPECT_TRUE(tool.Selection.IsEmpty());
    for (const TCropRect& handle : tool.HandleRects)
        EXPECT_TRUE(handle.IsEmpty());
    EXPECT_FALSE(tool.Crop());
    EXPECT_EQ(control.WorkingImage.Width(), 200);
    // The abandoned selection's handles take no press.
    tool.MouseDown(Qt::LeftButton, {}, 62, 62);
    EXPECT_EQ(tool.DragState, TImageCropTool::dsDrawing);
}

TEST_F(CropTool, SecondCropCutsFromTheFirstAndUndoGoesBackToTheLoadedPicture)
{
    Drag({110, 70}, {10, 20});  // drawn backwards
    ASSERT_TRUE(tool.Crop());
    EXPECT_EQ(control.size(), QSize(100, 50));
    EXPECT_EQ(control.WorkingImage.PixelAt(0, 0), PatternAt(10, 20));
    EXPECT_TRUE(tool.Selection.IsEmpty());

    Drag({5, 5}, {25, 15});
    ASSERT_TRUE(tool.Crop());
    EXPECT_EQ(control.size(), QSize(20, 10));
    EXPECT_EQ(control.WorkingImage.PixelAt(0, 0), PatternAt(15, 25));
    EXPECT_EQ(control.WorkingImage.PixelAt(19, 9), PatternAt(34, 34));

    tool.Undo();
    EXPECT_EQ(control.size(), QSize(200, 100));
    EXPECT_EQ(test::Bytes(control.WorkingImage), test::Bytes(control.OriginalImage));
    Drag({0, 0}, {30, 30});
    ASSERT_TRUE(tool.Crop());
    EXPECT_EQ(control.WorkingImage.PixelAt(29, 29), PatternAt(29, 29));
}

TEST_F(CropTool, SelectionIsShownInvertedOverThePicture)
{
    Drag({40, 30}, {120, 80});
    const QImage shown = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto inverted = [](std::uint32_t rgb) { return (rgb ^ 0x00FFFFFFu) | 0xFF000000u; };
    EXPECT_EQ(shown.pixel(60, 30), inverted(PatternAt(60, 30)));    // top edge
    EXPECT_EQ(shown.pixel(119, 60), inverted(PatternAt(119, 60)));  // right edge
    EXPECT_EQ(shown.pixel(60, 50), PatternAt(60, 50) | 0xFF000000u);  // inside
    EXPECT_EQ(shown.pixel(32, 22), inverted(PatternAt(32, 22)));    // handle 0 at (32, 22)

    // At the picture's edge handle 0 lies on the outline: where both pass, the picture shows
    // through, as under a pen that inverts.
    Drag({0, 0}, {50, 40});
    const QImage edge = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(edge.pixel(4, 0), PatternAt(4, 0) | 0xFF000000u);
    EXPECT_EQ(edge.pixel(4, 7), inverted(PatternAt(4, 7)));
    EXPECT_EQ(edge.pixel(60, 30), PatternAt(60, 30) | 0xFF000000u);  // the old outline is gone
}

TEST(ResizeTool, ResizesFromTheLoadedPictureSoABackAndForthIsExact)
{
    test::TempFolder folder;
    const std::string path = folder.Path("photo.jpg");
    SavePattern(path, 64, 48);
    TImageControl control;
    TImageResizeTool tool(control);
    control.LoadImageFile(QString::fromStdString(path));
    EXPECT_FALSE(tool.ResizeTo(64, 48));
    ASSERT_TRUE(tool.ResizeTo(32, 24));
    EXPECT_EQ(control.size(), QSize(32, 24));
    ASSERT_TRUE(tool.ResizeTo(64, 48));
    EXPECT_EQ(test::Bytes(control.WorkingImage), test::Bytes(control.OriginalImage));
}

}  // namespace
}  // namespace imaging
