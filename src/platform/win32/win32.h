// What the pieces of the Windows front end share: the window, the instance
// and the DirectDraw object. Only files in this folder include it.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <ddraw.h>
#include <windows.h>

#include "platform/platform.h"
#include "platform/view/field_view.h"

extern HWND GameWindow;
// The status bar under the field (the common control), null until made.
extern HWND StatusBar;
extern HINSTANCE GameInstance;
extern IDirectDraw* DirectDraw;

// Where in the client area the field is shown: all of it above the
// status bar (win_place.cpp).
RECT FieldClientRect();
int StatusBarHeight();
// The field's place, as every front end places it, in what the screen shows
// of the client area above the status bar (`area`, screen coordinates).
FieldView CurrentFieldView(Rect* area);
// Shows the last frame again where the window was covered or redrawn
// (frames wait while a dialog is open).
void RepaintField();
// Shows the status line in the status bar when its words have changed.
void UpdateStatusBar();

// The field's current rectangle on the screen, as the last presentation (or
// the window's present placement) gives it; clicks map through its inverse.
Rect CurrentPresentationRect();

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowAboutDialog(HWND window);
HWND CreateGameWindow(HINSTANCE instance);
int RunMessageLoop();

// Set by PlatformRequestQuit: the loop ends after the current frame.
extern bool QuitRequested;
