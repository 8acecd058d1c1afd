#include "libraryTestUtil.h"

#include <QTreeWidgetItem>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "library/listManager.h"
#include "library/treeManager.h"

namespace librarytest {

namespace {

void AppendItem(std::string& shape, const QString& name)
{
    shape += "I(";
    shape += name.toStdString();
    shape += ')';
}

}  // namespace

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return std::move(content).str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void FillLibrary(TListManager& store, int categories, int items)
{
    const int perCategory = categories > 0 ? items / categories : 0;
    for (int c = 0; c < categories; ++c) {
        store.AddCategory({QStringLiteral("Category %1").arg(c), QStringLiteral("Caption of category %1").arg(c)});
        for (int i = 0; i < perCategory; ++i) {
            TImageLibraryItemData item;
            item.Name = QStringLiteral("Image %1 of %2").arg(i).arg(c);
            item.Uri = QStringLiteral("Kd3RmTqa%1").arg(c * 100000 + i);
            item.Comment = QStringLiteral("Captured at 00:%1 from holiday.mpg,\r\nsecond line").arg(i % 60);
            store.AddItem(c, item);
        }
    }
}

std::string StoreShape(const TListManager& store)
{
    std::string shape;
    for (const library::TXmlElement& element : store.Root().Children) {
        const auto kind = library::EntryKind(element);
        if (!kind)
            continue;
        if (!shape.empty())
            shape += ' ';
        if (*kind == nkItem) {
            AppendItem(shape, library::ReadItem(element).Name);
            continue;
        }
        shape += "C(" + library::ReadCategory(element).Name.toStdString() + ":";
        bool first = true;
        for (const library::TXmlElement& child : element.Children) {
            if (!library::IsItemElement(child))
                continue;
            if (!first)
                shape += ',';
            AppendItem(shape, library::ReadItem(child).Name);
            first = false;
        }
        shape += ")";
    }
    return shape;
}

std::string TreeShape(const QTreeWidgetItem& root)
{
    std::string shape;
    for (int i = 0; i < root.childCount(); ++i) {
        QTreeWidgetItem* node = root.child(i);
        const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
        if (!shape.empty())
            shape += ' ';
        if (data->Kind == nkItem) {
            AppendItem(shape, data->Item.Name);
            continue;
        }
        shape += "C(" + data->Category.Name.toStdString() + ":";
        for (int j = 0; j < node->childCount(); ++j) {
            if (j > 0)
                shape += ',';
            AppendItem(shape, TTreeManager::NodeData(node->child(j))->Item.Name);
        }
        shape += ")";
    }
    return shape;
}

int SaveForever(const std::string& folder)
{
    TListManager store(folder);
    FillLibrary(store, 100, 10000);
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (;;)
        store.SaveList(store.ListFile());
}

FilePermissionsApply::FilePermissionsApply()
{
    if (::syscall(SYS_capget, &header_, saved_) != 0)
        return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    restore_ = ::syscall(SYS_capset, &header_, reduced) == 0;
}

FilePermissionsApply::~FilePermissionsApply()
{
    if (restore_)
        ::syscall(SYS_capset, &header_, saved_);
}

}  // namespace librarytest
