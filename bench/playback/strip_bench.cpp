// The thumbnail strip made by the play manager's own worker (open, seven exact frames, fitted into
// their boxes) against ffmpegthumbnailer making the same seven pictures, one run each, the two
// sides alternating in every round. By default on a 70 s 1080p clip with groups of 250 and of 60
// frames and on 30 s 4K H.264 and HEVC clips, or on the clips named on the command line.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_strip [clip ...]

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "playback/playManager.h"
#include "benchClips.h"
#include "benchPanel.h"
#include "benchShell.h"

namespace {

using Clock = std::chrono::steady_clock;
using playback::TPlayManager;
using playback::TThumbnailWorkThread;

constexpr int Rounds = 3;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Seconds from the open until the worker has handed over its seventh picture; -1 on failure.
double OwnStrip(TPlayManager& manager, const std::string& clip)
{
    const auto start = Clock::now();
    try {
        manager.Open(clip);
    } catch (const std::exception&) {
        return -1;
    }
    // Sleeping in the event loop as the program does, woken by the worker's hand-overs, so that
    // the main thread takes no processor time from the decoding.
    QTimer guard;
    guard.start(120000);
    while (!manager.ThumbnailsReady && guard.isActive())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    manager.WaitForThumbnails();
    return manager.ThumbnailsReady ? seconds : -1;
}

std::string Clock24(std::int64_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
        static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

// Seven ffmpegthumbnailer runs at the strip's positions, 81 pixels wide; -1 on failure.
double PeerStrip(const std::string& clip, std::int32_t durationSeconds, const std::string& picture)
{
    const auto start = Clock::now();
    for (int i = 0; i < playback::ThumbnailCount; ++i) {
        const std::string at = Clock24(TThumbnailWorkThread::PositionFor(durationSeconds, i));
        if (!bench::Run("ffmpegthumbnailer -s 81 -q 8 -t " + at + " -i " + bench::Quoted(clip) + " -o "
                        + bench::Quoted(picture) + " >/dev/null 2>&1"))
            return -1;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        std::fprintf(stderr, "needs the xcb platform on an X server\n");
        return 1;
    }
    std::vector<std::string> clips;
    for (int i = 1; i < argc; ++i)
        clips.emplace_back(argv[i]);
    if (clips.empty()) {
        for (const bench::TClip* clip :
            {&bench::Clip1080pGop250, &bench::Clip1080pGop60, &bench::Clip2160pH264, &bench::Clip2160pHevc}) {
            const std::string path = bench::EnsureClip(BENCH_DATA_FOLDER, *clip);
            if (path.empty()) {
                std::fprintf(stderr, "could not make %s\n", clip->Name);
                return 1;
            }
            clips.push_back(path);
        }
    }
    bench::PanelHost window;
    if (!bench::ShowPanel(window)) {
        std::fprintf(stderr, "the video panel did not open on the X server\n");
        return 1;
    }
    const bool peer = bench::HasProgram("ffmpegthumbnailer");
    if (!peer)
        std::printf("ffmpegthumbnailer is not installed (apt-get install ffmpegthumbnailer): our times only\n");
    const std::string picture = (std::filesystem::temp_directory_path() / "stillreel_bench_strip.png").string();

    TPlayManager manager;
    manager.Panel = window.panel;
    bool met = true;
    for (const std::string& clip : clips) {
        std::printf("\n%s, load average %s\n", std::filesystem::path(clip).filename().c_str(), LoadAverage().c_str());
        std::vector<double> ours, theirs;
        for (int round = 0; round < Rounds; ++round) {
            ours.push_back(OwnStrip(manager, clip));
            if (peer)
                theirs.push_back(PeerStrip(clip, manager.DurationSeconds, picture));
        }
        if (*std::min_element(ours.begin(), ours.end()) < 0) {
            std::printf("  the strip failed\n");
            met = false;
            continue;
        }
        const double own = Median(ours);
        std::printf("  our strip (open + 7 exact frames, fitted): median %.3f s of %d rounds\n", own, Rounds);
        if (peer && *std::min_element(theirs.begin(), theirs.end()) >= 0) {
            const double other = Median(theirs);
            const bool faster = own < other;
            std::printf("  ffmpegthumbnailer, 7 runs (keyframes near the positions): median %.3f s; ratio %.2f (goal < 1: "
                        "%s)\n",
                other, own / other, faster ? "met" : "missed");
            met = met && faster;
        }
        const std::string name = std::filesystem::path(clip).filename().string();
        if (name == bench::Clip1080pGop250.Name) {
            std::printf("  goal for this clip: <= 0.6 s: %s\n", own <= 0.6 ? "met" : "missed");
            met = met && own <= 0.6;
        }
    }
    std::filesystem::remove(picture);
    std::printf("\nstrip goals %s\n", met ? "met" : "missed");
    return 0;
}
