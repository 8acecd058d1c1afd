#include "platform/heap.h"

#include <malloc.h>

namespace platform {

void LimitHeapOverhead()
{
    // Setting the threshold also stops glibc from raising it after each large free.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_ARENA_MAX, 2);
}

}  // namespace platform
