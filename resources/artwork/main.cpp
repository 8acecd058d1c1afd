// stillreel_artwork: draws every picture Stillreel compiles in and writes them, with the
// resource list stillreel.qrc and the cursor hot spots cursors.txt, into a resources folder.
//
//   stillreel_artwork <resources folder> [--sheet <file.png>]
//
// --sheet also writes one overview picture of the whole set, enlarged, on light and dark grounds.

#include "paint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

std::vector<art::Picture> allPictures()
{
    std::vector<art::Picture> all;
    for (auto part : {art::scenePictures, art::stripPictures, art::iconPictures, art::cursorPictures,
                 art::appIconPictures}) {
        auto pictures = part();
        all.insert(all.end(), std::make_move_iterator(pictures.begin()),
                   std::make_move_iterator(pictures.end()));
    }
    return all;
}

bool writeText(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

QString resourceList(const std::vector<art::Picture> &pictures)
{
    QString out;
    QTextStream s(&out);
    s << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const auto &pic : pictures)
        s << "    <file>" << pic.path << "</file>\n";
    s << "    <file>cursors.txt</file>\n";
    s << "</qresource>\n</RCC>\n";
    return out;
}

QString hotSpotList()
{
    QString out;
    QTextStream s(&out);
    for (const auto &spot : art::cursorHotSpots())
        s << spot.id << ' ' << spot.x << ' ' << spot.y << '\n';
    return out;
}

// Every picture on a light and on a dark ground, small ones enlarged, each also at 1:1.
QImage overview(const std::vector<std::pair<QString, QImage>> &images)
{
    const int width = 1800;
    const int pad = 10;
    struct Cell {
        QPoint at;
        int scale;
        const QImage *image;
    };
    std::vector<Cell> cells;
    int x = pad, y = pad, rowHeight = 0;
    for (const auto &entry : images) {
        const QImage &image = entry.second;
        const int scale = image.width() <= 40 ? 4 : (image.width() <= 130 ? 2 : 1);
        const int w = 2 * image.width() * scale + image.width() + 4 * pad;
        const int h = image.height() * scale + 2 * pad;
        if (x + w > width) {
            x = pad;
            y += rowHeight + pad;
            rowHeight = 0;
        }
        cells.push_back({QPoint(x, y), scale, &image});
        x += w + pad;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(width, y + rowHeight + pad, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(200, 204, 210));
    QPainter p(&sheet);
    for (const auto &cell : cells) {
        const QImage &img = *cell.image;
        const QSize big = img.size() * cell.scale;
        const QRect light(cell.at + QPoint(pad, pad), big);
        const QRect dark(light.topRight() + QPoint(pad + 1, 0), big);
        const QRect one(dark.topRight() + QPoint(pad + 1, 0), img.size());
        p.fillRect(light.adjusted(-pad, -pad, pad / 2, pad), QColor(255, 255, 255));
        p.fillRect(dark.adjusted(-pad / 2, -pad, pad / 2, pad), QColor(10, 10, 10));
        p.fillRect(one.adjusted(-pad / 2, -pad, pad, pad), QColor(240, 240, 240));
        p.drawImage(light, img);
        p.drawImage(dark, img);
        p.drawImage(one, img);
    }
    return sheet;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString outDir;
    QString sheetPath;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sheet") && i + 1 < args.size())
            sheetPath = args[++i];
        else if (outDir.isEmpty())
            outDir = args[i];
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "usage: stillreel_artwork <resources folder> [--sheet <file.png>]\n");
        return 2;
    }

    art::loadFonts();
    const QDir root(outDir);
    const auto pictures = allPictures();
    std::vector<std::pair<QString, QImage>> drawn;
    int failures = 0;
    for (const auto &pic : pictures) {
        QImage image = pic.draw().convertToFormat(QImage::Format_ARGB32);
        if (image.size() != pic.size) {
            std::fprintf(stderr, "%s: drawn %dx%d, expected %dx%d\n", qPrintable(pic.path), image.width(),
                         image.height(), pic.size.width(), pic.size.height());
            ++failures;
            continue;
        }
        const QString path = root.filePath(pic.path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot write\n", qPrintable(path));
            ++failures;
            continue;
        }
        std::printf("%-28s %4d x %-4d\n", qPrintable(pic.path), image.width(), image.height());
        drawn.emplace_back(pic.path, std::move(image));
    }
    if (!writeText(root.filePath(QStringLiteral("stillreel.qrc")), resourceList(pictures)) ||
        !writeText(root.filePath(QStringLiteral("cursors.txt")), hotSpotList()) ||
        !writeText(root.filePath(QStringLiteral("appicon/stillreel.svg")), art::appIconSvg())) {
        std::fprintf(stderr, "cannot write stillreel.qrc, cursors.txt or appicon/stillreel.svg\n");
        ++failures;
    }
    if (!sheetPath.isEmpty())
        overview(drawn).save(sheetPath, "PNG");
    std::printf("%zu pictures, %d failed\n", pictures.size(), failures);
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
