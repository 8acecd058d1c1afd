// Decoding speed of decoder.so against the ffmpeg tool on the same 1080p H.264 clip: a whole
// decode to 32-bit pixels, and exact seeks each followed by one picture. The seeks are compared in
// process with in process: the peer is FFmpeg's libraries driven here the way the ffmpeg tool seeks
// (keyframe at or before the target, decode and drop up to it, convert the picture shown), on
// 1080p30 clips with groups of 60 and of 250 frames, alternating sides for every target; the
// tool's own process start is printed apart. Then the first seek after opening a Matroska file
// (whose reader loads its index only at the first seek), and the same whole decode of a 1080i
// clip (deinterlaced by both with bwdif) and of a 4K HLG clip (tone mapped by both with the same
// zscale/tonemap chain).

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

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "playback/decoder.h"
#include "benchClips.h"
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

// The ffmpeg tool's exact seek, in this process through the same libraries: the seek of "-ss"
// before the input, then every picture decoded until the first at or after the target, which is
// converted to BGRA.
class PeerSeeker {
public:
    PeerSeeker() = default;
    PeerSeeker(const PeerSeeker&) = delete;
    PeerSeeker& operator=(const PeerSeeker&) = delete;
    ~PeerSeeker()
    {
        sws_freeContext(scaler_);
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }

    bool Open(const std::string& path)
    {
        if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0
            || avformat_find_stream_info(format_, nullptr) < 0)
            return false;
        const AVCodec* codec = nullptr;
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (stream_ < 0)
            return false;
        codec_ = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar);
        codec_->thread_count = 0;  // the tool's "-threads auto"
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        return avcodec_open2(codec_, codec, nullptr) >= 0;
    }

    // True when a picture at or after the target was decoded and converted.
    bool SeekAndShow(int seconds)
    {
        dropped_ = 0;
        const std::int64_t start = format_->start_time != AV_NOPTS_VALUE ? format_->start_time : 0;
        const std::int64_t timestamp = start + static_cast<std::int64_t>(seconds) * AV_TIME_BASE;
        if (avformat_seek_file(format_, -1, INT64_MIN, timestamp, timestamp, 0) < 0)
            return false;
        avcodec_flush_buffers(codec_);
        const AVStream* stream = format_->streams[stream_];
        const std::int64_t target = av_rescale_q(timestamp, AV_TIME_BASE_Q, stream->time_base);
        while (av_read_frame(format_, packet_) >= 0) {
            if (packet_->stream_index != stream_) {
                av_packet_unref(packet_);
                continue;
            }
            avcodec_send_packet(codec_, packet_);
            av_packet_unref(packet_);
            while (avcodec_receive_frame(codec_, frame_) == 0) {
                if (frame_->best_effort_timestamp != AV_NOPTS_VALUE && frame_->best_effort_timestamp < target) {
                    ++dropped_;
                    continue;
                }
                return Convert();
            }
        }
        return false;
    }

    // Whether the last seek's target was the keyframe it landed on.
    bool OnKeyframe() const { return dropped_ == 0; }

private:
    bool Convert()
    {
        scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height, static_cast<AVPixelFormat>(frame_->format),
            frame_->width, frame_->height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (scaler_ == nullptr)
            return false;
        pixels_.resize(static_cast<std::size_t>(frame_->width) * frame_->height);
        std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(pixels_.data())};
        const int strides[1] = {frame_->width * 4};
        sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, planes, strides);
        return true;
    }

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int stream_ = -1;
    int dropped_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Exact seeks to targets spread over the clip in a fixed shuffled order, each followed by one
// picture, ours and the in-process peer in turn (which goes first alternates). False when a seek
// of ours lands on the wrong second.
bool CompareSeeks(playback::TDecoder& decoder, const char* label, const std::string& clip)
{
    decoder.Open(clip);
    const int duration = decoder.FileInfo()->DurationSeconds;
    PeerSeeker peer;
    if (!peer.Open(clip)) {
        std::fprintf(stderr, "the peer could not open %s\n", clip.c_str());
        return false;
    }
    std::vector<int> targets;
    for (int second = 2; second < duration; second += 3)
        targets.push_back(second);
    std::shuffle(targets.begin(), targets.end(), std::mt19937(20261209));
    std::vector<double> oursSeek, peerSeek, ratios, onKeyframe, between;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const int second = targets[i];
        const auto ours = [&] {
            const auto start = Clock::now();
            decoder.Seek(second);
            const playback::TVideoFrame* frame = decoder.NextFrame();
            oursSeek.push_back(SecondsSince(start));
            return frame != nullptr && decoder.FrameInfo()->PositionSeconds == second;
        };
        const auto theirs = [&] {
            const auto start = Clock::now();
            const bool shown = peer.SeekAndShow(second);
            peerSeek.push_back(SecondsSince(start));
            return shown;
        };
        bool landed = true;
        if (i % 2 == 0) {
            landed = ours();
            theirs();
        } else {
            theirs();
            landed = ours();
        }
        if (!landed) {
            std::fprintf(stderr, "seek to %d landed at %lld\n", second,
                static_cast<long long>(decoder.FrameInfo()->PositionSeconds));
            return false;
        }
        ratios.push_back(oursSeek.back() / peerSeek.back());
        (peer.OnKeyframe() ? onKeyframe : between).push_back(ratios.back());
    }
    std::printf("%s: exact seek + its picture, %zu targets: decoder.so median %.1f ms, FFmpeg in process (as the tool "
                "seeks) median %.1f ms; ratio of medians %.3f, median of ratios %.3f (goal <= 0.6)\n",
        label, targets.size(), Median(oursSeek) * 1000, Median(peerSeek) * 1000, Median(oursSeek) / Median(peerSeek),
        Median(ratios));
    // A target on a keyframe costs both sides that one picture, decoded alone: no way round it.
    std::printf("  median of ratios: %zu targets on a keyframe %.3f, %zu between keyframes %.3f\n", onKeyframe.size(),
        onKeyframe.empty() ? 0.0 : Median(onKeyframe), between.size(), between.empty() ? 0.0 : Median(between));
    std::fflush(stdout);
    return true;
}

