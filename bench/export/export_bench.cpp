// Times the folder and album exports of a category of 100 captures of 1920 x 1080 against the
// plain loop they are built on: FreeImage load + save at quality 80 of the same files, in the
// same run, turn about, on the same disk.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QString>

#include "benchFrames.h"
#include "export/albumExport.h"
#include "export/folderExport.h"
#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kItems = 100;
const fs::path kData = BENCH_DATA_DIR;

std::string Uri(int i)
{
    char uri[32];
    std::snprintf(uri, sizeof uri, "Bq%02dXyZw%08d", i % 100, 1000 + i);
    return uri;
}

// The library's files as a capture writes them: the frame and its thumbnail at quality 100.
bool MakeLibrary(const fs::path& images)
{
    if (fs::exists(images / (Uri(kItems - 1) + "_thumbnail.jpg")))
        return true;
    fs::create_directories(images);
    imaging::TFastDIB frame;
    frame.Allocate(1920, 1080, 32);
    bench::PaintFrame(frame);
    imaging::TFreeBitmap bitmap, thumbnail;
    imaging::BufferToBitmap(frame, bitmap);
    if (!bitmap.ConvertTo24Bits())
        return false;
    imaging::MakeThumbnail(bitmap, 312, 176, thumbnail);
    for (int i = 0; i < kItems; ++i) {
        if (!bitmap.Save((images / (Uri(i) + ".jpg")).string(), 100)
            || !thumbnail.Save((images / (Uri(i) + "_thumbnail.jpg")).string(), 100))
            return false;
    }
    return true;
}

// The peer: load and save every file of the list, nothing else.
void PlainLoop(const fs::path& images, const fs::path& target, bool withThumbnails)
{
    fs::create_directories(target);
    for (int i = 0; i < kItems; ++i) {
        for (const std::string suffix : {".jpg", "_thumbnail.jpg"}) {
            if (suffix != ".jpg" && !withThumbnails)
                continue;
            const std::string from = (images / (Uri(i) + suffix)).string();
            FIBITMAP* dib = FreeImage_Load(FIF_JPEG, from.c_str(), 0);
            FreeImage_Save(FIF_JPEG, dib, (target / (std::to_string(i) + suffix)).string().c_str(), 80);
            FreeImage_Unload(dib);
        }
    }
}

// Wall-clock and processor time of one run. The machine is shared: processor time is the figure
// that other people's work disturbs least.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

Timing Measure(const std::function<void()>& work)
{
    const auto t0 = Clock::now();
    const double c0 = CpuSeconds();
    work();
    return {std::chrono::duration<double>(Clock::now() - t0).count(), CpuSeconds() - c0};
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path images = kData / "image";
    if (!MakeLibrary(images)) {
        std::fprintf(stderr, "cannot write the library pictures under %s\n", images.c_str());
        return 1;
    }
    exporting::TExportCategory category{QStringLiteral("Bench Trip"), {}};
    for (int i = 0; i < kItems; ++i) {
        TImageLibraryItemData item;
        item.Name = QStringLiteral("Untitled");
        item.Uri = QString::fromStdString(Uri(i));
        item.Comment = QStringLiteral("capture %1").arg(i);
        category.Items.push_back(item);
    }
    const exporting::TAlbumTemplates templates =
        exporting::ReadAlbumTemplates(QStringLiteral(BENCH_RES_DIR), category.Name, QStringLiteral("Stillreel"));
    exporting::TAlbumSources sources;
    sources.ImageFolder = images.string();
    sources.ResFolder = QStringLiteral(BENCH_RES_DIR);

    const fs::path out = kData / "out";
    std::vector<double> folderWall, folderCpu, albumWall, albumCpu;
    Timing sums[4];
    // Warm the page cache, so the first timed run does not read from the disk alone.
    PlainLoop(images, out / "warm", true);
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(out);
        const Timing peerFolder = Measure([&] { PlainLoop(images, out / "peer-folder", false); });
        const Timing folder = Measure([&] {
            fs::create_directories(out / "bench-trip");
            const auto result =
                exporting::ExportFolderTo(category, images.string(), QString::fromStdString((out / "bench-trip").string()));
            if (result.Written != kItems)
                std::fprintf(stderr, "folder export wrote %d of %d\n", result.Written, kItems);
        });
        const Timing peerAlbum = Measure([&] { PlainLoop(images, out / "peer-album", true); });
        const Timing album = Measure([&] {
            fs::create_directories(out / "bench-album");
            const auto result = exporting::ExportAlbumTo(
                category, templates, sources, QString::fromStdString((out / "bench-album").string()));
            if (result.Written != kItems || !result.PageWritten)
                std::fprintf(stderr, "album export wrote %d of %d\n", result.Written, kItems);
        });
        folderWall.push_back(folder.wall / peerFolder.wall);
        folderCpu.push_back(folder.cpu / peerFolder.cpu);
        albumWall.push_back(album.wall / peerAlbum.wall);
        albumCpu.push_back(album.cpu / peerAlbum.cpu);
        std::printf("round %d: folder %.2f s / %.2f s cpu (peer %.2f / %.2f), album %.2f / %.2f (peer %.2f / %.2f)\n",
            round + 1, folder.wall, folder.cpu, peerFolder.wall, peerFolder.cpu, album.wall, album.cpu,
            peerAlbum.wall, peerAlbum.cpu);
        const Timing runs[4] = {folder, peerFolder, album, peerAlbum};
        for (int k = 0; k < 4; ++k) {
            sums[k].wall += runs[k].wall / rounds;
            sums[k].cpu += runs[k].cpu / rounds;
        }
    }
    fs::remove_all(out);
    std::printf("\n%d captures of 1920 x 1080, %d rounds; ratio = median of the rounds' ratios\n", kItems, rounds);
    std::printf("folder export  %5.2f s (cpu %5.2f)   peer: load+save of the images            %5.2f s (cpu %5.2f)"
                "   ratio %.2f wall, %.2f cpu\n",
        sums[0].wall, sums[0].cpu, sums[1].wall, sums[1].cpu, Median(folderWall), Median(folderCpu));
    std::printf("album export   %5.2f s (cpu %5.2f)   peer: load+save of images and thumbnails %5.2f s (cpu %5.2f)"
                "   ratio %.2f wall, %.2f cpu\n",
        sums[2].wall, sums[2].cpu, sums[3].wall, sums[3].cpu, Median(albumWall), Median(albumCpu));
    return 0;
}
