// Capture and the library commands on the real main window, with the real decoder, videos made
// by ffmpeg, and the library's files in the program's folder.
#include "app/uiManager.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/mainForm.h"
#include "imaging/FastDIB.h"
#include "imaging/FastFX.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "library/libraryCommands.h"
#include "library/newCategoryForm.h"
#include "library/newImageForm.h"
#include "library/treeManager.h"
#include "platform/appFolder.h"
#include "playback/SDLPanel.h"
#include "playback/playManager.h"
#include "aspectClips.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"

namespace {

using playback::PlayManager;
using testing_support::Clips;
using testing_support::TempFolder;

std::string LibraryFile()
{
    return platform::ApplicationFolder() + "list";
}

std::string ImageFolder()
{
    return platform::ApplicationFolder() + "image";
}

std::string ImagePath(const QString& uri)
{
    return ImageFolder() + "/" + uri.toStdString() + ".jpg";
}

std::string ThumbnailPath(const QString& uri)
{
    return ImageFolder() + "/" + uri.toStdString() + "_thumbnail.jpg";
}

void RemoveLibrary()
{
    std::error_code error;
    std::filesystem::remove(LibraryFile(), error);
    std::filesystem::remove_all(ImageFolder(), error);
}

QSize PictureSize(const std::string& path)
{
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(path))
        return {};
    return QSize(static_cast<int>(bitmap.Width()), static_cast<int>(bitmap.Height()));
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// 8 characters (an upper-case letter, then letters and digits with a digit among them), then the
// tick count.
bool HasStemShape(const QString& uri)
{
    const std::string stem = uri.toStdString();
    if (stem.size() < 9 || !std::isupper(static_cast<unsigned char>(stem[0])))
        return false;
    bool digit = false;
    for (std::size_t i = 1; i < 8; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(stem[i])))
            return false;
        digit = digit || std::isdigit(static_cast<unsigned char>(stem[i]));
    }
    for (std::size_t i = 8; i < stem.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(stem[i])))
            return false;
    return digit;
}

// Receives what the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

class LibraryCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        ASSERT_TRUE(Clips().made) << "ffmpeg could not make the test videos";
        RemoveLibrary();
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_NE(TreeManager, nullptr);
        // A message box would block the test: note it and answer it.
        watchdog.setInterval(30);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            boxes << box->text();
            stateDuringBox = PlayManager->State;
            QAbstractButton* button = box->button(answer);
            if (button != nullptr)
                button->click();
            else
                box->reject();
        });
        watchdog.start();
    }

    void TearDown() override
    {
        watchdog.stop();
        TnewImageDlg::BeforeExecute = nullptr;
        TnewCategoryDlg::BeforeExecute = nullptr;
        library::ChooseCopyFile = savedChooser;
        window.reset();
        RemoveLibrary();
    }

    void Open(const std::string& path)
    {
        const QString file = QString::fromStdString(path);
        UIManager->ChooseVideoFile = [file] { return file; };
        window->tmiOpen->trigger();
        PlayManager->WaitForThumbnails();
    }

    // Runs the capture command; `fill` sees the dialog inside its modal loop, then OK or Cancel.
    void Capture(const std::function<void(TnewImageDlg&)>& fill = {}, bool accept = true)
    {
        TnewImageDlg::BeforeExecute = [fill, accept](TnewImageDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, fill, accept] {
                if (fill)
                    fill(dialog);
                if (accept)
                    QTest::keyClick(dialog.etName, Qt::Key_Return);
                else
                    QTest::keyClick(dialog.etComment, Qt::Key_Escape);
            });
        };
        window->tbiCapture->trigger();
        TnewImageDlg::BeforeExecute = nullptr;
    }

    void NewCategory(const QString& name, const QString& caption = {})
    {
        TnewCategoryDlg::BeforeExecute = [name, caption](TnewCategoryDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, name, caption] {
                dialog.etName->setText(name);
                dialog.etCaption->setText(caption);
                dialog.btnOk->Click();
            });
        };
        window->tbiNewCategory->trigger();
        TnewCategoryDlg::BeforeExecute = nullptr;
    }

    // A 720 x 576 picture with samples of 64:45 is exactly 16:9, where the thumbnail height is a
    // tie (175.5) that halves-to-even settles at 176.
    static QSize WideThumbnail()
    {
        EXPECT_EQ(UIManager->Panel()->AspectRatio(), 16.0 / 9.0);
        return QSize(312, 176);
    }

    const TImageLibraryNodeData* Focused() const { return TreeManager->FocusedNodeData(); }
    int TopLevelCount() const { return TreeManager->RootNode()->childCount(); }

    std::unique_ptr<TmainDlg> window;
    QTimer watchdog;
    QStringList boxes;
    QMessageBox::StandardButton answer = QMessageBox::No;
    TPlayState stateDuringBox = psNoFile;
    std::function<library::TSaveChoice(QWidget*)> savedChooser = library::ChooseCopyFile;
};

