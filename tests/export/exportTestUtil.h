#pragma once

#include <QDir>
#include <QFile>
#include <QSize>
#include <QString>

#include <string>

#include "imaging/FreeBitmap.h"
#include "testImages.h"

namespace exporttest {

// A grey JPEG of the given size; false when it could not be written.
inline bool MakeJpeg(const QString& path, int width, int height, std::uint8_t grey)
{
    imaging::TFreeBitmap bitmap;
    imaging::test::FillGrey(bitmap, width, height, grey);
    return bitmap.Save(path.toStdString(), 90);
}

inline QSize PictureSize(const QString& path)
{
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(path.toStdString()))
        return {};
    return QSize(static_cast<int>(bitmap.Width()), static_cast<int>(bitmap.Height()));
}

// The grey level in the middle of a picture, or -1 when it cannot be read.
inline int MiddleGrey(const QString& path)
{
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(path.toStdString()))
        return -1;
    return bitmap.ScanLine(static_cast<int>(bitmap.Height() / 2))[bitmap.Width() / 2 * 3];
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace exporttest
