#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "imaging/imageExporter.h"
#include "testImages.h"

namespace imaging {
namespace {

TEST(ImageExporter, FilterListInDialogForm)
{
    EXPECT_EQ(TImageExporter::FilterText(), QStringLiteral("24-bit BMP (*.bmp);;JPEG (*.jpg);;PNG (*.png)"));
    EXPECT_EQ(TImageExporter::FilterIndex(QStringLiteral("24-bit BMP (*.bmp)")), 1);
    EXPECT_EQ(TImageExporter::FilterIndex(QStringLiteral("JPEG (*.jpg)")), 2);
    EXPECT_EQ(TImageExporter::FilterIndex(QStringLiteral("PNG (*.png)")), 3);
    EXPECT_EQ(TImageExporter::FilterIndex(QStringLiteral("GIF (*.gif)")), 0);
}

struct TargetCase {
    const char* name;
    int filter;
    const char* expected;
    int flags;
};

TEST(ImageExporter, ChosenEntryDecidesExtensionAndFlags)
{
    const TargetCase cases[] = {
        {"photo", 3, "photo.png", 0},
        {"photo.PNG", 3, "photo.PNG", 0},
        {"a.JPG", 2, "a.JPG", 80},
        {"a.png", 2, "a.png.jpg", 80},
        {"a", 1, "a.bmp", 0},
        {"/home/u/trip.2024/photo", 3, "/home/u/trip.2024/photo.png", 0},
        {"shot.bmp", 1, "shot.bmp", 0},
    };
    for (const TargetCase& c : cases)
        EXPECT_EQ(TImageExporter::TargetFor(QString::fromUtf8(c.name), c.filter),
            (TExportTarget{QString::fromUtf8(c.expected), c.flags}))
            << c.name;
    EXPECT_TRUE(TImageExporter::TargetFor(QStringLiteral("a"), 0).FileName.isEmpty());
}

TEST(ImageExporter, SaveAsWritesTheChosenFormat)
{
    test::TempFolder folder;
    TImageExporter exporter;
    test::FillGrey(exporter.Bitmap(), 16, 8, 30);
    const QString base = QString::fromStdString(folder.Path("photo"));
    ASSERT_TRUE(exporter.SaveAs(base, 2));
    EXPECT_EQ(FreeImage_GetFileType(folder.Path("photo.jpg").c_str(), 0), FIF_JPEG);
    ASSERT_TRUE(exporter.SaveAs(base, 1));
    EXPECT_EQ(FreeImage_GetFileType(folder.Path("photo.bmp").c_str(), 0), FIF_BMP);
    ASSERT_TRUE(exporter.SaveAs(base + QStringLiteral(".PNG"), 3));
    EXPECT_EQ(FreeImage_GetFileType(folder.Path("photo.PNG").c_str(), 0), FIF_PNG);

    ASSERT_TRUE(exporter.Bitmap().ConvertTo32Bits());
    EXPECT_FALSE(exporter.SaveAs(QString::fromStdString(folder.Path("deep")), 2));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("deep.jpg")));
}

TEST(ImageExporter, EmptyBitmapOpensNoDialog)
{
    bool dialogShown = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dialogShown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });
    guard.start(1000);
    TImageExporter exporter;
    exporter.Execute();
    EXPECT_FALSE(dialogShown);
}

}  // namespace
}  // namespace imaging
