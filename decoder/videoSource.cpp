#include "videoSource.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "durationScan.h"

extern "C" {
#include <libavutil/cpu.h>
}

namespace decoder {

namespace {

// A stream whose keyframes carry no flag would otherwise show nothing at all; after this many
// pictures a damaged one is better than none.
constexpr int kMaxDroppedAwaitingKeyframe = 300;
// Decoding errors in a row before a stream counts as ended; each one consumed a packet.
constexpr int kMaxConsecutiveFailures = 1000;
constexpr int kMaxReadRetries = 100;
// Unreadable stretches in a row that the demuxer may skip before the rest counts as unreadable.
constexpr int kMaxReadErrors = 1000;
// A damaged file that yields no picture for this long of reading ends as if at its end.
constexpr std::chrono::seconds kNoPictureLimit{10};
// Leading pictures of an open group come out within the decoder's reordering depth.
constexpr int kLeadingPictureWindow = 16;
// Pictures in a row whose time goes back before the clock counts as restarted; one alone is a
// damaged timestamp.
constexpr int kPicturesBehindForRestart = 2;
// Pictures up to this size keep the decoder of keyframes shown alone between seeks.
constexpr std::int64_t kKeptKeyframeDecoderPixels = 1920 * 1088;
// A seek reads ahead and plans stand-ins at most this much at a time.
constexpr std::size_t kPlannedPackets = 64;
constexpr std::size_t kPlannedBytes = 8 << 20;

bool IsAttachedPicture(const AVStream* stream)
{
    return (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

// Cover art and thumbnails inside audio files are one-picture "video" streams; they do not make
// a file a video.
int ChooseVideoStream(AVFormatContext* format)
{
    const int best = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (best >= 0 && !IsAttachedPicture(format->streams[best])
        && avcodec_find_decoder(format->streams[best]->codecpar->codec_id) != nullptr)
        return best;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !IsAttachedPicture(stream)
            && avcodec_find_decoder(stream->codecpar->codec_id) != nullptr)
            return static_cast<int>(i);
    }
    return -1;
}

AVRational StreamFrameRate(const AVStream* stream)
{
    if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0)
        return stream->avg_frame_rate;
    if (stream->r_frame_rate.num > 0 && stream->r_frame_rate.den > 0)
        return stream->r_frame_rate;
    return AVRational{25, 1};
}

// Skipping the decode of non-reference pictures that a seek drops anyway is safe only where the
// decoder keeps its reference state without them: in MPEG-1 and MPEG-2, B pictures are never
// references. H.264 and HEVC packets are judged one by one (DisposablePictures).
bool SupportsNonReferenceSkip(AVCodecID id)
{
    return id == AV_CODEC_ID_MPEG2VIDEO || id == AV_CODEC_ID_MPEG1VIDEO;
}

// Decoding threads for a stream: one more than the processors. A seek with stand-ins decodes
// reference pictures and stand-ins in turn, and frame threads take pictures in turn: with an odd
// number of threads (three on two processors) each reference picture goes to another thread than
// the one before it and can start while that one is still being decoded.
int DecodingThreads()
{
    return std::clamp(av_cpu_count(), 1, 16) + 1;
}

}  // namespace

VideoSource::VideoSource(Key, std::string path) : path_(std::move(path)) {}

VideoSource::~VideoSource() = default;

int VideoSource::Interrupted(void* source)
{
    return std::chrono::steady_clock::now() > static_cast<const VideoSource*>(source)->deadline_ ? 1 : 0;
}

void VideoSource::ArmDeadline()
{
    deadline_ = std::chrono::steady_clock::now() + kNoPictureLimit;
}

std::unique_ptr<VideoSource> VideoSource::Open(const std::string& path)
{
    auto source = std::make_unique<VideoSource>(Key{}, path);
    source->packet_.reset(av_packet_alloc());
    source->frame_.reset(av_frame_alloc());
    if (!source->packet_ || !source->frame_ || !source->OpenInput())
        return nullptr;

    const AVStream* stream = source->format_->streams[source->streamIndex_];
    const AVRational rate = StreamFrameRate(stream);
    source->frameRate_ = av_q2d(rate);
    source->rate_ = rate;
    source->frameDuration_ = std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(rate), source->timeBase_));
    if (stream->start_time != AV_NOPTS_VALUE)
        source->origin_ = stream->start_time;

    // Decoded through the stream's decoder, whose threads are then under way when playing starts.
    if (!source->DecodePicture())
        return nullptr;
    const AVFrame* first = source->frame_.get();
    // A picture format the converter cannot read would make every later picture fail.
    if (first->width <= 0 || first->height <= 0 || !sws_isSupportedInput(static_cast<AVPixelFormat>(first->format)))
        return nullptr;
    // Positions count from the stream's start time, as other tools and players do, so that a
    // target second means the same picture everywhere. A stream cut out of a broadcast may have
    // nothing decodable for its first seconds; then the first picture shown is position 0.
    if (stream->start_time == AV_NOPTS_VALUE || source->lastTime_ - source->origin_ >= source->SecondsToStream(1))
        source->origin_ = source->lastTime_;
    source->width_ = first->width;
    source->height_ = first->height;

    const AVRational sampleAspect = av_guess_sample_aspect_ratio(source->format_.get(),
        const_cast<AVStream*>(stream), const_cast<AVFrame*>(first));
    // One exact fraction divided once: 720 x 576 at 64:45 is exactly 16:9, where two roundings
    // would land one unit above it and tip half-way picture sizes the wrong way.
    AVRational display{first->width, first->height};
    if (sampleAspect.num > 0 && sampleAspect.den > 0)
        display = av_mul_q(display, sampleAspect);
    source->aspectRatio_ = av_q2d(display);

    std::int64_t seconds = 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        seconds = av_rescale_q_rnd(stream->duration, source->timeBase_, AVRational{1, 1}, AV_ROUND_DOWN);
    else if (source->format_->duration != AV_NOPTS_VALUE && source->format_->duration > 0)
        seconds = source->format_->duration / AV_TIME_BASE;
    // A damaged header can claim any length; then the packets say how long the stream is.
    if (!IsPlausibleDuration(seconds, avio_size(source->format_->pb))) {
        const std::int64_t scanned = ScanDurationSeconds(
            path, source->streamIndex_, source->timeBase_, source->origin_, source->frameDuration_);
        seconds = scanned >= 0 ? scanned : 0;
    }
    source->durationSeconds_ = seconds;

    source->pending_ = true;
    // The first picture of the stream is the first at or after any time up to its own (the
    // lowest time there is would read as no time at all).
    source->pendingFirstFrom_ = AV_NOPTS_VALUE + 1;
    return source;
}

bool VideoSource::OpenInput()
{
    alone_.reset();
    codec_.reset();
    format_.reset();

    // Only local files: a playlist or concatenation script disguised as a video must not make
    // the decoder fetch network addresses on the user's behalf. The "file:" prefix keeps a
    // name with a colon from being read as a protocol.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        av_dict_free(&options);
        return false;
    }
    // A damaged file can keep the demuxer searching for a long time inside one call.
    raw->interrupt_callback = AVIOInterruptCB{&VideoSource::Interrupted, this};
    ArmDeadline();
    const std::string url = "file:" + path_;
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false;
    format_.reset(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return false;

    streamIndex_ = ChooseVideoStream(raw);
    if (streamIndex_ < 0)
        return false;
    AVStream* stream = raw->streams[streamIndex_];
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (static_cast<int>(i) != streamIndex_)
            raw->streams[i]->discard = AVDISCARD_ALL;
    }
    timeBase_ = stream->time_base;

    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream->codecpar) < 0)
        return false;
    codec_->pkt_timebase = stream->time_base;
    codec_->thread_count = DecodingThreads();
    codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(codec_.get(), codec, nullptr) < 0)
        return false;
    skipNonReferenceAllowed_ = SupportsNonReferenceSkip(codec->id);
    disposable_ = std::make_unique<DisposablePictures>(*stream->codecpar);
    plan_ = SeekPlan::For(*stream->codecpar);
    // The Matroska reader loads the file's keyframe index only at the first seek. Until then the
    // index holds just the keyframes read so far, and the choice between decoding on and seeking
    // would take the start of the file for the keyframe before any target and decode everything
    // up to it. A seek to the start, before anything is decoded, loads the index.
    if (std::strstr(raw->iformat->name, "matroska") != nullptr && raw->pb != nullptr
        && (raw->pb->seekable & AVIO_SEEKABLE_NORMAL) != 0)
        av_seek_frame(raw, streamIndex_, stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0,
            AVSEEK_FLAG_BACKWARD);
    ResetDecoding();
    return true;
}

