#include "platform/appFolder.h"

#include <filesystem>
#include <system_error>

namespace platform {

namespace {

std::string FindApplicationFolder()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty())
        return "./";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

const std::string& ApplicationFolder()
{
    static const std::string folder = FindApplicationFolder();
    return folder;
}

}  // namespace platform
