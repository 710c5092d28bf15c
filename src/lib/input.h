// Keyboard state, polled once per frame, indexed by scan code.
#pragma once
#include <cstdint>

constexpr int DIK_LEFT = 0xCB;
constexpr int DIK_UP = 0xC8;
constexpr int DIK_RIGHT = 0xCD;
constexpr int DIK_DOWN = 0xD0;
constexpr int DIK_R = 0x13;
constexpr int DIK_D = 0x20;
constexpr int DIK_S = 0x1F;
constexpr int DIK_L = 0x26;
// The player's comforts (undo, redo, hint) and the editor's play key.
constexpr int DIK_U = 0x16, DIK_Y = 0x15, DIK_H = 0x23, DIK_P = 0x19, DIK_M = 0x32;
constexpr int DIK_LCONTROL = 0x1D, DIK_RCONTROL = 0x9D;
constexpr int32_t VK_ESCAPE_KEY = 0x1B;
constexpr int32_t VK_RETURN_KEY = 0x0D;

extern uint8_t KeyState[256];

int InitInput();
int InitKeyboard();
int InitMouse();
int ReadKeyboard();
void ReleaseKeyboard();
void ReleaseMouse();
void ShutdownInput();
