#pragma once

#include <functional>
#include <string>

namespace platform {

// Writes a file so that it is either complete or not there at all: `write` fills a temporary
// file beside `target` (given its path), which is flushed to disk and renamed over the target.
// The new file takes the replaced file's permissions, or those the umask gives. False (and the
// target untouched, no temporary left) when `write` fails or the file cannot be committed.
bool WriteFileAtomically(const std::string& target, const std::function<bool(const std::string& temporary)>& write);

}  // namespace platform
