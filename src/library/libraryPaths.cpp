#include "library/libraryPaths.h"

#include <QString>

#include "platform/appFolder.h"

namespace library {

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
    return ImageFolder(platform::ApplicationFolder());
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
