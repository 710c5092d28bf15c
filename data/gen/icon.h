// The game's icon: a 32 by 32 picture cut down to 16 colours and written as a
// Windows icon (4 bits per pixel with an AND mask) and as XPM text.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "draw.h"

constexpr int ICON_SIZE = 32;
constexpr int ICON_COLOURS = 16;  // entry 0 is black, kept for the transparent pixels

struct IconImage {
    uint8_t index[ICON_SIZE * ICON_SIZE];  // 0 = transparent
    uint8_t palette[ICON_COLOURS][3];      // red, green, blue
};

// Median cut over the drawn pixels: split the box with the widest spread of
// one channel at its median until the palette is full.
inline void QuantiseIcon(const Image& img, IconImage& out) {
    const int n = ICON_SIZE * ICON_SIZE;
    int order[n];
    int count = 0;
    auto px = [&img](int i, int ch) { return img.rgb[3 * i + ch]; };
    for (int i = 0; i < n; i++)
        if (px(i, 0) | px(i, 1) | px(i, 2)) order[count++] = i;

    int start[ICON_COLOURS], end[ICON_COLOURS];
    int boxes = 0;
    if (count > 0) {
        start[0] = 0;
        end[0] = count;
        boxes = 1;
    }
    while (boxes < ICON_COLOURS - 1) {
        int best = -1, bestChannel = 0, bestSpread = 0;
        for (int b = 0; b < boxes; b++) {
            for (int ch = 0; ch < 3; ch++) {
                int lo = 255, hi = 0;
                for (int k = start[b]; k < end[b]; k++) {
                    lo = std::min<int>(lo, px(order[k], ch));
                    hi = std::max<int>(hi, px(order[k], ch));
                }
                if (hi - lo > bestSpread) {
                    best = b;
                    bestChannel = ch;
                    bestSpread = hi - lo;
                }
            }
        }
        if (best < 0) break;  // every box is a single colour
        int ch = bestChannel;
        std::stable_sort(order + start[best], order + end[best],
                         [&px, ch](int a, int b) { return px(a, ch) < px(b, ch); });
        // Split between two different values, so no colour lands in both halves.
        auto value = [&](int k) { return px(order[k], ch); };
        int mid = (start[best] + end[best]) / 2;
        int up = mid, down = mid;
        while (up < end[best] && value(up) == value(up - 1)) up++;
        while (down > start[best] + 1 && value(down) == value(down - 1)) down--;
        mid = (up < end[best] && up - mid <= mid - down) || value(down) == value(down - 1) ? up : down;
        start[boxes] = mid;
        end[boxes] = end[best];
        end[best] = mid;
        boxes++;
    }

    std::fill(&out.palette[0][0], &out.palette[0][0] + sizeof out.palette, uint8_t{0});
    for (int b = 0; b < boxes; b++) {
        long sum[3] = {0, 0, 0};
        for (int k = start[b]; k < end[b]; k++)
            for (int ch = 0; ch < 3; ch++) sum[ch] += px(order[k], ch);
        long size = end[b] - start[b];
        for (int ch = 0; ch < 3; ch++)
            out.palette[b + 1][ch] = static_cast<uint8_t>(std::max(8L, (sum[ch] + size / 2) / size));
    }
    // Then a few rounds of moving each colour to the mean of the pixels
    // nearest to it, which keeps small areas (the turret) from being pulled
    // toward a big neighbour's colour.
    for (int round = 0; round <= 8; round++) {
        long sum[ICON_COLOURS][4] = {};
        for (int i = 0; i < n; i++) {
            out.index[i] = 0;
            if (!(px(i, 0) | px(i, 1) | px(i, 2))) continue;
            long bestDistance = -1;
            for (int b = 1; b <= boxes; b++) {
                long d = 0;
                for (int ch = 0; ch < 3; ch++) {
                    long e = static_cast<long>(px(i, ch)) - out.palette[b][ch];
                    d += e * e;
                }
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    out.index[i] = static_cast<uint8_t>(b);
                }
            }
            for (int ch = 0; ch < 3; ch++) sum[out.index[i]][ch] += px(i, ch);
            sum[out.index[i]][3]++;
        }
        if (round == 8) break;
        for (int b = 1; b <= boxes; b++)
            if (sum[b][3] > 0)
                for (int ch = 0; ch < 3; ch++)
                    out.palette[b][ch] = static_cast<uint8_t>(std::max(8L, (sum[b][ch] + sum[b][3] / 2) / sum[b][3]));
    }
}

