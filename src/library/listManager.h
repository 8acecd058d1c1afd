#pragma once

#include <optional>
#include <string>

#include <QString>

#include "library/libraryRecords.h"
#include "library/libraryXml.h"

// The image library's index: one document in memory, read from the index file when the store is
// created, written by Save after every change the user makes and once more at close. Entries are addressed by position: a category
// or loose item by its index among the root's children, an item of a category by the category's
// index plus its own index inside it; -1 as a category index means the root. Positions that do
// not exist are ignored. The store never touches image files.
class TListManager {
public:
    // Removes what interrupted saves left beside the index ("list.XXXXXX"), then loads
    // baseFolder + "list". A file that cannot be read leaves the library empty and keeps the
    // reason in LoadError(); the file is never overwritten: the first Save moves it aside to
    // UnreadableFile().
    explicit TListManager(std::string baseFolder);
    // The library folder (library::LibraryFolder).
    TListManager();
    // Saves when SavesOnDestroy().
    ~TListManager();
    TListManager(const TListManager&) = delete;
    TListManager& operator=(const TListManager&) = delete;

    // Replaces the document by the file's content when the file exists (throws
    // library::EXmlParseError when it cannot be read, leaving the document as it was); in every
    // case the root is then named "library".
    void LoadList(const std::string& path);
    // Writes the document through a temporary file beside `path` that replaces it only once it
    // is complete, so a failed or interrupted save leaves the previous file intact. Throws
    // platform::EOSError.
    void SaveList(const std::string& path) const;

    // Writes the document to ListFile() now. Returns false, with the reason in SaveError(), when
    // it could not; the document stays as it is and the next Save tries again. An index the user
    // made read-only is never written: Save does nothing there.
    bool Save();
    const QString& SaveError() const { return saveError_; }
    // Whether a write is still due at close: always after a good load, after a failed one only
    // once something changed; never after Close().
    bool SavesOnDestroy() const;
    // The close has written the index, or the user chose to quit without it.
    void Close() { closed_ = true; }

    void AddCategory(const TImageLibraryCategoryData& category);
    void AddItem(int categoryIndex, const TImageLibraryItemData& item);
    void DeleteCategory(int index);
    void DeleteItem(int categoryIndex, int itemIndex);
    // Sets name and caption.
    void UpdateCategory(int index, const TImageLibraryCategoryData& category);
    // Sets name and comment; caption and uri stay as they are.
    void UpdateItem(int categoryIndex, int itemIndex, const TImageLibraryItemData& item);

    // Reading goes through the document: the root's children in order, with the reading rules
    // of library::EntryKind, ReadCategory and ReadItem.
    const library::TXmlDocument& Document() const { return document_; }
    const library::TXmlElement& Root() const { return document_.Root; }

    const std::string& BaseFolder() const { return baseFolder_; }
    const std::string& ListFile() const { return listFile_; }
    // Empty unless the index file could not be read at creation; then the parser's reason.
    const QString& LoadError() const { return loadError_; }
    // Where an unreadable index goes on the first save: "list.unreadable-YYYYMMDD-HHMMSS" beside
    // it, stamped with the time of the load; empty after a good load.
    const std::string& UnreadableFile() const { return unreadableFile_; }
    // The index file has no write permission at all: the library is used, never written.
    bool ReadOnly() const { return readOnly_; }

private:
    library::TXmlElement* Parent(int categoryIndex);
    void MoveUnreadableAside();

    std::string baseFolder_;
    std::string listFile_;
    library::TXmlDocument document_;
    QString loadError_;
    std::string unreadableFile_;
    bool unreadableInPlace_ = false;
    bool changed_ = false;
    bool readOnly_ = false;
    bool closed_ = false;
    QString saveError_;
};

// The one store of the running program, from its creation by the UI controller until its
// destruction; nullptr otherwise.
extern TListManager* ListManager;

namespace library {

// What a top-level element of the index stands for: nkCategory or nkItem by its type attribute
// (compared exactly); nothing for any other element, which makes no entry.
std::optional<TImageLibraryNodeKind> EntryKind(const TXmlElement& element);
bool IsItemElement(const TXmlElement& element);
TImageLibraryCategoryData ReadCategory(const TXmlElement& element);
TImageLibraryItemData ReadItem(const TXmlElement& element);

}  // namespace library