// A fresh open and the first seek after it, for a file whose index the reader defers.
void CompareFirstSeek(playback::TDecoder& decoder, const char* label, const std::string& clip, int second)
{
    std::vector<double> ours, theirs, oursSeekOnly, theirsSeekOnly;
    for (int round = 0; round < 3; ++round) {
        auto start = Clock::now();
        decoder.Open(clip);
        auto opened = Clock::now();
        decoder.Seek(second);
        decoder.NextFrame();
        ours.push_back(SecondsSince(start));
        oursSeekOnly.push_back(SecondsSince(opened));
        start = Clock::now();
        PeerSeeker peer;
        if (peer.Open(clip)) {
            opened = Clock::now();
            peer.SeekAndShow(second);
            theirsSeekOnly.push_back(SecondsSince(opened));
        }
        theirs.push_back(SecondsSince(start));
    }
    if (theirsSeekOnly.empty()) {
        std::fprintf(stderr, "the peer could not open %s\n", clip.c_str());
        return;
    }
    // Our open also decodes and converts the first picture, which the peer's does not.
    std::printf("%s: open + first seek to %d s + its picture: decoder.so median %.1f ms, FFmpeg in process %.1f ms, "
                "ratio %.3f; the first seek alone %.1f ms against %.1f ms, ratio %.3f (goal <= 0.6)\n",
        label, second, Median(ours) * 1000, Median(theirs) * 1000, Median(ours) / Median(theirs),
        Median(oursSeekOnly) * 1000, Median(theirsSeekOnly) * 1000, Median(oursSeekOnly) / Median(theirsSeekOnly));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    // "--seeks" runs only the seek comparisons.
    const bool seeksOnly = argc > 1 && std::string(argv[1]) == "--seeks";
    if (seeksOnly) {
        --argc;
        ++argv;
    }
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
    if (!seeksOnly)
        WholeDecode(decoder, "progressive SDR clip", clip, {});

    // The ffmpeg tool's process start, apart: the same tool command at -ss 0.
    std::vector<double> startUp, toolSeeks;
    for (int run = 0; run < 5 && !seeksOnly; ++run) {
        startUp.push_back(TimeCommand("ffmpeg -v error -nostdin -ss 0 -i " + Quoted(clip) + " -frames:v 1 -f null -"));
        toolSeeks.push_back(TimeCommand("ffmpeg -v error -nostdin -ss " + std::to_string(2 + 7 * run) + " -i "
            + Quoted(clip) + " -frames:v 1 -f null -"));
    }
    if (!seeksOnly)
        std::printf("ffmpeg tool, one process per seek: -ss 0 (process start, open, first picture) median %.1f ms; "
                    "-ss N median %.1f ms, of which the seek %.1f ms\n",
            Median(startUp) * 1000, Median(toolSeeks) * 1000, (Median(toolSeeks) - Median(startUp)) * 1000);

    const std::string folder = data.string();
    const std::string gop60 = bench::EnsureClip(folder, bench::Clip1080pGop60);
    const std::string gop250 = bench::EnsureClip(folder, bench::Clip1080pGop250);
    const std::string matroska = (data / "clip1080p30_g60_70s.mkv").string();
    if (gop60.empty() || gop250.empty()
        || !MakeClip(matroska, "Matroska copy of the GOP-60 clip", "-i " + Quoted(gop60) + " -c copy")) {
        std::fprintf(stderr, "could not make the seek clips in %s\n", folder.c_str());
        return 1;
    }
    if (!CompareSeeks(decoder, "1080p30, groups of 60", gop60) || !CompareSeeks(decoder, "1080p30, groups of 250", gop250)
        || !CompareSeeks(decoder, "the clip above", clip))
        return 1;
    CompareFirstSeek(decoder, "Matroska 1080p30, groups of 60", matroska, 25);
    if (seeksOnly)
        return 0;

    WholeDecode(decoder, "interlaced clip", interlaced, "bwdif=mode=send_frame");
    WholeDecode(decoder, "HLG clip", hlg, kHlgToneMapping);
    return 0;
}
