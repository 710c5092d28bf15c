// Where each picture lies on the sprite sheet pieces.bmp. The generator
// draws them there and start-up cuts them from there.
//
// The sheet is SHEET_COLUMNS by SHEET_ROWS cells of SHEET_CELL pixels, with a
// one-pixel grid line before every cell row and column.
#pragma once
#include <cstdint>

constexpr int32_t SHEET_CELL = 48;
constexpr int32_t SHEET_COLUMNS = 8, SHEET_ROWS = 6;
constexpr int32_t SHEET_WIDTH = SHEET_COLUMNS * (SHEET_CELL + 1);
constexpr int32_t SHEET_HEIGHT = SHEET_ROWS * (SHEET_CELL + 1);

// `count` pictures side by side, the first in cell (cx, cy).
struct SheetStrip {
    int32_t cx, cy, count;
};

constexpr SheetStrip SHEET_FLOOR = {0, 0, 2};  // two tones, by cell parity
constexpr SheetStrip SHEET_BLOCK = {3, 0, 1};
constexpr SheetStrip SHEET_DEFLECTOR = {4, 0, 4};  // by orientation
constexpr SheetStrip SHEET_BORDER = {0, 1, 8};     // corners and edges, clockwise from the top left
constexpr SheetStrip SHEET_BANNER = {0, 2, 7};     // W, E, L, D, O, N, "!"
constexpr SheetStrip SHEET_BALLOON = {7, 2, 1};
constexpr SheetStrip SHEET_SHOT = {0, 3, 4};    // flying left, up, right, down
constexpr SheetStrip SHEET_IMPACT = {4, 3, 3};  // growing
constexpr SheetStrip SHEET_TANK = {0, 4, 8};    // resting right, up, left, down; then firing
constexpr SheetStrip SHEET_POP = {0, 5, 5};     // the shreds of a burst balloon

// Picture `k` of a strip, as a strip of its own; a count of 0 is no picture.
constexpr SheetStrip SheetPicture(SheetStrip strip, int32_t k) { return {strip.cx + k, strip.cy, 1}; }
constexpr SheetStrip NO_SHEET_PICTURE = {0, 0, 0};

constexpr SheetStrip SHEET_STRIPS[] = {SHEET_FLOOR,   SHEET_BLOCK, SHEET_DEFLECTOR, SHEET_BORDER, SHEET_BANNER,
                                       SHEET_BALLOON, SHEET_SHOT,  SHEET_IMPACT,    SHEET_TANK,   SHEET_POP};
