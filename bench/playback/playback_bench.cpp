// Playback through the real play thread into the real video panel on the X server, the way the
// play manager plays (the play thread decodes and draws, the main thread presents every reported
// frame): 1080p H.264 at 30 and 60 frames per second into the panel of the window at its opening
// size, 1080p60 and 4K30 into the panel of the window maximised on a 2560 x 1440 screen (4K with
// both shrinking filters); then the panel's draw of 1080p and 4K frames with each filter at the
// opening size and in full screen, against a plain memcpy of the frame.
//
// With clips named on the command line it plays those instead, into the panel at the opening
// size. Every clip played reports its processor time per frame against 80 % of the frame period,
// and its late frames (more than 1.5 periods after the one before) and worst gap. The memory
// figure is the program's whole course in a process of its own, through the play manager: the
// open with its first frame and thumbnail strip, 30 s of play (or the whole clip) and the pause,
// its peak resident size against mpv's (--vo=null) on the same clip when mpv is installed. Without
// clips it is taken on a 30 s 4K H.264 clip.
//
//   xvfb-run -a -s "-screen 0 2560x1440x24" build/bench_playback [draw | clip ...]

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <SDL.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "playback/Playthread.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "playback/decoderRecords.h"
#include "platform/heap.h"
#include "playback/playManager.h"
#include "benchClips.h"
#include "benchPanel.h"
#include "benchShell.h"

