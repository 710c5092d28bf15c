// Any bytes as a bitmap file: the loader must accept or refuse them without
// reading outside them, and what it accepts must be whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lib/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    BitmapFile bmp{};
    if (LoadBitmapBytes(&bmp, data, static_cast<uint32_t>(size))) {
        const BitmapInfoHeader& ih = bmp.infoHeader;
        if (!bmp.pixels || ih.biWidth <= 0 || ih.biHeight <= 0 || ih.biBitCount != 24 ||
            ih.biSizeImage != static_cast<uint32_t>(ih.biWidth) * static_cast<uint32_t>(ih.biHeight) * 3)
            std::abort();
        // Touch every pixel, first and last row flipped, so a short buffer shows.
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < ih.biSizeImage; ++i) sum = static_cast<uint8_t>(sum + bmp.pixels[i]);
        FlipBitmap(bmp.pixels, ih.biWidth * 3, ih.biHeight);
    }
    UnloadBitmapFile(&bmp);
    return 0;
}
