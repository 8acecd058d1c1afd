#pragma once

#include <string>

class QWidget;
class TTreeManager;

namespace exporting {

// The wallpaper picture: "srlx-wallpaper.bmp" in the desktop's folder of user backgrounds.
std::string WallpaperFile();

// Makes the focused item's image the desktop wallpaper in `style` (0 centred, 1 tiled,
// 2 stretched, 3 none): the image is written as an uncompressed BMP to WallpaperFile(), then
// handed to the desktop. Nothing happens without a focused item whose image exists; a picture
// that cannot be written or a desktop without a background setting is reported over `owner`.
void SetFocusedAsWallpaper(QWidget* owner, const TTreeManager& tree, int style);

}  // namespace exporting
