// The eight images of a board under the square's rotations and mirrorings,
// with each wedge turned to match, and how alike two boards are at the best
// of them: for judging a level's composition and telling levels apart.
#pragma once
#include <cstdint>

#include "game/board.h"

constexpr int BOARD_IMAGES = 8;
// An image's bits: first rows and columns trade places (4), then the
// columns run the other way (1), then the rows (2). Image 0 is the board itself.
constexpr int IMAGE_MIRROR_X = 1, IMAGE_MIRROR_Y = 2, IMAGE_TRANSPOSE = 4;

// The interior cell (cx, cy), 1..12 each, that (cx, cy) goes to.
void ImageCell(int image, int cx, int cy, int* outX, int* outY);
// The cell code a piece becomes: a wedge's corner moves with the board.
int ImageCode(int image, int code);
// The level file's image: the interior moved, the border and the tail as they were.
void BoardImage(const uint8_t in[LEVEL_FILE_SIZE], int image, uint8_t out[LEVEL_FILE_SIZE]);

// Interior cells that hold a piece (anything but empty).
int OccupiedCells(const uint8_t bytes[LEVEL_FILE_SIZE]);
// The interior cells where a and the image of b differ, at the image of b
// that differs least: 0 for the same board seen another way.
int CellsApart(const uint8_t a[LEVEL_FILE_SIZE], const uint8_t b[LEVEL_FILE_SIZE]);
// The cells holding the same piece in a and an image of b, at the best
// image, as a share of the larger of the two boards' occupied cells: 1 for
// the same board seen another way, 0 when no piece meets its like. Two empty
// boards are alike (1).
double BoardOverlap(const uint8_t a[LEVEL_FILE_SIZE], const uint8_t b[LEVEL_FILE_SIZE]);
// The best share of a board's occupied cells that hold the same piece in
// one of its seven other images: 1 for a board with a mirror line or a
// turn that maps it onto itself. An empty board is symmetric (1).
double BoardSymmetry(const uint8_t bytes[LEVEL_FILE_SIZE]);
