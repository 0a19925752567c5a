#include "platform/heap_release.h"

#include <malloc.h>

namespace qv::platform {

namespace {
// A row of a window-sized picture is a few kilobytes; the pictures themselves are hundreds.
constexpr int kLargeBlockBytes = 128 * 1024;
}  // namespace

void KeepLargeBlocksApart() {
    (void)mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
}

void ReturnFreedHeap() {
    (void)malloc_trim(0);
}

}  // namespace qv::platform
