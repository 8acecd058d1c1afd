#pragma once

#include <string>
#include <string_view>

class QString;

namespace library {

// The index file and the image folder hang off a base folder that ends with "/": the program's
// own folder unless a caller (a test) names another.
std::string ListFile(const std::string& baseFolder);
std::string ImageFolder(const std::string& baseFolder);
// ApplicationFolder + "image", without a trailing separator.
std::string ImageFolder();

// A stem is used in a path only when it is the form the program writes: ASCII letters and
// digits, nothing else. Anything read from a hand-edited index ("../x", "/etc/passwd", "") is
// refused, so no file outside the image folder is ever read or deleted on its account.
bool IsSafeUri(std::string_view uri);
// ImageFolder + "/" + uri + ".jpg" and + "_thumbnail.jpg"; empty for a stem that is not safe.
std::string ImageFile(const std::string& imageFolder, std::string_view uri);
std::string ThumbnailFile(const std::string& imageFolder, std::string_view uri);
bool IsSafeUri(const QString& uri);
std::string ImageFile(const std::string& imageFolder, const QString& uri);
std::string ThumbnailFile(const std::string& imageFolder, const QString& uri);

}  // namespace library
