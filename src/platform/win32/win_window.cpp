// The game window, its status bar, its window procedure, the About dialog
// and the message loop that alternates one message with one frame.
#include "platform/win32/win32.h"
// after windows.h, which it needs
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "menu_table.h"
#include "platform/view/field_view.h"
#include "platform/win32/win_geometry.h"
#include "resource.h"
#include "shell/shell.h"

// The installer and uninstaller find a running game by it (tarno.nsi).
static const char CLASS_NAME[] = "WINXCLASS";

static bool PrintStatus = false;  // TARNO_PRINT_STATUS: each new status line also on stdout, for tests

// The status bar: the status line in up to three lines (with the first-run tip
// under it while there is one), then the way on after a win (a part of its
// own, none before), then the Undo, Redo, Hint and Restart buttons.
// A click does what the button's key does. Every part is drawn here, so the
// words stay inside their own part and a button that would do nothing is
// greyed.
constexpr int BUTTON_WIDTH = 56;
constexpr int NEXT_WIDTH = 112;
constexpr int BUTTON_COUNT = sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0];
constexpr int NEXT_PART = 1, FIRST_BUTTON_PART = 2;
static char ShownStatus[512];
static wchar_t ShownWide[sizeof ShownStatus + 160];
static char ShownNext[48];
static bool Greyed[BUTTON_COUNT];
static const char* ShownTip = nullptr;

static int ButtonCommand(int button) {
    return std::strcmp(COMFORT_BUTTONS[button].text, TEXT_MENU_UNDO) == 0   ? IDM_UNDO
           : std::strcmp(COMFORT_BUTTONS[button].text, TEXT_MENU_REDO) == 0 ? IDM_REDO
                                                                            : 0;
}

static void PlaceStatusButtons() {
    RECT bar;
    if (!StatusBar || !GetClientRect(StatusBar, &bar)) return;
    int edges[FIRST_BUTTON_PART + BUTTON_COUNT];
    const int buttonsLeft = bar.right - BUTTON_COUNT * BUTTON_WIDTH;
    edges[0] = buttonsLeft - (ShownNext[0] ? NEXT_WIDTH : 0);
    edges[NEXT_PART] = buttonsLeft;
    for (int i = 0; i < BUTTON_COUNT; ++i) edges[FIRST_BUTTON_PART + i] = buttonsLeft + (i + 1) * BUTTON_WIDTH;
    edges[FIRST_BUTTON_PART + BUTTON_COUNT - 1] = -1;
    SendMessageA(StatusBar, SB_SETPARTS, FIRST_BUTTON_PART + BUTTON_COUNT, reinterpret_cast<LPARAM>(edges));
    for (int part = 0; part < FIRST_BUTTON_PART + BUTTON_COUNT; ++part)
        SendMessageA(StatusBar, SB_SETTEXTA, part | SBT_OWNERDRAW | SBT_NOBORDERS, part);
}

static void PressStatusButton(int part) {
    if (part == NEXT_PART && ShownNext[0]) OnCommand(Command{COMMAND_MENU, IDM_NEXT, 0, 0});
    const int button = part - FIRST_BUTTON_PART;
    if (button >= 0 && button < BUTTON_COUNT) OnCommand(Command{COMMAND_BUTTON, button, 0, 0});
}

