#include "platform/gtk/keymap.h"

namespace {

// Kernel input codes 1..88 are the set-1 codes themselves; the extended keys
// above them map here.
struct KeyPair {
    uint16_t from;
    uint8_t to;
};

constexpr KeyPair EXTENDED_KEYS[] = {
    {96, 0x9C},   // keypad Enter
    {97, 0x9D},   // right Ctrl
    {98, 0xB5},   // keypad /
    {99, 0xB7},   // Print Screen
    {100, 0xB8},  // right Alt
    {102, 0xC7},  // Home
    {103, 0xC8},  // Up
    {104, 0xC9},  // Page Up
    {105, 0xCB},  // Left
    {106, 0xCD},  // Right
    {107, 0xCF},  // End
    {108, 0xD0},  // Down
    {109, 0xD1},  // Page Down
    {110, 0xD2},  // Insert
    {111, 0xD3},  // Delete
    {119, 0xC5},  // Pause
    {125, 0xDB},  // left Windows key
    {126, 0xDC},  // right Windows key
    {127, 0xDD},  // Menu
};

// X keysyms of the keys the game reads and the common ones around them,
// laid out by hand in rows.
// clang-format off
constexpr KeyPair KEYSYMS[] = {
    {0xFF1B, 0x01}, {0xFF0D, 0x1C}, {0xFF8D, 0x9C}, {0x0020, 0x39}, {0xFF08, 0x0E}, {0xFF09, 0x0F},
    {0xFF51, 0xCB}, {0xFF52, 0xC8}, {0xFF53, 0xCD}, {0xFF54, 0xD0}, {0xFF50, 0xC7}, {0xFF57, 0xCF},
    {0xFF55, 0xC9}, {0xFF56, 0xD1}, {0xFF63, 0xD2}, {0xFFFF, 0xD3},
    // Letters, upper and lower case alike below.
    {'a', 0x1E}, {'b', 0x30}, {'c', 0x2E}, {'d', 0x20}, {'e', 0x12}, {'f', 0x21}, {'g', 0x22},
    {'h', 0x23}, {'i', 0x17}, {'j', 0x24}, {'k', 0x25}, {'l', 0x26}, {'m', 0x32}, {'n', 0x31},
    {'o', 0x18}, {'p', 0x19}, {'q', 0x10}, {'r', 0x13}, {'s', 0x1F}, {'t', 0x14}, {'u', 0x16},
    {'v', 0x2F}, {'w', 0x11}, {'x', 0x2D}, {'y', 0x15}, {'z', 0x2C},
    {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07}, {'7', 0x08},
    {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B},
};
// clang-format on

constexpr uint32_t X_KEYCODE_OFFSET = 8;
constexpr uint32_t LAST_PLAIN_CODE = 88;  // F12

}  // namespace

uint8_t ScanCodeFromKeycode(uint32_t hardwareKeycode) {
    if (hardwareKeycode <= X_KEYCODE_OFFSET) return 0;
    const uint32_t code = hardwareKeycode - X_KEYCODE_OFFSET;
    if (code <= LAST_PLAIN_CODE) return static_cast<uint8_t>(code);
    for (const KeyPair& k : EXTENDED_KEYS)
        if (k.from == code) return k.to;
    return 0;
}

uint8_t ScanCodeFromKeysym(uint32_t keysym) {
    if (keysym >= 'A' && keysym <= 'Z') keysym += 'a' - 'A';
    for (const KeyPair& k : KEYSYMS)
        if (k.from == keysym) return k.to;
    return 0;
}

uint8_t ScanCodeForKey(uint32_t hardwareKeycode, uint32_t keysym) {
    const uint8_t code = ScanCodeFromKeycode(hardwareKeycode);
    return code ? code : ScanCodeFromKeysym(keysym);
}

void ScanCodesForVirtualKey(int32_t virtualKey, uint8_t codes[2]) {
    codes[0] = codes[1] = 0;
    if (virtualKey == 0x1B) {
        codes[0] = 0x01;
    } else if (virtualKey == 0x0D) {
        codes[0] = 0x1C;
        codes[1] = 0x9C;
    }
}
