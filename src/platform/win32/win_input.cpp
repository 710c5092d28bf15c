// Keyboard and mouse through DirectInput 7: the keyboard is polled in
// immediate mode, its 256 bytes indexed by scan code, exactly the layout the
// game reads. The mouse device is opened and closed with the keyboard but
// never read: clicks come as messages.
#define DIRECTINPUT_VERSION 0x0700
#include <dinput.h>

#include <cstring>

#include "platform/win32/win32.h"

static IDirectInputA* InputDevice = nullptr;
static IDirectInputDeviceA* KeyboardDevice = nullptr;
static IDirectInputDeviceA* MouseDevice = nullptr;

// The DirectInput object lives while either device does.
static bool EnsureInput() {
    if (InputDevice) return true;
    if (DirectInputCreateA(GameInstance, DIRECTINPUT_VERSION, &InputDevice, nullptr) != DI_OK) {
        InputDevice = nullptr;
        return false;
    }
    return true;
}

static void DropInputIfUnused() {
    if (InputDevice && !KeyboardDevice && !MouseDevice) {
        InputDevice->Release();
        InputDevice = nullptr;
    }
}

static IDirectInputDeviceA* OpenDevice(REFGUID guid, const DIDATAFORMAT* format) {
    if (!EnsureInput()) return nullptr;
    IDirectInputDeviceA* device = nullptr;
    if (InputDevice->CreateDevice(guid, &device, nullptr) != DI_OK || !device) return nullptr;
    if (device->SetCooperativeLevel(GameWindow, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND) != DI_OK ||
        device->SetDataFormat(format) != DI_OK || device->Acquire() != DI_OK) {
        device->Release();
        return nullptr;
    }
    return device;
}

static void CloseDevice(IDirectInputDeviceA** device) {
    if (*device) {
        (*device)->Unacquire();
        (*device)->Release();
        *device = nullptr;
    }
    DropInputIfUnused();
}

int PlatformInitKeyboard() {
    if (!KeyboardDevice) KeyboardDevice = OpenDevice(GUID_SysKeyboard, &c_dfDIKeyboard);
    if (!MouseDevice) MouseDevice = OpenDevice(GUID_SysMouse, &c_dfDIMouse);
    DropInputIfUnused();
    return KeyboardDevice ? 1 : 0;
}

int PlatformReadKeyboard(uint8_t state[256]) {
    if (!KeyboardDevice) {
        std::memset(state, 0, 256);
        return 0;
    }
    HRESULT hr = KeyboardDevice->GetDeviceState(256, state);
    // A device that lost its acquisition would fail every frame from then
    // on: take it back once and read again.
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) {
        if (KeyboardDevice->Acquire() == DI_OK) hr = KeyboardDevice->GetDeviceState(256, state);
    }
    return hr == DI_OK ? 1 : 0;
}

void PlatformReleaseKeyboard() {
    CloseDevice(&KeyboardDevice);
    CloseDevice(&MouseDevice);
}

bool PlatformKeyDownNow(int32_t virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }
