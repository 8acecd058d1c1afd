// A stand-in decoder.so that lacks one export (chosen at build time), for the binding's refusal.

#include <cstdint>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::int64_t record[8];
}

EXPORT std::int32_t openFile(const char*, std::int32_t, std::int32_t) { return 1; }
EXPORT void* getFrameInfo() { return record; }
EXPORT void* getFileInfo() { return record; }
#ifndef OMIT_GETFRAME
EXPORT void* getFrame() { return nullptr; }
#endif
EXPORT void* getNextFrame() { return nullptr; }
EXPORT std::int32_t seek(std::int32_t) { return 0; }
#ifndef OMIT_CONVERT
EXPORT std::int32_t convert() { return 0; }
#endif
