#include "playback/frameTools.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>

#include <climits>
#include <memory>

#include "imaging/FastDIB.h"
#include "imaging/clipboardImage.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageExporter.h"
#include "playback/SDLPanel.h"
#include "playback/frameViewForm.h"
#include "playback/playManager.h"

namespace playback {

void ViewFrame(QWidget* owner, TPlayManager& player)
{
    TframeViewDlg dialog(owner);
    dialog.SetFrame(player.CurrentFrameImage(), player.Panel != nullptr ? player.Panel->AspectRatio() : 0.0);
    dialog.Execute();
}

void SaveFrame(QWidget* owner, TPlayManager& player)
{
    QString fileName;
    int filterIndex = 0;
    const bool chosen = imaging::TImageExporter::ChooseFile(owner, fileName, filterIndex);
    if (owner != nullptr)
        owner->repaint();
    if (!chosen || fileName.isEmpty())
        return;
    imaging::TImageExporter exporter;
    {
        imaging::TFastDIB frame;
        player.CurrentFrame(frame);
        imaging::BufferToBitmap(frame, exporter.Bitmap());
    }
    if (exporter.Bitmap().ConvertTo24Bits() && exporter.SaveAs(fileName, filterIndex))
        return;
    const QString target = imaging::TImageExporter::TargetFor(fileName, filterIndex).FileName;
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
        QStringLiteral("The frame could not be saved:\n%1").arg(target.isEmpty() ? fileName : target), QMessageBox::Ok,
        owner);
    box.exec();
}

QImage DisplayFrame(const QImage& frame, double aspect)
{
    if (frame.isNull() || aspect <= 0)
        return frame;
    // A box as wide as the frame and unboundedly high: the fit keeps the width and rounds the
    // height as a capture does.
    const imaging::TPictureSize size = imaging::FitToBoxSize(frame.width(), frame.height(), frame.width(), INT_MAX, aspect);
    if (size.Height <= 0 || size.Height == frame.height())
        return frame;
    const QImage source = frame.convertToFormat(QImage::Format_RGB32);
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Allocate(FIT_BITMAP, source.width(), source.height(), 32))
        return frame;
    for (int y = 0; y < source.height(); ++y)
        imaging::CopyPixels(source.constScanLine(y), bitmap.ScanLine(source.height() - 1 - y),
            static_cast<std::size_t>(source.width()));
    if (!bitmap.Rescale(size.Width, size.Height, nullptr, FILTER_BICUBIC) || !bitmap.ConvertTo32Bits())
        return frame;
    QImage shown(size.Width, size.Height, QImage::Format_RGB32);
    imaging::BitmapToBitmap32(bitmap, shown);
    return shown;
}

void CopyFrame(TPlayManager& player)
{
    const QImage shown =
        DisplayFrame(player.CurrentFrameImage(), player.Panel != nullptr ? player.Panel->AspectRatio() : 0.0);
    if (shown.isNull())
        return;
    std::unique_ptr<QMimeData> data = imaging::ImageMimeData(shown);
    // The clipboard takes the data over.
    QApplication::clipboard()->setMimeData(data.release());
}

}  // namespace playback
