#include "library/listManager.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <stdlib.h>  // mkstemp
#include <sys/stat.h>
#include <unistd.h>

#include <QtGlobal>

#include "imaging/imageTools.h"
#include "library/libraryPaths.h"
#include "platform/appFolder.h"
#include "platform/osError.h"

TListManager* ListManager = nullptr;

namespace {

using library::TXmlElement;

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The index's bytes. Only a regular file is read: a FIFO, device or socket named like the index
// would block the start for ever, so the kind is checked on a descriptor opened without waiting.
std::string ReadWholeFile(const std::string& path, bool& readOnly)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw library::EXmlParseError(std::string("the file cannot be opened: ") + std::strerror(errno));
    const struct TCloser {
        int fd;
        ~TCloser() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw library::EXmlParseError("it is not a regular file");
    // Mode bits, not access(): the superuser may write anything, yet a file made read-only
    // says what its owner wants.
    readOnly = (info.st_mode & 0222) == 0;
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size())
            bytes.resize(bytes.size() + 65536);
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw library::EXmlParseError(std::string("the file cannot be read: ") + std::strerror(errno));
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

// Closes a descriptor and removes the temporary file unless the save got as far as the rename.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& target)
        : path_(target + ".XXXXXX")
    {
        fd_ = ::mkstemp(path_.data());
        if (fd_ < 0)
            platform::RaiseLastOSError();
    }
    ~TTemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    void Write(const std::string& bytes)
    {
        const char* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(fd_, data, left);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                platform::RaiseLastOSError();
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
    }

    void CommitAs(const std::string& target, mode_t mode)
    {
        if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0)
            platform::RaiseLastOSError();
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0)
            platform::RaiseLastOSError();
        if (::rename(path_.c_str(), target.c_str()) != 0)
            platform::RaiseLastOSError();
        committed_ = true;
        // The rename itself lasts through a power cut only once the folder is on disk too.
        const std::string folder = std::filesystem::path(target).parent_path().string();
        const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

// The mode a new file gets from the process's umask, or the mode the replaced file had.
mode_t ModeFor(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Temporary files of saves that never reached their rename: the index's name, a dot and the
// six letters and digits mkstemp put in.
void RemoveInterruptedSaves(const std::string& listFile)
{
    const std::filesystem::path list(listFile);
    const std::string prefix = list.filename().string() + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(list.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        const bool leftOver = name.size() == prefix.size() + 6 && name.starts_with(prefix)
            && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
        std::error_code ignored;
        if (leftOver && entry.is_regular_file(ignored))
            std::filesystem::remove(entry.path(), ignored);
    }
}

std::string LocalTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

QString ReasonOf(const platform::EOSError& error)
{
    if (error.ErrorCode() != 0)
        return QString::fromLocal8Bit(std::strerror(error.ErrorCode()));
    return QString::fromStdString(error.what());
}

void SetChildText(TXmlElement& element, std::string_view name, const std::string& text)
{
    if (TXmlElement* child = element.FindChild(name))
        child->Text = text;
    else
        element.AppendChild(name, text);
}

// A record's text as the document keeps it: UTF-8, ending at the first NUL as it always has.
std::string IndexText(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return QStringView(text).left(nul < 0 ? text.size() : nul).toUtf8().toStdString();
}

QString RecordText(const std::string& text)
{
    const std::size_t end = std::min(text.find('\0'), text.size());
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(end));
}

TXmlElement* ChildAt(TXmlElement& parent, int index)
{
    if (index < 0 || index >= static_cast<int>(parent.Children.size()))
        return nullptr;
    return &parent.Children[static_cast<std::size_t>(index)];
}

}  // namespace

TListManager::TListManager(std::string baseFolder)
    : baseFolder_(std::move(baseFolder))
    , listFile_(library::ListFile(baseFolder_))
{
    RemoveInterruptedSaves(listFile_);
    try {
        LoadList(listFile_);
    } catch (const library::EXmlParseError& error) {
        loadError_ = QString::fromStdString(error.what());
        unreadableFile_ = listFile_ + ".unreadable-" + LocalTimeStamp();
        unreadableInPlace_ = true;
    }
}

TListManager::TListManager()
    : TListManager(library::LibraryFolder())
{
}

TListManager::~TListManager()
{
    if (SavesOnDestroy() && !Save()) {
        // No window is left to tell; the previous index is still in place.
        qWarning("The image library index %s was not saved: %s", listFile_.c_str(), qPrintable(saveError_));
    }
}

bool TListManager::SavesOnDestroy() const
{
    return !closed_ && !readOnly_ && (changed_ || !unreadableInPlace_);
}

