#pragma once

#include <string>

namespace platform {

// The desktop wallpaper styles, in the order of the menu's tags.
enum class TWallpaperStyle { Centred = 0, Tiled = 1, Stretched = 2, None = 3 };

enum class TWallpaperResult { Set, NoDesktopSetting };

// Hands the picture file to the desktop's background setting (GSettings'
// org.gnome.desktop.background): the picture as a file:// URI for the light and the dark look,
// and the style as its picture-options; None only turns the picture off and leaves the URIs.
// NoDesktopSetting where that schema is not installed: GSettings would abort the process there.
TWallpaperResult SetWallpaper(const std::string& path, TWallpaperStyle style);

// Where the wallpaper picture lives: $XDG_DATA_HOME/backgrounds (else ~/.local/share/backgrounds),
// which desktops list among the user's own backgrounds.
std::string WallpaperFolder();

}  // namespace platform
