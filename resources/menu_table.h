// The menu as one table, in order, for front ends that build it in code.
#pragma once
#include "game/sheet.h"
#include "resource.h"

struct MenuEntry {
    int depth;         // 0 menu bar, 1 item or submenu, 2 submenu item, 3 an item of a submenu's submenu
    int id;            // command id, 0 for a menu or submenu, MENU_SEPARATOR for a line
    const char* text;  // with '&' marking the mnemonic
    bool grayed;
    const char* key;  // the key shown beside the text, or null
    bool radio;       // one of a group where the current one is marked
};

constexpr int MENU_SEPARATOR = -1;

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
    {2, MENU_SEPARATOR, "", false, nullptr, false},
    {2, 0, TEXT_MENU_NEW_LEVEL, false, nullptr, false},
    {3, IDM_NEW_EASY, TEXT_MENU_EASY, false, nullptr, false},
    {3, IDM_NEW_MEDIUM, TEXT_MENU_MEDIUM, false, nullptr, false},
    {3, IDM_NEW_HARD, TEXT_MENU_HARD, false, nullptr, false},
    {2, IDM_DAILY, TEXT_MENU_DAILY, false, nullptr, false},
    {2, IDM_OPEN_CODE, TEXT_MENU_OPEN_CODE, false, nullptr, false},
    {1, IDM_NEW_LEVEL, TEXT_MENU_NEW_LEVEL, false, nullptr, false},
    {1, IDM_OPEN_LEVEL, TEXT_MENU_OPEN_LEVEL, false, KEY_OPEN_LEVEL, false},
    {1, IDM_EXIT, TEXT_MENU_EXIT, false, KEY_EXIT, false},
    {0, 0, TEXT_MENU_EDIT, false, nullptr, false},
    {1, IDM_UNDO, TEXT_MENU_UNDO, false, KEY_UNDO, false},
    {1, IDM_REDO, TEXT_MENU_REDO, false, KEY_REDO, false},
    {1, IDM_HINT, TEXT_MENU_HINT, false, KEY_HINT, false},
    {1, IDM_COPY_CODE, TEXT_MENU_COPY_CODE, false, nullptr, false},
    {1, IDM_SHARE, TEXT_MENU_SHARE, false, nullptr, false},
    {0, 0, TEXT_MENU_VIEW, false, nullptr, false},
    {1, IDM_RECORDS, TEXT_MENU_RECORDS, false, nullptr, false},
    {1, IDM_SOUND, TEXT_MENU_SOUND, false, KEY_SOUND, false},
    {0, 0, TEXT_MENU_HELP, false, nullptr, false},
    {1, IDM_ABOUT, TEXT_MENU_ABOUT, false, nullptr, false},
    {1, IDM_HOW_TO_PLAY, TEXT_MENU_HOW_TO_PLAY, false, nullptr, false},
};

// The buttons beside the status line, for pointer players. Each does what
// its key does.
struct ComfortButton {
    const char* text;
    int scanCode;  // its key, PC set-1, as the keyboard state holds it
};
constexpr ComfortButton COMFORT_BUTTONS[] = {
    {"Undo", 0x16},
    {"Redo", 0x15},
    {"Hint", 0x23},
    {"Restart", 0x13},
};

// The "How to play" panel: what the pieces do, then the keys and the
// pointer. A line may show a picture before its text: a cell of the sprite
// sheet pieces.bmp (SheetCellSpot in the shell says where it lies), a second
// cell drawn over it, and the red glow of a lost board over both. Some lines
// are for one kind of screen: the keys' for a desktop, the taps' for a touch
// screen, which has no keys (and so no editor).
constexpr int SheetCell(int column, int row) { return column + SHEET_COLUMNS * row; }
constexpr int NO_PICTURE = -1;
enum HowToScreen { FOR_EVERY_SCREEN, FOR_KEYS, FOR_TOUCH };
struct HowToLine {
    int picture, over;  // sheet cells, or NO_PICTURE
    bool glow;
    const char* text;
    HowToScreen screen;
};
constexpr HowToLine HOW_TO_PLAY_LINES[] = {
    {NO_PICTURE, NO_PICTURE, false, "Pop every balloon with as few shots as you can.", FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "", FOR_EVERY_SCREEN},
    {SheetCell(0, 4), NO_PICTURE, false, "Your tank drives along the border and fires into the board.",
     FOR_EVERY_SCREEN},
    {SheetCell(7, 2), NO_PICTURE, false, "A shot pops every balloon it passes over.", FOR_EVERY_SCREEN},
    {SheetCell(3, 0), NO_PICTURE, false, "A block stops a shot.", FOR_EVERY_SCREEN},
    {SheetCell(4, 0), NO_PICTURE, false, "A deflector turns a shot that meets its slope by a right angle;",
     FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "a shot that meets its flat side pushes it one cell along.", FOR_EVERY_SCREEN},
    {SheetCell(4, 0), SheetCell(6, 0), false, "Two deflectors pushed together, slope to slope, lock into",
     FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "a square that moves as one piece.", FOR_EVERY_SCREEN},
    {SheetCell(1, 1), NO_PICTURE, true, "The border glows red: no way to win from here. Undo or restart.",
     FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "", FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "Arrow keys along the border: move the tank.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "Arrow key across the border: fire.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "Or click a border cell to drive there, and click the tank to fire.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "Tap a border cell to drive there, and tap the tank to fire.", FOR_TOUCH},
    {NO_PICTURE, NO_PICTURE, false, "U or Undo: undo the last shot.   Y or Redo: redo it.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "Undo: undo the last shot.   Redo: redo it.", FOR_TOUCH},
    {NO_PICTURE, NO_PICTURE, false, "H or Hint: the next shot of a shortest win.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "Hint: the next shot of a shortest win.", FOR_TOUCH},
    {NO_PICTURE, NO_PICTURE, false, "R or Restart: start the level again; Undo takes the restart back.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "Restart: start the level again; Undo takes the restart back.", FOR_TOUCH},
    {NO_PICTURE, NO_PICTURE, false, "File > Reset: start the level afresh and clear its history.", FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "After a win, Next level goes on (R and Restart do too).", FOR_EVERY_SCREEN},
    {NO_PICTURE, NO_PICTURE, false, "Esc: quit.", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "D: the editor.   In the editor:", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "left click or tap: a block, or empty again;", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "right click or long press: a balloon, then each deflector, then empty;", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "S: save level.dat   L: load level.dat", FOR_KEYS},
    {NO_PICTURE, NO_PICTURE, false, "P: play the board   Enter: back to the level.", FOR_KEYS},
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
