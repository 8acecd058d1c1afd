// The capture's files: sizes, names, the adjustments reaching both pictures, and failures that
// must leave nothing behind.
#include "library/capture.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "imaging/FastDIB.h"
#include "imaging/FastFX.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "library/libraryPaths.h"

namespace {

using library::CapturedImageHeight;
using library::TCaptureAdjustments;

void FillNoise(imaging::TFastDIB& buffer, unsigned seed)
{
    std::mt19937 generator(seed);
    for (int i = 0; i < buffer.ImageSize(); ++i)
        buffer.Bits()[i] = static_cast<std::uint8_t>(generator());
}

struct Size {
    unsigned width = 0, height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

Size FileSize(const std::string& path)
{
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(path))
        return {};
    return {bitmap.Width(), bitmap.Height()};
}

std::string Folder(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("image")).toStdString();
}

TEST(CapturedImageHeight, FollowsTheDisplayAspectOnlyWhenAskedAndKnown)
{
    struct Case {
        int width, height;
        double aspect;
        bool keep;
        int expected;
    };
    const Case cases[] = {
        {720, 576, 16.0 / 9.0, true, 405},
        {720, 576, 16.0 / 9.0, false, 576},
        {640, 480, 4.0 / 3.0, true, 480},
        {640, 480, 4.0 / 3.0, false, 480},
        {720, 576, 0, true, 576},  // no ratio known: the stored height
        {1920, 1080, 16.0 / 9.0, true, 1080},
        {5, 4, 2.0, true, 2},  // 2.5 goes to the even neighbour
        {7, 4, 2.0, true, 4},  // 3.5 too
    };
    for (const Case& c : cases)
        EXPECT_EQ(CapturedImageHeight(c.width, c.height, c.aspect, c.keep), c.expected)
            << c.width << "x" << c.height << " at " << c.aspect << (c.keep ? " kept" : " not kept");
}

TEST(ImageStem, IsTheTagFollowedByTheTicksAndNeverReusesAStemOnDisk)
{
    EXPECT_EQ(library::ImageStem("Kd3RmTqa", 48213906u), "Kd3RmTqa48213906");
    EXPECT_EQ(library::ImageStem("Kd3RmTqa", 0u), "Kd3RmTqa0");
    EXPECT_EQ(library::ImageStem("Kd3RmTqa", 4294967295u), "Kd3RmTqa4294967295");

    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    // The first candidate's image exists, the second's thumbnail: both are passed over.
    std::ofstream(library::ImageFile(folder, std::string("Aa1bbbbb1"))) << "taken";
    std::ofstream(library::ThumbnailFile(folder, std::string("Aa1bbbbb2"))) << "taken";
    const char* candidates[] = {"Aa1bbbbb1", "Aa1bbbbb2", "Aa1bbbbb3"};
    int drawn = 0;
    EXPECT_EQ(library::NewImageStem(folder, [&] { return std::string(candidates[drawn++]); }), "Aa1bbbbb3");
    EXPECT_EQ(drawn, 3);
}

TEST(ImageStem, FreshStemsHaveTheTagsShapeAndDiffer)
{
    QTemporaryDir dir;
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const std::string stem = library::NewImageStem(dir.path().toStdString());
        ASSERT_GT(stem.size(), 8u) << stem;
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(stem[0]))) << stem;
        bool digitInTag = false;
        for (std::size_t k = 1; k < 8; ++k) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(stem[k]))) << stem;
            digitInTag = digitInTag || std::isdigit(static_cast<unsigned char>(stem[k]));
        }
        EXPECT_TRUE(digitInTag) << stem;
        for (std::size_t k = 8; k < stem.size(); ++k)
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stem[k]))) << stem;
        EXPECT_TRUE(stem.size() == 9 || stem[8] != '0') << "no leading zeros: " << stem;
        seen.insert(stem);
    }
    EXPECT_EQ(seen.size(), 50u);
}

struct SizeCase {
    int width, height;
    double aspect;
    bool keep;
    Size image, thumbnail;
};

class WriteCaptureSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(WriteCaptureSizes, ImageKeepsTheWidthAndTheThumbnailIsThePreview)
{
    const SizeCase c = GetParam();
    QTemporaryDir dir;
    imaging::TFastDIB frame, preview;
    frame.Allocate(c.width, c.height, 32);
    FillNoise(frame, 7);
    imaging::FitToBox(frame, preview, library::PreviewBoxWidth, library::PreviewBoxHeight, c.aspect);
    TCaptureAdjustments adjustments;
    adjustments.KeepAspect = c.keep;
    const auto result = library::WriteCapture(frame, preview, adjustments, c.aspect, Folder(dir));
    ASSERT_TRUE(result.Saved) << result.FailedFile;
    EXPECT_EQ(FileSize(library::ImageFile(Folder(dir), result.Stem)), c.image);
    EXPECT_EQ(FileSize(library::ThumbnailFile(Folder(dir), result.Stem)), c.thumbnail);
}

INSTANTIATE_TEST_SUITE_P(Frames, WriteCaptureSizes,
    ::testing::Values(SizeCase{720, 576, 16.0 / 9.0, true, {720, 405}, {312, 176}},
        SizeCase{720, 576, 16.0 / 9.0, false, {720, 576}, {312, 176}},
        SizeCase{640, 480, 4.0 / 3.0, true, {640, 480}, {260, 195}},
        SizeCase{640, 480, 4.0 / 3.0, false, {640, 480}, {260, 195}},
        SizeCase{720, 576, 0, true, {720, 576}, {244, 195}}));

