// The one door of the player's events: what a key, a click, a finger, a menu
// item or a button means is decided here, so that every front end only says
// what happened.
#include <cstdio>

#include "editor/editor.h"
#include "game/game.h"
#include "game/session.h"
#include "game/tank.h"
#include "lib/input.h"
#include "menu_table.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

int32_t MenuRow(int32_t id) {
    for (int32_t i = 0; i < MENU_COUNT; ++i)
        if (MENU_TABLE[i].id > 0 && MENU_TABLE[i].id == id) return i;
    return -1;
}

// A button does what its key does, at once: no key is held for it.
void PressButton(int32_t index) {
    if (Now.Editor.Mode) return;  // the editor reads none of these keys
    switch (COMFORT_BUTTONS[index].scanCode) {
    case DIK_U: OnMenuCommand(IDM_UNDO); break;
    case DIK_Y: OnMenuCommand(IDM_REDO); break;
    case DIK_H: OnMenuCommand(IDM_HINT); break;
    case DIK_R: Comfort.Pending.restartAsked = true; break;
    default: break;
    }
}

void Touch(const Command& c) {
    Finger& f = Comfort.Pending.finger;
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

bool OnCommand(const Command& c) {
    // The way on after a win is a button of its own, in no menu.
    const bool next = c.kind == COMMAND_MENU && c.code == IDM_NEXT;
    if (c.kind == COMMAND_MENU && !next && MenuRow(c.code) < 0) return false;
    if (c.kind == COMMAND_BUTTON && (c.code < 0 || c.code >= BUTTON_COUNT)) return false;
    if (Comfort.Pending.probing) {
        if (c.kind == COMMAND_MENU && !next) Comfort.Pending.menuSeen[MenuRow(c.code)] = true;
        if (c.kind == COMMAND_BUTTON) Comfort.Pending.buttonSeen[c.code] = true;
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
    Comfort.Pending.probing = on;
    for (bool& seen : Comfort.Pending.menuSeen) seen = false;
    for (bool& seen : Comfort.Pending.buttonSeen) seen = false;
}

void ForgetCommands() { Comfort.Pending = Commands{}; }

bool TakeRestart() {
    // R is read on a cell corner, and so is its button.
    if (!Comfort.Pending.restartAsked || !TankAligned(Now.Live.tank)) return false;
    Comfort.Pending.restartAsked = false;
    return true;
}

const char* CommandsMissed() {
    char* missed = Comfort.Pending.missed;
    const int size = static_cast<int>(sizeof Comfort.Pending.missed);
    int used = 0;
    missed[0] = '\0';
    for (int32_t i = 0; i < MENU_COUNT; ++i)
        if (MENU_TABLE[i].id > 0 && !Comfort.Pending.menuSeen[i] && used < size)
            used += std::snprintf(missed + used, size - used, "%smenu %d", used ? ", " : "", MENU_TABLE[i].id);
    for (int32_t i = 0; i < BUTTON_COUNT; ++i)
        if (!Comfort.Pending.buttonSeen[i] && used < size)
            used += std::snprintf(missed + used, size - used, "%sbutton %s", used ? ", " : "", COMFORT_BUTTONS[i].text);
    return missed;
}
