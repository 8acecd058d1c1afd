// Playback through the real play thread into the real video panel on the X server: by default
// 1080p H.264 clips at 30 and 60 frames per second and a 30 s 4K30 H.264 clip, or the clips named
// on the command line, played from start to end the way the play manager plays them (the play
// thread decodes and draws, the main thread presents every reported frame); per clip the pace, the
// processor time per frame, the late frames and the worst gap, and the peak resident size against
// mpv's on the same clip. Then the panel's draw of one 1920 x 1080 frame against a memcpy of it.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_playback [clip ...]

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <SDL.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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
#include "benchClips.h"
#include "benchPanel.h"
#include "benchShell.h"

namespace {

using bench::Quoted;
using bench::Run;

using Clock = std::chrono::steady_clock;
using namespace playback;

constexpr int ClipSeconds = 15;
constexpr int DrawRuns = 300;

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

// A 1080p H.264 clip at `rate` frames per second, made once with the ffmpeg tool.
std::string EnsureClip(int rate)
{
    const std::string folder = BENCH_DATA_FOLDER;
    const std::string path = folder + "/clip1080p" + std::to_string(rate) + "_" + std::to_string(ClipSeconds) + "s.mp4";
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    std::printf("making the %d s 1080p H.264 clip at %d fps ...\n", ClipSeconds, rate);
    std::fflush(stdout);
    const std::string partial = path + ".part.mp4";
    const bool made = Run("ffmpeg -v error -nostdin -y -f lavfi -i 'testsrc2=size=1920x1080:rate=" + std::to_string(rate)
                          + ",noise=alls=6:allf=t' -t " + std::to_string(ClipSeconds)
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

// Plays the whole clip through a play thread into the panel and prints what it measured.
// Returns whether both goals were met.
bool PlayClip(TDecoder& decoder, TSDLPanel& panel, const std::string& clip)
{
    bench::ResetPeak();
    const long baseKiB = bench::OwnPeakKiB();
    decoder.Open(clip);
    const TVideoFileInfo& info = *decoder.FileInfo();
    const long clipFrames = CountFrames(clip);
    const double rate = info.FrameRate;
    std::printf("\nclip %s: %d x %d, %.3f fps, %d s, %ld frames (ffprobe -count_frames)\n",
        std::filesystem::path(clip).filename().c_str(), info.FrameWidth, info.FrameHeight, rate, info.DurationSeconds,
        clipFrames);
    std::printf("  load average before: %s\n", LoadAverage().c_str());

    // As the play manager sets up the panel on an open.
    panel.SetAspectRatio(info.AspectRatio);
    panel.ClearScreen(0);
    panel.SetFrameSize(info.SurfaceWidth, info.SurfaceHeight);

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
    const double cpuPerFrame = presented > 0 ? cpu * 1000 / presented : 0.0;
    const bool cpuMet = presented > 0 && cpuPerFrame <= 0.8 * period;
    std::printf("  CPU time per frame: %.3f ms (process, all threads; main thread %.3f ms), %.0f %% of the %.3f ms "
                "period (goal <= 80 %%: %s)\n",
        cpuPerFrame, presented > 0 ? mainCpu * 1000 / presented : 0.0, 100 * cpuPerFrame / period, period,
        cpuMet ? "met" : "missed");
    long late = 0;
    if (!intervals.empty()) {
        const double mean = std::chrono::duration<double, std::milli>(lastFrame - start).count() / presented;
        late = std::count_if(intervals.begin(), intervals.end(), [&](double ms) { return ms > 1.5 * period; });
        std::printf("  frame to frame: median %.3f ms, mean %.3f ms, worst gap %.3f ms (%.2f periods); late (> 1.5 "
                    "periods): %ld of %zu (goal 0: %s)\n",
            Median(intervals), mean, *std::max_element(intervals.begin(), intervals.end()),
            *std::max_element(intervals.begin(), intervals.end()) / period, late, intervals.size(),
            late == 0 ? "met" : "missed");
    }
    const long ownKiB = bench::OwnPeakKiB();
    std::printf("  peak resident size while playing: %.1f MiB (%.1f MiB before the open)\n", ownKiB / 1024.0,
        baseKiB / 1024.0);
    bool memoryMet = true;
    if (bench::HasProgram("mpv")) {
        const long mpvKiB = bench::PeakKiBOf("mpv --no-config --really-quiet --vo=null --ao=null --untimed " + Quoted(clip));
        if (mpvKiB > 0) {
            memoryMet = ownKiB <= mpvKiB;
            std::printf("  mpv --vo=null --untimed on the same clip: peak %.1f MiB; ratio %.2f (goal <= 1.0: %s)\n",
                mpvKiB / 1024.0, static_cast<double>(ownKiB) / mpvKiB, memoryMet ? "met" : "missed");
        } else {
            std::printf("  mpv failed on the clip; no memory ratio\n");
        }
    } else {
        std::printf("  mpv is not installed: no memory ratio (apt-get install mpv)\n");
    }
    std::printf("  preempted by other work: %ld involuntary context switches (%.2f per frame)\n", switches,
        presented > 0 ? static_cast<double>(switches) / presented : 0.0);
    std::printf("  load average after: %s\n", LoadAverage().c_str());
    return finished && !failed && ratio >= 0.99 && presented == clipFrames && cpuMet && late == 0 && memoryMet;
}

// Milliseconds of one call.
double CallMs(const std::function<void()>& work)
{
    const auto t0 = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void TimeShowFrame(TDecoder& decoder, TSDLPanel& panel, const std::string& clip)
{
    decoder.Open(clip);
    const TVideoFileInfo& info = *decoder.FileInfo();
    const TVideoFrame* decoded = decoder.NextFrame();
    if (decoded == nullptr || info.FrameWidth != 1920 || info.FrameHeight != 1080) {
        std::printf("no 1920 x 1080 frame to draw\n");
        return;
    }
    const std::size_t pixels = static_cast<std::size_t>(info.FrameWidth) * static_cast<std::size_t>(info.FrameHeight);
    std::vector<std::uint32_t> source(decoded->Pixels, decoded->Pixels + pixels);
    std::vector<std::uint32_t> copy(pixels, 1);
    TVideoFrame frame{source.data()};

    panel.SetAspectRatio(info.AspectRatio);
    panel.SetFrameSize(info.SurfaceWidth, info.SurfaceHeight);
    panel.ShowFrame(&frame);
    panel.Present();
    QApplication::processEvents();

    std::printf("\nvideo panel %d x %d, frame 1920 x 1080, median of %d calls each; load average %s\n",
        panel.ScreenSurface() != nullptr ? panel.ScreenSurface()->w : 0,
        panel.ScreenSurface() != nullptr ? panel.ScreenSurface()->h : 0, DrawRuns, LoadAverage().c_str());
    // Turn about, so that other work on the machine weighs on all three alike.
    std::vector<double> show, plain, present;
    for (int i = 0; i < DrawRuns; ++i) {
        show.push_back(CallMs([&] { panel.ShowFrame(&frame); }));
        plain.push_back(CallMs([&] { std::memcpy(copy.data(), source.data(), pixels * 4); }));
        present.push_back(CallMs([&] { panel.Present(); }));
    }
    const double showMs = Median(show);
    const double copyMs = Median(plain);
    std::printf("TSDLPanel::ShowFrame 1920 x 1080 -> 633 x 244: median %.3f ms, best %.3f ms (goal: a small share "
                "of the 16.667 ms period at 60 fps)\n",
        showMs, *std::min_element(show.begin(), show.end()));
    std::printf("memcpy of the 1920 x 1080 x 4 frame: median %.3f ms, best %.3f ms; ShowFrame / memcpy %.2f (the copy "
                "into the frame surface alone is 1.0)\n",
        copyMs, *std::min_element(plain.begin(), plain.end()), showMs / copyMs);
    std::printf("TSDLPanel::Present (flip of the screen surface): median %.3f ms (for reference)\n", Median(present));
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
        for (const int rate : {30, 60}) {
            const std::string clip = EnsureClip(rate);
            if (clip.empty()) {
                std::fprintf(stderr, "could not make the %d fps clip\n", rate);
                return 1;
            }
            clips.push_back(clip);
        }
        const std::string clip4k = bench::EnsureClip(BENCH_DATA_FOLDER, bench::Clip2160pH264);
        if (clip4k.empty()) {
            std::fprintf(stderr, "could not make the 4K clip\n");
            return 1;
        }
        clips.push_back(clip4k);
    }

    bench::PanelHost window;
    if (!ShowPanel(window)) {
        std::fprintf(stderr, "the video panel did not open on the X server\n");
        return 1;
    }

    std::printf("playback benchmark: %zu clips through the play thread into the %d x %d panel\n", clips.size(),
        window.panel->width(), window.panel->height());
    TDecoder decoder;
    bool met = true;
    for (const std::string& clip : clips)
        met = PlayClip(decoder, *window.panel, clip) && met;
    TimeShowFrame(decoder, *window.panel, clips.front());
    std::printf("\nplayback goals %s\n", met ? "met" : "missed");
    return 0;
}
