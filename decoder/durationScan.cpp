#include "durationScan.h"

#include <algorithm>
#include <chrono>

namespace decoder {

namespace {

using Clock = std::chrono::steady_clock;

int PastDeadline(void* deadline)
{
    return Clock::now() > *static_cast<const Clock::time_point*>(deadline) ? 1 : 0;
}

}  // namespace

bool IsPlausibleDuration(std::int64_t seconds, std::int64_t fileBytes)
{
    return seconds <= 0 || fileBytes <= 0 || seconds <= fileBytes / 8;
}

std::int64_t ScanDurationSeconds(const std::string& path, int streamIndex, AVRational timeBase, std::int64_t origin,
    std::int64_t frameDuration)
{
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        av_dict_free(&options);
        return -1;
    }
    raw->interrupt_callback = AVIOInterruptCB{&PastDeadline, &deadline};
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return -1;
    const FormatContextPtr format(raw);
    if (streamIndex < 0 || static_cast<unsigned>(streamIndex) >= format->nb_streams)
        return -1;
    const PacketPtr packet(av_packet_alloc());
    if (!packet)
        return -1;
    std::int64_t end = AV_NOPTS_VALUE;
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (time != AV_NOPTS_VALUE)
                end = std::max(end == AV_NOPTS_VALUE ? time : end,
                               time + (packet->duration > 0 ? packet->duration : frameDuration));
        }
        av_packet_unref(packet.get());
    }
    if (end == AV_NOPTS_VALUE)
        return -1;
    return std::max<std::int64_t>(0, av_rescale_q_rnd(end - origin, timeBase, AVRational{1, 1}, AV_ROUND_DOWN));
}

}  // namespace decoder
