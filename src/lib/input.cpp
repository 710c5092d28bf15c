// Keyboard state over the seam, polled once per frame. The mouse is opened
// for symmetry with the keyboard but never read: the editor takes its clicks
// from the window.
#include "lib/input.h"

#include <cstring>

#include "platform/platform.h"

uint8_t KeyState[256];

namespace {
// Stand-ins for the input object and its two devices: set while open.
bool InputReady = false;
bool KeyboardOpen = false;
bool MouseOpen = false;
}  // namespace

// The seam has no input object of its own, so this only marks the layer open.
int InitInput() {
    InputReady = true;
    return 1;
}

int InitKeyboard() {
    if (!InputReady) return 0;
    KeyboardOpen = PlatformInitKeyboard() != 0;
    return KeyboardOpen ? 1 : 0;
}

int InitMouse() {
    if (!InputReady) return 0;
    MouseOpen = PlatformInitMouse() != 0;
    return MouseOpen ? 1 : 0;
}

int ReadKeyboard() {
    if (!KeyboardOpen) {
        std::memset(KeyState, 0, sizeof KeyState);
        return 0;
    }
    // Read aside first: a failed read leaves the last good state in place.
    uint8_t fresh[256];
    if (!PlatformReadKeyboard(fresh)) return 0;
    std::memcpy(KeyState, fresh, sizeof KeyState);
    return 1;
}

void ReleaseKeyboard() {
    if (KeyboardOpen) PlatformReleaseKeyboard();
    KeyboardOpen = false;
}

void ReleaseMouse() {
    if (MouseOpen) PlatformReleaseMouse();
    MouseOpen = false;
}

void ShutdownInput() { InputReady = false; }
