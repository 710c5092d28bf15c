#include "game/game.h"

Game Live;
