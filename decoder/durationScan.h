#pragma once

#include "ffmpegHandles.h"

#include <cstdint>
#include <string>

namespace decoder {

// Whether a length the container states can be believed for a file of `fileBytes`: a header
// damaged by one bit can claim decades. Real video never averages fewer than 8 bytes a second.
bool IsPlausibleDuration(std::int64_t seconds, std::int64_t fileBytes);

// The stream's length found by reading its packets (no decoding) through a context of its own:
// from `origin` to the end of the last packet (one `frameDuration` where the packet states no
// length of its own), in whole seconds. Reading stops after 10 s; -1 when no packet of the
// stream had a time.
std::int64_t ScanDurationSeconds(const std::string& path, int streamIndex, AVRational timeBase, std::int64_t origin,
    std::int64_t frameDuration);

}  // namespace decoder
