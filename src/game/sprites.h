// Every sprite of the game, and (from game/sounds.h) its sound ids; cut from
// the sheet at start-up, drawn by the frames.
#pragma once
#include <cstdint>

#include "game/board.h"
#include "game/sounds.h"
#include "lib/bitmap.h"
#include "lib/bob.h"

extern BitmapFile SpriteSheet;
extern BOB EmptyCellBob;
extern BOB BorderBobs[8];
extern BOB BalloonBobs[MAX_BALLOONS];
extern BOB DeflectorBobs[MAX_DEFLECTORS];
extern BOB ShotBobs[MAX_SHOTS];
extern BOB PopBob;
extern BOB ImpactBob;
extern BOB TankBob;
extern BOB BannerBobs[7];
// A picture of each piece of PIECES that has one, by its row: the editor
// draws every piece with them, and play the pieces that stand still.
extern BOB PieceBobs[PIECE_KINDS];

// The floor and the border as every play frame starts, drawn once when the
// sprites are made: one blit a frame instead of a few hundred. Null when no
// surface could be had; the frame then draws them piece by piece.
extern Surface* FloorPicture;
// The floor's cells and the border's pieces, one by one, onto `dest`.
void DrawFloorAndBorder(Surface* dest);

// Cuts every sprite from `SpriteSheet`, loaded or not: without the sheet
// every picture stays empty and the game still runs.
void MakeSprites();
// Frees every sprite and the sheet.
void FreeSprites();