void VideoSource::ResetDecoding()
{
    draining_ = false;
    ended_ = false;
    pending_ = false;
    awaitingKeyframe_ = true;
    droppedWhileAwaitingKeyframe_ = 0;
    guardedPictures_ = 0;
    lastTime_ = AV_NOPTS_VALUE;
    timeOffset_ = 0;
    picturesBehind_ = 0;
    shownAlone_ = AV_NOPTS_VALUE;
    planned_.clear();
    if (plan_)
        plan_->Cancel();
}

bool VideoSource::ReadPacketIntoDecoder()
{
    if (draining_)
        return false;
    for (int retries = 0, errors = 0;;) {
        if (!planned_.empty()) {
            const PacketPtr next = std::move(planned_.front());
            planned_.pop_front();
            av_packet_move_ref(packet_.get(), next.get());
            if (SendPacket(true))
                return true;
            continue;
        }
        const int read = av_read_frame(format_.get(), packet_.get());
        if (read == AVERROR(EAGAIN) && ++retries < kMaxReadRetries)
            continue;
        // A damaged stretch in the middle of a file: the demuxer finds its feet again further on.
        if (read < 0 && read != AVERROR_EOF && read != AVERROR_EXIT && read != AVERROR(EAGAIN)
            && format_->pb != nullptr && !avio_feof(format_->pb) && ++errors < kMaxReadErrors
            && std::chrono::steady_clock::now() <= deadline_)
            continue;
        if (read < 0) {
            // End of file or an unreadable rest: drain, so the pictures still held by the
            // decoder come out too.
            avcodec_send_packet(codec_.get(), nullptr);
            draining_ = true;
            return true;
        }
        if (packet_->stream_index != streamIndex_) {
            av_packet_unref(packet_.get());
            continue;
        }
        if (SendPacket(false))
            return true;
    }
}

bool VideoSource::PlanAhead()
{
    std::vector<PacketPtr> chunk;
    chunk.emplace_back(av_packet_alloc());
    if (!chunk.back())
        return true;
    av_packet_move_ref(chunk.back().get(), packet_.get());
    plan_->Add(*chunk.back());
    std::size_t bytes = static_cast<std::size_t>(chunk.back()->size);
    // Read ahead a stretch at a time, so that a long group of large pictures is not held in memory
    // as a whole.
    while (!plan_->Complete() && chunk.size() < kPlannedPackets && bytes < kPlannedBytes) {
        PacketPtr next(av_packet_alloc());
        // The end or a damaged stretch ends the stretch; reading on meets it again.
        if (!next || av_read_frame(format_.get(), next.get()) < 0)
            break;
        if (next->stream_index != streamIndex_)
            continue;
        plan_->Add(*next);
        bytes += static_cast<std::size_t>(next->size);
        chunk.push_back(std::move(next));
    }
    plan_->Replace(chunk);
    for (PacketPtr& packet : chunk) {
        if (packet)
            planned_.push_back(std::move(packet));
    }
    if (planned_.empty())
        return false;
    av_packet_move_ref(packet_.get(), planned_.front().get());
    planned_.pop_front();
    return true;
}

