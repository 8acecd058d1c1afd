#pragma once

#include <string>
#include <string_view>

class QString;

namespace library {

// The folder the library (index and image folder) lives in, with a trailing "/". A copy of the
// program in a folder it may write to keeps its library beside itself. An installed copy (one
// whose folder the user cannot write, or that sits in <prefix>/lib/stillreel/, which even root
// must not fill with one user's pictures) keeps it in $XDG_DATA_HOME/stillreel/, or
// ~/.local/share/stillreel/ when XDG_DATA_HOME is unset or not an absolute path. Decides only;
// nothing is created.
std::string LibraryFolderFor(const std::string& programFolder, bool programFolderWritable,
                             const char* xdgDataHome, const char* home);
// The running program's library folder, decided once from ApplicationFolder and the
// environment; a folder of its own is created (with its parents) on the first call.
const std::string& LibraryFolder();

// The index file and the image folder hang off a base folder that ends with "/": the library
// folder unless a caller (a test) names another.
std::string ListFile(const std::string& baseFolder);
std::string ImageFolder(const std::string& baseFolder);
// LibraryFolder + "image", without a trailing separator.
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
