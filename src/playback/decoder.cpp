#include "playback/decoder.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/appFolder.h"
#include "platform/osError.h"

namespace playback {

namespace {

constexpr const char* kModuleName = "decoder.so";

std::atomic<std::int32_t> liveDecoderCount{0};

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    std::string result = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    if (result.back() != '/')
        result += '/';
    return result;
}

// Creates an empty, uniquely named file "dec" + six characters in the temporary folder and
// returns its path; empty when none could be created.
std::string CreateTemporaryFile()
{
    std::string path = TemporaryFolder() + std::string(kModuleName, 3) + "XXXXXX";
    const int descriptor = mkstemp(path.data());
    if (descriptor < 0)
        return {};
    close(descriptor);
    return path;
}

// glibc hands the failed call's errno over only through dlerror(): read the text first. errno
// was cleared before the call, so a failure without a system error (a missing symbol, a file
// that is no module) reports no code.
[[noreturn]] void RaiseDynamicLoaderError()
{
    const char* text = dlerror();
    platform::RaiseLastOSError(text != nullptr ? text : "");
}

template <typename Fn>
void Resolve(void* library, const char* name, Fn& entry)
{
    errno = 0;
    dlerror();
    void* symbol = dlsym(library, name);
    if (symbol == nullptr)
        RaiseDynamicLoaderError();
    entry = reinterpret_cast<Fn>(symbol);
}

}  // namespace

std::atomic<TConvertFn> DecoderConvert{nullptr};

EUnsupportedMediaFormat::EUnsupportedMediaFormat() : std::runtime_error("Unsupported media format!") {}

TDecoder::TempFile::~TempFile()
{
    if (!path.empty())
        unlink(path.c_str());
}

TDecoder::LiveCount::~LiveCount()
{
    if (counted)
        liveDecoderCount.fetch_sub(1);
}

void TDecoder::LibraryCloser::operator()(void* handle) const
{
    dlclose(handle);
}

TDecoder::TDecoder(const std::string& folder)
{
    const std::int32_t count = liveDecoderCount.fetch_add(1) + 1;
    liveCount_.counted = true;

    std::string moduleFolder = folder.empty() ? platform::ApplicationFolder() : folder;
    if (moduleFolder.back() != '/')
        moduleFolder += '/';
    const std::string modulePath = moduleFolder + kModuleName;

    std::string loadPath = modulePath;
    if (count != 1) {
        // The module keeps its open video in globals; dlopen shares them between handles of one
        // file, so another live instance needs a file of its own.
        tempFile_.path = CreateTemporaryFile();
        // dlopen("") would hand back the program itself rather than fail.
        if (tempFile_.path.empty())
            platform::RaiseLastOSError();
        std::error_code ignored;
        std::filesystem::copy_file(modulePath, tempFile_.path, std::filesystem::copy_options::overwrite_existing,
            ignored);
        loadPath = tempFile_.path;
    }

    errno = 0;
    dlerror();
    libraryHandle_.reset(dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!libraryHandle_)
        RaiseDynamicLoaderError();

    void* library = libraryHandle_.get();
    Resolve(library, "openFile", openFile_);
    Resolve(library, "getFrameInfo", getFrameInfo_);
    Resolve(library, "getFileInfo", getFileInfo_);
    Resolve(library, "getFrame", getFrame_);
    Resolve(library, "getNextFrame", getNextFrame_);
    Resolve(library, "seek", seek_);
    TConvertFn convert = nullptr;
    Resolve(library, "convert", convert);
    DecoderConvert.store(convert);
    // The navigation exports are optional: all three or none.
    getFrameTime_ = reinterpret_cast<TGetFrameTimeFn>(dlsym(library, "getFrameTime"));
    seekTime_ = reinterpret_cast<TSeekTimeFn>(dlsym(library, "seekTime"));
    seekKeyframe_ = reinterpret_cast<TSeekKeyframeFn>(dlsym(library, "seekKeyframe"));
    if (!CanNavigate()) {
        getFrameTime_ = nullptr;
        seekTime_ = nullptr;
        seekKeyframe_ = nullptr;
    }
    setShownSize_ = reinterpret_cast<TSetShownSizeFn>(dlsym(library, "setShownSize"));
    getFullFrame_ = reinterpret_cast<TGetFullFrameFn>(dlsym(library, "getFullFrame"));
    if (!CanShowSmaller()) {
        setShownSize_ = nullptr;
        getFullFrame_ = nullptr;
    }
}

TDecoder::~TDecoder() = default;

std::int32_t TDecoder::LiveDecoderCount()
{
    return liveDecoderCount.load();
}

void TDecoder::Open(const std::string& fileName)
{
    // Only regular files: reading a FIFO or a device would wait for ever for a writer.
    struct stat info {};
    if (::stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw EUnsupportedMediaFormat();
    if (openFile_(fileName.c_str(), 0, 0) != 0)
        throw EUnsupportedMediaFormat();
    fileInfo_ = getFileInfo_();
    frameInfo_ = getFrameInfo_();
    frameWidth_ = fileInfo_->FrameWidth;
    frameHeight_ = fileInfo_->FrameHeight;
    frameRate_ = fileInfo_->FrameRate;
    aspectRatio_ = fileInfo_->AspectRatio;
    // The module opens every video at the full size.
    shownWidth_ = 0;
    shownHeight_ = 0;
    lastFrame_ = nullptr;
}

TVideoFrame* TDecoder::NextFrame()
{
    TVideoFrame* frame = getNextFrame_();
    frameInfo_ = getFrameInfo_();
    if (frame != nullptr)
        lastFrame_ = frame;
    return frame;
}

bool TDecoder::SetShownSize(std::int32_t width, std::int32_t height)
{
    if (setShownSize_ == nullptr || setShownSize_(width, height) != 0)
        return false;
    const bool full = width <= 0 || height <= 0 || (width == frameWidth_ && height == frameHeight_);
    shownWidth_ = full ? 0 : width;
    shownHeight_ = full ? 0 : height;
    return true;
}

TVideoFrame* TDecoder::FullFrame()
{
    if (lastFrame_ == nullptr)
        return nullptr;
    return getFullFrame_ != nullptr ? getFullFrame_() : lastFrame_;
}

std::int32_t TDecoder::Seek(std::int32_t seconds)
{
    lastFrame_ = nullptr;
    return seek_(seconds);
}

const TVideoFrameTime* TDecoder::FrameTime() const
{
    return getFrameTime_ != nullptr ? getFrameTime_() : nullptr;
}

std::int32_t TDecoder::SeekTime(std::int64_t microseconds)
{
    lastFrame_ = nullptr;
    return seekTime_ != nullptr ? seekTime_(microseconds) : 1;
}

std::int32_t TDecoder::SeekKeyframe(std::int64_t microseconds)
{
    lastFrame_ = nullptr;
    return seekKeyframe_ != nullptr ? seekKeyframe_(microseconds) : 1;
}

std::int32_t TDecoder::Rewind()
{
    lastFrame_ = nullptr;
    return seek_(0);
}

}  // namespace playback
