#pragma once

#include "playback/decoderRecords.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace playback {

// openFile refused the file.
class EUnsupportedMediaFormat : public std::runtime_error {
public:
    EUnsupportedMediaFormat();
};

// The one way into decoder.so. Each live instance needs a module with its own globals (the module
// holds one open video), so a second live instance loads a private temporary copy of the file.
// No lock: callers keep to one thread at a time.
class TDecoder {
public:
    // Loads "decoder.so" from `folder`, or from the application folder when `folder` is empty.
    // Throws platform::EOSError when the module cannot be loaded or lacks an export.
    explicit TDecoder(const std::string& folder = {});
    ~TDecoder();

    TDecoder(const TDecoder&) = delete;
    TDecoder& operator=(const TDecoder&) = delete;

    // Throws EUnsupportedMediaFormat when the module refuses the file; nothing changes then.
    void Open(const std::string& fileName);
    // The next picture, or null at the end of the stream; FrameInfo is refreshed either way.
    TVideoFrame* NextFrame();
    std::int32_t Seek(std::int32_t seconds);
    std::int32_t Rewind();

    // Exact navigation, when the module offers it (a module without it plays on in whole
    // seconds). FrameTime is the place of the picture NextFrame returned last, or null.
    bool CanNavigate() const { return getFrameTime_ != nullptr && seekTime_ != nullptr && seekKeyframe_ != nullptr; }
    const TVideoFrameTime* FrameTime() const;
    std::int32_t SeekTime(std::int64_t microseconds);
    std::int32_t SeekKeyframe(std::int64_t microseconds);

    // Pictures at the size they are shown, when the module offers it (both exports). After
    // SetShownSize, NextFrame delivers ShownWidth() x ShownHeight() pixels; 0 x 0 returns to the
    // full size, as does Open. False, and nothing changes, when the module lacks the exports or
    // refuses the size. FullFrame is the last picture NextFrame returned (also once it has
    // reported the end) at the full size, FrameWidth() x FrameHeight(); null when there is none
    // since the last open or seek. Without the exports it is that picture as delivered.
    bool CanShowSmaller() const { return setShownSize_ != nullptr && getFullFrame_ != nullptr; }
    bool SetShownSize(std::int32_t width, std::int32_t height);
    std::int32_t ShownWidth() const { return shownWidth_ > 0 ? shownWidth_ : frameWidth_; }
    std::int32_t ShownHeight() const { return shownHeight_ > 0 ? shownHeight_ : frameHeight_; }
    bool ShowsSmaller() const { return shownWidth_ > 0; }
    TVideoFrame* FullFrame();
    // The last picture NextFrame returned, as delivered (also once it has reported the end);
    // null when there is none since the last open or seek.
    TVideoFrame* LastFrame() const { return lastFrame_; }

    const TVideoFileInfo* FileInfo() const { return fileInfo_; }
    const TVideoFrameInfo* FrameInfo() const { return frameInfo_; }
    std::int32_t FrameWidth() const { return frameWidth_; }
    std::int32_t FrameHeight() const { return frameHeight_; }
    double FrameRate() const { return frameRate_; }
    double AspectRatio() const { return aspectRatio_; }

    // Path of the private copy this instance loaded; empty when it loaded the module in place.
    const std::string& TempLibraryPath() const { return tempFile_.path; }

    // Instances whose module is loaded or being loaded.
    static std::int32_t LiveDecoderCount();

private:
    // Members are released in reverse order: the module is unloaded first, then the live count
    // drops, and only then is the copy deleted (a loaded file must not vanish under it).
    struct TempFile {
        std::string path;
        ~TempFile();
    };
    struct LiveCount {
        bool counted = false;
        ~LiveCount();
    };
    struct LibraryCloser {
        void operator()(void* handle) const;
    };

    TempFile tempFile_;
    LiveCount liveCount_;
    std::unique_ptr<void, LibraryCloser> libraryHandle_;

    TVideoFrameInfo* frameInfo_ = nullptr;
    TVideoFileInfo* fileInfo_ = nullptr;
    std::int32_t frameHeight_ = 0;
    std::int32_t frameWidth_ = 0;
    double aspectRatio_ = 0.0;
    double frameRate_ = 0.0;
    std::int32_t shownWidth_ = 0;   // 0: the full size
    std::int32_t shownHeight_ = 0;
    TVideoFrame* lastFrame_ = nullptr;

    TOpenFileFn openFile_ = nullptr;
    TGetFrameInfoFn getFrameInfo_ = nullptr;
    TGetFileInfoFn getFileInfo_ = nullptr;
    TGetFrameFn getFrame_ = nullptr;
    TGetNextFrameFn getNextFrame_ = nullptr;
    TSeekFn seek_ = nullptr;
    TGetFrameTimeFn getFrameTime_ = nullptr;
    TSeekTimeFn seekTime_ = nullptr;
    TSeekKeyframeFn seekKeyframe_ = nullptr;
    TSetShownSizeFn setShownSize_ = nullptr;
    TGetFullFrameFn getFullFrame_ = nullptr;
};

// `convert` is resolved into this one variable by every instance; nothing calls it.
extern std::atomic<TConvertFn> DecoderConvert;

}  // namespace playback
