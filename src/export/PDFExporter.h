#pragma once

#include <QString>

#include <ctime>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class QWidget;
class TTreeManager;

namespace exporting {

struct TJpegSize {
    int Width = 0;
    int Height = 0;
};
// The picture size from a JPEG file's header; nothing when the bytes are no JPEG.
std::optional<TJpegSize> ReadJpegSize(std::string_view jpeg);

// A one-page PDF 1.2 document whose page is the picture, one unit per pixel: catalog, document
// information stamped with `written` (local time), page tree, page, content stream and the JPEG
// bytes unchanged as the page's image, then the cross-reference table and trailer.
std::string PdfDocument(std::string_view jpeg, TJpegSize size, const std::tm& written);

// A PDF export that could not be done; what() says why, naming the file.
class EPdfExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one JPEG file as a PDF document. The document is written to a temporary file beside the
// target and renamed over it only once complete.
class TPDFExporter {
public:
    // Throws EPdfExportError.
    void Export(const std::string& jpegFileName, const QString& pdfFileName) const;
};

// Where the document goes: the save dialog ("PDF|*.pdf"), unless a caller (a test) puts
// something else here. Empty when cancelled.
extern std::function<QString(QWidget* owner)> ChoosePdfFile;
// The chosen name with ".pdf" appended unless its extension is .pdf in any letter case.
QString WithPdfExtension(const QString& fileName);

// The PDF export of the tree's focused item; nothing without an item whose image exists. A
// failure is shown in a message box over `owner`.
void ExportPdf(QWidget* owner, const TTreeManager& tree);

}  // namespace exporting
