#pragma once

#include <string>

namespace imaging {

class TFreeBitmap;

// Saves like TFreeBitmap::Save (format from the name's extension, flags as there), but through a
// temporary file in the target's folder that is flushed to disk and then renamed over the
// target: a failed, interrupted or full-disk write leaves the previous file as it was. False
// when nothing was replaced.
bool SaveBitmapAtomically(const TFreeBitmap& bitmap, const std::string& fileName, int flags = 0);

}  // namespace imaging