TEST_F(LibraryCommands, CaptureWhilePlayingPausesForTheDialogAndResumes)
{
    Open(Clips().wide);
    window->tbiPlay->trigger();
    ASSERT_EQ(PlayManager->State, psPlaying);
    TPlayState during = psNoFile;
    QString category = QStringLiteral("unset");
    Capture([&](TnewImageDlg& d) {
        during = PlayManager->State;
        category = d.etCategory->text();
    });
    EXPECT_EQ(during, psPaused);
    EXPECT_TRUE(category.isEmpty());
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_TRUE(window->tbiPause->isEnabled()) << "the command states follow the resumed playback";

    ASSERT_NE(Focused(), nullptr);
    ASSERT_EQ(Focused()->Kind, nkItem);
    const TImageLibraryItemData item = Focused()->Item;
    EXPECT_EQ(item.Name, "Untitled");
    EXPECT_TRUE(item.Caption.isEmpty());
    EXPECT_TRUE(HasStemShape(item.Uri)) << item.Uri.toStdString();
    EXPECT_EQ(TreeManager->FocusedNode()->parent(), TreeManager->RootNode());
    EXPECT_EQ(PictureSize(ImagePath(item.Uri)), QSize(720, 405));
    EXPECT_EQ(PictureSize(ThumbnailPath(item.Uri)), WideThumbnail());

    // Cancel resumes too, and adds nothing.
    const int before = TopLevelCount();
    Capture({}, false);
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_EQ(TopLevelCount(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ImageFolder()), {}), 2);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(" | ").toStdString();
}

TEST_F(LibraryCommands, CaptureWhilePausedStaysPausedAndSizesFollowTheAspectBox)
{
    Open(Clips().wide);
    window->tbiPlay->trigger();
    window->tbiPause->trigger();
    ASSERT_EQ(PlayManager->State, psPaused);
    Capture([](TnewImageDlg& d) { d.cbAspect->setChecked(false); });
    EXPECT_EQ(PlayManager->State, psPaused);
    ASSERT_NE(Focused(), nullptr);
    EXPECT_EQ(PictureSize(ImagePath(Focused()->Item.Uri)), QSize(720, 576));
    EXPECT_EQ(PictureSize(ThumbnailPath(Focused()->Item.Uri)), WideThumbnail());

    Open(Clips().standard);
    window->tbiPlay->trigger();
    window->tbiStep->trigger();
    ASSERT_EQ(PlayManager->State, psPaused);
    for (bool aspect : {true, false}) {
        Capture([aspect](TnewImageDlg& d) { d.cbAspect->setChecked(aspect); });
        ASSERT_NE(Focused(), nullptr);
        EXPECT_EQ(PictureSize(ImagePath(Focused()->Item.Uri)), QSize(640, 480)) << aspect;
        EXPECT_EQ(PictureSize(ThumbnailPath(Focused()->Item.Uri)), QSize(260, 195)) << aspect;
    }
}