static void DrawStatusPart(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const int part = static_cast<int>(item.itemID);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(StatusBar, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (part == 0) {
        // Up to three lines of words, the tip under them while there is one.
        InflateRect(&r, -4, 0);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, ShownWide, -1, &r, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    } else if (part == NEXT_PART || part - FIRST_BUTTON_PART < BUTTON_COUNT) {
        const int button = part - FIRST_BUTTON_PART;
        const bool offered = part == NEXT_PART || !Greyed[button];
        const char* text = part == NEXT_PART ? ShownNext : COMFORT_BUTTONS[button].text;
        if (text[0]) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        SetTextColor(dc, GetSysColor(offered ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
}

// Undo and Redo greyed, on the menu and the bar, when they would do nothing;
// the way on shown after a win.
static void UpdateStatusButtons() {
    bool changed = false;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const int id = ButtonCommand(i);
        const bool offered = !id || CommandAvailable(id);
        if (offered != Greyed[i]) continue;
        Greyed[i] = !offered;
        changed = true;
        if (id && GameWindow)
            EnableMenuItem(GetMenu(GameWindow), id, MF_BYCOMMAND | (offered ? MF_ENABLED : MF_GRAYED));
        if (PrintStatus) {
            std::printf("offered: %s %d\n", COMFORT_BUTTONS[i].text, offered ? 1 : 0);
            std::fflush(stdout);
        }
    }
    const char* next = NextStepText();
    if (std::strcmp(next ? next : "", ShownNext) != 0) {
        std::snprintf(ShownNext, sizeof ShownNext, "%s", next ? next : "");
        PlaceStatusButtons();
        changed = true;
        if (PrintStatus) {
            std::printf("next: %s\n", next ? next : "none");
            std::fflush(stdout);
        }
    }
    if (changed && StatusBar) InvalidateRect(StatusBar, nullptr, TRUE);
}

void UpdateStatusBar() {
    if (!StatusBar) return;
    UpdateStatusButtons();
    // The first-run tip under the words, until the first shot.
    const char* changed = ChangedStatusLine();
    const char* tip = FirstRunTip();
    if (!changed && ShownStatus[0] && tip == ShownTip) return;
    std::snprintf(ShownStatus, sizeof ShownStatus, "%s", changed ? changed : StatusLine());
    ShownTip = tip;
    // Level names may hold any UTF-8; the bar draws them as wide text.
    char shown[sizeof ShownStatus + 160];
    std::snprintf(shown, sizeof shown, "%s%s%s", ShownStatus, tip ? "\n" : "", tip ? tip : "");
    if (!MultiByteToWideChar(CP_UTF8, 0, shown, -1, ShownWide,
                             static_cast<int>(sizeof ShownWide / sizeof ShownWide[0])))
        ShownWide[0] = 0;
    RECT words{0, 0, 0, 0};
    if (SendMessageA(StatusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&words)))
        InvalidateRect(StatusBar, &words, TRUE);
    if (PrintStatus) {
        std::printf("status: %s\ntip: %s\n", ShownStatus, tip ? tip : "none");
        // Whether the words need more room than their part has.
        HDC dc = GetDC(StatusBar);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(StatusBar, WM_GETFONT, 0, 0)));
        RECT need{0, 0, words.right - words.left - 8, 0};
        DrawTextW(dc, ShownWide, -1, &need, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(StatusBar, dc);
        std::printf("status cut: %d\n", need.bottom > words.bottom - words.top ? 1 : 0);
        std::fflush(stdout);
    }
}

static void HandleCreate(HWND window) {
    // The saved level unlocks the menu before CreateWindowExA returns; the
    // menu is found through the handle stored here.
    GameWindow = window;
    OnCreate();
}

// What the game has no entry for is the window's own.
static LRESULT HandleCommand(HWND window, int id, HWND control, UINT code) {
    if (OnCommand(Command{COMMAND_MENU, id, 0, 0})) return 0;
    return DefWindowProcA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

// A key message's scan code as the keyboard state holds it: the extended
// keys (the arrows among them) in its upper half.
static int32_t ScanCodeOf(LPARAM lParam) {
    return static_cast<int32_t>(((lParam >> 16) & 0x7F) | ((lParam >> 17) & 0x80));
}

// Clicks are reported in field coordinates, back through the field's place;
// one beside the field is nobody's.
static void HandleButtonDown(HWND window, bool right, int x, int y) {
    POINT onScreen{x, y};
    ClientToScreen(window, &onScreen);
    Rect area;
    const FieldView view = CurrentFieldView(&area);
    int32_t fieldX = 0, fieldY = 0;
    if (!ViewToField(view, onScreen.x - area.left, onScreen.y - area.top, FIELD_SIZE, &fieldX, &fieldY)) return;
    OnCommand(Command{right ? COMMAND_RIGHT_CLICK : COMMAND_TAP, 0, fieldX, fieldY});
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: HandleCreate(window); return 0;
    case WM_DESTROY:
        // The bar goes with its parent.
        StatusBar = nullptr;
        ShownStatus[0] = '\0';
        // A new window starts with its menu's items and the bar's parts as made.
        ShownNext[0] = '\0';
        ShownTip = nullptr;
        std::memset(Greyed, 0, sizeof Greyed);
        ForgetShownStatus();
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        // The bar places itself along the bottom edge when told.
        if (StatusBar) SendMessageA(StatusBar, WM_SIZE, 0, 0);
        PlaceStatusButtons();
        return 0;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (StatusBar && item->hwndItem == StatusBar) DrawStatusPart(*item);
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* note = reinterpret_cast<const NMHDR*>(lParam);
        if (StatusBar && note->hwndFrom == StatusBar && note->code == NM_CLICK)
            PressStatusButton(static_cast<int>(reinterpret_cast<const NMMOUSE*>(lParam)->dwItemSpec));
        return 0;
    }
    case WM_PAINT: {
        // Frames reach the screen only through the presentation blit: the
        // last one again, where a dialog in front left the field uncovered.
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        RepaintField();
        return 0;
    }
    // The frame reads the keys from the keyboard device; the window tells the
    // game of each one, as every front end does.
    case WM_KEYDOWN:
    case WM_KEYUP:
        OnCommand(Command{message == WM_KEYDOWN ? COMMAND_KEY_DOWN : COMMAND_KEY_UP, ScanCodeOf(lParam), 0, 0});
        return 0;
    case WM_COMMAND: return HandleCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        HandleButtonDown(window, message == WM_RBUTTONDOWN, static_cast<int16_t>(LOWORD(lParam)),
                         static_cast<int16_t>(HIWORD(lParam)));
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
    }
    return FALSE;
}

