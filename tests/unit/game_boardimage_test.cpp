// The eight images of a board: where a cell goes, how a wedge turns with
// it, and the likeness figures built on them.
#include <gtest/gtest.h>

#include <cstring>

#include "game/boardimage.h"
#include "game/leveltext.h"

namespace {

void Empty(uint8_t bytes[LEVEL_FILE_SIZE]) {
    std::memset(bytes, 0, LEVEL_FILE_SIZE);
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) bytes[leveltext::ByteIndex(cx, cy)] = CELL_EMPTY;
}

void Put(uint8_t bytes[LEVEL_FILE_SIZE], int cx, int cy, int code) {
    bytes[leveltext::ByteIndex(cx, cy)] = static_cast<uint8_t>(code);
}

int At(const uint8_t bytes[LEVEL_FILE_SIZE], int cx, int cy) { return bytes[leveltext::ByteIndex(cx, cy)]; }

}  // namespace

// A top-left wedge in the top-left corner, in each image: the corner it
// goes to is the half it fills.
TEST(BoardImage, AWedgeInACornerKeepsItsHalfInTheCorner) {
    struct Seen {
        int image, cx, cy, code;
    };
    const Seen seen[] = {
        {0, 1, 1, CELL_DEFLECTOR_0},
        {IMAGE_MIRROR_X, 12, 1, CELL_DEFLECTOR_1},
        {IMAGE_MIRROR_X | IMAGE_MIRROR_Y, 12, 12, CELL_DEFLECTOR_2},
        {IMAGE_MIRROR_Y, 1, 12, CELL_DEFLECTOR_3},
        {IMAGE_TRANSPOSE, 1, 1, CELL_DEFLECTOR_0},
        {IMAGE_TRANSPOSE | IMAGE_MIRROR_X, 12, 1, CELL_DEFLECTOR_1},
    };
    for (const Seen& s : seen) {
        uint8_t board[LEVEL_FILE_SIZE], image[LEVEL_FILE_SIZE];
        Empty(board);
        Put(board, 1, 1, CELL_DEFLECTOR_0);
        board[299] = 7;  // the tail is not the board's
        BoardImage(board, s.image, image);
        EXPECT_EQ(s.code, At(image, s.cx, s.cy)) << "image " << s.image;
        EXPECT_EQ(1, OccupiedCells(image));
        EXPECT_EQ(7, image[299]);
        EXPECT_EQ(0, image[0]);
    }
    // A quarter turn: (1, 3) goes to (10, 1), and a wedge's half turns with it.
    uint8_t board[LEVEL_FILE_SIZE], image[LEVEL_FILE_SIZE];
    Empty(board);
    Put(board, 1, 3, CELL_DEFLECTOR_3);
    BoardImage(board, IMAGE_TRANSPOSE | IMAGE_MIRROR_X, image);
    EXPECT_EQ(CELL_DEFLECTOR_0, At(image, 10, 1));
}

// A board with no likeness to itself has eight different images, and each
// image has a way back among them.
TEST(BoardImage, EightDifferentImagesEachUndone) {
    uint8_t board[LEVEL_FILE_SIZE];
    Empty(board);
    Put(board, 2, 3, CELL_BALLOON);
    Put(board, 5, 3, CELL_BLOCK);
    Put(board, 7, 11, CELL_DEFLECTOR_1);
    uint8_t images[BOARD_IMAGES][LEVEL_FILE_SIZE];
    for (int i = 0; i < BOARD_IMAGES; ++i) BoardImage(board, i, images[i]);
    EXPECT_EQ(0, std::memcmp(board, images[0], LEVEL_FILE_SIZE));
    for (int i = 0; i < BOARD_IMAGES; ++i) {
        for (int j = 0; j < i; ++j) EXPECT_NE(0, std::memcmp(images[i], images[j], LEVEL_FILE_SIZE)) << i << " " << j;
        int back = 0;
        for (int j = 0; j < BOARD_IMAGES; ++j) {
            uint8_t again[LEVEL_FILE_SIZE];
            BoardImage(images[i], j, again);
            back += std::memcmp(again, board, LEVEL_FILE_SIZE) == 0;
        }
        EXPECT_EQ(1, back) << "image " << i;
    }
    EXPECT_DOUBLE_EQ(0.0, BoardSymmetry(board));
}

TEST(BoardImage, LikenessAtTheBestImage) {
    uint8_t a[LEVEL_FILE_SIZE], b[LEVEL_FILE_SIZE];
    Empty(a);
    EXPECT_DOUBLE_EQ(1.0, BoardSymmetry(a));
    EXPECT_DOUBLE_EQ(1.0, BoardOverlap(a, a));
    // A mirror pair of wedges with a balloon on the mirror line between.
    Put(a, 3, 4, CELL_DEFLECTOR_0);
    Put(a, 10, 4, CELL_DEFLECTOR_1);
    Put(a, 6, 8, CELL_BALLOON);
    Put(a, 7, 8, CELL_BALLOON);
    EXPECT_DOUBLE_EQ(1.0, BoardSymmetry(a));
    // Turned the wrong way, one wedge no longer matches its mirror image.
    Put(a, 10, 4, CELL_DEFLECTOR_2);
    EXPECT_DOUBLE_EQ(0.5, BoardSymmetry(a));
    // a against its own quarter turn: no cell apart, every piece shared;
    // one piece more, one cell apart and 4 of 5.
    BoardImage(a, IMAGE_TRANSPOSE | IMAGE_MIRROR_Y, b);
    EXPECT_EQ(0, CellsApart(a, b));
    EXPECT_DOUBLE_EQ(1.0, BoardOverlap(a, b));
    Put(b, 12, 12, CELL_BLOCK);
    EXPECT_EQ(1, CellsApart(a, b));
    EXPECT_DOUBLE_EQ(0.8, BoardOverlap(a, b));
    // Nothing alike: every occupied cell of either board apart.
    Empty(b);
    Put(b, 1, 1, CELL_BLOCK);
    EXPECT_EQ(5, CellsApart(a, b));
    EXPECT_DOUBLE_EQ(0.0, BoardOverlap(a, b));
}
