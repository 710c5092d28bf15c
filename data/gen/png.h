// The desktop icons: a scene drawn straight at each size with its coverage
// as alpha, and written as PNG. The image data is kept in stored (unpacked)
// deflate blocks: the files are small and the packages compress them anyway.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "draw.h"

// w by w pixels of red, green, blue and alpha; the scene is given coordinates
// of a `design`-pixel square, so every size shows the same picture.
template <class Scene>
std::vector<uint8_t> RenderRgba(int w, float design, Scene&& scene) {
    std::vector<uint8_t> out(static_cast<size_t>(w) * w * 4);
    const float k = design / w;
    const int n = SUPERSAMPLE * SUPERSAMPLE;
    for (int y = 0; y < w; y++) {
        for (int x = 0; x < w; x++) {
            Col sum = {0, 0, 0};
            int covered = 0;
            for (int j = 0; j < SUPERSAMPLE; j++) {
                for (int i = 0; i < SUPERSAMPLE; i++) {
                    Paint s = scene(Vec{(x + (i + 0.5f) / SUPERSAMPLE) * k, (y + (j + 0.5f) / SUPERSAMPLE) * k});
                    if (!s.on) continue;
                    covered++;
                    sum.r += s.c.r;
                    sum.g += s.c.g;
                    sum.b += s.c.b;
                }
            }
            uint8_t* p = &out[(static_cast<size_t>(y) * w + x) * 4];
            if (!covered) continue;
            const float c[3] = {sum.r / covered, sum.g / covered, sum.b / covered};
            for (int ch = 0; ch < 3; ch++) p[ch] = static_cast<uint8_t>(std::lround(std::clamp(c[ch], 0.0f, 255.0f)));
            p[3] = static_cast<uint8_t>((covered * 255 + n / 2) / n);
        }
    }
    return out;
}

inline uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; i++) {
        crc ^= data[i];
        for (int b = 0; b < 8; b++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void PutBig32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}

inline void PngChunk(std::vector<uint8_t>& file, const char* type, const std::vector<uint8_t>& body) {
    PutBig32(file, static_cast<uint32_t>(body.size()));
    const size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), body.begin(), body.end());
    PutBig32(file, Crc32(&file[start], file.size() - start));
}

inline bool WritePng(const char* path, int w, const std::vector<uint8_t>& rgba) {
    // Each row starts with filter type 0 (none).
    std::vector<uint8_t> raw;
    for (int y = 0; y < w; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + static_cast<long>(y) * w * 4,
                   rgba.begin() + static_cast<long>(y + 1) * w * 4);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t len = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + len == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(len));
        z.push_back(static_cast<uint8_t>(len >> 8));
        z.push_back(static_cast<uint8_t>(~len));
        z.push_back(static_cast<uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + len));
        if (at + len == raw.size()) break;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(z, (b << 16) | a);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(w));
    PutBig32(header, static_cast<uint32_t>(w));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter choice, no interlace
    PngChunk(file, "IHDR", header);
    PngChunk(file, "IDAT", z);
    PngChunk(file, "IEND", {});
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
