// Times the pixel work of a capture on a 1920 x 1080 32-bit frame against its peers in the same
// run: Resample against libswscale's bilinear scaler on the same buffers, the three colour
// adjustments against one memcpy of the frame, and the JPEG write of the capture.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include "imaging/FastDIB.h"
#include "imaging/FastFX.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "benchFrames.h"

namespace {

using bench::PaintFrame;

using Clock = std::chrono::steady_clock;

// Median of repeated runs, in milliseconds; at least `minimum` runs and about half a second.
double MedianMs(const std::function<void()>& work, int minimum = 10)
{
    std::vector<double> times;
    const auto start = Clock::now();
    while (static_cast<int>(times.size()) < minimum || Clock::now() - start < std::chrono::milliseconds(500)) {
        const auto t0 = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (times.size() >= 1000)
            break;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct SwsFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

void CompareResample(const imaging::TFastDIB& frame, int width, int height)
{
    imaging::TFastDIB ours, theirs;
    ours.Allocate(width, height, 32);
    theirs.Allocate(width, height, 32);
    const std::unique_ptr<SwsContext, SwsFree> context(sws_getContext(frame.Width(), frame.AbsHeight(), AV_PIX_FMT_BGRA,
        width, height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!context) {
        std::printf("swscale refused %dx%d\n", width, height);
        return;
    }
    const std::uint8_t* sourcePlanes[1] = {frame.Bits()};
    const int sourceStrides[1] = {frame.RowStride()};
    std::uint8_t* destinationPlanes[1] = {theirs.Bits()};
    const int destinationStrides[1] = {theirs.RowStride()};

    const double resampleMs = MedianMs([&] { imaging::Resample(frame, ours); });
    const double swscaleMs = MedianMs([&] {
        sws_scale(context.get(), sourcePlanes, sourceStrides, 0, frame.AbsHeight(), destinationPlanes, destinationStrides);
    });
    std::printf("Resample 1920x1080 -> %dx%d: %8.3f ms   swscale SWS_BILINEAR: %8.3f ms   ratio %.2f (goal <= 1.0)\n",
        width, height, resampleMs, swscaleMs, resampleMs / swscaleMs);
}

}  // namespace

int main()
{
    imaging::TFastDIB frame;
    frame.Allocate(1920, 1080, 32);
    PaintFrame(frame);

    CompareResample(frame, 312, 176);
    CompareResample(frame, 3840, 2160);

    imaging::TFastDIB work, copy;
    work.Allocate(1920, 1080, 32);
    copy.Allocate(1920, 1080, 32);
    const auto size = static_cast<std::size_t>(frame.ImageSize());
    const double adjustMs = MedianMs([&] {
        std::memcpy(work.Bits(), frame.Bits(), size);
        imaging::AdjustLightness(work, 20);
        imaging::AdjustContrast(work, 30);
        imaging::AdjustSaturation(work, 300);
    });
    const double refreshMs = MedianMs([&] { std::memcpy(work.Bits(), frame.Bits(), size); });
    const double memcpyMs = MedianMs([&] { std::memcpy(copy.Bits(), frame.Bits(), size); });
    const double threeMs = adjustMs - refreshMs;
    std::printf("Lightness + contrast + saturation on 1920x1080x32: %8.3f ms   memcpy of the frame: %8.3f ms   ratio %.2f "
                "(goal <= 4)\n",
        threeMs, memcpyMs, threeMs / memcpyMs);

    imaging::TFreeBitmap bitmap;
    imaging::BufferToBitmap(frame, bitmap);
    bitmap.ConvertTo24Bits();
    const std::string name = (std::filesystem::temp_directory_path() / "stillreel_bench_capture.jpg").string();
    const double saveMs = MedianMs([&] { bitmap.Save(name, 100); }, 5);
    const double captureMs = MedianMs([&] {
        imaging::TFreeBitmap capture;
        imaging::BufferToBitmap(frame, capture);
        capture.ConvertTo24Bits();
        capture.Save(name, 100);
    }, 5);
    std::printf("Save 1920x1080 24-bit JPEG quality 100 (FreeImage): %8.3f ms   with the copy and conversion from the frame: "
                "%8.3f ms   (%ju bytes)\n",
        saveMs, captureMs, static_cast<std::uintmax_t>(std::filesystem::file_size(name)));
    std::filesystem::remove(name);
    return 0;
}