bool VideoSource::SendPacket(bool planned)
{
    // A group that starts before a seek's target is read ahead to the target, so that the
    // reference pictures nothing shown needs can be left out or replaced by stand-ins.
    if (!planned && plan_) {
        bool planning = plan_->Planning();
        const bool seeking = skipBefore_ != AV_NOPTS_VALUE;
        // Outside a seek a plan starts at the first keyframe, with nothing to do without, so that
        // it follows decoding for the seeks that decode on from there.
        if (packet_->pts != AV_NOPTS_VALUE && (seeking ? packet_->pts <= skipBefore_ : !plan_->Following())
            && plan_->StartsGroup(*packet_)) {
            plan_->Begin(seeking ? skipBefore_ : AV_NOPTS_VALUE + 1);
            planning = true;
        }
        // Everything read ahead may have been left out.
        if (planning && !PlanAhead())
            return false;
        if (!planning && plan_->Following())
            plan_->Follow(*packet_);
    }
    const bool dropAnyway = skipBefore_ != AV_NOPTS_VALUE && packet_->pts != AV_NOPTS_VALUE
        && packet_->pts < skipBefore_;
    if (dropAnyway && disposable_->Disposable(*packet_)) {
        av_packet_unref(packet_.get());
        return false;
    }
    codec_->skip_frame = dropAnyway && skipNonReferenceAllowed_ ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    // A packet the decoder refuses is corrupt; it is dropped and decoding goes on.
    avcodec_send_packet(codec_.get(), packet_.get());
    av_packet_unref(packet_.get());
    return true;
}

bool VideoSource::DecodePicture()
{
    if (ended_ || !codec_)
        return false;
    ArmDeadline();
    int failures = 0;
    for (;;) {
        if (std::chrono::steady_clock::now() > deadline_) {
            ended_ = true;
            return false;
        }
        const int received = avcodec_receive_frame(codec_.get(), frame_.get());
        if (received == 0) {
            failures = 0;
            // Pictures dropped below still show that the file is being read.
            ArmDeadline();
            std::int64_t time = frame_->best_effort_timestamp;
            if (time == AV_NOPTS_VALUE)
                time = lastTime_ != AV_NOPTS_VALUE ? lastTime_ + frameDuration_ - timeOffset_ : origin_;
            time += timeOffset_;
            if (awaitingKeyframe_) {
                // After a seek (and at the start of a stream cut out of a broadcast) the
                // decoder may hand out pictures predicted from references it never saw.
                const bool key = frame_->key_frame || frame_->pict_type == AV_PICTURE_TYPE_I;
                if (!key && ++droppedWhileAwaitingKeyframe_ < kMaxDroppedAwaitingKeyframe)
                    continue;
                awaitingKeyframe_ = false;
                keyframeTime_ = time;
                guardedPictures_ = kLeadingPictureWindow;
                lastTime_ = time;
                if (shownAlone_ != AV_NOPTS_VALUE && time <= shownAlone_)
                    continue;
                frame_->pts = time;
                return true;
            }
            if (guardedPictures_ > 0) {
                // Leading pictures of an open group come out after its keyframe but show an
                // earlier time; they lack their forward reference.
                --guardedPictures_;
                if (time < keyframeTime_)
                    continue;
                if (time > keyframeTime_)
                    guardedPictures_ = 0;
            }
            if (shownAlone_ != AV_NOPTS_VALUE) {
                if (time <= shownAlone_)
                    continue;
                shownAlone_ = AV_NOPTS_VALUE;
                // Decoding goes on (playing or stepping): the keyframe decoder is kept only for
                // seeks in a row.
                alone_.reset();
            }
            lastTime_ = CountingOn(time);
            frame_->pts = lastTime_;
            return true;
        }
        if (received == AVERROR(EAGAIN)) {
            if (!ReadPacketIntoDecoder()) {
                ended_ = true;
                return false;
            }
            continue;
        }
        if (received == AVERROR_EOF || ++failures > kMaxConsecutiveFailures) {
            ended_ = true;
            return false;
        }
    }
}

const AVFrame* VideoSource::Next()
{
    if (!pending_ && !DecodePicture())
        return nullptr;
    pending_ = false;
    pendingFirstFrom_ = AV_NOPTS_VALUE;
    return frame_.get();
}

std::int64_t VideoSource::CountingOn(std::int64_t time)
{
    if (lastTime_ == AV_NOPTS_VALUE || time >= lastTime_) {
        picturesBehind_ = 0;
        return time;
    }
    // The time went back: a remuxed or damaged file, or a clock that restarts. Positions go on
    // from the last good one; a clock that stays behind is taken as restarted from here.
    const std::int64_t next = lastTime_ + frameDuration_;
    if (++picturesBehind_ >= kPicturesBehindForRestart) {
        timeOffset_ += next - time;
        picturesBehind_ = 0;
    }
    return next;
}

