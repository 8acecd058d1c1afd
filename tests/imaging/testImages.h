#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"

namespace imaging::test {

// Fills every byte of the buffer, row-end bytes included, with reproducible noise.
inline void FillNoise(TFastDIB& buffer, unsigned seed)
{
    std::mt19937 generator(seed);
    for (int i = 0; i < buffer.ImageSize(); ++i)
        buffer.Bits()[i] = static_cast<std::uint8_t>(generator());
}

inline std::vector<std::uint8_t> Bytes(const TFastDIB& buffer)
{
    return {buffer.Bits(), buffer.Bits() + buffer.ImageSize()};
}

// A 24-bit bitmap whose every pixel is the grey level.
inline void FillGrey(TFreeBitmap& bitmap, int width, int height, std::uint8_t level)
{
    bitmap.Allocate(FIT_BITMAP, width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            bitmap.ScanLine(y)[x] = level;
}

inline std::uint8_t& Grey(TFreeBitmap& bitmap, int x, int line)
{
    return bitmap.ScanLine(line)[x * 3];
}

inline void SetGrey(TFreeBitmap& bitmap, int x, int line, std::uint8_t level)
{
    for (int k = 0; k < 3; ++k)
        bitmap.ScanLine(line)[x * 3 + k] = level;
}

class TempFolder {
public:
    std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

private:
    QTemporaryDir dir_;
};

}  // namespace imaging::test
