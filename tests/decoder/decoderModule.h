#pragma once

// decoder.so opened directly, the way the program's binding reaches it.

#include <dlfcn.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "playback/decoderRecords.h"

namespace testing_support {

struct DecoderModule {
    struct Closer {
        void operator()(void* handle) const { dlclose(handle); }
    };

    explicit DecoderModule(const std::string& path) : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (!handle)
            throw std::runtime_error(dlerror());
        Resolve("openFile", openFile);
        Resolve("getFrameInfo", getFrameInfo);
        Resolve("getFileInfo", getFileInfo);
        Resolve("getFrame", getFrame);
        Resolve("getNextFrame", getNextFrame);
        Resolve("seek", seek);
        Resolve("convert", convert);
    }

    template <typename Fn>
    void Resolve(const char* name, Fn& entry)
    {
        void* symbol = dlsym(handle.get(), name);
        if (symbol == nullptr)
            throw std::runtime_error(std::string("missing export ") + name);
        entry = reinterpret_cast<Fn>(symbol);
    }

    std::unique_ptr<void, Closer> handle;
    playback::TOpenFileFn openFile = nullptr;
    playback::TGetFrameInfoFn getFrameInfo = nullptr;
    playback::TGetFileInfoFn getFileInfo = nullptr;
    playback::TGetFrameFn getFrame = nullptr;
    playback::TGetNextFrameFn getNextFrame = nullptr;
    playback::TSeekFn seek = nullptr;
    playback::TConvertFn convert = nullptr;
};

}  // namespace testing_support
