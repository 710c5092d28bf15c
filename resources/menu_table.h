// The menu as one table, in order, for front ends that build it in code.
#pragma once
#include "resource.h"

struct MenuEntry {
    int depth;         // 0 menu bar, 1 item or submenu, 2 submenu item
    int id;            // command id, 0 for a menu or submenu
    const char* text;  // with '&' marking the mnemonic
    bool grayed;
    const char* key;  // the key shown beside the text, or null
    bool radio;       // one of a group where the current one is marked
};

constexpr MenuEntry MENU_TABLE[] = {
    {0, 0, TEXT_MENU_FILE, false, nullptr, false},
    {1, IDM_RESET, TEXT_MENU_RESET, false, KEY_RESET, false},
    {1, 0, TEXT_MENU_LEVELS, false, nullptr, false},
    {2, 21, "Level 1", true, nullptr, true},
    {2, 22, "Level 2", true, nullptr, true},
    {2, 23, "Level 3", true, nullptr, true},
    {2, 24, "Level 4", true, nullptr, true},
    {2, 25, "Level 5", true, nullptr, true},
    {2, 26, "Level 6", true, nullptr, true},
    {2, 27, "Level 7", true, nullptr, true},
    {2, 28, "Level 8", true, nullptr, true},
    {2, 29, "Level 9", true, nullptr, true},
    {2, 30, "Level 10", true, nullptr, true},
    {2, 31, "Level 11", true, nullptr, true},
    {2, 32, "Level 12", true, nullptr, true},
    {1, IDM_OPEN_LEVEL, TEXT_MENU_OPEN_LEVEL, false, KEY_OPEN_LEVEL, false},
    {1, IDM_EXIT, TEXT_MENU_EXIT, false, KEY_EXIT, false},
    {0, 0, TEXT_MENU_EDIT, false, nullptr, false},
    {1, IDM_UNDO, TEXT_MENU_UNDO, false, KEY_UNDO, false},
    {1, IDM_REDO, TEXT_MENU_REDO, false, KEY_REDO, false},
    {1, IDM_HINT, TEXT_MENU_HINT, false, KEY_HINT, false},
    {0, 0, TEXT_MENU_HELP, false, nullptr, false},
    {1, IDM_ABOUT, TEXT_MENU_ABOUT, false, nullptr, false},
    {1, IDM_HOW_TO_PLAY, TEXT_MENU_HOW_TO_PLAY, false, nullptr, false},
};

// The "How to play" panel: the keys and the editor's mouse.
constexpr const char* HOW_TO_PLAY_LINES[] = {
    "Pop every balloon with as few shots as you can.",
    "",
    "Arrow keys along the border: move the tank.",
    "Arrow key across the border: fire.",
    "U: undo the last shot.   Y: redo it.",
    "H: hint: the next shot of a shortest win.",
    "R: restart the level (after a win: the next level).",
    "Esc: quit.",
    "",
    "D: the editor.   In the editor:",
    "left click: a block, or empty again;",
    "right click: a balloon, then each deflector, then empty;",
    "S: save level.dat   L: load level.dat",
    "P: play the board   Enter: back to the level.",
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
