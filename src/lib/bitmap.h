// 24-bit bitmap files read into a top-down array of 3-byte pixels.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct BitmapFileHeader {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
#pragma pack(pop)

constexpr uint16_t BITMAP_ID = 19778;  // "BM"

struct BitmapFile {
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;  // biHeight positive after a load: rows are top-down in pixels
    uint8_t* pixels;              // biWidth * biHeight pixels, blue green red, top row first, no padding
};

// On failure `why`, when given, says why: the file's reason, or that the
// bytes are not a picture the game reads.
int LoadBitmapFile(BitmapFile* bitmap, const char* fileName, const char** why = nullptr);
// Same rules over bytes already in memory (the file reader and the fuzzer use it).
int LoadBitmapBytes(BitmapFile* bitmap, const uint8_t* data, uint32_t size);
int UnloadBitmapFile(BitmapFile* bitmap);
int FlipBitmap(uint8_t* pixels, int32_t bytesPerRow, int32_t rows);