bool TListManager::Save()
{
    if (readOnly_)
        return true;
    try {
        if (unreadableInPlace_)
            MoveUnreadableAside();
        SaveList(listFile_);
    } catch (const platform::EOSError& error) {
        saveError_ = ReasonOf(error);
        return false;
    }
    changed_ = false;
    saveError_.clear();
    return true;
}

void TListManager::MoveUnreadableAside()
{
    std::string target = unreadableFile_;
    for (int n = 2; FileExists(target); ++n)
        target = unreadableFile_ + "-" + std::to_string(n);
    if (::rename(listFile_.c_str(), target.c_str()) != 0 && errno != ENOENT)
        platform::RaiseLastOSError();
    unreadableFile_ = target;
    unreadableInPlace_ = false;
}

void TListManager::LoadList(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 || errno != ENOENT)
        document_ = library::ParseXml(ReadWholeFile(path, readOnly_));
    document_.Root.Name = "library";
}

void TListManager::SaveList(const std::string& path) const
{
    const std::string bytes = library::WriteXml(document_);
    TTemporaryFile file(path);
    file.Write(bytes);
    file.CommitAs(path, ModeFor(path));
}

TXmlElement* TListManager::Parent(int categoryIndex)
{
    if (categoryIndex == -1)
        return &document_.Root;
    return ChildAt(document_.Root, categoryIndex);
}

void TListManager::AddCategory(const TImageLibraryCategoryData& category)
{
    changed_ = true;
    TXmlElement& element = document_.Root.AppendChild("category");
    element.Attributes = {{"type", "category"},
                          {"name", IndexText(category.Name)},
                          {"caption", IndexText(category.Caption)}};
}

void TListManager::AddItem(int categoryIndex, const TImageLibraryItemData& item)
{
    changed_ = true;
    TXmlElement* parent = Parent(categoryIndex);
    if (parent == nullptr)
        return;
    TXmlElement& element = parent->AppendChild("item");
    element.Attributes = {{"type", "item"}};
    element.Children.reserve(5);
    element.AppendChild("type", "image");
    element.AppendChild("name", IndexText(item.Name));
    element.AppendChild("caption", IndexText(item.Caption));
    element.AppendChild("uri", item.Uri.toLatin1().toStdString());
    element.AppendChild("comment", IndexText(item.Comment));
}

void TListManager::DeleteCategory(int index)
{
    changed_ = true;
    if (ChildAt(document_.Root, index) != nullptr)
        document_.Root.Children.erase(document_.Root.Children.begin() + index);
}

void TListManager::DeleteItem(int categoryIndex, int itemIndex)
{
    changed_ = true;
    TXmlElement* parent = Parent(categoryIndex);
    if (parent != nullptr && ChildAt(*parent, itemIndex) != nullptr)
        parent->Children.erase(parent->Children.begin() + itemIndex);
}

void TListManager::UpdateCategory(int index, const TImageLibraryCategoryData& category)
{
    changed_ = true;
    TXmlElement* element = ChildAt(document_.Root, index);
    if (element == nullptr)
        return;
    element->SetAttribute("name", IndexText(category.Name));
    element->SetAttribute("caption", IndexText(category.Caption));
}

void TListManager::UpdateItem(int categoryIndex, int itemIndex, const TImageLibraryItemData& item)
{
    changed_ = true;
    TXmlElement* parent = Parent(categoryIndex);
    TXmlElement* element = parent != nullptr ? ChildAt(*parent, itemIndex) : nullptr;
    if (element == nullptr)
        return;
    SetChildText(*element, "name", IndexText(item.Name));
    SetChildText(*element, "comment", IndexText(item.Comment));
}

namespace library {

std::optional<TImageLibraryNodeKind> EntryKind(const TXmlElement& element)
{
    const TXmlAttribute* type = element.FindAttribute("type");
    if (type == nullptr)
        return std::nullopt;
    if (type->Value == "category")
        return nkCategory;
    if (type->Value == "item")
        return nkItem;
    return std::nullopt;
}

bool IsItemElement(const TXmlElement& element)
{
    const TXmlAttribute* type = element.FindAttribute("type");
    return type != nullptr && type->Value == "item";
}

TImageLibraryCategoryData ReadCategory(const TXmlElement& element)
{
    return {RecordText(element.AttributeValue("name")),
            RecordText(element.AttributeValue("caption"))};
}

TImageLibraryItemData ReadItem(const TXmlElement& element)
{
    TImageLibraryItemData item;
    item.Name = RecordText(element.ChildText("name"));
    item.Flag = false;
    item.Caption = RecordText(element.ChildText("caption"));
    const std::string uri = element.ChildText("uri");
    item.Uri = QString::fromLatin1(uri.data(), static_cast<qsizetype>(uri.size()));
    item.Comment = RecordText(element.ChildText("comment"));
    return item;
}

}  // namespace library
