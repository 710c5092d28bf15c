// Key events to the game's key state: PC set-1 scan codes, extended keys
// with the high bit set. Plain C++ so the tests can check the table without
// a display.
#pragma once
#include <cstdint>

// The scan code of a key by its hardware keycode (X and Wayland give the
// kernel's input code plus 8); 0 when the keycode names no key we know.
uint8_t ScanCodeFromKeycode(uint32_t hardwareKeycode);
// The scan code of a key by its keysym, for keycodes outside the kernel's
// numbering; 0 when unknown.
uint8_t ScanCodeFromKeysym(uint32_t keysym);
// The key's position first, so the keys sit where the game expects them
// whatever the layout; the keysym only when the position is unknown.
uint8_t ScanCodeForKey(uint32_t hardwareKeycode, uint32_t keysym);
// The scan codes that answer "is this virtual key down" (Escape 0x1B,
// Enter 0x0D, which has two keys); unused entries are 0.
void ScanCodesForVirtualKey(int32_t virtualKey, uint8_t codes[2]);
