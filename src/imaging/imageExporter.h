#pragma once

#include <QString>

#include "imaging/FreeBitmap.h"

class QWidget;

namespace imaging {

// Where and how an export is written: the file name with the chosen format's extension and the
// flags for Save.
struct TExportTarget {
    QString FileName;
    int Flags = 0;
    friend bool operator==(const TExportTarget&, const TExportTarget&) = default;
};

// Saves one picture as BMP, JPEG or PNG under a name the user picks. The caller fills Bitmap().
class TImageExporter {
public:
    // The save dialog's filter list, in its order: entry 1 BMP, 2 JPEG, 3 PNG.
    static const QString& FilterText();
    // 1..3 for one of the filter list's entries, 0 for anything else.
    static int FilterIndex(const QString& selectedFilter);
    // The extension of the chosen entry is appended unless the name already ends in it (in any
    // case); JPEG is written at quality 80. Filter index out of 1..3 gives an empty file name.
    static TExportTarget TargetFor(const QString& fileName, int filterIndex);
    // The save dialog with the filter list (no preset name, no question before overwriting): the
    // name typed and the entry chosen. False when it was cancelled.
    static bool ChooseFile(QWidget* parent, QString& fileName, int& filterIndex);

    TImageExporter() = default;
    TImageExporter(const TImageExporter&) = delete;
    TImageExporter& operator=(const TImageExporter&) = delete;

    TFreeBitmap& Bitmap() { return bitmap_; }
    // Asks for a file name and writes the picture there; nothing happens for an empty bitmap or
    // when the dialog is cancelled. Failures are not reported.
    void Execute(QWidget* parent = nullptr);
    // The step after the dialog; true when the file was written.
    bool SaveAs(const QString& fileName, int filterIndex) const;

private:
    TFreeBitmap bitmap_;
};

}  // namespace imaging
