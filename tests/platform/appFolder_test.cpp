#include "platform/appFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ApplicationFolder, IsTheTestExecutablesFolderWithTrailingSlash)
{
    const std::string& folder = platform::ApplicationFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "test_platform"));
    EXPECT_EQ(&folder, &platform::ApplicationFolder());
}

}  // namespace
