// The PDF export: the document's structure, and real readers of it (qpdf, poppler).
#include "export/PDFExporter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>

#include "exportTestUtil.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "widgets/Image.h"

namespace {

// A picture with detail in it, so that a wrong placement or scale shows in the comparison; smooth
// enough that decoders which upsample colour differently still agree.
bool MakePatternJpeg(const QString& path, int width, int height)
{
    imaging::TFreeBitmap bitmap;
    bitmap.Allocate(FIT_BITMAP, width, height, 24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<std::uint8_t>(x * 255 / width);
            row[x * 3 + 1] = static_cast<std::uint8_t>(y * 255 / height);
            row[x * 3 + 2] = static_cast<std::uint8_t>(127 + 100 * std::sin(x / 23.0) * std::cos(y / 17.0));
        }
    }
    return bitmap.Save(path.toStdString(), 90);
}

QString RunTool(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForFinished(30000);
    if (exitCode != nullptr)
        *exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
}

double Psnr(const QString& a, const QString& b)
{
    imaging::TFreeBitmap first, second;
    if (!first.Load(a.toStdString()) || !second.Load(b.toStdString()) || !first.ConvertTo24Bits()
        || !second.ConvertTo24Bits() || first.Width() != second.Width() || first.Height() != second.Height())
        return 0;
    double squares = 0;
    for (unsigned y = 0; y < first.Height(); ++y)
        for (unsigned x = 0; x < first.Width() * 3; ++x) {
            const double d = double(first.ScanLine(static_cast<int>(y))[x]) - second.ScanLine(static_cast<int>(y))[x];
            squares += d * d;
        }
    const double mean = squares / (double(first.Width()) * first.Height() * 3);
    return mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean);
}

class Pdf : public ::testing::Test {
protected:
    Pdf()
        : store(root.path().toStdString() + "/")
    {
        QDir(root.path()).mkpath(QStringLiteral("image"));
        tree = new QTreeWidget(&window);
        manager = std::make_unique<TTreeManager>(
            TLibraryTreeControls{tree, new TImage(&window), new QMenu(&window), {}}, store,
            root.path().toStdString() + "/");
        manager->AddCategoryNode({QStringLiteral("Holiday"), {}});
        EXPECT_TRUE(MakePatternJpeg(Jpeg(), 640, 480));
        TImageLibraryItemData item;
        item.Name = QStringLiteral("Beach");
        item.Uri = QStringLiteral("Kd3RmTqa1");
        manager->AddItemNode(item);
    }
    ~Pdf() override { exporting::ChoosePdfFile = saved; }

    QString Jpeg() const { return root.filePath(QStringLiteral("image/Kd3RmTqa1.jpg")); }
    void Choose(const QString& name)
    {
        exporting::ChoosePdfFile = [this, name](QWidget*) {
            ++dialogs;
            return name;
        };
    }

    QTemporaryDir root;
    QWidget window;
    QTreeWidget* tree = nullptr;
    TListManager store;
    std::unique_ptr<TTreeManager> manager;
    int dialogs = 0;
    std::function<QString(QWidget*)> saved = exporting::ChoosePdfFile;
};