namespace {

using bench::Quoted;
using bench::Run;

using Clock = std::chrono::steady_clock;
using namespace playback;

constexpr int DrawRuns = 100;
// Seconds of play the memory figure covers.
constexpr int MemoryPlaySeconds = 30;

// Panel sizes: the window at its opening size (892 x 566), maximised on a 2560 x 1440 screen,
// and full screen there (everything but the 64-pixel control strip).
constexpr QSize OpeningPanel(633, 244);
constexpr QSize MaximisedPanel(2301, 1118);
constexpr QSize FullScreenPanel(2560, 1376);

const char* FilterName(TScaleFilter filter)
{
    return filter == TScaleFilter::Smooth ? "smooth" : "nearest";
}

double CpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The first line a command prints, without its line end; empty when it fails.
std::string FirstLine(const std::string& command)
{
    struct PipeCloser {
        void operator()(FILE* pipe) const { pclose(pipe); }
    };
    const std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
    if (!pipe)
        return {};
    char line[256] = {};
    if (std::fgets(line, sizeof line, pipe.get()) == nullptr)
        return {};
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// Times this process was taken off a processor while it could still run: other work on the
// machine competing for it.
long InvoluntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nivcsw;
}

std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// An H.264 clip of width x height at `rate` frames per second, made once with the ffmpeg tool.
std::string EnsureClip(int width, int height, int rate, int seconds)
{
    const std::string folder = BENCH_DATA_FOLDER;
    const std::string path = folder + "/clip" + std::to_string(height) + "p" + std::to_string(rate) + "_"
                             + std::to_string(seconds) + "s.mp4";
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    std::printf("making the %d s %dp H.264 clip at %d fps ...\n", seconds, height, rate);
    std::fflush(stdout);
    const std::string partial = path + ".part.mp4";
    const bool made = Run("ffmpeg -v error -nostdin -y -f lavfi -i 'testsrc2=size=" + std::to_string(width) + "x"
                          + std::to_string(height) + ":rate=" + std::to_string(rate)
                          + ",noise=alls=6:allf=t' -t " + std::to_string(seconds)
                          + " -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 250 " + Quoted(partial))
                      && std::rename(partial.c_str(), path.c_str()) == 0;
    return made ? path : std::string();
}

// Frames in the clip's video stream, counted by decoding it with ffprobe.
long CountFrames(const std::string& clip)
{
    const std::string count = FirstLine("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                        "stream=nb_read_frames -of default=noprint_wrappers=1:nokey=1 "
                                        + Quoted(clip));
    return count.empty() ? -1 : std::strtol(count.c_str(), nullptr, 10);
}

// The goals of a clip beyond keeping time.
struct ClipGoals {
    bool cpu = false;     // processor time per frame <= 80 % of the period
    bool onTime = false;  // no frame later than 1.5 periods
    bool memory = true;   // peak resident size <= mpv's, when mpv could be measured
};

// Plays the whole clip through a play thread into the panel and prints what it measured.
// Returns whether it kept time and showed every frame; `goals` gets the others.
bool PlayClip(TDecoder& decoder, TSDLPanel& panel, const std::string& clip, TScaleFilter filter,
              ClipGoals* goals = nullptr)
{
    bench::ResetPeak();
    const long baseKiB = bench::OwnPeakKiB();
    decoder.Open(clip);
    const TVideoFileInfo& info = *decoder.FileInfo();
    const long clipFrames = CountFrames(clip);
    const double rate = info.FrameRate;
    std::printf("\nclip %s: %d x %d, %.3f fps, %d s, %ld frames (ffprobe -count_frames), into the %d x %d panel, "
                "starting with the %s filter\n",
        std::filesystem::path(clip).filename().c_str(), info.FrameWidth, info.FrameHeight, rate, info.DurationSeconds,
        clipFrames, panel.width(), panel.height(), FilterName(filter));
    std::printf("  load average before: %s\n", LoadAverage().c_str());

    // As the play manager sets up the panel on an open.
    panel.SetAspectRatio(info.AspectRatio);
    panel.ClearScreen(0);
    panel.SetFrameSize(info.SurfaceWidth, info.SurfaceHeight);
    // As the play manager starts playback: frames that do not fit come at the panel's size.
    if (ShowAtPanelSize(decoder, panel))
        std::printf("  frames converted at the panel's size, %d x %d\n", decoder.ShownWidth(), decoder.ShownHeight());
    else
        std::printf("  frames converted at the full size\n");

    long presented = 0;
    bool finished = false;
    bool failed = false;
    std::vector<double> intervals;
    intervals.reserve(static_cast<std::size_t>(std::max(clipFrames, 1L)));
    Clock::time_point start;
    Clock::time_point lastFrame;
    Clock::time_point end;
    QEventLoop loop;

    TPlayThread thread(decoder);
    thread.Panel = &panel;
    thread.Filter = filter;
    // What the play manager does with a report: present the frame drawn, stop at the end.
    thread.SetOnStatus([&](TPlayStatus status, std::int32_t) {
        if (status & stFrameShown) {
            panel.Present();
            const Clock::time_point now = Clock::now();
            if (presented > 0)
                intervals.push_back(std::chrono::duration<double, std::milli>(now - lastFrame).count());
            lastFrame = now;
            ++presented;
        }
        if (status & stFinished) {
            end = Clock::now();
            finished = true;
            failed = (status & stError) != 0;
            loop.quit();
        }
    });

    const int timeoutMs = static_cast<int>(info.DurationSeconds + 5) * 4000;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    const double cpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double mainCpuStart = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const long switchesStart = InvoluntarySwitches();
    start = Clock::now();
    thread.Resume();
    loop.exec();
    if (!finished)
        end = Clock::now();
    thread.Stop();
    const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    const double mainCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainCpuStart;
    const long switches = InvoluntarySwitches() - switchesStart;
    const double elapsed = std::chrono::duration<double>(end - start).count();

    if (!finished)
        std::printf("  timed out after %.1f s\n", elapsed);
    if (failed)
        std::printf("  the play thread reported an error\n");
    const double shownRate = presented / elapsed;
    const double ratio = shownRate / rate;
    const double period = 1000.0 / rate;
    std::printf("  presented per second of real time: %.3f fps over %.3f s, ratio to %.3f fps %.4f (goal >= 0.99)\n",
        shownRate, elapsed, rate, ratio);
    std::printf("  frames presented: %ld of %ld in the clip (goal: equal, none skipped)\n", presented, clipFrames);
    ClipGoals met;
    const double cpuPerFrame = presented > 0 ? cpu * 1000 / presented : 0.0;
    met.cpu = presented > 0 && cpuPerFrame <= 0.8 * period;
    std::printf("  CPU time per frame: %.3f ms (process, all threads; main thread %.3f ms), %.0f %% of the %.3f ms "
                "period (goal <= 80 %%: %s)\n",
        cpuPerFrame, presented > 0 ? mainCpu * 1000 / presented : 0.0, 100 * cpuPerFrame / period, period,
        met.cpu ? "met" : "missed");
    if (!intervals.empty()) {
        const double mean = std::chrono::duration<double, std::milli>(lastFrame - start).count() / presented;
        const long late = std::count_if(intervals.begin(), intervals.end(), [&](double ms) { return ms > 1.5 * period; });
        const double worst = *std::max_element(intervals.begin(), intervals.end());
        met.onTime = late == 0;
        std::printf("  frame to frame: median %.3f ms, mean %.3f ms, worst gap %.3f ms (%.2f periods); late (> 1.5 "
                    "periods): %ld of %zu (goal 0: %s)\n",
            Median(intervals), mean, worst, worst / period, late, intervals.size(), met.onTime ? "met" : "missed");
        if (late > 0) {
            std::printf("  late frames (number in the run: gap):");
            for (std::size_t i = 0; i < intervals.size(); ++i) {
                if (intervals[i] > 1.5 * period)
                    std::printf(" %zu: %.1f ms", i + 1, intervals[i]);
            }
            std::printf("\n");
        }
    }
    const long ownKiB = bench::OwnPeakKiB();
    std::printf("  peak resident size of this benchmark while playing: %.1f MiB (%.1f MiB before the open)\n",
        ownKiB / 1024.0, baseKiB / 1024.0);
    if (goals != nullptr)
        *goals = met;
    std::printf("  preempted by other work: %ld involuntary context switches (%.2f per frame)\n", switches,
        presented > 0 ? static_cast<double>(switches) / presented : 0.0);
    std::printf("  filter of the last frame drawn: %s\n", FilterName(panel.Filter()));
    std::printf("  load average after: %s\n", LoadAverage().c_str());
    return finished && !failed && ratio >= 0.99 && presented == clipFrames;
}

// The program's course on a clip, run in a process of its own (`bench_playback memory clip`): the
// play manager opens the clip into the panel at the opening size, making its first frame and its
// thumbnail strip, plays `seconds` (or to the end) and pauses. 0 when it got through.
int ProgramCourse(const std::string& clip, int seconds)
{
    bench::PanelHost window;
    if (!bench::ShowPanel(window))
        return 2;
    TPlayManager manager;
    manager.Panel = window.panel;
    try {
        manager.Open(clip);
    } catch (const std::exception&) {
        return 3;
    }
    // Sleeping in the event loop as the program does, woken by the worker's hand-overs.
    QTimer guard;
    guard.setSingleShot(true);
    guard.start(120000);
    while (!manager.ThumbnailsReady && guard.isActive())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    manager.WaitForThumbnails();
    QEventLoop loop;
    manager.OnFinished = [&loop] { loop.quit(); };
    manager.Play();
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    manager.Pause();
    return manager.ThumbnailsReady ? 0 : 4;
}

// Peak resident size of the program's course on the clip (see ProgramCourse) against mpv's on the
// same clip, each a process of its own, printed. Whether ours is at most mpv's; true when mpv
// cannot be measured.
bool ProgramMemory(const std::string& clip)
{
    std::printf("\nmemory of %s: open (first frame and thumbnail strip), %d s of play (or to the end) into the %d x %d "
                "panel, pause, through the play manager in a process of its own; load average %s\n",
        std::filesystem::path(clip).filename().c_str(), MemoryPlaySeconds, OpeningPanel.width(),
        OpeningPanel.height(), LoadAverage().c_str());
    std::fflush(stdout);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const long ownKiB =
        bench::PeakKiBOf(Quoted(self) + " memory " + Quoted(clip) + " " + std::to_string(MemoryPlaySeconds));
    if (ownKiB <= 0) {
        std::printf("  the program's course failed on the clip\n");
        return false;
    }
    std::printf("  peak resident size of the program's course: %ld KiB (%.1f MiB)\n", ownKiB, ownKiB / 1024.0);
    if (!bench::HasProgram("mpv")) {
        std::printf("  mpv is not installed (apt-get install mpv): no memory ratio\n");
        return true;
    }
    const long mpvKiB =
        bench::PeakKiBOf("mpv --no-config --really-quiet --vo=null --ao=null --untimed " + Quoted(clip));
    if (mpvKiB <= 0) {
        std::printf("  mpv failed on the clip: no memory ratio\n");
        return true;
    }
    const bool met = ownKiB <= mpvKiB;
    std::printf("  peak resident size of mpv --vo=null --untimed on the clip: %ld KiB (%.1f MiB); ratio %.3f (goal "
                "<= 1.0: %s)\n",
        mpvKiB, mpvKiB / 1024.0, static_cast<double>(ownKiB) / mpvKiB, met ? "met" : "missed");
    std::printf("  load average after: %s\n", LoadAverage().c_str());
    return met;
}

// Milliseconds of one call.
double CallMs(const std::function<void()>& work)
{
    const auto t0 = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A decoded frame of the clip, kept in memory.
struct HeldFrame {
    int width = 0;
    int height = 0;
    double aspect = 0;
    std::vector<std::uint32_t> pixels;
};

HeldFrame FirstFrame(TDecoder& decoder, const std::string& clip)
{
    decoder.Open(clip);
    const TVideoFileInfo& info = *decoder.FileInfo();
    const TVideoFrame* decoded = decoder.NextFrame();
    HeldFrame held;
    if (decoded == nullptr)
        return held;
    held.width = info.SurfaceWidth;
    held.height = info.SurfaceHeight;
    held.aspect = info.AspectRatio;
    held.pixels.assign(decoded->Pixels, decoded->Pixels + static_cast<std::size_t>(held.width) * held.height);
    return held;
}

// Milliseconds the decoder takes for one frame (decode and conversion to 32 bits), median of the
// first `count` frames after the first.
double DecodeMs(TDecoder& decoder, const std::string& clip, int count)
{
    decoder.Open(clip);
    decoder.NextFrame();
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
        times.push_back(CallMs([&] { decoder.NextFrame(); }));
    return Median(times);
}

struct DrawCost {
    double nearest = 0;
    double smooth = 0;
};

// The panel's draw of each frame with each filter, and a plain copy of the frame for scale.
DrawCost TimeShowFrame(TSDLPanel& panel, const HeldFrame& held, const char* where)
{
    const std::size_t pixels = held.pixels.size();
    std::vector<std::uint32_t> source = held.pixels;
    std::vector<std::uint32_t> copy(pixels, 1);
    TVideoFrame frame{source.data()};
    panel.SetAspectRatio(held.aspect);
    panel.SetFrameSize(held.width, held.height);
    panel.ShowFrame(&frame);
    panel.Present();
    QApplication::processEvents();

    // Turn about, so that other work on the machine weighs on all alike.
    std::vector<double> nearest, smooth, plain, present;
    for (int i = 0; i < DrawRuns; ++i) {
        nearest.push_back(CallMs([&] { panel.ShowFrame(&frame, TScaleFilter::Nearest); }));
        smooth.push_back(CallMs([&] { panel.ShowFrame(&frame, TScaleFilter::Smooth); }));
        plain.push_back(CallMs([&] { std::memcpy(copy.data(), source.data(), pixels * 4); }));
        present.push_back(CallMs([&] { panel.Present(); }));
    }
    const DrawCost cost{Median(nearest), Median(smooth)};
    const double copyMs = Median(plain);
    const SDL_Surface* screen = panel.ScreenSurface();
    std::printf("  %4d x %4d frame -> %4d x %4d panel (%s): ShowFrame nearest %7.3f ms, smooth %7.3f ms; memcpy of the "
                "frame %6.3f ms; ratio to memcpy: nearest %.2f, smooth %.2f; Present %.3f ms\n",
        held.width, held.height, screen != nullptr ? screen->w : 0, screen != nullptr ? screen->h : 0, where,
        cost.nearest, cost.smooth, copyMs, cost.nearest / copyMs, cost.smooth / copyMs, Median(present));
    return cost;
}

using bench::PanelHost;
using bench::ShowPanel;

// Sizes the video area as the window would at that size; the panel re-opens its screen.
void SizePanel(PanelHost& window, QSize size)
{
    window.host->setFixedSize(size.width(), size.height() + 64);
    window.panel->setGeometry(QRect(QPoint(0, 0), size));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct PlaybackGoals {
    bool met = false;         // 1080p at 30 and 60 fps at the opening size, 1080p60 maximised
    bool uhdAsPlayed = false;  // 4K30 maximised on time as the program plays it
    bool uhdNearest = false;   // and with nearest-neighbour from the start
    ClipGoals uhd;             // 4K30 as the program plays it
};

PlaybackGoals PlayAll(TDecoder& decoder, PanelHost& window, const std::string& hd30, const std::string& hd60,
                      const std::string& uhd30)
{
    PlaybackGoals goals;
    std::printf("playback benchmark: the window at its opening size, video panel %d x %d\n", OpeningPanel.width(),
        OpeningPanel.height());
    // As the program plays: smooth while it keeps time, nearest from the first time it does not.
    goals.met = PlayClip(decoder, *window.panel, hd30, TScaleFilter::Smooth);
    goals.met = PlayClip(decoder, *window.panel, hd60, TScaleFilter::Smooth) && goals.met;

    SizePanel(window, MaximisedPanel);
    std::printf("\nplayback benchmark: the window maximised on a 2560 x 1440 screen, video panel %d x %d\n",
        window.panel->width(), window.panel->height());
    goals.met = PlayClip(decoder, *window.panel, hd60, TScaleFilter::Smooth) && goals.met;
    goals.uhdAsPlayed = PlayClip(decoder, *window.panel, uhd30, TScaleFilter::Smooth, &goals.uhd);
    goals.uhdNearest = PlayClip(decoder, *window.panel, uhd30, TScaleFilter::Nearest);
    return goals;
}

}  // namespace

int main(int argc, char** argv)
{
    // As the program sets up its heap at start.
    platform::LimitHeapOverhead();
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        std::fprintf(stderr, "needs the xcb platform on an X server\n");
        return 1;
    }
    // The child process of a memory figure.
    if (argc == 4 && std::string(argv[1]) == "memory")
        return ProgramCourse(argv[2], std::atoi(argv[3]));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    if (screen.width() < 2560 || screen.height() < 1440)
        std::printf("note: the screen is %d x %d; the large panels are meant for a 2560 x 1440 screen\n",
            screen.width(), screen.height());

    // Clips on the command line: each played into the panel at its opening size, with its goals.
    if (argc > 1 && std::string(argv[1]) != "draw") {
        PanelHost window;
        if (!ShowPanel(window)) {
            std::fprintf(stderr, "the video panel did not open on the X server\n");
            return 1;
        }
        TDecoder decoder;
        bool all = true;
        for (int i = 1; i < argc; ++i) {
            ClipGoals goals;
            const bool kept = PlayClip(decoder, *window.panel, argv[i], TScaleFilter::Smooth, &goals);
            goals.memory = ProgramMemory(argv[i]);
            all = all && kept && goals.cpu && goals.onTime && goals.memory;
        }
        std::printf("\nplayback goals (on time, every frame, processor time, no late frame, memory) %s\n",
            all ? "met" : "missed");
        return 0;
    }

    const std::string hd30 = EnsureClip(1920, 1080, 30, 15);
    const std::string hd60 = EnsureClip(1920, 1080, 60, 15);
    const std::string uhd30 = EnsureClip(3840, 2160, 30, 10);
    if (hd30.empty() || hd60.empty() || uhd30.empty()) {
        std::fprintf(stderr, "could not make the clips\n");
        return 1;
    }

    PanelHost window;
    if (!ShowPanel(window)) {
        std::fprintf(stderr, "the video panel did not open on the X server\n");
        return 1;
    }
    TDecoder decoder;
    // "draw" times the panel's draw alone.
    const bool drawOnly = argc > 1 && std::string(argv[1]) == "draw";
    PlaybackGoals goals = drawOnly ? PlaybackGoals{} : PlayAll(decoder, window, hd30, hd60, uhd30);
    if (!drawOnly) {
        const std::string uhdLong = bench::EnsureClip(BENCH_DATA_FOLDER, bench::Clip2160pH264);
        goals.uhd.memory = !uhdLong.empty() && ProgramMemory(uhdLong);
    }

    std::printf("\ndraw of one frame, median of %d calls each; load average %s\n", DrawRuns, LoadAverage().c_str());
    const HeldFrame hd = FirstFrame(decoder, hd60);
    const HeldFrame uhd = FirstFrame(decoder, uhd30);
    SizePanel(window, OpeningPanel);
    const DrawCost hdSmall = TimeShowFrame(*window.panel, hd, "window at 892 x 566");
    const DrawCost uhdSmall = TimeShowFrame(*window.panel, uhd, "window at 892 x 566");
    SizePanel(window, FullScreenPanel);
    TimeShowFrame(*window.panel, hd, "full screen 2560 x 1440");
    const DrawCost uhdLarge = TimeShowFrame(*window.panel, uhd, "full screen 2560 x 1440");

    const double hdDecode = DecodeMs(decoder, hd60, 60);
    const double uhdDecode = DecodeMs(decoder, uhd30, 30);
    std::printf("\ndecode and conversion per frame (median): 1080p %.3f ms, 4K %.3f ms\n", hdDecode, uhdDecode);
    std::printf("1080p60 (period 16.667 ms): decode + smooth draw into the 892 x 566 window's panel %.3f ms, "
                "+ nearest %.3f ms\n",
        hdDecode + hdSmall.smooth, hdDecode + hdSmall.nearest);
    std::printf("4K30 (period 33.333 ms): decode + smooth draw %.3f ms (892 x 566) / %.3f ms (full screen), "
                "+ nearest %.3f ms / %.3f ms\n",
        uhdDecode + uhdSmall.smooth, uhdDecode + uhdLarge.smooth, uhdDecode + uhdSmall.nearest,
        uhdDecode + uhdLarge.nearest);
    if (!drawOnly)
        std::printf("4K30 into the maximised window's panel played on time: as the program plays it %s, with "
                    "nearest from the start %s\n",
            goals.uhdAsPlayed ? "yes" : "no", goals.uhdNearest ? "yes" : "no");
    std::printf("playback draws smooth while decode and draw typically take at most 3/4 of the period, else "
                "nearest; a paused or stepped frame is drawn smooth\n");
    if (!drawOnly)
        std::printf("4K30 as the program plays it: processor time per frame <= 80 %% of the period %s, no late frame "
                    "%s (a 30 s run: give the clip on the command line), peak memory of open, strip and 30 s of "
                    "play <= mpv's %s\n",
            goals.uhd.cpu ? "met" : "missed", goals.uhd.onTime ? "met" : "missed", goals.uhd.memory ? "met" : "missed");
    if (!drawOnly)
        std::printf("\nplayback goals (1080p at 30 and 60 fps at the opening size, 1080p60 maximised) %s\n",
            goals.met ? "met" : "missed");
    return 0;
}
