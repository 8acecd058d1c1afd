#pragma once

namespace platform {

// Allocator settings for a process that decodes large pictures on several threads: blocks of
// 128 KiB and more (pictures, packets, scaled frames) come straight from the system and go back
// to it when freed, rather than staying in the heap once glibc's sliding threshold has climbed to
// their size, and the threads share two heaps at most. Once at start, before other threads.
void LimitHeapOverhead();

}  // namespace platform
