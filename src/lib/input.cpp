// Keyboard state over the seam, polled once per frame. The mouse is never
// read (the editor takes its clicks from the window), so it has no device
// here: a platform with a mouse device opens it with the keyboard.
#include "lib/input.h"

#include <cstring>

#include "platform/platform.h"

uint8_t KeyState[256];

namespace {
// Stand-ins for the input object and its keyboard: set while open.
struct InputDevices {
    bool InputReady, KeyboardOpen;
};
InputDevices Devices;
}  // namespace

// The seam has no input object of its own, so this only marks the layer open.
int InitInput() {
    Devices.InputReady = true;
    return 1;
}

int InitKeyboard() {
    if (!Devices.InputReady) return 0;
    Devices.KeyboardOpen = PlatformInitKeyboard() != 0;
    return Devices.KeyboardOpen ? 1 : 0;
}

// Succeeds whenever the input layer is open: there is no device to fail.
int InitMouse() { return Devices.InputReady ? 1 : 0; }

int ReadKeyboard() {
    if (!Devices.KeyboardOpen) {
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
    if (Devices.KeyboardOpen) PlatformReleaseKeyboard();
    Devices.KeyboardOpen = false;
}

void ReleaseMouse() {}

void ShutdownInput() { Devices.InputReady = false; }