// JPEG at quality 100 still moves values a little; a picture that took the wrong adjustments,
// or none, is far off.
double MeanDifference(const imaging::TFastDIB& expected, const std::string& file)
{
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(file) || !bitmap.ConvertTo32Bits())
        return 1e9;
    imaging::TFastDIB picture;
    imaging::BitmapToBuffer(bitmap, picture);
    if (picture.Width() != expected.Width() || picture.AbsHeight() != expected.AbsHeight())
        return 1e9;
    double sum = 0;
    for (int row = 0; row < picture.AbsHeight(); ++row)
        for (int x = 0; x < picture.Width() * 4; ++x)
            if (x % 4 != 3)
                sum += std::abs(picture.RowPointers()[row][x] - expected.RowPointers()[row][x]);
    return sum / (picture.Width() * picture.AbsHeight() * 3.0);
}

void PaintGradient(imaging::TFastDIB& frame)
{
    for (int row = 0; row < frame.AbsHeight(); ++row)
        for (int x = 0; x < frame.Width(); ++x) {
            std::uint8_t* p = frame.RowPointers()[row] + x * 4;
            p[0] = static_cast<std::uint8_t>(x * 255 / frame.Width());
            p[1] = static_cast<std::uint8_t>(row * 255 / frame.AbsHeight());
            p[2] = static_cast<std::uint8_t>(128);
            p[3] = 0;
        }
}

TEST(WriteCapture, AdjustsTheFullFrameInTheDialogsOrderAndSavesTheThumbnailAsGiven)
{
    QTemporaryDir dir;
    imaging::TFastDIB frame, expected, thumbnail;
    frame.Allocate(320, 240, 32);
    PaintGradient(frame);
    expected.Allocate(320, 240, 32);
    std::memcpy(expected.Bits(), frame.Bits(), static_cast<std::size_t>(frame.ImageSize()));
    const TCaptureAdjustments adjustments{-60, 40, 100, false};
    imaging::AdjustLightness(expected, -60);
    imaging::AdjustContrast(expected, 40);
    imaging::AdjustSaturation(expected, 100);
    thumbnail.Allocate(200, 150, 32);
    PaintGradient(thumbnail);

    const auto result = library::WriteCapture(frame, thumbnail, adjustments, 4.0 / 3.0, Folder(dir));
    ASSERT_TRUE(result.Saved);
    EXPECT_LT(MeanDifference(expected, library::ImageFile(Folder(dir), result.Stem)), 1.5);
    EXPECT_LT(MeanDifference(thumbnail, library::ThumbnailFile(Folder(dir), result.Stem)), 1.5);
}

TEST(WriteCapture, CreatesTheMissingFolderAndWritesJpegFiles)
{
    QTemporaryDir dir;
    imaging::TFastDIB frame, preview;
    frame.Allocate(64, 48, 32);
    FillNoise(frame, 3);
    imaging::FitToBox(frame, preview, 312, 195, 0);
    ASSERT_FALSE(std::filesystem::exists(Folder(dir)));
    const auto result = library::WriteCapture(frame, preview, {}, 0, Folder(dir));
    ASSERT_TRUE(result.Saved);
    for (const std::string& file :
         {library::ImageFile(Folder(dir), result.Stem), library::ThumbnailFile(Folder(dir), result.Stem)})
        EXPECT_EQ(FreeImage_GetFileType(file.c_str(), 0), FIF_JPEG) << file;
}

TEST(WriteCapture, AFolderThatCannotBeMadeFailsAndLeavesNoFile)
{
    QTemporaryDir dir;
    // A file where the folder's parent should be.
    const std::string blocker = dir.filePath(QStringLiteral("blocker")).toStdString();
    std::ofstream(blocker) << "not a folder";
    imaging::TFastDIB frame, preview;
    frame.Allocate(64, 48, 32);
    FillNoise(frame, 5);
    imaging::FitToBox(frame, preview, 312, 195, 0);
    const auto result = library::WriteCapture(frame, preview, {}, 0, blocker + "/image");
    EXPECT_FALSE(result.Saved);
    EXPECT_FALSE(result.FailedFile.empty());
}

TEST(WriteCapture, AnEmptyThumbnailFailsAndTakesTheImageBackOut)
{
    QTemporaryDir dir;
    imaging::TFastDIB frame, noThumbnail;
    frame.Allocate(64, 48, 32);
    FillNoise(frame, 9);
    const auto result = library::WriteCapture(frame, noThumbnail, {}, 0, Folder(dir));
    EXPECT_FALSE(result.Saved);
    EXPECT_EQ(result.FailedFile, library::ThumbnailFile(Folder(dir), result.Stem));
    EXPECT_FALSE(std::filesystem::exists(library::ImageFile(Folder(dir), result.Stem)));
    EXPECT_TRUE(std::filesystem::is_empty(Folder(dir)));
}

}  // namespace

namespace {

// The capture leaves out a rescale to the frame's own size; that is only sound while FreeImage's
// bicubic filter gives such a picture back unchanged.
TEST(WriteCapture, ASameSizeBicubicRescaleChangesNoByte)
{
    imaging::TFastDIB frame;
    frame.Allocate(97, 41, 32);
    FillNoise(frame, 13);
    imaging::TFreeBitmap original, rescaled;
    imaging::BufferToBitmap(frame, original);
    imaging::BufferToBitmap(frame, rescaled);
    ASSERT_TRUE(rescaled.Rescale(97, 41, nullptr, FILTER_BICUBIC));
    ASSERT_EQ(rescaled.Width(), 97u);
    ASSERT_EQ(rescaled.Height(), 41u);
    for (int line = 0; line < 41; ++line)
        ASSERT_EQ(std::memcmp(original.ScanLine(line), rescaled.ScanLine(line), 97 * 4), 0) << line;
}

}  // namespace
