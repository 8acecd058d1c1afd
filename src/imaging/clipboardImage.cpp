#include "imaging/clipboardImage.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMimeData>

namespace imaging {

std::unique_ptr<QMimeData> ImageMimeData(const QImage& image)
{
    auto data = std::make_unique<QMimeData>();
    data->setImageData(image);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.save(&buffer, "PNG"))
        data->setData(QStringLiteral("image/png"), png);
    return data;
}

}  // namespace imaging
