#include "imaging/imageExporter.h"

#include <array>

#include <QFileDialog>
#include <QStringList>

#include "imaging/safeSave.h"

namespace imaging {

namespace {

struct FilterEntry {
    const char* text;
    const char* extension;
    int flags;
};

constexpr std::array<FilterEntry, 3> kEntries{{
    {"24-bit BMP (*.bmp)", ".bmp", 0},
    {"JPEG (*.jpg)", ".jpg", 80},
    {"PNG (*.png)", ".png", 0},
}};

// The extension as the file's name shows it: from the last dot after the last folder separator.
QString ExtensionOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < fileName.lastIndexOf(QLatin1Char('/')))
        return {};
    return fileName.mid(dot);
}

}  // namespace

const QString& TImageExporter::FilterText()
{
    static const QString text = [] {
        QStringList filters;
        for (const FilterEntry& entry : kEntries)
            filters << QString::fromLatin1(entry.text);
        return filters.join(QStringLiteral(";;"));
    }();
    return text;
}

int TImageExporter::FilterIndex(const QString& selectedFilter)
{
    for (std::size_t i = 0; i < kEntries.size(); ++i)
        if (selectedFilter == QLatin1String(kEntries[i].text))
            return static_cast<int>(i) + 1;
    return 0;
}

TExportTarget TImageExporter::TargetFor(const QString& fileName, int filterIndex)
{
    if (filterIndex < 1 || filterIndex > static_cast<int>(kEntries.size()))
        return {};
    const FilterEntry& entry = kEntries[static_cast<std::size_t>(filterIndex - 1)];
    const QString extension = QString::fromLatin1(entry.extension);
    QString name = fileName;
    if (ExtensionOf(name).toLower() != extension)
        name += extension;
    return {name, entry.flags};
}

bool TImageExporter::SaveAs(const QString& fileName, int filterIndex) const
{
    const TExportTarget target = TargetFor(fileName, filterIndex);
    if (target.FileName.isEmpty())
        return false;
    return SaveBitmapAtomically(bitmap_, target.FileName.toStdString(), target.Flags);
}

bool TImageExporter::ChooseFile(QWidget* parent, QString& fileName, int& filterIndex)
{
    QFileDialog dialog(parent, QString(), QString(), FilterText());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().constFirst();
    filterIndex = FilterIndex(dialog.selectedNameFilter());
    return true;
}

void TImageExporter::Execute(QWidget* parent)
{
    if (!bitmap_.IsValid())
        return;
    QString fileName;
    int filterIndex = 0;
    if (ChooseFile(parent, fileName, filterIndex))
        SaveAs(fileName, filterIndex);
}

}  // namespace imaging