std::int64_t VideoSource::PositionSecondsOf(std::int64_t time) const
{
    if (time == AV_NOPTS_VALUE || time <= origin_)
        return 0;
    return av_rescale_q_rnd(time - origin_, timeBase_, AVRational{1, 1}, AV_ROUND_DOWN);
}

std::int64_t VideoSource::SecondsToStream(std::int64_t seconds) const
{
    return av_rescale_q(seconds, AVRational{1, 1}, timeBase_);
}

bool VideoSource::ReachableByDecodingOn(std::int64_t target) const
{
    if (ended_ || draining_ || lastTime_ == AV_NOPTS_VALUE)
        return false;
    // The picture waiting to be returned is the first one at or after the target.
    if (pending_ && pendingFirstFrom_ != AV_NOPTS_VALUE && pendingFirstFrom_ <= target && target <= lastTime_)
        return true;
    if (target <= lastTime_)
        return false;
    if (target - lastTime_ <= SecondsToStream(1))
        return true;
    // Still inside the group of pictures that holds the target: a seek would land on the
    // keyframe behind us and decode the same pictures again.
    const AVStream* stream = format_->streams[streamIndex_];
    const int entry = av_index_search_timestamp(const_cast<AVStream*>(stream), target, AVSEEK_FLAG_BACKWARD);
    if (entry < 0)
        return false;
    const AVIndexEntry* keyframe = avformat_index_get_entry(const_cast<AVStream*>(stream), entry);
    return keyframe != nullptr && keyframe->timestamp <= lastTime_;
}