TEST_F(LibraryCommands, AFailedSaveIsReportedAndAddsNoItem)
{
    // A file where the image folder should be: neither picture can be written.
    std::ofstream(ImageFolder()) << "in the way";
    Open(Clips().standard);
    window->tbiPlay->trigger();
    answer = QMessageBox::Ok;
    Capture();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.front().startsWith("The image could not be saved")) << boxes.front().toStdString();
    EXPECT_EQ(stateDuringBox, psPaused);
    EXPECT_EQ(TopLevelCount(), 0);
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_TRUE(std::filesystem::is_regular_file(ImageFolder()));
}

TEST_F(LibraryCommands, CaptureDoesNothingWithoutAPlayingOrPausedVideo)
{
    bool shown = false;
    TnewImageDlg::BeforeExecute = [&shown](TnewImageDlg& d) {
        shown = true;
        QTimer::singleShot(0, &d, [&d] { d.reject(); });
    };
    UIManager->CaptureCommand();
    Open(Clips().standard);
    UIManager->CaptureCommand();  // opened, not played
    window->tbiPlay->trigger();
    window->tbiStop->trigger();
    UIManager->CaptureCommand();  // stopped
    EXPECT_FALSE(shown);
    EXPECT_EQ(TopLevelCount(), 0);
}

TEST_F(LibraryCommands, TheThumbnailIsThePreviewAsTheSlidersLeftIt)
{
    Open(Clips().standard);
    window->tbiPlay->trigger();
    window->tbiPause->trigger();
    std::vector<std::uint8_t> adjusted;
    bool matches = false;
    Capture([&](TnewImageDlg& d) {
        d.tbLightness->setValue(40);
        d.tbContrast->setValue(-30);
        d.tbSaturation->setValue(120);
        imaging::TFastDIB expected;
        expected.Allocate(d.OriginalPreview.Width(), d.OriginalPreview.AbsHeight(), 32);
        std::memcpy(expected.Bits(), d.OriginalPreview.Bits(), static_cast<std::size_t>(expected.ImageSize()));
        imaging::AdjustLightness(expected, 40);
        imaging::AdjustContrast(expected, -30);
        imaging::AdjustSaturation(expected, 120);
        matches = std::memcmp(expected.Bits(), d.AdjustedPreview.Bits(), static_cast<std::size_t>(expected.ImageSize())) == 0;
        adjusted.assign(expected.Bits(), expected.Bits() + expected.ImageSize());
    });
    EXPECT_TRUE(matches);
    ASSERT_NE(Focused(), nullptr);

    imaging::TFreeBitmap file;
    ASSERT_TRUE(file.Load(ThumbnailPath(Focused()->Item.Uri)));
    ASSERT_TRUE(file.ConvertTo32Bits());
    ASSERT_EQ(file.Width(), 260u);
    ASSERT_EQ(file.Height(), 195u);
    // The file went through JPEG at quality 100: close to the adjusted preview, byte for byte
    // in the mean.
    double sum = 0;
    for (unsigned row = 0; row < 195; ++row)
        for (unsigned x = 0; x < 260 * 4; ++x)
            if (x % 4 != 3)
                sum += std::abs(file.ScanLine(static_cast<int>(row))[x] - adjusted[row * 260 * 4 + x]);
    EXPECT_LT(sum / (260.0 * 195 * 3), 2.0);
}

TEST_F(LibraryCommands, CaptureFromAFocusedCategoryAppendsThereAndOpensIt)
{
    NewCategory(QStringLiteral("Holiday"), QStringLiteral("Summer"));
    ASSERT_NE(Focused(), nullptr);
    ASSERT_EQ(Focused()->Kind, nkCategory);
    QTreeWidgetItem* category = TreeManager->FocusedNode();
    category->setExpanded(false);

    Open(Clips().standard);
    window->tbiPlay->trigger();
    window->tbiPause->trigger();
    window->vstImage->setCurrentItem(category);
    QString shownCategory = QStringLiteral("unset");
    Capture([&](TnewImageDlg& d) { shownCategory = d.etCategory->text(); });
    EXPECT_TRUE(shownCategory.isEmpty()) << "the category box stays empty during capture";
    ASSERT_EQ(category->childCount(), 1);
    EXPECT_TRUE(category->isExpanded());
    EXPECT_EQ(TreeManager->FocusedNode(), category->child(0));

    // With the category's item focused the next one goes to the same category.
    Capture();
    EXPECT_EQ(category->childCount(), 2);
    EXPECT_EQ(TopLevelCount(), 1);
}

