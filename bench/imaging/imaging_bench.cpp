// Times the pixel work of a capture on a 1920 x 1080 32-bit frame against its peers in the same
// run, the two sides alternating in every round: Resample against libswscale's bilinear scalers on
// the same buffers, the three colour adjustments against one memcpy of the frame on every pixel
// path the processor has, and the JPEG write of the capture.

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

double Ms(const std::function<void()>& work)
{
    const auto t0 = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Medians of two pieces of work timed in alternation, A then B in every round, so that a change in
// the machine's load falls on both sides alike. At least `minimum` rounds and about a second.
std::pair<double, double> AlternatingMs(const std::function<void()>& a, const std::function<void()>& b, int minimum = 15)
{
    std::vector<double> first, second;
    const auto start = Clock::now();
    while (static_cast<int>(first.size()) < minimum || Clock::now() - start < std::chrono::seconds(1)) {
        first.push_back(Ms(a));
        second.push_back(Ms(b));
        if (first.size() >= 2000)
            break;
    }
    return {Median(first), Median(second)};
}

double MedianMs(const std::function<void()>& work, int minimum = 10)
{
    return AlternatingMs(work, [] {}, minimum).first;
}

struct SwsFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

// Resample interpolates between the two nearest source pixels in each direction (point-sampled
// bilinear). swscale's SWS_FAST_BILINEAR is its nearest counterpart: two taps per direction,
// though its packed-pixel route still goes through internal planes. SWS_BILINEAR widens its filter
// to the whole footprint when shrinking, which is more work than ours; it is printed as such.
void CompareResample(const imaging::TFastDIB& frame, int width, int height)
{
    imaging::TFastDIB ours, theirs;
    ours.Allocate(width, height, 32);
    theirs.Allocate(width, height, 32);
    const std::uint8_t* sourcePlanes[1] = {frame.Bits()};
    const int sourceStrides[1] = {frame.RowStride()};
    std::uint8_t* destinationPlanes[1] = {theirs.Bits()};
    const int destinationStrides[1] = {theirs.RowStride()};
    const bool shrinking = width < frame.Width();
    for (const auto& [flags, name] : {std::pair{SWS_FAST_BILINEAR, "SWS_FAST_BILINEAR (2 taps, like ours)"},
             std::pair{SWS_BILINEAR, shrinking ? "SWS_BILINEAR (area filter: more work than ours)" : "SWS_BILINEAR (2 taps, like ours)"}}) {
        const std::unique_ptr<SwsContext, SwsFree> context(sws_getContext(frame.Width(), frame.AbsHeight(), AV_PIX_FMT_BGRA,
            width, height, AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr));
        if (!context) {
            std::printf("swscale refused %dx%d\n", width, height);
            continue;
        }
        const auto [resampleMs, swscaleMs] = AlternatingMs([&] { imaging::Resample(frame, ours); }, [&] {
            sws_scale(context.get(), sourcePlanes, sourceStrides, 0, frame.AbsHeight(), destinationPlanes, destinationStrides);
        });
        std::printf("Resample %dx%d -> %dx%d: %8.3f ms   swscale %s: %8.3f ms   ratio %.2f (goal <= 1.0)\n", frame.Width(),
            frame.AbsHeight(), width, height, resampleMs, name, swscaleMs, resampleMs / swscaleMs);
    }
}

// The three capture adjustments against one memcpy of the frame, for one pixel path.
void CompareAdjustments(const imaging::TFastDIB& frame, imaging::detail::TPixelPath path, const char* name)
{
    imaging::detail::ForcePixelPath(path);
    imaging::TFastDIB work, copy;
    work.Allocate(frame.Width(), frame.AbsHeight(), 32);
    copy.Allocate(frame.Width(), frame.AbsHeight(), 32);
    const auto size = static_cast<std::size_t>(frame.ImageSize());
    std::vector<double> adjust, copies, lightness, contrast, saturation;
    const auto start = Clock::now();
    while (adjust.size() < 15 || Clock::now() - start < std::chrono::seconds(1)) {
        std::memcpy(work.Bits(), frame.Bits(), size);
        lightness.push_back(Ms([&] { imaging::AdjustLightness(work, 20); }));
        contrast.push_back(Ms([&] { imaging::AdjustContrast(work, 30); }));
        saturation.push_back(Ms([&] { imaging::AdjustSaturation(work, 300); }));
        adjust.push_back(lightness.back() + contrast.back() + saturation.back());
        // The copy starts from the same warm buffer as the adjustments do.
        std::memcpy(work.Bits(), frame.Bits(), size);
        copies.push_back(Ms([&] { std::memcpy(copy.Bits(), work.Bits(), size); }));
    }
    imaging::detail::ForcePixelPath(imaging::detail::TPixelPath::Automatic);
    const double threeMs = Median(adjust), memcpyMs = Median(copies);
    std::printf("Lightness + contrast + saturation on %dx%dx32, %-44s %8.3f ms (%.3f + %.3f + %.3f)   memcpy: %8.3f ms   "
                "ratio %.2f (goal <= 4)\n",
        frame.Width(), frame.AbsHeight(), name, threeMs, Median(lightness), Median(contrast), Median(saturation), memcpyMs,
        threeMs / memcpyMs);
}

}  // namespace

int main()
{
    imaging::TFastDIB frame;
    frame.Allocate(1920, 1080, 32);
    PaintFrame(frame);

    CompareResample(frame, 312, 176);
    CompareResample(frame, 3840, 2160);

    using imaging::detail::TPixelPath;
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool permutes = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
    std::printf("Processor: AVX2 %s, AVX-512 byte permutes %s\n", avx2 ? "yes" : "no", permutes ? "yes" : "no");
    CompareAdjustments(frame, TPixelPath::ScalarTables, "table look-ups byte by byte:");
    CompareAdjustments(frame, TPixelPath::Arithmetic, "per-pixel arithmetic (compiler vectorised):");
    if (avx2)
        CompareAdjustments(frame, TPixelPath::SixteenBitLanes, "16-bit lanes (AVX2):");
    if (permutes)
        CompareAdjustments(frame, TPixelPath::VectorTables, "byte permutes (AVX-512):");
    CompareAdjustments(frame, TPixelPath::Automatic, "as the program runs (automatic):");
    {
        // For scale: the same copy back to back, where both buffers stay in the cache.
        imaging::TFastDIB copy;
        copy.Allocate(frame.Width(), frame.AbsHeight(), 32);
        const double hotMs = MedianMs([&] { std::memcpy(copy.Bits(), frame.Bits(), static_cast<std::size_t>(frame.ImageSize())); });
        std::printf("memcpy of the frame back to back (both buffers cached): %.3f ms; the adjustments' ratios above are "
                    "against the memcpy timed in turn with them\n",
            hotMs);
    }

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
