// The new-image and category dialogs: set-up, live preview, keys and the refused empty name.
#include "library/newImageForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <random>
#include <vector>

#include "imaging/FastDIB.h"
#include "imaging/FastFX.h"
#include "library/newCategoryForm.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"

namespace {

imaging::TFastDIB& Preview()
{
    static imaging::TFastDIB preview;
    if (preview.Bits() == nullptr) {
        preview.Allocate(312, 176, 32);
        std::mt19937 generator(11);
        for (int i = 0; i < preview.ImageSize(); ++i)
            preview.Bits()[i] = static_cast<std::uint8_t>(generator());
    }
    return preview;
}

std::vector<std::uint8_t> Bytes(const imaging::TFastDIB& buffer)
{
    return {buffer.Bits(), buffer.Bits() + buffer.ImageSize()};
}

// Runs `drive` once the dialog's modal loop is running, and returns what Execute gave.
template <class Dialog, class Drive>
bool ExecuteWith(Dialog& dialog, Drive drive)
{
    QTimer::singleShot(0, &dialog, [&dialog, drive] { drive(dialog); });
    return dialog.Execute();
}

TEST(NewImageDialog, OpensAsTheCaptureDialog)
{
    TnewImageDlg dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "New Image");
    EXPECT_EQ(dialog.size(), QSize(895, 623));
    EXPECT_EQ(dialog.etName->text(), "Untitled");
    EXPECT_TRUE(dialog.etCategory->text().isEmpty());
    EXPECT_TRUE(dialog.etCategory->isReadOnly());
    EXPECT_TRUE(dialog.cbAspect->isChecked());
    EXPECT_EQ(dialog.cbAspect->text(), "Aspect Ratio");
    EXPECT_EQ(dialog.gbPanel->title(), "Post Processing");
    EXPECT_EQ(dialog.btnOk->Caption(), "&OK");
    EXPECT_EQ(dialog.btnCancel->Caption(), "&Cancel");
    EXPECT_EQ(dialog.btReset->Caption(), "&Reset");
    EXPECT_EQ(dialog.imgView->geometry(), QRect(123, 45, 312, 195));
    EXPECT_EQ(dialog.etName->toolTip(), "label for the image");

    struct Bar {
        QSlider* bar;
        QLabel* value;
        int minimum, maximum, initial;
    };
    for (const Bar& b : {Bar{dialog.tbLightness, dialog.lbLightness, -255, 255, 0},
             Bar{dialog.tbContrast, dialog.lbContrast, -128, 128, 0},
             Bar{dialog.tbSaturation, dialog.lbSaturation, 0, 510, 255}}) {
        SCOPED_TRACE(b.bar->objectName().toStdString());
        EXPECT_EQ(b.bar->minimum(), b.minimum);
        EXPECT_EQ(b.bar->maximum(), b.maximum);
        EXPECT_EQ(b.bar->value(), b.initial);
        EXPECT_EQ(b.value->text(), QString::number(b.initial));
    }
    EXPECT_EQ(dialog.Adjustments(), (library::TCaptureAdjustments{0, 0, 255, true}));
}

