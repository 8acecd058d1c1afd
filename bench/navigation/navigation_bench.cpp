// Stepping back frame by frame, as the program does it and as the peers do it: 100 steps back
// from the middle of a 1080p30 H.264 clip with a keyframe every 250 frames, each shown in the
// real video panel on the X server.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_navigation
//
// Ours: the play manager's StepBack, which copies from its cache of decoded frames and refills
// the span before it from the keyframe once when it runs out. The peers' way, in the same run:
// for every step, a seek to the keyframe before the wanted frame and a decode forward to it
// (naive: every frame decoded and converted; and the module's own exact seek, which skips what
// it can). Goals: median <= 15 ms, 95th percentile <= the decode of one group of pictures, the
// cache inside its budget.

#include <sys/resource.h>

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "benchPanel.h"
#include "benchShell.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "playback/frameCache.h"
#include "playback/playManager.h"

namespace {

using bench::Quoted;
using bench::Run;
using Clock = std::chrono::steady_clock;
using namespace playback;

constexpr int ClipSeconds = 20;
constexpr int Rate = 30;
constexpr int GroupFrames = 250;
constexpr std::int64_t StartFrame = 300;  // the middle; the steps cross the keyframe at 250
constexpr int Steps = 100;

std::int64_t FrameMicroseconds(std::int64_t frame)
{
    return frame * 1000000 / Rate;
}

std::string EnsureClip()
{
    const std::string folder = BENCH_DATA_FOLDER;
    const std::string path = folder + "/stepback1080p30_g250_" + std::to_string(ClipSeconds) + "s.mp4";
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    std::printf("making the %d s 1080p30 H.264 clip, a keyframe every %d frames ...\n", ClipSeconds, GroupFrames);
    std::fflush(stdout);
    const std::string partial = path + ".part.mp4";
    const bool made = Run("ffmpeg -v error -nostdin -y -f lavfi -i 'testsrc2=size=1920x1080:rate=" + std::to_string(Rate)
                          + ",noise=alls=6:allf=t' -t " + std::to_string(ClipSeconds)
                          + " -c:v libx264 -preset veryfast -pix_fmt yuv420p -g " + std::to_string(GroupFrames)
                          + " -keyint_min " + std::to_string(GroupFrames) + " -sc_threshold 0 " + Quoted(partial))
                      && std::rename(partial.c_str(), path.c_str()) == 0;
    return made ? path : std::string();
}

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Figures {
    double median = 0;
    double p95 = 0;
    double worst = 0;
    double total = 0;
};

Figures Summarise(std::vector<double> ms)
{
    Figures f;
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    f.median = n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    f.p95 = ms[(n * 95 + 99) / 100 - 1];
    f.worst = ms.back();
    for (const double v : ms)
        f.total += v;
    return f;
}

// As the play manager shows a frame that stays on display.
void Show(TSDLPanel& panel, const TVideoFrame* frame)
{
    panel.ShowFrame(frame, TScaleFilter::Smooth);
    panel.Present();
}

long PeakResidentMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
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
    const std::string clip = EnsureClip();
    if (clip.empty()) {
        std::fprintf(stderr, "could not make the clip\n");
        return 1;
    }
    bench::PanelHost window;
    if (!bench::ShowPanel(window)) {
        std::fprintf(stderr, "the video panel did not open on the X server\n");
        return 1;
    }
    TSDLPanel* panel = window.panel;

    TPlayManager manager;
    manager.Panel = panel;
    if (manager.Navigator() == nullptr) {
        std::fprintf(stderr, "decoder.so lacks the navigation exports\n");
        return 1;
    }
    manager.Open(clip);
    manager.WaitForThumbnails();
    std::printf("step-back benchmark: %s, %d x %d at %.3f fps, %d steps back from frame %lld, panel %d x %d\n",
        std::filesystem::path(clip).filename().c_str(), manager.SurfaceWidth, manager.SurfaceHeight,
        manager.Decoder().FrameRate(), Steps, static_cast<long long>(StartFrame), panel->width(), panel->height());

