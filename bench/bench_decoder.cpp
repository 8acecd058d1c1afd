// Decoding speed of decoder.so against the ffmpeg tool on the same 1080p H.264 clip: a whole
// decode to 32-bit pixels, and exact seeks each followed by one picture. Then the same whole
// decode of a 1080i clip (deinterlaced by both with bwdif) and of a 4K HLG clip (tone mapped by
// both with the same zscale/tonemap chain).

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "playback/decoder.h"
#include "benchShell.h"

namespace {

using bench::Quoted;
using bench::Run;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double TimeCommand(const std::string& command)
{
    const auto start = Clock::now();
    if (!Run(command)) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return SecondsSince(start);
}

// Processor seconds (user + system) of this process with its threads, or of its finished
// children; less disturbed than wall time when other work shares the machine.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Makes `path` once with "ffmpeg -v error -y <arguments> <path>", through a partial file so that
// an interrupted run leaves nothing half made.
bool MakeClip(const std::string& path, const char* what, const std::string& arguments)
{
    if (std::filesystem::exists(path))
        return true;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::printf("making the %s ...\n", what);
    std::fflush(stdout);
    const std::string partial = path + ".part" + std::filesystem::path(path).extension().string();
    return Run("ffmpeg -v error -y " + arguments + " " + Quoted(partial))
        && std::rename(partial.c_str(), path.c_str()) == 0;
}

// The chain decoder.so runs for HLG in BT.2020 at limited range, for the peer to run the same.
const char* const kHlgToneMapping =
    "zscale=tin=arib-std-b67:min=2020_ncl:pin=2020:rin=limited:t=linear:npl=100,format=gbrpf32le,zscale=p=709,"
    "tonemap=tonemap=mobius,zscale=t=709,format=gbrp";

// Whole clip through decoder.so against the ffmpeg tool decoding it to BGRA with `peerFilters`
// (none when empty). Best of three runs each, alternating, so that the file cache and other
// work on the machine treat both alike. Prints the wall and processor time ratios.
void WholeDecode(playback::TDecoder& decoder, const char* label, const std::string& clip,
    const std::string& peerFilters)
{
    decoder.Open(clip);
    const playback::TVideoFileInfo& info = *decoder.FileInfo();
    std::printf("%s: %s, %d x %d, %.3f fps, %d s\n", label, clip.c_str(), info.FrameWidth, info.FrameHeight,
        info.FrameRate, info.DurationSeconds);
    const std::string peerDecode = "ffmpeg -v error -nostdin -i " + Quoted(clip)
        + (peerFilters.empty() ? std::string() : " -vf " + Quoted(peerFilters)) + " -pix_fmt bgra -f null -";
    double ours = 1e9;
    double peer = 1e9;
    double oursCpu = 1e9;
    double peerCpu = 1e9;
    long frames = 0;
    std::uint32_t checksum = 0;
    for (int run = 0; run < 3; ++run) {
        const double cpuStart = CpuSeconds(RUSAGE_SELF);
        const auto start = Clock::now();
        decoder.Open(clip);
        long count = 0;
        while (const playback::TVideoFrame* frame = decoder.NextFrame()) {
            checksum += frame->Pixels[count % (info.FrameWidth * info.FrameHeight)];
            ++count;
        }
        ours = std::min(ours, SecondsSince(start));
        oursCpu = std::min(oursCpu, CpuSeconds(RUSAGE_SELF) - cpuStart);
        frames = count;
        const double childStart = CpuSeconds(RUSAGE_CHILDREN);
        peer = std::min(peer, TimeCommand(peerDecode));
        peerCpu = std::min(peerCpu, CpuSeconds(RUSAGE_CHILDREN) - childStart);
    }
    std::printf("  whole decode to BGRA (best of 3): decoder.so %.3f s (%ld frames, %.1f fps), ffmpeg tool %.3f s, "
                "ratio %.3f (goal <= 1.0)\n",
        ours, frames, frames / ours, peer, ours / peer);
    std::printf("  processor time: decoder.so %.3f s, ffmpeg tool %.3f s, ratio %.3f (checksum %08x)\n", oursCpu,
        peerCpu, oursCpu / peerCpu, checksum);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string clip = argc > 1 ? argv[1] : BENCH_CLIP_PATH;
    if (argc > 1 ? !std::filesystem::exists(clip)
                 : !MakeClip(clip, "60 s 1080p H.264 clip (about a minute)",
                       "-f lavfi -i 'testsrc2=size=1920x1080:rate=25,noise=alls=6:allf=t' -t 60 "
                       "-c:v libx264 -preset veryfast -pix_fmt yuv420p -g 250")) {
        std::fprintf(stderr, "no clip at %s\n", clip.c_str());
        return 1;
    }
    const std::filesystem::path data = std::filesystem::path(BENCH_CLIP_PATH).parent_path();
    // Broadcast style: two fields of 50 moments a second woven into 25 pictures, flagged top
    // field first.
    const std::string interlaced = (data / "clip1080i_10s.mp4").string();
    // A phone's HLG recording: 10-bit BT.2020.
    const std::string hlg = (data / "clip4k_hlg_2s.mp4").string();
    if (!MakeClip(interlaced, "10 s 1080i H.264 clip",
            "-f lavfi -i 'testsrc2=size=1920x1080:rate=50,noise=alls=6:allf=t,tinterlace=mode=interleave_top' -t 10 "
            "-c:v libx264 -preset veryfast -flags +ilme+ildct -top 1 -pix_fmt yuv420p -g 50")
        || !MakeClip(hlg, "2 s 4K HLG H.264 clip",
            "-f lavfi -i 'testsrc2=size=3840x2160:rate=25' -t 2 -c:v libx264 -preset ultrafast -pix_fmt yuv420p10le "
            "-color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc -g 25")) {
        std::fprintf(stderr, "could not make the interlaced and HDR clips in %s\n", data.c_str());
        return 1;
    }

    playback::TDecoder decoder;
    WholeDecode(decoder, "progressive SDR clip", clip, {});
    decoder.Open(clip);
    const playback::TVideoFileInfo& info = *decoder.FileInfo();

    // Exact seeks, targets spread over the clip in a fixed shuffled order.
    std::vector<int> targets;
    for (int second = 2; second < info.DurationSeconds; second += 4)
        targets.push_back(second);
    std::shuffle(targets.begin(), targets.end(), std::mt19937(20261209));
    std::vector<double> oursSeek;
    std::vector<double> peerSeek;
    for (const int second : targets) {
        const auto start = Clock::now();
        decoder.Seek(second);
        const playback::TVideoFrame* frame = decoder.NextFrame();
        oursSeek.push_back(SecondsSince(start));
        if (frame == nullptr || decoder.FrameInfo()->PositionSeconds != second) {
            std::fprintf(stderr, "seek to %d landed at %lld\n", second,
                static_cast<long long>(decoder.FrameInfo()->PositionSeconds));
            return 1;
        }
        peerSeek.push_back(TimeCommand("ffmpeg -v error -nostdin -ss " + std::to_string(second) + " -i "
            + Quoted(clip) + " -frames:v 1 -f null -"));
    }
    const double oursMedian = Median(oursSeek);
    const double peerMedian = Median(peerSeek);
    std::printf("seek(N) + next picture, median of %zu targets: decoder.so %.1f ms, ffmpeg tool %.1f ms, ratio %.3f "
                "(goal <= 0.5)\n",
        targets.size(), oursMedian * 1000, peerMedian * 1000, oursMedian / peerMedian);
    std::fflush(stdout);

    WholeDecode(decoder, "interlaced clip", interlaced, "bwdif=mode=send_frame");
    WholeDecode(decoder, "HLG clip", hlg, kHlgToneMapping);
    return 0;
}
