// Any bytes as a WAV file: the reader must accept or refuse them without
// reading outside them, and the samples it finds must lie inside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lib/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    WavData wav{};
    if (ParseWav(data, static_cast<uint32_t>(size), &wav)) {
        if (wav.formatTag != 1 || wav.samples < data || wav.samples + wav.size > data + size) std::abort();
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < wav.size; ++i) sum = static_cast<uint8_t>(sum + wav.samples[i]);
    }
    return 0;
}
