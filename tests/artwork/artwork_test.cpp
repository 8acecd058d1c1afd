// Every picture listed in resources/stillreel.qrc exists, loads, and has the size the program
// lays it out with; the cursor hot spots are all there.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QXmlStreamReader>

namespace {

const QDir kResources(QStringLiteral(STILLREEL_RESOURCES_DIR));

QStringList listedFiles()
{
    QFile file(kResources.filePath(QStringLiteral("stillreel.qrc")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("qresource")) {
            EXPECT_EQ(xml.attributes().value(QLatin1String("prefix")), QLatin1String("/"));
        }
        if (xml.tokenType() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
            files << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return files;
}

QMap<QString, QSize> expectedSizes()
{
    QMap<QString, QSize> sizes{
        {QStringLiteral("splash.png"), {570, 330}},
        {QStringLiteral("about.png"), {570, 330}},
        {QStringLiteral("placeholder.png"), {633, 244}},
        {QStringLiteral("control/left.png"), {15, 64}},
        {QStringLiteral("control/middle.png"), {8, 64}},
        {QStringLiteral("control/right.png"), {15, 64}},
        {QStringLiteral("film/frame.png"), {96, 84}},
        {QStringLiteral("film/band.png"), {16, 18}},
        {QStringLiteral("slider/bar.png"), {1, 11}},
        {QStringLiteral("slider/left.png"), {1, 11}},
        {QStringLiteral("slider/right.png"), {1, 11}},
        {QStringLiteral("slider/pointer.png"), {23, 11}},
        {QStringLiteral("slider/pointer_down.png"), {23, 11}},
        {QStringLiteral("tree/background.png"), {120, 120}},
    };
    for (const char *state : {"normal", "over", "down", "disabled"}) {
        sizes.insert(QStringLiteral("buttons/play_%1.png").arg(QLatin1String(state)), {29, 29});
        sizes.insert(QStringLiteral("buttons/pause_%1.png").arg(QLatin1String(state)), {29, 29});
        sizes.insert(QStringLiteral("buttons/stop_%1.png").arg(QLatin1String(state)), {20, 29});
    }
    for (int i = 0; i <= 13; ++i)
        sizes.insert(QStringLiteral("toolbar/%1.png").arg(i, 2, 10, QLatin1Char('0')), {32, 32});
    for (int i = 0; i <= 4; ++i)
        sizes.insert(QStringLiteral("tree/%1.png").arg(i), {22, 22});
    for (int id = 250; id <= 256; ++id)
        sizes.insert(QStringLiteral("cursors/%1.png").arg(id), {32, 32});
    for (int size : {16, 32, 48, 64, 128, 256})
        sizes.insert(QStringLiteral("appicon/%1.png").arg(size), {size, size});
    for (int i = 0; i <= 8; ++i)
        sizes.insert(QStringLiteral("explorer/%1.png").arg(i, 2, 10, QLatin1Char('0')), {16, 16});
    return sizes;
}

TEST(Artwork, EveryPictureIsListedAndHasItsSize)
{
    const QStringList listed = listedFiles();
    const QSet<QString> listedSet(listed.begin(), listed.end());
    const auto sizes = expectedSizes();
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        EXPECT_TRUE(listedSet.contains(it.key()));
        const QImage image(kResources.filePath(it.key()));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), it.value());
    }
    for (const QString &file : listed) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_TRUE(QFile::exists(kResources.filePath(file)));
        if (file.endsWith(QLatin1String(".png"))) {
            EXPECT_TRUE(sizes.contains(file));
        }
    }
}

QImage load(const char *path) { return QImage(kResources.filePath(QLatin1String(path))); }

bool sameColumn(const QImage &a, int ax, const QImage &b, int bx)
{
    for (int y = 0; y < a.height(); ++y) {
        if (a.pixel(ax, y) != b.pixel(bx, y))
            return false;
    }
    return a.height() == b.height();
}

TEST(Artwork, ControlStripJoinsWithoutSeams)
{
    const QImage left = load("control/left.png");
    const QImage middle = load("control/middle.png");
    const QImage right = load("control/right.png");
    for (int x = 0; x < middle.width(); ++x)
        EXPECT_TRUE(sameColumn(middle, x, middle, 0)) << x;
    EXPECT_TRUE(sameColumn(left, left.width() - 1, middle, 0));
    EXPECT_TRUE(sameColumn(right, 0, middle, middle.width() - 1));
}

TEST(Artwork, FilmBandTilesWithoutSeams)
{
    const QImage band = load("film/band.png");
    EXPECT_TRUE(sameColumn(band, 0, band, band.width() - 1));
}

TEST(Artwork, CursorsAreTransparentAroundTheirShape)
{
    for (int id = 250; id <= 256; ++id) {
        const QImage image(kResources.filePath(QStringLiteral("cursors/%1.png").arg(id)));
        ASSERT_TRUE(image.hasAlphaChannel()) << id;
        EXPECT_EQ(qAlpha(image.pixel(31, 0)), 0) << id;
    }
}

TEST(Artwork, HotSpotsAreListedForEveryCursor)
{
    QFile file(kResources.filePath(QStringLiteral("cursors.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<int, QPair<int, int>> spots;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() == 3)
            spots.insert(fields[0].toInt(), {fields[1].toInt(), fields[2].toInt()});
    }
    for (int id = 250; id <= 256; ++id) {
        ASSERT_TRUE(spots.contains(id)) << id;
        EXPECT_GE(spots[id].first, 0);
        EXPECT_LT(spots[id].first, 32);
        EXPECT_GE(spots[id].second, 0);
        EXPECT_LT(spots[id].second, 32);
    }
    EXPECT_EQ(spots[251], qMakePair(0, 0));
    EXPECT_EQ(spots[253], qMakePair(15, 16));
}

}  // namespace