bool VideoSource::SeekDemuxer(std::int64_t timestamp)
{
    ArmDeadline();
    if (av_seek_frame(format_.get(), streamIndex_, timestamp, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec_.get());
    ResetDecoding();
    return true;
}

bool VideoSource::ShowKeyframeAlone(std::int64_t target)
{
    for (;;) {
        if (av_read_frame(format_.get(), packet_.get()) < 0)
            return false;
        if (packet_->stream_index == streamIndex_)
            break;
        av_packet_unref(packet_.get());
    }
    if ((packet_->flags & AV_PKT_FLAG_KEY) == 0 || packet_->pts != target) {
        SendPacket(false);
        return false;
    }
    // A picture that depends on no other comes out of a decoder of its own at once, without the
    // pictures after it that the stream's decoder needs before it hands out the first one. The
    // stream's decoder gets the packet too and starts on it on its own threads meanwhile, so that
    // going on from the keyframe does not wait for it to be decoded again.
    // The decoder and its picture memory are kept for the next such seek up to full HD (until
    // decoding goes on), where setting them up again costs a fifth of the picture's decoding.
    if (alone_) {
        avcodec_flush_buffers(alone_.get());
    } else {
        alone_.reset(avcodec_alloc_context3(codec_->codec));
        if (alone_ && avcodec_parameters_to_context(alone_.get(), format_->streams[streamIndex_]->codecpar) >= 0) {
            alone_->pkt_timebase = timeBase_;
            alone_->thread_count = 0;
            alone_->thread_type = FF_THREAD_SLICE;
            if (avcodec_open2(alone_.get(), codec_->codec, nullptr) < 0)
                alone_.reset();
        } else {
            alone_.reset();
        }
    }
    const bool sent = alone_ && avcodec_send_packet(alone_.get(), packet_.get()) >= 0
                      && avcodec_send_packet(alone_.get(), nullptr) >= 0;
    SendPacket(false);
    const bool received = sent && avcodec_receive_frame(alone_.get(), frame_.get()) >= 0;
    if (static_cast<std::int64_t>(width_) * height_ > kKeptKeyframeDecoderPixels)
        alone_.reset();
    if (!received)
        return false;
    // Field pictures may come one field to a packet; a damaged picture would be mended by the
    // stream's decoder from the pictures before it. Both are left to the stream's decoder.
    const bool whole = frame_->key_frame && frame_->pict_type == AV_PICTURE_TYPE_I && !frame_->interlaced_frame
        && frame_->decode_error_flags == 0 && (frame_->flags & AV_FRAME_FLAG_CORRUPT) == 0;
    if (!whole || frame_->best_effort_timestamp != target) {
        av_frame_unref(frame_.get());
        return false;
    }
    lastTime_ = target;
    shownAlone_ = target;
    frame_->pts = target;
    return true;
}

bool VideoSource::LandNear(std::int64_t target, bool exact)
{
    // Some demuxers (MPEG program streams among them) land after the requested time; step
    // further back, doubling, until the first picture is not past the target. Failing all
    // else, start over from the beginning of the file, which is always exact.
    const std::int64_t end = origin_ + SecondsToStream(durationSeconds_ + 1);
    std::int64_t seekTime = target;
    std::int64_t backoff = SecondsToStream(1);
    for (;;) {
        const bool atStart = seekTime <= origin_;
        if (!SeekDemuxer(atStart ? origin_ : seekTime))
            break;
        const bool got = (exact && ShowKeyframeAlone(target)) || DecodePicture();
        if (got && lastTime_ <= target) {
            pending_ = true;
            return true;
        }
        if (!got && target >= end)
            return false;
        if (atStart)
            break;
        seekTime -= backoff;
        backoff *= 2;
    }
    if (!OpenInput()) {
        codec_.reset();
        format_.reset();
        return false;
    }
    pending_ = DecodePicture();
    return pending_;
}

void VideoSource::Seek(std::int64_t seconds)
{
    SeekTo(origin_ + SecondsToStream(std::max<std::int64_t>(0, seconds)));
}

std::int64_t VideoSource::MicrosecondsOf(std::int64_t time) const
{
    if (time == AV_NOPTS_VALUE || time <= origin_)
        return 0;
    return av_rescale_q_rnd(time - origin_, timeBase_, AVRational{1, 1000000}, AV_ROUND_DOWN);
}

std::int64_t VideoSource::FrameNumberOf(std::int64_t time) const
{
    if (time == AV_NOPTS_VALUE || time <= origin_)
        return 0;
    return av_rescale_q_rnd(time - origin_, timeBase_, av_inv_q(rate_),
        static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

void VideoSource::SeekMicroseconds(std::int64_t microseconds)
{
    // The first stream time whose microseconds, rounded down, reach the target: the same
    // picture whose time ReturnedMicroseconds reports.
    const std::int64_t ticks = av_rescale_q_rnd(std::max<std::int64_t>(0, microseconds), AVRational{1, 1000000},
        timeBase_, AV_ROUND_UP);
    SeekTo(origin_ + ticks);
}

void VideoSource::SeekKeyframe(std::int64_t microseconds)
{
    // The last stream time whose microseconds, rounded down, are still at or before the
    // target: the picture asked for is at or before it and the one after it is not.
    const std::int64_t target = origin_
        + av_rescale_q_rnd(std::max<std::int64_t>(0, microseconds) + 1, AVRational{1, 1000000}, timeBase_, AV_ROUND_UP)
        - 1;
    if (!format_ || !codec_) {
        ended_ = true;
        pending_ = false;
        return;
    }
    skipBefore_ = AV_NOPTS_VALUE;
    if (!LandNear(target, false)) {
        ended_ = true;
        pending_ = false;
    }
    pendingFirstFrom_ = AV_NOPTS_VALUE;
}

void VideoSource::SeekTo(std::int64_t target)
{
    if (!format_ || !codec_) {
        // A restart failed (the file went away): nothing more to show.
        ended_ = true;
        pending_ = false;
        return;
    }
    skipBefore_ = skipNonReferenceAllowed_ || disposable_->Enabled() ? target : AV_NOPTS_VALUE;
    const bool decodingOn = ReachableByDecodingOn(target);
    if (decodingOn && plan_ && plan_->Following())
        plan_->Retarget(target);
    if (!decodingOn && !LandNear(target, true)) {
        ended_ = true;
        pending_ = false;
    }
    while (!ended_ && !(pending_ && lastTime_ >= target))
        pending_ = DecodePicture();
    pendingFirstFrom_ = pending_ ? target : AV_NOPTS_VALUE;
    skipBefore_ = AV_NOPTS_VALUE;
}

}  // namespace decoder