void ShowAboutDialog(HWND window) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDialogProc, 0);
}

HWND CreateGameWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MENU);
    windowClass.lpszClassName = CLASS_NAME;
    if (!RegisterClassA(&windowClass)) return nullptr;
    GameInstance = instance;
    // The frame, title and menu go around the field, not into it: a client
    // area of exactly the field's size (the status bar is added below it)
    // shows it 1:1 with square cells. An overlapped window gets its caption
    // implicitly, so the sizing counts it.
    const DWORD style = WS_OVERLAPPED | WS_SYSMENU | WS_VISIBLE;
    RECT outer{0, 0, FIELD_SIZE, FIELD_SIZE};
    AdjustWindowRectEx(&outer, style | WS_CAPTION, TRUE, 0);
    HWND window = CreateWindowExA(0, CLASS_NAME, TEXT_TITLE, style, 100, 10, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!window) {
        UnregisterClassA(CLASS_NAME, instance);
        GameWindow = nullptr;
        return nullptr;
    }
    GameWindow = window;
    // The status bar goes below the field, not over it: the window grows by
    // the bar's height. Without the control the game still plays, unlabelled.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    if (InitCommonControlsEx(&controls))
        StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr,
                                    instance, nullptr);
    PrintStatus = std::getenv("TARNO_PRINT_STATUS") != nullptr;
    if (StatusBar) {
        // Room for three lines of the bar's font: beside the buttons the words have a third of the width.
        HDC dc = GetDC(StatusBar);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(StatusBar, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics{};
        const int line = GetTextMetricsA(dc, &metrics) ? metrics.tmHeight : 16;
        SelectObject(dc, old);
        ReleaseDC(StatusBar, dc);
        SendMessageA(StatusBar, SB_SETMINHEIGHT, 3 * line + 2, 0);
        SendMessageA(StatusBar, WM_SIZE, 0, 0);
    }
    // Whatever the frame turned out to be (a menu bar that wraps, a theme's
    // borders), grow or shrink the window by what the client area misses.
    RECT client, frame;
    if (GetClientRect(window, &client) && GetWindowRect(window, &frame)) {
        const int dx = FIELD_SIZE - (client.right - client.left);
        const int dy = FIELD_SIZE + StatusBarHeight() - (client.bottom - client.top);
        if (dx || dy)
            SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (StatusBar) SendMessageA(StatusBar, WM_SIZE, 0, 0);
    PlaceStatusButtons();
    return window;
}

int RunMessageLoop() {
    MSG message{};
    // The menu's Ctrl accelerators (Undo, Redo, Open level).
    HACCEL accelerators = LoadAcceleratorsA(GameInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            if (accelerators && GameWindow && TranslateAcceleratorA(GameWindow, accelerators, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (message.message == WM_DESTROY) return 0;
        }
        if (QuitRequested) return 0;
        if (GetActiveWindow() == GameWindow) {
            RunFrame();
            UpdateStatusBar();
        } else if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            // Nothing to draw while another window is active: sleep until
            // a message comes instead of spinning.
            WaitMessage();
        }
        if (QuitRequested) return 0;
    }
}
