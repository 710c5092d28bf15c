#include "game/sprites.h"

BitmapFile SpriteSheet;
BOB EmptyCellBob;
BOB BorderBobs[8];
BOB BlockBob;
BOB BalloonBobs[MAX_BALLOONS];
BOB DeflectorBobs[MAX_DEFLECTORS];
BOB ShotBobs[MAX_SHOTS];
BOB PopBob;
BOB ImpactBob;
BOB TankBob;
BOB BannerBobs[7];
BOB EditorBalloonBob;
BOB EditorDeflectorBob;

// -1 marks "no sound" until InitGame loads them, so nothing plays by accident.
int32_t SoundPop = -1, SoundHit = -1, SoundShot = -1, SoundThump = -1, SoundStart = -1,
        SoundBifald = -1, SoundFinished = -1;
