#include "support/FreedMemory.h"

#include <cstdlib>  // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarnwick {

void handFreedMemoryBackPromptly() {
#if defined(__GLIBC__)
    // glibc's defaults (128 KiB each) grow up to 32 MiB once a large block
    // is freed; fixed values keep them where they start.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
#endif
}

void handFreedMemoryBack() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace tarnwick