TEST_F(LibraryCommands, TwoCapturesInARowGetDifferentStemsAndTheIndexKeepsThem)
{
    Open(Clips().standard);
    window->tbiPlay->trigger();
    window->tbiPause->trigger();
    Capture([](TnewImageDlg& d) {
        d.etName->setText(QStringLiteral("Café <one>"));
        d.SetCommentText(QStringLiteral("first line\nsecond line"));
    });
    ASSERT_NE(Focused(), nullptr);
    const QString first = Focused()->Item.Uri;
    Capture();
    const QString second = Focused()->Item.Uri;
    EXPECT_NE(first, second);
    EXPECT_TRUE(HasStemShape(first)) << first.toStdString();
    EXPECT_TRUE(HasStemShape(second)) << second.toStdString();

    window.reset();  // the index is written at shutdown
    const std::string index = ReadText(LibraryFile());
    EXPECT_NE(index.find("<uri>" + first.toStdString() + "</uri>"), std::string::npos) << index;
    EXPECT_NE(index.find("<uri>" + second.toStdString() + "</uri>"), std::string::npos) << index;
    EXPECT_NE(index.find("<name>Caf&#xE9; &lt;one&gt;</name>"), std::string::npos) << index;
    EXPECT_NE(index.find("<comment>first line\r\nsecond line</comment>"), std::string::npos) << index;
}

TEST_F(LibraryCommands, EditingAnItemChangesItsNameAndCommentOnly)
{
    NewCategory(QStringLiteral("Holiday"));
    Open(Clips().standard);
    window->tbiPlay->trigger();
    Capture();
    ASSERT_EQ(PlayManager->State, psPlaying);
    const TImageLibraryItemData before = Focused()->Item;
    const std::string imageBytes = ReadText(ImagePath(before.Uri));
    const std::string thumbnailBytes = ReadText(ThumbnailPath(before.Uri));

    bool checked = false;
    TPlayState during = psNoFile;
    TnewImageDlg::BeforeExecute = [&](TnewImageDlg& d) {
        QTimer::singleShot(0, &d, [&] {
            during = PlayManager->State;
            EXPECT_EQ(d.windowTitle(), "Edit Item");
            EXPECT_EQ(d.width(), 565);
            EXPECT_TRUE(d.gbPanel->isHidden());
            EXPECT_EQ(d.etCategory->text(), "Holiday");
            EXPECT_EQ(d.etName->text(), "Untitled");
            // The stored thumbnail, unscaled, centred in the preview.
            const QImage view = d.imgView->Picture().toImage();
            EXPECT_EQ(QColor(view.pixel(10, 97)), QColor(Qt::black));
            EXPECT_NE(QColor(view.pixel(156, 97)), QColor(Qt::black));
            d.cbAspect->setChecked(false);  // has no effect here
            d.etName->setText(QStringLiteral("Beach"));
            d.SetCommentText(QStringLiteral("first day"));
            checked = true;
            d.btnOk->Click();
        });
    };
    window->tmiEdit->trigger();
    EXPECT_TRUE(checked);
    EXPECT_EQ(during, psPaused);
    EXPECT_EQ(PlayManager->State, psPlaying);

    const TImageLibraryItemData after = Focused()->Item;
    EXPECT_EQ(after.Name, "Beach");
    EXPECT_EQ(after.Comment, "first day");
    EXPECT_EQ(after.Uri, before.Uri);
    EXPECT_EQ(ReadText(ImagePath(after.Uri)), imageBytes);
    EXPECT_EQ(ReadText(ThumbnailPath(after.Uri)), thumbnailBytes);
    EXPECT_EQ(TreeManager->FocusedNode()->parent()->childCount(), 1);

    window.reset();
    const std::string index = ReadText(LibraryFile());
    EXPECT_NE(index.find("<name>Beach</name>"), std::string::npos) << index;
    EXPECT_NE(index.find("<comment>first day</comment>"), std::string::npos) << index;
    EXPECT_EQ(index.find("Untitled"), std::string::npos) << index;
}

