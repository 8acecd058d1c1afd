#pragma once

#include "disposablePictures.h"
#include "ffmpegHandles.h"
#include "seekPlan.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace decoder {

// One open video file: demuxer and decoder of its video stream, delivering pictures in
// presentation order with exact seeking. Not thread-safe; one caller at a time.
class VideoSource {
public:
    // Null when the file cannot be read or holds no video stream that decodes to a picture.
    static std::unique_ptr<VideoSource> Open(const std::string& path);

    VideoSource(const VideoSource&) = delete;
    VideoSource& operator=(const VideoSource&) = delete;
    ~VideoSource();

    int Width() const { return width_; }
    int Height() const { return height_; }
    double FrameRate() const { return frameRate_; }
    double AspectRatio() const { return aspectRatio_; }
    std::int64_t DurationSeconds() const { return durationSeconds_; }

    // The next picture, or null at the end of the stream. Valid until the next call. Its pts is
    // its time in the stream's time base, never earlier than the picture before it.
    const AVFrame* Next();

    // Whole seconds from the start of the video of a picture time as Next() gives it in pts.
    std::int64_t PositionSecondsOf(std::int64_t time) const;

    AVRational TimeBase() const { return timeBase_; }
    const AVStream& Stream() const { return *format_->streams[streamIndex_]; }
    // The first picture, as decoded at open; valid until the first Next().
    const AVFrame& FirstPicture() const { return *frame_; }

    // After this, Next() returns the first picture whose time is at or after `seconds`, or
    // null when there is none.
    void Seek(std::int64_t seconds);

    // Exact navigation in microseconds from the start of the video.
    // Microseconds of a picture time as Next() gives it in pts, rounded down, and the picture's
    // number at the frame rate.
    std::int64_t MicrosecondsOf(std::int64_t time) const;
    std::int64_t FrameNumberOf(std::int64_t time) const;
    // Like Seek, to the first picture at or after `microseconds`.
    void SeekMicroseconds(std::int64_t microseconds);
    // After this, Next() returns the keyframe that starts the group of the last picture at or
    // before `microseconds`, and every picture after it in order.
    void SeekKeyframe(std::int64_t microseconds);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // Use Open; public only so that make_unique can reach it.
    VideoSource(Key, std::string path);

private:

    static int Interrupted(void* source);
    void ArmDeadline();
    bool OpenInput();
    std::int64_t CountingOn(std::int64_t time);
    bool DecodePicture();
    bool ReadPacketIntoDecoder();
    // Gives the decoder packet_, or leaves it out (false) when it holds only pictures before the
    // seek's target that nothing refers to; lets go of it either way. A packet not `planned` that
    // starts a group before the target has the group read ahead and planned first.
    bool SendPacket(bool planned);
    // Reads ahead from packet_ and queues what it read, planned; packet_ is then the first packet
    // to send, false when the plan left out everything read.
    bool PlanAhead();
    void ResetDecoding();
    bool SeekDemuxer(std::int64_t timestamp);
    bool ReachableByDecodingOn(std::int64_t target) const;
    // The picture of the next packet when it is a keyframe at `target`, decoded on its own and
    // made the pending picture. The packet goes to the decoder either way.
    bool ShowKeyframeAlone(std::int64_t target);
    bool LandNear(std::int64_t target, bool exact);
    std::int64_t SecondsToStream(std::int64_t seconds) const;
    void SeekTo(std::int64_t target);

    std::string path_;
    FormatContextPtr format_;
    CodecContextPtr codec_;
    PacketPtr packet_;
    FramePtr frame_;
    int streamIndex_ = -1;
    AVRational timeBase_{1, 1};
    bool skipNonReferenceAllowed_ = false;
    // Packets before a seek's target that nothing refers to are not decoded at all.
    std::unique_ptr<DisposablePictures> disposable_;
    // Reference pictures before a seek's target that nothing shown needs are left out or stood
    // in for; null for codecs without a plan.
    std::unique_ptr<SeekPlan> plan_;
    std::deque<PacketPtr> planned_;  // read ahead, to be sent before reading on
    CodecContextPtr alone_;           // decodes keyframes shown alone (ShowKeyframeAlone)
    // Reading gives up when it reaches this moment without a picture (see kNoPictureLimit).
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();

    int width_ = 0;
    int height_ = 0;
    double frameRate_ = 25.0;
    AVRational rate_{25, 1};
    double aspectRatio_ = 1.0;
    std::int64_t durationSeconds_ = 0;
    std::int64_t origin_ = 0;          // stream time of position 0
    std::int64_t frameDuration_ = 1;   // stream time of one frame, for pictures without a time

    // Decoding state, reset by every seek.
    bool draining_ = false;
    bool ended_ = false;
    bool pending_ = false;             // frame_ holds a picture Next() has not returned yet
    bool awaitingKeyframe_ = true;
    int droppedWhileAwaitingKeyframe_ = 0;
    std::int64_t keyframeTime_ = 0;
    int guardedPictures_ = 0;          // pictures after the keyframe still checked for leading ones
    std::int64_t skipBefore_ = AV_NOPTS_VALUE;
    // A keyframe shown straight after a seek, decoded on its own: the decoder's own copy of it
    // (and anything before it) is dropped when decoding goes on.
    std::int64_t shownAlone_ = AV_NOPTS_VALUE;
    std::int64_t lastTime_ = AV_NOPTS_VALUE;      // time of the picture in frame_
    // Added to the stream's times once they went back (a restarted clock), so positions go on.
    std::int64_t timeOffset_ = 0;
    int picturesBehind_ = 0;           // pictures in a row whose time went back
    // The pending picture is the first one at or after this time (nothing between was dropped).
    std::int64_t pendingFirstFrom_ = AV_NOPTS_VALUE;
};

}  // namespace decoder
