// Freed memory handed back to the system. The C library keeps what a
// program frees for its next requests; after a search of a million boards
// that is tens of megabytes the game may never need again.
#include "platform/memory/memory.h"

// Any C library header says which C library this is.
#include <cstddef>

// Under a sanitizer the allocator is the sanitizer's, not the C library's:
// trimming the C library's untouched arenas there reads through null.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TARNO_SANITIZED
#endif
#endif
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(TARNO_SANITIZED)
#define TARNO_TRIM
#include <malloc.h>
#endif

void ReleaseFreeMemory() {
#ifdef TARNO_TRIM
    malloc_trim(0);
#endif
}
