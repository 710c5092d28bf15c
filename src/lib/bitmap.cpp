// 24-bit bitmap files read into top-down rows of 3-byte pixels. Only
// uncompressed 24-bit files are accepted; everything about them is checked
// against the bytes actually there before a pixel is read.
#include "lib/bitmap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/files.h"

namespace {

constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t BI_RGB = 0;
// The largest file read whole into memory; a sprite sheet is far smaller.
constexpr size_t MAX_FILE_SIZE = 256u << 20;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void ReadHeaders(const uint8_t* d, BitmapFileHeader* fh, BitmapInfoHeader* ih) {
    fh->bfType = Le16(d);
    fh->bfSize = Le32(d + 2);
    fh->bfReserved1 = Le16(d + 6);
    fh->bfReserved2 = Le16(d + 8);
    fh->bfOffBits = Le32(d + 10);
    const uint8_t* i = d + FILE_HEADER_SIZE;
    ih->biSize = Le32(i);
    ih->biWidth = static_cast<int32_t>(Le32(i + 4));
    ih->biHeight = static_cast<int32_t>(Le32(i + 8));
    ih->biPlanes = Le16(i + 12);
    ih->biBitCount = Le16(i + 14);
    ih->biCompression = Le32(i + 16);
    ih->biSizeImage = Le32(i + 20);
    ih->biXPelsPerMeter = static_cast<int32_t>(Le32(i + 24));
    ih->biYPelsPerMeter = static_cast<int32_t>(Le32(i + 28));
    ih->biClrUsed = Le32(i + 32);
    ih->biClrImportant = Le32(i + 36);
}

}  // namespace

int LoadBitmapBytes(BitmapFile* bitmap, const uint8_t* data, uint32_t size) {
    if (!bitmap || !data || size < FILE_HEADER_SIZE + INFO_HEADER_SIZE) return 0;
    BitmapFileHeader fh;
    BitmapInfoHeader ih;
    ReadHeaders(data, &fh, &ih);
    if (fh.bfType != BITMAP_ID) return 0;
    // The 40-byte header or a later, longer one; 24 bits per pixel, uncompressed.
    if (ih.biSize < INFO_HEADER_SIZE || ih.biBitCount != 24 || ih.biCompression != BI_RGB) return 0;
    if (ih.biWidth <= 0 || ih.biHeight == 0 || ih.biHeight == INT32_MIN) return 0;

    const bool topDown = ih.biHeight < 0;
    const uint64_t width = static_cast<uint64_t>(ih.biWidth);
    const uint64_t height = static_cast<uint64_t>(topDown ? -static_cast<int64_t>(ih.biHeight) : ih.biHeight);
    const uint64_t packedRow = width * 3;
    const uint64_t paddedRow = (packedRow + 3) & ~uint64_t{3};
    const uint64_t imageSize = packedRow * height;
    // biSizeImage is 32-bit and signed in spirit: the picture must fit it.
    if (imageSize > INT32_MAX) return 0;
    // Pixels start after the headers and every row must be there (the last
    // one may lack its padding).
    const uint64_t offset = fh.bfOffBits;
    if (offset < FILE_HEADER_SIZE + static_cast<uint64_t>(ih.biSize)) return 0;
    if (offset + paddedRow * (height - 1) + packedRow > size) return 0;

    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(imageSize)));
    if (!pixels) return 0;
    for (uint64_t r = 0; r < height; ++r) {
        // Bottom-up files store the last row first.
        const uint64_t fileRow = topDown ? r : height - 1 - r;
        std::memcpy(pixels + r * packedRow, data + offset + fileRow * paddedRow, static_cast<size_t>(packedRow));
    }

    ih.biHeight = static_cast<int32_t>(height);
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<uint32_t>(imageSize);
    bitmap->fileHeader = fh;
    bitmap->infoHeader = ih;
    bitmap->pixels = pixels;
    return 1;
}

int LoadBitmapFile(BitmapFile* bitmap, const char* fileName, const char** why) {
    if (why) *why = "no file named";
    if (!bitmap || !fileName) return 0;
    FileBytes bytes;
    const FileRead read = ReadFileByName(fileName, MAX_FILE_SIZE, &bytes);
    if (read.error) {
        if (why) *why = read.reason;
        return 0;
    }
    const int result = LoadBitmapBytes(bitmap, bytes.data, static_cast<uint32_t>(bytes.size));
    if (!result && why) *why = "not a picture the game reads";
    return result;
}

int UnloadBitmapFile(BitmapFile* bitmap) {
    if (!bitmap) return 0;
    std::free(bitmap->pixels);
    bitmap->pixels = nullptr;
    return 1;
}

int FlipBitmap(uint8_t* pixels, int32_t bytesPerRow, int32_t rows) {
    if (!pixels || bytesPerRow < 0 || rows < 0) return 0;
    if (rows < 2 || bytesPerRow == 0) return 1;
    uint8_t* spare = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytesPerRow)));
    if (!spare) return 0;
    const size_t n = static_cast<size_t>(bytesPerRow);
    for (int32_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = pixels + static_cast<size_t>(top) * n;
        uint8_t* b = pixels + static_cast<size_t>(bottom) * n;
        std::memcpy(spare, a, n);
        std::memcpy(a, b, n);
        std::memcpy(b, spare, n);
    }
    std::free(spare);
    return 1;
}
