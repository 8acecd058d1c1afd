#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <QImageReader>
#include <QString>

#include "imaging/FreeBitmap.h"
#include "testImages.h"

namespace imaging {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The size another reader sees: ImageMagick's identify when it is installed, else Qt's reader.
std::string OtherReaderSize(const std::string& path)
{
    const std::string command = "identify -format '%wx%h' '" + path + "' 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char text[64] = {};
        const std::size_t read = std::fread(text, 1, sizeof text - 1, pipe);
        if (pclose(pipe) == 0 && read > 0)
            return std::string(text, read);
    }
    const QSize size = QImageReader(QString::fromStdString(path)).size();
    return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

TEST(FreeBitmap, AllocateGivesLowDepthsAGreyRamp)
{
    TFreeBitmap bitmap;
    EXPECT_FALSE(bitmap.IsValid());
    int changes = 0;
    bitmap.OnChange = [&changes](TFreeBitmap&) { ++changes; };
    ASSERT_TRUE(bitmap.Allocate(FIT_BITMAP, 4, 3, 8));
    EXPECT_TRUE(bitmap.IsValid());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bitmap.Palette()[200].rgbRed, 200);
    EXPECT_EQ(bitmap.Palette()[200].rgbBlue, 200);

    ASSERT_TRUE(bitmap.Allocate(FIT_BITMAP, 4, 3, 4));
    EXPECT_EQ(bitmap.Palette()[15].rgbGreen, 15);

    bitmap.Clear();
    EXPECT_FALSE(bitmap.IsValid());
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(bitmap.Width(), 0u);

    const TFreeBitmap sized(FIT_BITMAP, 5, 6, 24);
    EXPECT_EQ(sized.Width(), 5u);
    EXPECT_EQ(sized.Height(), 6u);
    EXPECT_EQ(sized.Pitch(), 16u);
}

TEST(FreeBitmap, JpegNeedsTwentyFourBitsAndWritesNothingOtherwise)
{
    test::TempFolder folder;
    const std::string name = folder.Path("frame.jpg");
    TFreeBitmap bitmap;
    test::FillGrey(bitmap, 64, 48, 128);
    ASSERT_TRUE(bitmap.ConvertTo32Bits());
    EXPECT_FALSE(bitmap.CanSave(FIF_JPEG));
    EXPECT_TRUE(bitmap.CanSave(FIF_PNG));
    EXPECT_FALSE(bitmap.Save(name, 100));
    EXPECT_FALSE(fs::exists(name));

    ASSERT_TRUE(bitmap.ConvertTo24Bits());
    EXPECT_TRUE(bitmap.Save(name, 100));
    EXPECT_EQ(FreeImage_GetFileType(name.c_str(), 0), FIF_JPEG);
    EXPECT_EQ(OtherReaderSize(name), "64x48");

    EXPECT_FALSE(bitmap.Save(folder.Path("frame.nosuchformat"), 0));
    EXPECT_FALSE(fs::exists(folder.Path("frame.nosuchformat")));
    EXPECT_FALSE(TFreeBitmap().CanSave(FIF_BMP));
    EXPECT_FALSE(bitmap.CanSave(FIF_UNKNOWN));
}

TEST(FreeBitmap, JpegFlagsAreTheQuality)
{
    test::TempFolder folder;
    TFreeBitmap bitmap;
    bitmap.Allocate(FIT_BITMAP, 128, 128, 24);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128 * 3; ++x)
            bitmap.ScanLine(y)[x] = static_cast<std::uint8_t>((x * 37 + y * 91) ^ (x * y));
    ASSERT_TRUE(bitmap.Save(folder.Path("best.jpg"), 100));
    ASSERT_TRUE(bitmap.Save(folder.Path("rough.jpg"), 10));
    EXPECT_GT(fs::file_size(folder.Path("best.jpg")), 2 * fs::file_size(folder.Path("rough.jpg")));
}

TEST(FreeBitmap, SavedFilesOpenElsewhereAtTheirSize)
{
    test::TempFolder folder;
    TFreeBitmap bitmap;
    test::FillGrey(bitmap, 101, 37, 200);
    for (const char* name : {"copy.bmp", "copy.png", "copy.jpg", "COPY.PNG"}) {
        ASSERT_TRUE(bitmap.Save(folder.Path(name), 0)) << name;
        EXPECT_EQ(OtherReaderSize(folder.Path(name)), "101x37") << name;
    }
    EXPECT_EQ(FreeImage_GetFileType(folder.Path("COPY.PNG").c_str(), 0), FIF_PNG);
}