    // Ours, arriving in the middle by a seek (so the first step refills too).
    manager.GoToTime(FrameMicroseconds(StartFrame));
    std::vector<double> ours;
    bool exact = true;
    for (int i = 1; i <= Steps; ++i) {
        const auto t0 = Clock::now();
        manager.StepBack();
        ours.push_back(Ms(t0, Clock::now()));
        exact = exact && manager.Navigator()->Current()->FrameNumber == StartFrame - i;
    }
    const TFrameCache& cache = manager.Navigator()->Cache();
    const std::size_t peak = cache.PeakBytes();

    // The peers, with a decoder of their own on the same clip and the same panel.
    TDecoder peer;
    peer.Open(clip);
    const std::size_t framePixels = static_cast<std::size_t>(peer.FrameWidth()) * peer.FrameHeight();
    std::vector<double> naive;
    std::vector<double> seeking;
    for (int i = 1; i <= Steps; ++i) {
        const std::int64_t wanted = FrameMicroseconds(StartFrame - i);
        auto t0 = Clock::now();
        peer.SeekKeyframe(wanted);
        const TVideoFrame* frame = nullptr;
        while ((frame = peer.NextFrame()) != nullptr && peer.FrameTime()->Microseconds < wanted) {
        }
        Show(*panel, frame);
        naive.push_back(Ms(t0, Clock::now()));
        exact = exact && frame != nullptr && peer.FrameTime()->FrameNumber == StartFrame - i;

        t0 = Clock::now();
        peer.SeekTime(wanted);
        frame = peer.NextFrame();
        Show(*panel, frame);
        seeking.push_back(Ms(t0, Clock::now()));
        exact = exact && frame != nullptr && peer.FrameTime()->FrameNumber == StartFrame - i;
    }

    // One group of pictures decoded (and converted) from its keyframe, three times.
    std::vector<double> group;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        peer.SeekKeyframe(FrameMicroseconds(GroupFrames));
        for (int n = 0; n < GroupFrames && peer.NextFrame() != nullptr; ++n) {
        }
        group.push_back(Ms(t0, Clock::now()));
    }
    const double groupMs = Summarise(group).median;

    const Figures o = Summarise(ours);
    const Figures nv = Summarise(naive);
    const Figures sk = Summarise(seeking);
    std::printf("\n%-44s %10s %10s %10s %10s\n", "per step (ms)", "median", "95th pct", "worst", "100 steps");
    std::printf("%-44s %10.2f %10.2f %10.2f %10.1f\n", "ours: cache, refilled once per span", o.median, o.p95,
        o.worst, o.total);
    std::printf("%-44s %10.2f %10.2f %10.2f %10.1f\n", "peer: keyframe + decode forward, naive", nv.median, nv.p95,
        nv.worst, nv.total);
    std::printf("%-44s %10.2f %10.2f %10.2f %10.1f\n", "peer: keyframe + decode forward, exact seek", sk.median,
        sk.p95, sk.worst, sk.total);
    std::printf("\nnaive peer / ours: median %.1fx, 95th percentile %.1fx, 100 steps %.1fx\n", nv.median / o.median,
        nv.p95 / o.p95, nv.total / o.total);
    std::printf("exact-seek peer / ours: median %.1fx, 95th percentile %.1fx, 100 steps %.1fx\n",
        sk.median / o.median, sk.p95 / o.p95, sk.total / o.total);
    std::printf("decoding one group of pictures (%d frames from its keyframe): %.1f ms\n", GroupFrames, groupMs);
    std::printf("cache: budget %zu MB = %zu frames of %zu MB; peak %.1f MB; process peak resident %ld MB\n",
        cache.Budget() >> 20, cache.Capacity(), framePixels * 4 >> 20, static_cast<double>(peak) / (1 << 20),
        PeakResidentMB());
    std::printf("every frame shown was the one wanted: %s\n", exact ? "yes" : "NO");

    const bool met = o.median <= 15.0 && o.p95 <= groupMs && peak <= cache.Budget() && exact;
    std::printf("\ngoals (median <= 15 ms, 95th percentile <= one group's decode, peak <= budget, exact): %s\n",
        met ? "met" : "missed");
    return met ? 0 : 2;
}
