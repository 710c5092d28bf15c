// Freed memory handed back to the system. The C library keeps what a
// program frees for its next requests; after a search of a million boards
// that is tens of megabytes the game may never need again.
#include "platform/memory/memory.h"

// Any C library header says which C library this is.
#include <cstddef>

// Under a sanitizer the allocator is the sanitizer's, not the C library's:
// trimming the C library's untouched arenas there reads through null.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARNO_TRIM 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TARNO_TRIM 0
#endif
#endif
#if !defined(TARNO_TRIM)
#if defined(__GLIBC__)
#define TARNO_TRIM 1
#else
#define TARNO_TRIM 0
#endif
#endif

#if TARNO_TRIM
#include <malloc.h>
#endif

void ReleaseFreeMemory() {
#if TARNO_TRIM
    malloc_trim(0);
#endif
}
