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
