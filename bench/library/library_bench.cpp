// Times the load and tree build, and the save, of a library of 10 000 items in 100 categories,
// next to what the XML parser alone takes for the same file.
#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>

#include <pugixml.hpp>

#include "libraryTestUtil.h"
#include "library/listManager.h"
#include "library/treeManager.h"

namespace {

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const std::string base = folder.path().toStdString() + "/";
    {
        TListManager writer(base);
        librarytest::FillLibrary(writer, 100, 10000);
    }
    const std::string bytes = librarytest::ReadFile(base + "list");
    using Clock = std::chrono::steady_clock;

    auto start = Clock::now();
    pugi::xml_document parsed;
    parsed.load_buffer(bytes.data(), bytes.size(), pugi::parse_cdata | pugi::parse_declaration, pugi::encoding_utf8);
    const double parserOnly = Milliseconds(Clock::now() - start);

    start = Clock::now();
    const library::TXmlDocument document = library::ParseXml(bytes);
    const double documentOnly = Milliseconds(Clock::now() - start);

    QTreeWidget tree;
    start = Clock::now();
    TListManager store(base);
    const double load = Milliseconds(Clock::now() - start);
    start = Clock::now();
    TTreeManager manager(TLibraryTreeControls{&tree, nullptr, nullptr, {}}, store, base);
    const double build = Milliseconds(Clock::now() - start);

    start = Clock::now();
    store.SaveList(store.ListFile());
    const double save = Milliseconds(Clock::now() - start);

    // The same library with texts beyond the 8-bit set in every item: one reference per
    // character instead of plain bytes.
    for (int c = 0; c < 100; ++c) {
        for (int i = 0; i < 100; ++i) {
            TImageLibraryItemData item;
            item.Name = QStringLiteral("\u65E5\u672C %1 \u00FC").arg(i);
            item.Comment = QStringLiteral("\u0141\u00F3d\u017A \u03B1\u03B2 \U0001F600,\r\nsecond line");
            store.UpdateItem(c, i, item);
        }
    }
    start = Clock::now();
    store.SaveList(store.ListFile());
    const double saveWide = Milliseconds(Clock::now() - start);

    std::printf("index file: %zu bytes, %d nodes below the root\n", bytes.size(),
                manager.RootNode()->childCount() + 10000);
    std::printf("parser alone    %8.1f ms\n", parserOnly);
    std::printf("document        %8.1f ms (%.1f x the parser alone)\n", documentOnly, documentOnly / parserOnly);
    std::printf("load            %8.1f ms (%.1f x the parser alone)\n", load, load / parserOnly);
    std::printf("tree build      %8.1f ms\n", build);
    std::printf("load + build    %8.1f ms (goal under 300 ms)\n", load + build);
    std::printf("save            %8.1f ms (goal under 100 ms)\n", save);
    std::printf("save, non-Latin %8.1f ms (goal under 100 ms)\n", saveWide);
    return 0;
}
