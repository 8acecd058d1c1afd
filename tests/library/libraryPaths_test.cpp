#include "library/libraryPaths.h"

#include <gtest/gtest.h>

#include "platform/appFolder.h"

namespace {

using library::LibraryFolderFor;

// A copy in a folder of its own keeps its library beside it; an installed one keeps it in the
// user's data folder, also when root may write to the installed folder.
TEST(LibraryFolder, BesideAWritableCopyElseInTheUsersDataFolder)
{
    EXPECT_EQ(LibraryFolderFor("/home/ann/srl/", true, "/x/data", "/home/ann"), "/home/ann/srl/");
    EXPECT_EQ(LibraryFolderFor("/opt/srl/", false, "/x/data", "/home/ann"), "/x/data/stillreel/");
    EXPECT_EQ(LibraryFolderFor("/usr/lib/stillreel/", true, "/x/data/", "/root"), "/x/data/stillreel/");
    // Unset, empty or relative XDG_DATA_HOME: the default under the home folder.
    EXPECT_EQ(LibraryFolderFor("/opt/srl/", false, nullptr, "/home/ann"), "/home/ann/.local/share/stillreel/");
    EXPECT_EQ(LibraryFolderFor("/opt/srl/", false, "", "/home/ann/"), "/home/ann/.local/share/stillreel/");
    EXPECT_EQ(LibraryFolderFor("/opt/srl/", false, "data", "/home/ann"), "/home/ann/.local/share/stillreel/");
    // The test executable's folder is writable: the running library is the one beside it.
    EXPECT_EQ(library::LibraryFolder(), platform::ApplicationFolder());
    EXPECT_EQ(library::ImageFolder(), platform::ApplicationFolder() + "image");
}

}  // namespace