// One image of 32 by 32 at 4 bits per pixel: header, 16-colour table, colour
// bits and the AND mask (set = transparent), both bottom row first.
inline bool WriteIco(const char* path, const IconImage& icon) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const uint32_t xorBytes = ICON_SIZE * ICON_SIZE / 2, andBytes = ICON_SIZE * 4;
    const uint32_t imageBytes = 40 + 4 * ICON_COLOURS + xorBytes + andBytes;
    Put16(f, 0);
    Put16(f, 1);  // an icon
    Put16(f, 1);  // one image
    std::fputc(ICON_SIZE, f);
    std::fputc(ICON_SIZE, f);
    std::fputc(ICON_COLOURS, f);
    std::fputc(0, f);
    Put16(f, 1);
    Put16(f, 4);
    Put32(f, imageBytes);
    Put32(f, 6 + 16);
    Put32(f, 40);
    Put32(f, ICON_SIZE);
    Put32(f, ICON_SIZE * 2);  // colour bits and mask together
    Put16(f, 1);
    Put16(f, 4);
    Put32(f, 0);
    Put32(f, xorBytes + andBytes);
    Put32(f, 0);
    Put32(f, 0);
    Put32(f, ICON_COLOURS);
    Put32(f, 0);
    for (int c = 0; c < ICON_COLOURS; c++) {
        std::fputc(icon.palette[c][2], f);
        std::fputc(icon.palette[c][1], f);
        std::fputc(icon.palette[c][0], f);
        std::fputc(0, f);
    }
    for (int y = ICON_SIZE - 1; y >= 0; y--)
        for (int x = 0; x < ICON_SIZE; x += 2)
            std::fputc(icon.index[y * ICON_SIZE + x] << 4 | icon.index[y * ICON_SIZE + x + 1], f);
    for (int y = ICON_SIZE - 1; y >= 0; y--) {
        for (int x = 0; x < ICON_SIZE; x += 8) {
            int bits = 0;
            for (int b = 0; b < 8; b++)
                if (icon.index[y * ICON_SIZE + x + b] == 0) bits |= 0x80 >> b;
            std::fputc(bits, f);
        }
    }
    return std::fclose(f) == 0;
}

inline bool WriteXpm(const char* path, const IconImage& icon) {
    FILE* f = std::fopen(path, "w");
    if (!f) return false;
    const char* keys = " abcdefghijklmno";
    std::fprintf(f, "/* XPM */\nstatic const char *tarno_icon[] = {\n");
    std::fprintf(f, "\"%d %d %d 1\",\n", ICON_SIZE, ICON_SIZE, ICON_COLOURS);
    std::fprintf(f, "\"  c None\",\n");
    for (int c = 1; c < ICON_COLOURS; c++)
        std::fprintf(f, "\"%c c #%02X%02X%02X\",\n", keys[c], icon.palette[c][0], icon.palette[c][1],
                     icon.palette[c][2]);
    for (int y = 0; y < ICON_SIZE; y++) {
        std::fputc('"', f);
        for (int x = 0; x < ICON_SIZE; x++) std::fputc(keys[icon.index[y * ICON_SIZE + x]], f);
        std::fprintf(f, "\"%s\n", y + 1 < ICON_SIZE ? "," : "");
    }
    std::fprintf(f, "};\n");
    return std::fclose(f) == 0;
}
