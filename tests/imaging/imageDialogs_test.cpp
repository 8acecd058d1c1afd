// The crop and resize dialogs driven like a user would, on JPEG files made here.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "imaging/FreeBitmap.h"
#include "imaging/cropForm.h"
#include "imaging/imageControl.h"
#include "imaging/resizeForm.h"
#include "messageBoxAnswerer.h"
#include "testImages.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/MyButtonEx.h"

namespace imaging {
namespace {

using testing_support::MessageBoxAnswerer;

const QString SaveQuestion = QStringLiteral("Image changed, confirm saving?");
const QString Saved = QStringLiteral("Image is saved!");
const QString QuitQuestion = QStringLiteral("Image changed, confirm quitting?");

class ImageDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        TFreeBitmap bitmap;
        test::FillGrey(bitmap, 640, 480, 90);
        for (int x = 0; x < 640; ++x)
            test::SetGrey(bitmap, x, x * 480 / 640, 250);
        path = QString::fromStdString(folder.Path("photo.jpg"));
        ASSERT_TRUE(bitmap.Save(path.toStdString(), 100));
    }

    template <typename Dialog>
    void Open(Dialog& dialog)
    {
        dialog.LoadImageFile(path);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    static void Type(TMyFlatEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    static QSize Size(const TImageEditDlg& dialog)
    {
        return {dialog.Control().WorkingImage.Width(), dialog.Control().WorkingImage.AbsHeight()};
    }

    test::TempFolder folder;
    QString path;
    MessageBoxAnswerer boxes;
};

TEST_F(ImageDialogs, CropSavesWhatWasConfirmedAndAsksBeforeQuittingAChange)
{
    TcropDlg dialog(nullptr);
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Crop Image"));
    EXPECT_EQ(dialog.lbInfo->text(), QStringLiteral("[640x480] - ") + path);
    dialog.btnSave->Click();
    EXPECT_TRUE(boxes.Texts.isEmpty()) << "Save without a change shows nothing";
    dialog.btnAction->Click();
    EXPECT_FALSE(dialog.Changed) << "no selection, nothing cut";

    TImageCropTool& tool = dialog.Tool();
    const auto select = [&tool] {
        tool.MouseDown(Qt::LeftButton, {}, 100, 50);
        tool.MouseMove({}, 300, 200);
        tool.MouseUp(Qt::LeftButton, {}, 300, 200);
    };
    select();
    dialog.btnAction->Click();
    EXPECT_TRUE(dialog.Changed);
    EXPECT_EQ(dialog.lbInfo->text(), QStringLiteral("[200x150] - ") + path);
    dialog.btnUndo->Click();
    EXPECT_FALSE(dialog.Changed);
    EXPECT_EQ(dialog.lbInfo->text(), QStringLiteral("[640x480] - ") + path);

    select();
    dialog.btnAction->Click();
    dialog.btnSave->Click();
    EXPECT_EQ(boxes.Texts, (QStringList{SaveQuestion, Saved}));
    EXPECT_TRUE(dialog.SaveRequested);
    EXPECT_FALSE(dialog.Changed);

    // A second crop, abandoned at the quit question, is not what gets written.
    tool.MouseDown(Qt::LeftButton, {}, 0, 0);
    tool.MouseMove({}, 20, 10);
    tool.MouseUp(Qt::LeftButton, {}, 20, 10);
    dialog.btnAction->Click();
    boxes.Texts.clear();
    boxes.Answer = QMessageBox::No;
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    boxes.Answer = QMessageBox::Yes;
    dialog.btnClose->Click();
    EXPECT_EQ(boxes.Texts, (QStringList{QuitQuestion, QuitQuestion}));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.SavedImage.Width(), 200);
    EXPECT_EQ(dialog.SavedImage.AbsHeight(), 150);
}

TEST_F(ImageDialogs, ConstrainedResizeThereAndBackGivesTheLoadedPicture)
{
    TresizeDlg dialog(nullptr);
    Open(dialog);
    EXPECT_EQ(dialog.minimumSize(), dialog.size());
    EXPECT_EQ(dialog.etWidth->text(), QStringLiteral("640"));
    EXPECT_EQ(dialog.etHeight->text(), QStringLiteral("480"));
    ASSERT_TRUE(dialog.cbConstrain->isChecked());

    Type(dialog.etWidth, QStringLiteral("320"));
    EXPECT_EQ(dialog.etHeight->text(), QStringLiteral("240"));
    dialog.btnAction->Click();
    EXPECT_EQ(Size(dialog), QSize(320, 240));
    EXPECT_EQ(dialog.lbInfo->text(), QStringLiteral("[320x240] - ") + path);

    Type(dialog.etWidth, QStringLiteral("640"));
    dialog.btnAction->Click();
    EXPECT_EQ(test::Bytes(dialog.Control().WorkingImage), test::Bytes(dialog.Control().OriginalImage));
    EXPECT_TRUE(dialog.Changed) << "changed, though the picture is the loaded one";
    EXPECT_TRUE(boxes.Texts.isEmpty());
}

TEST_F(ImageDialogs, ProportionFollowsTheWorkingSizeAfterAnUnconstrainedResize)
{
    TresizeDlg dialog(nullptr);
    Open(dialog);
    dialog.cbConstrain->setChecked(false);
    Type(dialog.etWidth, QStringLiteral("300"));
    EXPECT_EQ(dialog.etHeight->text(), QStringLiteral("480"));
    Type(dialog.etHeight, QStringLiteral("300"));
    dialog.btnAction->Click();
    EXPECT_EQ(Size(dialog), QSize(300, 300));

    dialog.cbConstrain->setChecked(true);
    EXPECT_EQ(dialog.etHeight->text(), QStringLiteral("300"));
    Type(dialog.etWidth, QStringLiteral("150"));
    EXPECT_EQ(dialog.etHeight->text(), QStringLiteral("150")) << "not 112 from 640 x 480";
    dialog.btnAction->Click();
    EXPECT_EQ(Size(dialog), QSize(150, 150));

    dialog.btnUndo->Click();
    EXPECT_EQ(Size(dialog), QSize(640, 480));
    EXPECT_EQ(dialog.etWidth->text(), QStringLiteral("640"));
    EXPECT_EQ(dialog.etHeight->text(), QStringLiteral("480"));
    EXPECT_FALSE(dialog.Changed);
}

TEST_F(ImageDialogs, SizesOfZeroOrAbove16384AreRefused)
{
    TresizeDlg dialog(nullptr);
    Open(dialog);
    dialog.cbConstrain->setChecked(false);
    const QString sizes[][2] = {{"0", "480"}, {"640", "0"}, {"16385", "480"}, {"99999999", "99999999"}};
    for (const auto& size : sizes) {
        dialog.etWidth->setText(size[0]);
        dialog.etHeight->setText(size[1]);
        dialog.btnAction->Click();
    }
    EXPECT_EQ(boxes.Texts.size(), 4);
    EXPECT_EQ(Size(dialog), QSize(640, 480));
    EXPECT_FALSE(dialog.Changed);

    // Constrained, the height that follows counts too: 5000 wide at 1:4 is 20000 high.
    dialog.etWidth->setText(QStringLiteral("100"));
    dialog.etHeight->setText(QStringLiteral("400"));
    dialog.btnAction->Click();
    dialog.cbConstrain->setChecked(true);
    dialog.etWidth->setText(QStringLiteral("5000"));
    dialog.btnAction->Click();
    EXPECT_EQ(boxes.Texts.size(), 5);
    EXPECT_EQ(Size(dialog), QSize(100, 400));

    dialog.cbConstrain->setChecked(false);
    dialog.etWidth->setText(QStringLiteral("16384"));
    dialog.etHeight->setText(QStringLiteral("2"));
    dialog.btnAction->Click();
    EXPECT_EQ(Size(dialog), QSize(16384, 2));
    EXPECT_EQ(boxes.Texts.size(), 5);
}

}  // namespace
}  // namespace imaging
