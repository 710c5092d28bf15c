// Freed memory handed back to the system. The C library keeps what a
// program frees for its next requests; after a search of a million boards
// that is tens of megabytes the game may never need again.
#include "platform/memory/memory.h"

// Any C library header says which C library this is.
#include <cstddef>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
