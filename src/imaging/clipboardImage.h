#pragma once

#include <memory>

class QImage;
class QMimeData;

namespace imaging {

// Clipboard data for a picture that other programs paste: Qt's image format and PNG.
std::unique_ptr<QMimeData> ImageMimeData(const QImage& image);

}  // namespace imaging
