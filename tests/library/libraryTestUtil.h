#pragma once

#include <string>

#include <linux/capability.h>

class QTreeWidgetItem;
class TListManager;

namespace librarytest {

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// A library of `categories` categories holding `items` items in all, named after their place.
void FillLibrary(TListManager& store, int categories, int items);

// The entries as the reading rules see them: "C(name:I(name),...)" and "I(name)", space
// separated; the same form from the tree's nodes below the root.
std::string StoreShape(const TListManager& store);
std::string TreeShape(const QTreeWidgetItem& root);

// Root passes every permission check; for as long as this lives the thread's own rights count,
// as for any other user.
class FilePermissionsApply {
public:
    FilePermissionsApply();
    ~FilePermissionsApply();
    FilePermissionsApply(const FilePermissionsApply&) = delete;
    FilePermissionsApply& operator=(const FilePermissionsApply&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool restore_ = false;
};

// Loads the folder's library, fills it large and saves it in a loop; never returns normally.
int SaveForever(const std::string& folder);

}  // namespace librarytest
