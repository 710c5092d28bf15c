#include "game/boardimage.h"

#include <cstring>

#include "game/leveltext.h"

namespace {

constexpr int LAST = LAST_INNER + FIRST_INNER;  // a column's mirror is LAST minus it

// A wedge's corner as bits: 1 on the right, 2 at the bottom. Orientations
// 0..3 are the top-left, top-right, bottom-right and bottom-left halves;
// the table read the other way round is itself.
constexpr int CORNER_OF[4] = {0, 1, 3, 2};

int Code(const uint8_t bytes[LEVEL_FILE_SIZE], int cx, int cy) { return bytes[leveltext::ByteIndex(cx, cy)]; }

bool Occupied(int code) { return code != CELL_EMPTY && code != CELL_NONE; }

}  // namespace

void ImageCell(int image, int cx, int cy, int* outX, int* outY) {
    if (image & IMAGE_TRANSPOSE) {
        const int t = cx;
        cx = cy;
        cy = t;
    }
    *outX = image & IMAGE_MIRROR_X ? LAST - cx : cx;
    *outY = image & IMAGE_MIRROR_Y ? LAST - cy : cy;
}

int ImageCode(int image, int code) {
    if (!IsSingleDeflector(code)) return code;
    int corner = CORNER_OF[code - CELL_DEFLECTOR_0];
    if (image & IMAGE_TRANSPOSE) corner = (corner & 1) << 1 | corner >> 1;
    if (image & IMAGE_MIRROR_X) corner ^= 1;
    if (image & IMAGE_MIRROR_Y) corner ^= 2;
    return CELL_DEFLECTOR_0 + CORNER_OF[corner];
}

void BoardImage(const uint8_t in[LEVEL_FILE_SIZE], int image, uint8_t out[LEVEL_FILE_SIZE]) {
    uint8_t made[LEVEL_FILE_SIZE];
    std::memcpy(made, in, LEVEL_FILE_SIZE);
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            int x = 0, y = 0;
            ImageCell(image, cx, cy, &x, &y);
            made[leveltext::ByteIndex(x, y)] = static_cast<uint8_t>(ImageCode(image, Code(in, cx, cy)));
        }
    std::memcpy(out, made, LEVEL_FILE_SIZE);  // in and out may be one buffer
}

int OccupiedCells(const uint8_t bytes[LEVEL_FILE_SIZE]) {
    int n = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) n += Occupied(Code(bytes, cx, cy));
    return n;
}

namespace {

// How a and one image of b compare: the cells that differ, and the
// occupied cells holding the same piece.
void Compare(const uint8_t a[LEVEL_FILE_SIZE], const uint8_t b[LEVEL_FILE_SIZE], int image, int* differ, int* same) {
    uint8_t seen[LEVEL_FILE_SIZE];
    BoardImage(b, image, seen);
    *differ = *same = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int here = Code(a, cx, cy), there = Code(seen, cx, cy);
            *differ += here != there;
            *same += here == there && Occupied(here);
        }
}

}  // namespace

int CellsApart(const uint8_t a[LEVEL_FILE_SIZE], const uint8_t b[LEVEL_FILE_SIZE]) {
    int best = BOARD_CELLS * BOARD_CELLS;
    for (int image = 0; image < BOARD_IMAGES; ++image) {
        int differ = 0, same = 0;
        Compare(a, b, image, &differ, &same);
        if (differ < best) best = differ;
    }
    return best;
}

double BoardOverlap(const uint8_t a[LEVEL_FILE_SIZE], const uint8_t b[LEVEL_FILE_SIZE]) {
    const int na = OccupiedCells(a), nb = OccupiedCells(b);
    const int larger = na > nb ? na : nb;
    if (larger == 0) return 1.0;
    int best = 0;
    for (int image = 0; image < BOARD_IMAGES; ++image) {
        int differ = 0, same = 0;
        Compare(a, b, image, &differ, &same);
        if (same > best) best = same;
    }
    return static_cast<double>(best) / larger;
}

double BoardSymmetry(const uint8_t bytes[LEVEL_FILE_SIZE]) {
    const int occupied = OccupiedCells(bytes);
    if (occupied == 0) return 1.0;
    int best = 0;
    for (int image = 1; image < BOARD_IMAGES; ++image) {
        int differ = 0, same = 0;
        Compare(bytes, bytes, image, &differ, &same);
        if (same > best) best = same;
    }
    return static_cast<double>(best) / occupied;
}
