// The one door of the player's events: what a key, a click, a finger, a menu
// item or a button means is decided here, so that every front end only says
// what happened.
#include <cstdio>

#include "editor/editor.h"
#include "game/tank.h"
#include "lib/input.h"
#include "menu_table.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

constexpr int32_t BUTTON_COUNT = sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0];
constexpr int32_t MENU_COUNT = sizeof MENU_TABLE / sizeof MENU_TABLE[0];

// A finger on the field: down, and whether it has already been a right click.
struct Finger {
    bool down, decided;
    int32_t x, y;
};
Finger TheFinger;

// A walk of a front end's menus and buttons: on, and what has come.
struct CommandProbe {
    bool Probing;
    bool MenuSeen[MENU_COUNT];
    bool ButtonSeen[BUTTON_COUNT];
};
CommandProbe Probe;

int32_t MenuRow(int32_t id) {
    for (int32_t i = 0; i < MENU_COUNT; ++i)
        if (MENU_TABLE[i].id > 0 && MENU_TABLE[i].id == id) return i;
    return -1;
}

// A button does what its key does, at once: no key is held for it.
void PressButton(int32_t index) {
    if (EditorMode) return;  // the editor reads none of these keys
    switch (COMFORT_BUTTONS[index].scanCode) {
    case DIK_U: OnMenuCommand(IDM_UNDO); break;
    case DIK_Y: OnMenuCommand(IDM_REDO); break;
    case DIK_H: OnMenuCommand(IDM_HINT); break;
    case DIK_R: RestartAsked = true; break;
    default: break;
    }
}

void Touch(const Command& c) {
    Finger& f = TheFinger;
    if (c.kind == COMMAND_TOUCH_DOWN) {
        // A second finger beside the first is the right click.
        if (f.down && !f.decided) {
            f.decided = true;
            OnRightButtonDown(f.x, f.y);
        } else if (!f.down) {
            f = Finger{true, false, c.x, c.y};
        }
        return;
    }
    if (!f.down) return;
    if (c.kind == COMMAND_TOUCH_HELD && !f.decided) {
        f.decided = true;
        OnRightButtonDown(f.x, f.y);
        return;
    }
    if (c.kind == COMMAND_TOUCH_UP && !f.decided) OnFieldTap(f.x, f.y);
    if (c.kind != COMMAND_TOUCH_HELD) f = Finger{};
}

}  // namespace

bool RestartAsked = false;

bool OnCommand(const Command& c) {
    if (c.kind == COMMAND_MENU && MenuRow(c.code) < 0) return false;
    if (c.kind == COMMAND_BUTTON && (c.code < 0 || c.code >= BUTTON_COUNT)) return false;
    if (Probe.Probing) {
        if (c.kind == COMMAND_MENU) Probe.MenuSeen[MenuRow(c.code)] = true;
        if (c.kind == COMMAND_BUTTON) Probe.ButtonSeen[c.code] = true;
        return true;
    }
    switch (c.kind) {
    case COMMAND_KEY_DOWN: break;  // the keyboard state holds it for the frame
    case COMMAND_KEY_UP: OnKeyUp(); break;
    case COMMAND_TAP: OnFieldTap(c.x, c.y); break;
    case COMMAND_RIGHT_CLICK: OnRightButtonDown(c.x, c.y); break;
    case COMMAND_TOUCH_DOWN:
    case COMMAND_TOUCH_HELD:
    case COMMAND_TOUCH_UP:
    case COMMAND_TOUCH_CANCEL: Touch(c); break;
    case COMMAND_MENU: OnMenuCommand(c.code); break;
    case COMMAND_BUTTON: PressButton(c.code); break;
    }
    return true;
}

void SetCommandProbe(bool on) {
    Probe.Probing = on;
    for (bool& seen : Probe.MenuSeen) seen = false;
    for (bool& seen : Probe.ButtonSeen) seen = false;
}

const char* CommandsMissed() {
    static char missed[512];
    int used = 0;
    missed[0] = '\0';
    for (int32_t i = 0; i < MENU_COUNT; ++i)
        if (MENU_TABLE[i].id > 0 && !Probe.MenuSeen[i] && used < static_cast<int>(sizeof missed))
            used += std::snprintf(missed + used, sizeof missed - used, "%smenu %d", used ? ", " : "", MENU_TABLE[i].id);
    for (int32_t i = 0; i < BUTTON_COUNT; ++i)
        if (!Probe.ButtonSeen[i] && used < static_cast<int>(sizeof missed))
            used += std::snprintf(missed + used, sizeof missed - used, "%sbutton %s", used ? ", " : "",
                                  COMFORT_BUTTONS[i].text);
    return missed;
}