TEST(FreeBitmap, LoadTrustsContentBeforeTheName)
{
    test::TempFolder folder;
    TFreeBitmap bitmap;
    test::FillGrey(bitmap, 20, 10, 90);
    ASSERT_TRUE(bitmap.Save(folder.Path("photo.jpg"), 90));
    fs::rename(folder.Path("photo.jpg"), folder.Path("photo.bmp"));

    TFreeBitmap loaded;
    ASSERT_TRUE(loaded.Load(folder.Path("photo.bmp")));
    EXPECT_EQ(loaded.Width(), 20u);
    EXPECT_EQ(loaded.Height(), 10u);
    EXPECT_EQ(loaded.Bpp(), 24u);
}

TEST(FreeBitmap, UnrecognisedFilesKeepTheImageAndBrokenOnesEmptyIt)
{
    test::TempFolder folder;
    TFreeBitmap bitmap;
    test::FillGrey(bitmap, 20, 10, 90);
    ASSERT_TRUE(bitmap.Save(folder.Path("good.png"), 0));
    std::ofstream(folder.Path("notes.xyz")) << "no picture here";

    TFreeBitmap loaded;
    ASSERT_TRUE(loaded.Load(folder.Path("good.png")));
    EXPECT_FALSE(loaded.Load(folder.Path("notes.xyz")));
    EXPECT_EQ(loaded.Width(), 20u);
    EXPECT_FALSE(loaded.Load(folder.Path("missing.xyz")));
    EXPECT_TRUE(loaded.IsValid());

    // A PNG cut short is recognised by its signature and fails to decode.
    const std::string content = ReadFile(folder.Path("good.png"));
    std::ofstream(folder.Path("cut.png"), std::ios::binary) << content.substr(0, 40);
    EXPECT_FALSE(loaded.Load(folder.Path("cut.png")));
    EXPECT_FALSE(loaded.IsValid());
}

TEST(FreeBitmap, LoadsFromMemoryAndFromTheRestOfAStream)
{
    test::TempFolder folder;
    TFreeBitmap bitmap;
    test::FillGrey(bitmap, 30, 12, 60);
    ASSERT_TRUE(bitmap.Save(folder.Path("p.png"), 0));
    const std::string content = ReadFile(folder.Path("p.png"));

    const TFreeMemoryIO io(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    ASSERT_TRUE(io.IsValid());
    TFreeBitmap fromMemory;
    ASSERT_TRUE(fromMemory.LoadFromMemory(io));
    EXPECT_EQ(fromMemory.Width(), 30u);

    std::istringstream stream("header:" + content);
    stream.seekg(7);
    TFreeBitmap fromStream;
    ASSERT_TRUE(fromStream.LoadFromStream(stream));
    EXPECT_EQ(fromStream.Height(), 12u);

    std::istringstream junk("not a picture at all");
    EXPECT_FALSE(fromStream.LoadFromStream(junk));
    EXPECT_EQ(fromStream.Height(), 12u);
}

TEST(FreeBitmap, RescaleAssignAndReplace)
{
    TFreeBitmap bitmap;
    ASSERT_TRUE(bitmap.Allocate(FIT_BITMAP, 40, 20, 1));
    TFreeBitmap target;
    ASSERT_TRUE(bitmap.Rescale(20, 10, &target));
    EXPECT_EQ(target.Width(), 20u);
    EXPECT_EQ(target.Height(), 10u);
    EXPECT_EQ(bitmap.Bpp(), 8u);  // low depths go through greyscale first
    ASSERT_TRUE(bitmap.Rescale(10, 5));
    EXPECT_EQ(bitmap.Width(), 10u);
    EXPECT_FALSE(TFreeBitmap().Rescale(10, 5));

    FIBITMAP* before = target.Handle();
    target.AssignFrom(target);
    EXPECT_EQ(target.Handle(), before);
    target.AssignFrom(bitmap);
    EXPECT_NE(target.Handle(), bitmap.Handle());
    EXPECT_EQ(target.Width(), 10u);
    target.AssignFrom(TFreeBitmap());
    EXPECT_FALSE(target.IsValid());

    EXPECT_FALSE(bitmap.Replace(nullptr));
    EXPECT_TRUE(bitmap.IsValid());
    EXPECT_FALSE(TFreeBitmap().ConvertTo24Bits());
    EXPECT_TRUE(bitmap.ConvertToGreyscale());
}

}  // namespace
}  // namespace imaging
