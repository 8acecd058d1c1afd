#include "library/libraryCommands.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageExporter.h"

namespace library {

std::function<TSaveChoice(QWidget* owner)> ChooseCopyFile = [](QWidget* owner) {
    QFileDialog dialog(owner, QString(), QString(), imaging::TImageExporter::FilterText());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return TSaveChoice{};
    return TSaveChoice{dialog.selectedFiles().constFirst(),
        imaging::TImageExporter::FilterIndex(dialog.selectedNameFilter())};
};

bool ConfirmDelete(QWidget* owner, const QString& question)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), question,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner);
    return box.exec() == QMessageBox::Yes;
}

bool SaveImageCopy(const std::string& imageFile, const QString& fileName, int filterIndex)
{
    std::error_code error;
    if (fileName.isEmpty() || !std::filesystem::is_regular_file(imageFile, error))
        return false;
    imaging::TImageExporter exporter;
    {
        std::ifstream stream(imageFile, std::ios::binary);
        if (!stream || !exporter.Bitmap().LoadFromStream(stream))
            return false;
    }
    return exporter.Bitmap().ConvertTo24Bits() && exporter.SaveAs(fileName, filterIndex);
}

void SaveCopyOf(QWidget* owner, const std::string& imageFile)
{
    const TSaveChoice choice = ChooseCopyFile ? ChooseCopyFile(owner) : TSaveChoice{};
    if (owner != nullptr)
        owner->repaint();
    if (!choice.FileName.isEmpty() && !SaveImageCopy(imageFile, choice.FileName, choice.FilterIndex))
        ReportImageNotSaved(owner, choice.FileName);
}

void ReportImageNotSaved(QWidget* owner, const QString& file)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
        QStringLiteral("The image could not be saved:\n%1").arg(file), QMessageBox::Ok, owner);
    box.exec();
}

void LoadThumbnail(const std::string& thumbnailFile, imaging::TFastDIB& buffer)
{
    buffer.Allocate(0, 0, 32);
    std::error_code error;
    if (!std::filesystem::is_regular_file(thumbnailFile, error))
        return;
    imaging::TFreeBitmap bitmap;
    if (bitmap.Load(thumbnailFile))
        imaging::BitmapToBuffer(bitmap, buffer);
}

}  // namespace library
