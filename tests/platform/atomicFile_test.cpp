#include "platform/atomicFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

TEST(AtomicFile, ReplacesTheTargetKeepingItsPermissionsOrLeavesItWhole)
{
    QTemporaryDir folder;
    const std::string target = folder.filePath(QStringLiteral("shot.png")).toStdString();
    ASSERT_TRUE(WriteText(target, "old"));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    std::string temporary;
    EXPECT_TRUE(platform::WriteFileAtomically(target, [&temporary](const std::string& path) {
        temporary = path;
        return WriteText(path, "new");
    }));
    EXPECT_NE(temporary, target);
    EXPECT_EQ(fs::path(temporary).parent_path(), fs::path(target).parent_path()) << "renamed within one folder";
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A writer that fails half way leaves the old file and no temporary behind.
    EXPECT_FALSE(platform::WriteFileAtomically(target, [](const std::string& path) {
        WriteText(path, "ne");
        return false;
    }));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path().toStdString()), {}), 1);

    // A folder that is not there: nothing to write into, and nothing claims success.
    EXPECT_FALSE(platform::WriteFileAtomically(target + ".d/inner.png", [](const std::string&) { return true; }));
}

}  // namespace
