// Where the field stands in the game window: above the status bar, placed
// as every front end places it. The window maps clicks through it and the
// display presents frames into it, so it is neither's.
#include <cmath>

#include "platform/view/field_view.h"
#include "platform/win32/win32.h"
#include "platform/win32/win_geometry.h"

HWND StatusBar = nullptr;

int StatusBarHeight() {
    RECT bar;
    return StatusBar && GetWindowRect(StatusBar, &bar) ? bar.bottom - bar.top : 0;
}

RECT FieldClientRect() {
    RECT client{0, 0, 0, 0};
    if (!GameWindow || !GetClientRect(GameWindow, &client)) return RECT{0, 0, 0, 0};
    client.bottom -= StatusBarHeight();
    if (client.bottom < client.top) client.bottom = client.top;
    return client;
}

// The field's place, as every front end places it, in what the screen shows
// of the client area above the status bar (`area`, screen coordinates).
FieldView CurrentFieldView(Rect* area) {
    *area = Rect{0, 0, 0, 0};
    if (!GameWindow) return FieldView{0, 0, 0, true};
    const RECT client = FieldClientRect();
    POINT topLeft{client.left, client.top}, bottomRight{client.right, client.bottom};
    ClientToScreen(GameWindow, &topLeft);
    ClientToScreen(GameWindow, &bottomRight);
    *area = PresentationRect(Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, GetSystemMetrics(SM_CXSCREEN),
                             GetSystemMetrics(SM_CYSCREEN));
    return PlaceField(area->right - area->left, area->bottom - area->top, FIELD_SIZE);
}

Rect CurrentPresentationRect() {
    Rect area;
    const FieldView view = CurrentFieldView(&area);
    if (view.scale <= 0) return Rect{0, 0, 0, 0};
    const int32_t left = area.left + static_cast<int32_t>(view.left), top = area.top + static_cast<int32_t>(view.top);
    const int32_t side = static_cast<int32_t>(std::lround(FIELD_SIZE * view.scale));
    return Rect{left, top, left + side, top + side};
}
