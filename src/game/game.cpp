#include "game/session.h"

Session Now;
