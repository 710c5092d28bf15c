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
extern BOB BlockBob;
extern BOB BalloonBobs[MAX_BALLOONS];
extern BOB DeflectorBobs[MAX_DEFLECTORS];
extern BOB ShotBobs[MAX_SHOTS];
extern BOB PopBob;
extern BOB ImpactBob;
extern BOB TankBob;
extern BOB BannerBobs[7];
// The editor's own pictures of a balloon and a deflector (clones), so that
// editing never moves the level's sprites.
extern BOB EditorBalloonBob;
extern BOB EditorDeflectorBob;

// Cuts every sprite from `SpriteSheet`, loaded or not: without the sheet
// every picture stays empty and the game still runs.
void MakeSprites();
// Frees every sprite and the sheet.
void FreeSprites();
