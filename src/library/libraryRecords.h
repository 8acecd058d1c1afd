#pragma once

#include <QString>

#include <cstdint>

// The records of library entries and library tree nodes, shared by the store, the tree, the
// commands and the exports. Texts are Unicode; the store converts them to and from the index
// file's 8-bit set.

struct TImageLibraryRootData {
    QString Caption;  // "Image Library"
};

struct TImageLibraryCategoryData {
    QString Name;     // what the tree shows
    QString Caption;  // subtitle shown in the category's hint
};

struct TImageLibraryItemData {
    QString Name;     // the image's label
    bool Flag = false;  // copied with the record; never stored, never read
    QString Caption;  // written to the index, always empty in this version
    QString Uri;      // file stem in the image folder: ASCII letters and digits
    QString Comment;  // free text, may span lines
};

enum TImageLibraryNodeKind : std::uint8_t {
    nkRoot = 0,
    nkCategory = 1,
    nkItem = 2,
};

// The data of every library tree node: all three payloads are present, only the one that
// matches Kind is filled.
struct TImageLibraryNodeData {
    TImageLibraryNodeKind Kind = nkRoot;
    TImageLibraryRootData Root;
    TImageLibraryCategoryData Category;
    TImageLibraryItemData Item;
};
