// The blit load of one frame: 260 keyed 48 by 48 copies into the 672 by 672
// back surface (the board's 196 cells, the pieces on them and the tank), and
// the banner's stretched draws for comparison.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/platform.h"

namespace {

constexpr int BLITS_PER_FRAME = 260;

// A sprite with a transparent border and a few black holes, like the sheet's.
Surface* MakeSprite() {
    Surface* s = PlatformCreateSurface(48, 48);
    int32_t pitch = 0;
    uint32_t* p = PlatformLockSurface(s, &pitch);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const bool clear = x < 4 || y < 4 || x > 43 || y > 43 || (x * 7 + y * 3) % 11 == 0;
            p[y * (pitch / 4) + x] = clear ? 0 : 0x00102030u + static_cast<uint32_t>(x * 256 + y);
        }
    PlatformUnlockSurface(s);
    return s;
}

void KeyedCellBlits(benchmark::State& state) {
    Surface* back = PlatformCreateSurface(672, 672);
    Surface* sprite = MakeSprite();
    for (auto _ : state) {
        for (int i = 0; i < BLITS_PER_FRAME; ++i) {
            const int32_t x = (i % 14) * 48, y = (i / 14 % 14) * 48;
            const Rect d{x, y, x + 48, y + 48}, s{0, 0, 48, 48};
            PlatformBlit(back, &d, sprite, &s, true);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * BLITS_PER_FRAME);
    PlatformDestroySurface(sprite);
    PlatformDestroySurface(back);
}
BENCHMARK(KeyedCellBlits);

void StretchedBannerBlits(benchmark::State& state) {
    Surface* back = PlatformCreateSurface(672, 672);
    Surface* sprite = MakeSprite();
    for (auto _ : state) {
        for (int i = 0; i < 7; ++i) {
            const Rect d{20 + i * 90, 280, 120 + i * 90, 380};
            PlatformBlit(back, &d, sprite, nullptr, true);
        }
        benchmark::ClobberMemory();
    }
    PlatformDestroySurface(sprite);
    PlatformDestroySurface(back);
}
BENCHMARK(StretchedBannerBlits);

}  // namespace

BENCHMARK_MAIN();