TEST(NewImageDialog, TabGoesNameOkCancelThenTheRestAndSkipsTheCategory)
{
    TnewImageDlg dialog(nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    dialog.etName->setFocus();
    const std::vector<QWidget*> order{dialog.btnOk, dialog.btnCancel, dialog.etComment, dialog.cbAspect,
        dialog.tbLightness, dialog.tbContrast, dialog.tbSaturation, dialog.btReset, dialog.etName};
    QWidget* current = dialog.etName;
    for (QWidget* next : order) {
        current = current->nextInFocusChain();
        while (!(current->focusPolicy() & Qt::TabFocus) || !current->isVisibleTo(&dialog))
            current = current->nextInFocusChain();
        EXPECT_EQ(current, next) << current->objectName().toStdString() << " instead of "
                                 << next->objectName().toStdString();
    }
    EXPECT_FALSE(dialog.etCategory->focusPolicy() & Qt::TabFocus);
    // A click into the category box hands the focus on to the name. The focus event is sent
    // directly: without a window manager the dialog may never become the active window.
    dialog.etCategory->setFocus(Qt::MouseFocusReason);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(dialog.etCategory, &focusIn);
    EXPECT_EQ(dialog.focusWidget(), dialog.etName);
}

TEST(NewImageDialog, EverySliderMoveRecomputesThePreviewFromTheOriginal)
{
    TnewImageDlg dialog(nullptr);
    dialog.SetPreview(Preview());
    EXPECT_EQ(Bytes(dialog.OriginalPreview), Bytes(Preview()));
    EXPECT_EQ(Bytes(dialog.AdjustedPreview), Bytes(Preview()));

    dialog.tbLightness->setValue(-70);
    dialog.tbContrast->setValue(33);
    dialog.tbSaturation->setValue(400);
    EXPECT_EQ(dialog.lbLightness->text(), "-70");
    EXPECT_EQ(dialog.lbContrast->text(), "33");
    EXPECT_EQ(dialog.lbSaturation->text(), "400");

    imaging::TFastDIB expected;
    expected.Allocate(Preview().Width(), Preview().AbsHeight(), 32);
    std::memcpy(expected.Bits(), Preview().Bits(), static_cast<std::size_t>(Preview().ImageSize()));
    imaging::AdjustLightness(expected, -70);
    imaging::AdjustContrast(expected, 33);
    imaging::AdjustSaturation(expected, 400);
    EXPECT_EQ(Bytes(dialog.AdjustedPreview), Bytes(expected));
    EXPECT_EQ(Bytes(dialog.OriginalPreview), Bytes(Preview())) << "the original is never adjusted";

    // The view shows the adjusted picture, centred on black.
    const QImage view = dialog.imgView->Picture().toImage();
    EXPECT_EQ(view.size(), QSize(312, 195));
    EXPECT_EQ(QColor(view.pixel(150, 5)), QColor(Qt::black));
    const std::uint32_t shown = expected.PixelAt(100, 50) & 0xFFFFFF;
    EXPECT_EQ(view.pixel(100, 50 + (195 - 176) / 2) & 0xFFFFFF, shown);

    dialog.show();
    dialog.btReset->Click();
    EXPECT_EQ(dialog.Adjustments(), (library::TCaptureAdjustments{0, 0, 255, true}));
    EXPECT_EQ(dialog.lbLightness->text(), "0");
    EXPECT_EQ(dialog.lbContrast->text(), "0");
    EXPECT_EQ(dialog.lbSaturation->text(), "255");
    std::memcpy(expected.Bits(), Preview().Bits(), static_cast<std::size_t>(Preview().ImageSize()));
    imaging::AdjustSaturation(expected, 255);
    EXPECT_EQ(Bytes(dialog.AdjustedPreview), Bytes(expected)) << "reset recomputes from the unadjusted frame";
}

TEST(NewImageDialog, EnterInTheNameAcceptsAndEnterInTheCommentStartsALine)
{
    TnewImageDlg dialog(nullptr);
    const bool accepted = ExecuteWith(dialog, [](TnewImageDlg& d) {
        d.etComment->setFocus();
        QTest::keyClicks(d.etComment, "first");
        QTest::keyClick(d.etComment, Qt::Key_Return);
        QTest::keyClicks(d.etComment, "second");
        EXPECT_TRUE(d.isVisible()) << "Enter in the comment must not close the dialog";
        d.etName->setFocus();
        d.etName->selectAll();
        QTest::keyClicks(d.etName, "Beach");
        QTest::keyClick(d.etName, Qt::Key_Return);
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(dialog.Accepted);
    EXPECT_EQ(dialog.etName->text(), "Beach");
    EXPECT_EQ(dialog.CommentText(), "first\r\nsecond");
}

TEST(NewImageDialog, EscCancelsFromAnyControl)
{
    for (const char* name : {"etName", "etComment", "cbAspect", "tbSaturation", "btReset", "btnOk"}) {
        SCOPED_TRACE(name);
        TnewImageDlg dialog(nullptr);
        const bool accepted = ExecuteWith(dialog, [name](TnewImageDlg& d) {
            auto* control = d.findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(control, nullptr);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Escape);
            if (d.isVisible())
                d.reject();  // a failure must not hang the run
        });
        EXPECT_FALSE(accepted);
        EXPECT_FALSE(dialog.Accepted);
    }
}

TEST(NewImageDialog, TheEditSetUpHidesTheAdjustmentsAndShowsTheThumbnailUnscaled)
{
    TnewImageDlg dialog(nullptr);
    imaging::TFastDIB thumbnail;
    thumbnail.Allocate(100, 60, 32);
    thumbnail.FillColor({0, 0, 255});
    dialog.SetEditMode(QStringLiteral("Holiday"), thumbnail);
    EXPECT_EQ(dialog.windowTitle(), "Edit Item");
    EXPECT_EQ(dialog.width(), 565);
    EXPECT_FALSE(dialog.gbPanel->isEnabled());
    EXPECT_TRUE(dialog.gbPanel->isHidden());
    EXPECT_EQ(dialog.etCategory->text(), "Holiday");
    const QImage view = dialog.imgView->Picture().toImage();
    EXPECT_EQ(QColor(view.pixel(156, 97)), QColor(Qt::red));
    EXPECT_EQ(QColor(view.pixel(156 - 51, 97)), QColor(Qt::black)) << "drawn at its own size";
    EXPECT_EQ(QColor(view.pixel(156 - 50, 97)), QColor(Qt::red));

    TnewImageDlg loose(nullptr);
    loose.SetEditMode(QString(), imaging::TFastDIB());
    EXPECT_TRUE(loose.etCategory->text().isEmpty());
    EXPECT_EQ(QColor(loose.imgView->Picture().toImage().pixel(156, 97)), QColor(Qt::black));
}

TEST(CategoryDialog, RefusesOnlyTheEmptyName)
{
    TnewCategoryDlg dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "New Category");
    EXPECT_EQ(dialog.size(), QSize(529, 214));
    EXPECT_EQ(dialog.etName->toolTip(), "category name");
    EXPECT_EQ(dialog.etCaption->toolTip(), "subtitle for the category");
    QStringList messages;
    bool stayedOpen = false;
    const bool accepted = ExecuteWith(dialog, [&](TnewCategoryDlg& d) {
        // The refusal is modal itself: answer it from the next turn of its loop.
        QTimer::singleShot(0, &d, [&messages, &d] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) {
                messages << box->text();
                EXPECT_EQ(box->icon(), QMessageBox::Information);
                EXPECT_EQ(box->parentWidget(), &d);
                box->accept();
            }
        });
        d.btnOk->Click();
        stayedOpen = d.isVisible();
        d.etName->setText(QStringLiteral(" "));
        QTest::keyClick(d.etCaption, Qt::Key_Return);
    });
    EXPECT_EQ(messages, QStringList{"no valid category name!"});
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(dialog.etName->text(), " ");
}

TEST(CategoryDialog, EscCancels)
{
    TnewCategoryDlg dialog(nullptr);
    const bool accepted = ExecuteWith(dialog, [](TnewCategoryDlg& d) {
        d.etName->setText(QStringLiteral("Holiday"));
        QTest::keyClick(d.etCaption, Qt::Key_Escape);
        if (d.isVisible())
            d.reject();
    });
    EXPECT_FALSE(accepted);
}

}  // namespace