TEST_F(LibraryCommands, EditingACategoryAndTheRefusedEmptyName)
{
    NewCategory(QStringLiteral("Holiday"), QStringLiteral("Summer"));
    QString title, name, caption;
    TnewCategoryDlg::BeforeExecute = [&](TnewCategoryDlg& d) {
        QTimer::singleShot(0, &d, [&] {
            title = d.windowTitle();
            name = d.etName->text();
            caption = d.etCaption->text();
            d.etName->clear();
            d.btnOk->Click();  // refused: the box is answered by the watchdog
            d.etName->setText(QStringLiteral("Winter"));
            d.etCaption->setText(QString());
            d.btnOk->Click();
        });
    };
    window->tbiEdit->trigger();
    EXPECT_EQ(title, "Edit Category");
    EXPECT_EQ(name, "Holiday");
    EXPECT_EQ(caption, "Summer");
    EXPECT_EQ(boxes, QStringList{"no valid category name!"});
    ASSERT_NE(Focused(), nullptr);
    EXPECT_EQ(Focused()->Category.Name, "Winter");
    EXPECT_TRUE(Focused()->Category.Caption.isEmpty());

    // Editing the root does nothing.
    bool shown = false;
    TnewCategoryDlg::BeforeExecute = [&shown](TnewCategoryDlg& d) {
        shown = true;
        QTimer::singleShot(0, &d, [&d] { d.reject(); });
    };
    window->vstImage->setCurrentItem(TreeManager->RootNode());
    window->tbiEdit->trigger();
    EXPECT_FALSE(shown);
}

TEST_F(LibraryCommands, NewCategoryPausesAPlayingVideoAndGoesToTheEnd)
{
    Open(Clips().standard);
    window->tbiPlay->trigger();
    Capture();
    TPlayState during = psNoFile;
    TnewCategoryDlg::BeforeExecute = [&during](TnewCategoryDlg& d) {
        QTimer::singleShot(0, &d, [&] {
            during = PlayManager->State;
            d.etName->setText(QStringLiteral("Holiday"));
            QTest::keyClick(d.etName, Qt::Key_Return);
        });
    };
    window->tmiCategory->trigger();
    EXPECT_EQ(during, psPaused);
    EXPECT_EQ(PlayManager->State, psPlaying);
    ASSERT_EQ(TopLevelCount(), 2);
    EXPECT_EQ(TreeManager->FocusedNode(), TreeManager->RootNode()->child(1));
    EXPECT_EQ(Focused()->Category.Name, "Holiday");
}

TEST_F(LibraryCommands, DeleteAsksAndOnlyYesRemovesTheFiles)
{
    Open(Clips().standard);
    window->tbiPlay->trigger();
    Capture();
    const QString uri = Focused()->Item.Uri;

    answer = QMessageBox::No;
    window->tbiDelete->trigger();
    EXPECT_EQ(boxes, QStringList{"Are you sure want to delete the item?"});
    EXPECT_EQ(stateDuringBox, psPlaying) << "delete does not pause";
    EXPECT_TRUE(std::filesystem::exists(ImagePath(uri)));
    EXPECT_EQ(TopLevelCount(), 1);

    answer = QMessageBox::Yes;
    window->tpmiDelete->trigger();
    EXPECT_FALSE(std::filesystem::exists(ImagePath(uri)));
    EXPECT_FALSE(std::filesystem::exists(ThumbnailPath(uri)));
    EXPECT_EQ(TopLevelCount(), 0);
    EXPECT_TRUE(window->imgThumbnail->Picture().isNull());

    // A category with items goes with every item's files, after the other question.
    NewCategory(QStringLiteral("Holiday"));
    QTreeWidgetItem* category = TreeManager->FocusedNode();
    Capture();
    Capture();
    QStringList uris;
    for (int i = 0; i < category->childCount(); ++i)
        uris << TTreeManager::NodeData(category->child(i))->Item.Uri;
    ASSERT_EQ(uris.size(), 2);
    window->vstImage->setCurrentItem(category);
    boxes.clear();
    answer = QMessageBox::Cancel;
    window->tmiDelete->trigger();
    EXPECT_EQ(TopLevelCount(), 1);
    answer = QMessageBox::Yes;
    window->tmiDelete->trigger();
    EXPECT_EQ(boxes, QStringList(2, QStringLiteral("Are you sure want to delete the whole category?\n\r"
                                                   "All images under the category will be deleted!")));
    EXPECT_EQ(TopLevelCount(), 0);
    for (const QString& gone : uris) {
        EXPECT_FALSE(std::filesystem::exists(ImagePath(gone)));
        EXPECT_FALSE(std::filesystem::exists(ThumbnailPath(gone)));
    }
    EXPECT_EQ(PlayManager->State, psPlaying);
}