TEST_F(Pdf, DocumentHoldsTheJpegUnchangedWithEveryOffsetRight)
{
    const QByteArray jpeg = exporttest::ReadAll(Jpeg());
    std::tm when {};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 9;
    when.tm_hour = 7;
    when.tm_min = 5;
    when.tm_sec = 3;
    const std::string view(jpeg.constData(), static_cast<std::size_t>(jpeg.size()));
    const std::optional<exporting::TJpegSize> size = exporting::ReadJpegSize(view);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->Width, 640);
    EXPECT_EQ(size->Height, 480);
    EXPECT_FALSE(exporting::ReadJpegSize("not a picture"));
    const std::string pdf = exporting::PdfDocument(view, *size, when);

    EXPECT_TRUE(pdf.starts_with("%PDF-1.2 \r\n1 0 obj\r\n"));
    EXPECT_NE(pdf.find("/OpenAction [4 0 R /XYZ -1 490 1]"), std::string::npos);
    EXPECT_NE(pdf.find("/CreationDate (D:20261209070503) /ModDate (D:20261209070503)"), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [0 0 640 480]"), std::string::npos);
    EXPECT_NE(pdf.find("stream\r\nq\n640 0 0 480 0 0 cm\n/Im1 Do\nQ\n\nendstream"), std::string::npos);
    const std::string lengthKey = "/Length " + std::to_string(jpeg.size()) + " >>\r\nstream\r\n";
    const std::size_t data = pdf.find(lengthKey);
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(pdf.substr(data + lengthKey.size(), view.size()), view);

    const std::size_t xref = pdf.rfind("xref\r\n0 7\r\n0000000000 65535 f\r\n");
    ASSERT_NE(xref, std::string::npos);
    EXPECT_TRUE(pdf.ends_with("trailer\r\n<< /Size 7 /Root 1 0 R /Info 2 0 R >>\r\nstartxref\r\n"
                              + std::to_string(xref) + "\r\n%%EOF\r\n"));
    for (int object = 1; object <= 6; ++object) {
        const std::string entry = pdf.substr(xref + 31 + (object - 1) * 20, 20);
        ASSERT_TRUE(entry.ends_with(" 00000 n\r\n")) << entry;
        const std::size_t offset = std::stoul(entry.substr(0, 10));
        EXPECT_EQ(pdf.substr(offset, 8), std::to_string(object) + " 0 obj\r") << "object " << object;
    }
}

TEST_F(Pdf, ExportedDocumentPassesQpdfAndRendersAsThePicture)
{
    const QString out = root.filePath(QStringLiteral("Beach.txt"));
    Choose(out);
    exporting::ExportPdf(&window, *manager);
    const QString pdf = out + QStringLiteral(".pdf");
    ASSERT_TRUE(QFile::exists(pdf));

    int code = -1;
    const QString check = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}, &code);
    EXPECT_EQ(code, 0) << check.toStdString();
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+640 x 480 pts")))) << info.toStdString();
    RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), pdf, root.filePath(QStringLiteral("page"))});
    EXPECT_GT(Psnr(root.filePath(QStringLiteral("page.png")), Jpeg()), 35.0);

    // A name that ends in .PDF is taken as it is; the earlier document is replaced.
    Choose(pdf.left(pdf.size() - 4) + QStringLiteral(".PDF"));
    exporting::ExportPdf(&window, *manager);
    EXPECT_TRUE(QFile::exists(out + QStringLiteral(".PDF")));
    EXPECT_FALSE(QFile::exists(out + QStringLiteral(".PDF.pdf")));
}

TEST_F(Pdf, OnlyAnItemWithItsPictureAsksForAName)
{
    Choose(root.filePath(QStringLiteral("x.pdf")));
    tree->setCurrentItem(manager->RootNode()->child(0));
    exporting::ExportPdf(&window, *manager);
    tree->setCurrentItem(manager->RootNode());
    exporting::ExportPdf(&window, *manager);
    tree->setCurrentItem(manager->RootNode()->child(0)->child(0));
    QFile::remove(Jpeg());
    exporting::ExportPdf(&window, *manager);
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(QFile::exists(root.filePath(QStringLiteral("x.pdf"))));
}

TEST_F(Pdf, AFailedWriteIsReportedAndLeavesNoDocument)
{
    const QString target = root.filePath(QStringLiteral("missing/folder/Beach.pdf"));
    Choose(target);
    QString shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    answer.start(20);
    exporting::ExportPdf(&window, *manager);
    EXPECT_TRUE(shown.contains(target)) << shown.toStdString();
    EXPECT_FALSE(QFile::exists(target));
}

}  // namespace
