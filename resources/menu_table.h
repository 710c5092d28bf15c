// The menu as one table, in order, for front ends that build it in code.
#pragma once
#include "resource.h"

struct MenuEntry {
    int depth;         // 0 menu bar, 1 item or submenu, 2 submenu item
    int id;            // command id, 0 for a menu or submenu
    const char* text;  // with '&' marking the mnemonic
    bool grayed;
};

constexpr MenuEntry MENU_TABLE[] = {
    {0, 0, TEXT_MENU_FILE, false},
    {1, IDM_RESET, TEXT_MENU_RESET, false},
    {1, 0, TEXT_MENU_LEVELS, false},
    {2, 21, "Level 1", true},
    {2, 22, "Level 2", true},
    {2, 23, "Level 3", true},
    {2, 24, "Level 4", true},
    {2, 25, "Level 5", true},
    {2, 26, "Level 6", true},
    {2, 27, "Level 7", true},
    {2, 28, "Level 8", true},
    {2, 29, "Level 9", true},
    {2, 30, "Level 10", true},
    {2, 31, "Level 11", true},
    {2, 32, "Level 12", true},
    {1, IDM_EXIT, TEXT_MENU_EXIT, false},
    {0, 0, TEXT_MENU_HELP, false},
    {1, IDM_ABOUT, TEXT_MENU_ABOUT, false},
};

// The About dialog's lines, in template order (dialog units).
struct AboutLine {
    int x, y, width, height;
    const char* text;
};
constexpr AboutLine ABOUT_LINES[] = {
    {30, 27, 155, 9, " The object of this puzzle game is simple:"},
    {30, 37, 155, 9, " Hit the balloons."},
    {30, 57, 155, 9, " Use the arrowkeys to move the tank"},
    {30, 67, 155, 9, " and fire the cannon."},
    {30, 87, 155, 9, " The green deflectors can be moved by"},
    {30, 97, 155, 9, " shooting at them."},
    {30, 117, 155, 9, " When two deflectors are interlocked"},
    {30, 127, 155, 9, " they can both be moved simultaneously."},
    {30, 187, 155, 9, " When you solve a level the next level"},
    {30, 197, 155, 9, " is enabled ( in File/Levels )."},
    {180, 2, 17, 8, TEXT_VERSION},
    {152, 2, 28, 8, "Version "},
};