TEST_F(LibraryCommands, SaveWritesACopyByTheChosenEntrysRule)
{
    Open(Clips().standard);
    window->tbiPlay->trigger();
    window->tbiPause->trigger();
    Capture([](TnewImageDlg& d) { d.cbAspect->setChecked(false); });
    TempFolder out;
    struct Case {
        const char* typed;
        int entry;
        const char* written;
        FREE_IMAGE_FORMAT format;
    };
    const Case cases[] = {
        {"shot", 3, "shot.png", FIF_PNG},
        {"shot.png", 1, "shot.png.bmp", FIF_BMP},
        {"upper.JPG", 2, "upper.JPG", FIF_JPEG},
        {"long.jpeg", 2, "long.jpeg.jpg", FIF_JPEG},
        {"plain", 1, "plain.bmp", FIF_BMP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        int asked = 0;
        library::ChooseCopyFile = [&](QWidget*) {
            ++asked;
            return library::TSaveChoice{QString::fromStdString(out.File(c.typed)), c.entry};
        };
        window->tmiSave->trigger();
        EXPECT_EQ(asked, 1);
        const std::string written = out.File(c.written);
        EXPECT_EQ(FreeImage_GetFileType(written.c_str(), 0), c.format);
        EXPECT_EQ(PictureSize(written), QSize(640, 480));
        if (c.format == FIF_BMP) {
            imaging::TFreeBitmap bitmap;
            ASSERT_TRUE(bitmap.Load(written));
            EXPECT_EQ(bitmap.Bpp(), 24u);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(out.File("shot.bmp")));
    // A copy that cannot be written says so.
    library::ChooseCopyFile = [&](QWidget*) {
        return library::TSaveChoice{QString::fromStdString(out.File("missing/shot.png")), 3};
    };
    boxes.clear();
    window->tmiSave->trigger();
    EXPECT_EQ(boxes, QStringList{QStringLiteral("The image could not be saved:\n") + QString::fromStdString(out.File("missing/shot.png"))});

    // Cancelled, on a category, on the root: nothing is written.
    library::ChooseCopyFile = [](QWidget*) { return library::TSaveChoice{}; };
    window->tpmiSave->trigger();
    int asked = 0;
    library::ChooseCopyFile = [&](QWidget*) {
        ++asked;
        return library::TSaveChoice{QString::fromStdString(out.File("never")), 1};
    };
    NewCategory(QStringLiteral("Holiday"));
    window->tmiSave->trigger();
    window->vstImage->setCurrentItem(TreeManager->RootNode());
    window->tmiSave->trigger();
    EXPECT_EQ(asked, 0);
}

TEST_F(LibraryCommands, OpenFolderShowsTheImageFolderForCategoriesAndItems)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    window->vstImage->setCurrentItem(TreeManager->RootNode());
    window->tmiOpenFolder->trigger();
    EXPECT_TRUE(catcher.urls.isEmpty());
    NewCategory(QStringLiteral("Holiday"));
    window->tmiOpenFolder->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front().toLocalFile().toStdString(), ImageFolder());
}

}  // namespace

#include "commands_test.moc"
