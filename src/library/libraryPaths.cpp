#include "library/libraryPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

#include <QString>

#include "platform/appFolder.h"

namespace library {

namespace {

bool EndsWith(const std::string& text, std::string_view end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/tmp";
}

}  // namespace

std::string LibraryFolderFor(const std::string& programFolder, bool programFolderWritable,
                             const char* xdgDataHome, const char* home)
{
    if (programFolderWritable && !EndsWith(programFolder, "/lib/stillreel/"))
        return programFolder;
    std::string data;
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        data = xdgDataHome;
    } else {
        data = home != nullptr ? home : "";
        if (data.empty() || data.back() != '/')
            data += '/';
        data += ".local/share";
    }
    if (data.back() != '/')
        data += '/';
    return data + "stillreel/";
}

const std::string& LibraryFolder()
{
    static const std::string folder = [] {
        const std::string& program = platform::ApplicationFolder();
        const std::string home = HomeFolder();
        std::string chosen = LibraryFolderFor(program, ::access(program.c_str(), W_OK) == 0,
                                              std::getenv("XDG_DATA_HOME"), home.c_str());
        // A folder that cannot be made shows up as a failed save, which the user is told of.
        // One made in the data folder is the user's alone, as data folders are meant to be.
        std::error_code ec;
        if (std::filesystem::create_directories(chosen, ec) && chosen != program)
            std::filesystem::permissions(chosen, std::filesystem::perms::owner_all, ec);
        return chosen;
    }();
    return folder;
}

std::string ListFile(const std::string& baseFolder)
{
    return baseFolder + "list";
}

std::string ImageFolder(const std::string& baseFolder)
{
    return baseFolder + "image";
}

std::string ImageFolder()
{
    return ImageFolder(LibraryFolder());
}

bool IsSafeUri(std::string_view uri)
{
    if (uri.empty())
        return false;
    for (const char c : uri) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit)
            return false;
    }
    return true;
}

bool IsSafeUri(const QString& uri)
{
    for (const QChar c : uri) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return IsSafeUri(uri.toStdString());
}

std::string ImageFile(const std::string& imageFolder, std::string_view uri)
{
    if (!IsSafeUri(uri))
        return {};
    return imageFolder + "/" + std::string(uri) + ".jpg";
}

std::string ThumbnailFile(const std::string& imageFolder, std::string_view uri)
{
    if (!IsSafeUri(uri))
        return {};
    return imageFolder + "/" + std::string(uri) + "_thumbnail.jpg";
}

std::string ImageFile(const std::string& imageFolder, const QString& uri)
{
    return IsSafeUri(uri) ? ImageFile(imageFolder, uri.toStdString()) : std::string();
}

std::string ThumbnailFile(const std::string& imageFolder, const QString& uri)
{
    return IsSafeUri(uri) ? ThumbnailFile(imageFolder, uri.toStdString()) : std::string();
}

}  // namespace library
