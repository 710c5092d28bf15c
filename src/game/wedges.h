// What a single wedge does to a shot, for the rules, the solver and the
// tests alike. Row: the wedge's orientation (0 top-left half, 1 top-right,
// 2 bottom-right, 3 bottom-left). Column: the shot's direction of flight
// minus 1 (left, up, right, down). A shot that meets the slanted face is
// turned along it to the direction given; one that meets a straight face
// (WEDGE_PUSH) is spent and pushes the wedge on.
#pragma once
#include <cstdint>

#include "game/playstate.h"

constexpr int32_t WEDGE_PUSH = 0;

constexpr int32_t WEDGE_TURN[4][4] = {
    {DIR_DOWN, DIR_RIGHT, WEDGE_PUSH, WEDGE_PUSH},
    {WEDGE_PUSH, DIR_LEFT, DIR_DOWN, WEDGE_PUSH},
    {WEDGE_PUSH, WEDGE_PUSH, DIR_UP, DIR_LEFT},
    {DIR_UP, WEDGE_PUSH, WEDGE_PUSH, DIR_RIGHT},
};
