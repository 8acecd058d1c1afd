// Times what a capture costs after OK on a 1920 x 1080 frame (adjust, rescale, two JPEG saves)
// against FreeImage saving the same frame as a JPEG of quality 100 on its own, and the new-image
// dialog's preview recompute on a slider move. A 1440 x 1080 frame shown at 16:9, whose height
// the capture really corrects, is timed the same way for comparison.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QSlider>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "library/capture.h"
#include "library/newImageForm.h"
#include "benchFrames.h"

namespace {

using bench::PaintFrame;

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Median of `runs` timings of `work`; `prepare` runs untimed before each.
double MedianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        const auto t0 = Clock::now();
        work();
        times.push_back(Ms(t0, Clock::now()));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Timing {
    double capture = 0;
    double peer = 0;
};

// The capture after OK, on a fresh copy of the frame each time (the adjustments work in place),
// and FreeImage writing the same frame, already at 24 bits, as a JPEG of quality 100.
Timing TimeCapture(int width, int height, double aspect, const std::filesystem::path& folder, int runs)
{
    imaging::TFastDIB source, frame, preview;
    source.Allocate(width, height, 32);
    PaintFrame(source);
    frame.Allocate(width, height, 32);
    imaging::FitToBox(source, preview, library::PreviewBoxWidth, library::PreviewBoxHeight, aspect);
    const std::string imageFolder = (folder / "image").string();
    const library::TCaptureAdjustments adjustments{30, 20, 300, true};

    Timing timing;
    timing.capture = MedianMs(
        runs,
        [&] {
            std::memcpy(frame.Bits(), source.Bits(), static_cast<std::size_t>(source.ImageSize()));
            std::filesystem::remove_all(imageFolder);
        },
        [&] {
            if (!library::WriteCapture(frame, preview, adjustments, aspect, imageFolder).Saved)
                std::fprintf(stderr, "capture failed\n");
        });

    imaging::TFreeBitmap bitmap;
    imaging::BufferToBitmap(source, bitmap);
    bitmap.ConvertTo24Bits();
    const std::string peerFile = (folder / "peer.jpg").string();
    timing.peer = MedianMs(runs, [&] { std::filesystem::remove(peerFile); },
        [&] { FreeImage_Save(FIF_JPEG, bitmap.Handle(), peerFile.c_str(), 100); });
    return timing;
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);

    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "bench_capture";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const int runs = 15;

    const Timing full = TimeCapture(1920, 1080, 16.0 / 9.0, folder, runs);
    const Timing anamorphic = TimeCapture(1440, 1080, 16.0 / 9.0, folder, runs);

    // The preview recompute of one slider step, on a 16:9 preview.
    imaging::TFastDIB frame, preview;
    frame.Allocate(1920, 1080, 32);
    PaintFrame(frame);
    imaging::FitToBox(frame, preview, library::PreviewBoxWidth, library::PreviewBoxHeight, 16.0 / 9.0);
    TnewImageDlg dialog(nullptr);
    dialog.SetPreview(preview);
    int step = 0;
    const double recompute = MedianMs(201, {}, [&] { dialog.tbLightness->setValue(++step % 2 == 0 ? 40 : 41); });

    std::printf("capture after OK, 1920x1080 frame at 16:9 (adjust, rescale, two JPEG saves): %.2f ms\n", full.capture);
    std::printf("FreeImage JPEG quality 100 save of the same frame:                           %.2f ms\n", full.peer);
    std::printf("ratio capture / FreeImage save: %.2f (goal <= 1.5) %s\n", full.capture / full.peer,
        full.capture / full.peer <= 1.5 ? "met" : "MISSED");
    std::printf("for comparison, 1440x1080 frame at 16:9 saved as 1440x810: capture %.2f ms, FreeImage save %.2f ms, "
                "ratio %.2f\n",
        anamorphic.capture, anamorphic.peer, anamorphic.capture / anamorphic.peer);
    std::printf("preview recompute on a slider move, %dx%d preview: %.3f ms (goal < 5 ms) %s\n", preview.Width(),
        preview.AbsHeight(), recompute, recompute < 5 ? "met" : "MISSED");
    std::filesystem::remove_all(folder);
    return 0;
}
