// Message boxes, the menu, the end of the run, the beep and the small named
// values (the saved level among them), which live in the user's registry.
#include "platform/win32/win32.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "menu_table.h"
#include "platform/files/files.h"
#include "shell/shell.h"

HWND GameWindow = nullptr;
HINSTANCE GameInstance = nullptr;
bool QuitRequested = false;

void PlatformShowMessage(const char* text) { MessageBoxA(FindWindowA("WINXCLASS", "Tarno"), text, "", MB_OK); }

void PlatformMarkMenuItem(int32_t commandId, MenuMark mark) {
    // The first items are enabled, and Sound marked, while the window is
    // still being created; the window procedure has stored its handle by then.
    HWND window = GameWindow ? GameWindow : FindWindowA("WINXCLASS", nullptr);
    HMENU menu = window ? GetMenu(window) : nullptr;
    if (!menu) return;
    if (mark == MENU_ENABLE) EnableMenuItem(menu, static_cast<UINT>(commandId), MF_BYCOMMAND | MF_ENABLED);
    else
        CheckMenuItem(menu, static_cast<UINT>(commandId),
                      MF_BYCOMMAND | (mark == MENU_CHECK ? MF_CHECKED : MF_UNCHECKED));
}

// ---- How to play: its lines, with pictures cut from the sprite sheet ------

namespace {

constexpr int HOW_TO_PICTURE = 32, HOW_TO_MARGIN = 12, HOW_TO_GAP = 8;
HBITMAP HowToSheet = nullptr;  // pieces.bmp, while the panel is open
int HowToTextHeight = 16;

bool ShownHere(const HowToLine& line) { return line.screen != FOR_TOUCH; }

int RowHeight(const HowToLine& line) { return (line.picture != NO_PICTURE ? HOW_TO_PICTURE : HowToTextHeight) + 2; }

HFONT DialogFont(HWND dialog) { return reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)); }

// The dialog as large as its lines, centred on the game's window.
void PlaceHowToPlay(HWND dialog) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, DialogFont(dialog));
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(dc, &metrics)) HowToTextHeight = metrics.tmHeight;
    int widest = 0, high = 0;
    for (const HowToLine& line : HOW_TO_PLAY_LINES) {
        if (!ShownHere(line)) continue;
        SIZE size{};
        if (GetTextExtentPoint32A(dc, line.text, static_cast<int>(strlen(line.text)), &size) && size.cx > widest)
            widest = size.cx;
        high += RowHeight(line);
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    constexpr int BUTTON_W = 75, BUTTON_H = 25;
    RECT outer{0, 0, 2 * HOW_TO_MARGIN + HOW_TO_PICTURE + HOW_TO_GAP + widest,
               2 * HOW_TO_MARGIN + high + HOW_TO_MARGIN + BUTTON_H};
    const RECT client = outer;
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    RECT game{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GameWindow) GetWindowRect(GameWindow, &game);
    int x = (game.left + game.right - w) / 2, y = (game.top + game.bottom - h) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    SetWindowPos(dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(dialog, IDOK), nullptr, client.right - HOW_TO_MARGIN - BUTTON_W,
                 client.bottom - HOW_TO_MARGIN - BUTTON_H, BUTTON_W, BUTTON_H, SWP_NOZORDER);
}

// A sheet cell at the picture's size, black clear.
void DrawCell(HDC dc, HDC sheet, int cell, int x, int y) {
    TransparentBlt(dc, x, y, HOW_TO_PICTURE, HOW_TO_PICTURE, sheet, cell % 8 * 49 + 1, cell / 8 * 49 + 1, 48, 48,
                   RGB(0, 0, 0));
}

// The red glow of a lost board along the picture's top edge, fading down.
void DrawGlow(HDC dc, int x, int y) {
    const COLORREF ground = GetSysColor(COLOR_BTNFACE);
    constexpr int ROWS = 7;
    for (int i = 0; i < ROWS; ++i) {
        const int a = 255 * (ROWS - i) / ROWS;
        auto mix = [a](int red, int other) { return (red * a + other * (255 - a)) / 255; };
        HPEN pen = CreatePen(PS_SOLID, 1,
                             RGB(mix(224, GetRValue(ground)), mix(40, GetGValue(ground)), mix(40, GetBValue(ground))));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, x, y + i, nullptr);
        LineTo(dc, x + HOW_TO_PICTURE, y + i);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

void PaintHowToPlay(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    HDC sheet = HowToSheet ? CreateCompatibleDC(dc) : nullptr;
    HGDIOBJ oldSheet = sheet ? SelectObject(sheet, HowToSheet) : nullptr;
    HGDIOBJ oldFont = SelectObject(dc, DialogFont(dialog));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int y = HOW_TO_MARGIN;
    for (const HowToLine& line : HOW_TO_PLAY_LINES) {
        if (!ShownHere(line)) continue;
        const int row = RowHeight(line);
        if (sheet && line.picture != NO_PICTURE) {
            DrawCell(dc, sheet, line.picture, HOW_TO_MARGIN, y);
            if (line.over != NO_PICTURE) DrawCell(dc, sheet, line.over, HOW_TO_MARGIN, y);
            if (line.glow) DrawGlow(dc, HOW_TO_MARGIN, y);
        }
        TextOutA(dc, HOW_TO_MARGIN + HOW_TO_PICTURE + HOW_TO_GAP, y + (row - HowToTextHeight) / 2, line.text,
                 static_cast<int>(strlen(line.text)));
        y += row;
    }
    SelectObject(dc, oldFont);
    if (sheet) {
        SelectObject(sheet, oldSheet);
        DeleteDC(sheet);
    }
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK HowToPlayProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // The pictures come from the sheet in the game's folder; without it the words alone.
        HowToSheet = static_cast<HBITMAP>(LoadImageA(nullptr, "pieces.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        PlaceHowToPlay(dialog);
        return TRUE;
    case WM_PAINT: PaintHowToPlay(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
        return TRUE;
    case WM_DESTROY:
        if (HowToSheet) DeleteObject(HowToSheet);
        HowToSheet = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

void PlatformShowPanel(int32_t panel) {
    if (panel == PANEL_ABOUT) {
        ShowAboutDialog(GameWindow);
    } else if (panel == PANEL_HOW_TO_PLAY) {
        DialogBoxParamA(GameInstance ? GameInstance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_HOW_TO_PLAY),
                        GameWindow, HowToPlayProc, 0);
    } else if (panel == PANEL_RECORDS) {
        MessageBoxA(GameWindow, RecordsText(), "Records", MB_OK);
    }
}

bool PlatformChooseLevelFile(char* path, int32_t size) {
    if (!path || size <= 0) return false;
    path[0] = '\0';
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = GameWindow;
    open.lpstrFilter = "Levels (*.dat, *.txt)\0*.dat;*.txt\0All files\0*.*\0";
    open.lpstrFile = path;
    open.nMaxFile = static_cast<DWORD>(size);
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return GetOpenFileNameA(&open) != 0;
}

namespace {

struct AskedText {
    const char* prompt;
    char* buf;
    int32_t size;
};

INT_PTR CALLBACK AskTextProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const AskedText* asked = reinterpret_cast<const AskedText*>(lParam);
        SetDlgItemTextA(dialog, IDC_ASK_PROMPT, asked->prompt ? asked->prompt : "");
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        const AskedText* asked = reinterpret_cast<const AskedText*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (LOWORD(wParam) == IDOK) GetDlgItemTextA(dialog, IDC_ASK_TEXT, asked->buf, asked->size);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool PlatformAskText(const char* prompt, char* buf, int32_t size) {
    if (!buf || size <= 0) return false;
    buf[0] = '\0';
    AskedText asked{prompt, buf, size};
    return DialogBoxParamA(GameInstance ? GameInstance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ASK_TEXT),
                           GameWindow, AskTextProc, reinterpret_cast<LPARAM>(&asked)) == IDOK;
}

void PlatformCopyText(const char* text) {
    if (!text || !OpenClipboard(GameWindow)) return;
    EmptyClipboard();
    const size_t size = strlen(text) + 1;
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size)) {
        if (void* at = GlobalLock(memory)) {
            memcpy(at, text, size);
            GlobalUnlock(memory);
            // The clipboard owns the memory once it takes it.
            if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
        } else GlobalFree(memory);
    }
    CloseClipboard();
}

// No share sheet here: the shell copies the command line.
bool PlatformShareLevel(const char*) { return false; }

void PlatformRequestQuit() { QuitRequested = true; }

void PlatformBeep() { Beep(0, 0); }

// ---- Small named values: registry values under HKCU\Software\Tarno ---------
// Bytes are kept as REG_BINARY and texts as REG_SZ: "Level" is one byte,
// "Records" and "Sound" are texts. The key is opened with full access and
// made with the class "binary".

static const char SETTINGS_KEY[] = "Tarno";

namespace {

// "records" is kept as the value "Records", like "Level" beside it.
void ValueName(const char* name, const char* suffix, char* out, size_t size) {
    std::snprintf(out, size, "%s%s", name ? name : "", suffix);
    if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
}

// Where a value is and the system's own words for the error.
const char* Why(const char* value, LONG error) {
    static char why[512];
    const int n = std::snprintf(why, sizeof why, "HKEY_CURRENT_USER\\Software\\%s\\%s: ", SETTINGS_KEY, value);
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(error),
                        0, why + n, static_cast<DWORD>(sizeof why - n), nullptr))
        std::snprintf(why + n, sizeof why - n, "error %ld", static_cast<long>(error));
    for (size_t end = std::strlen(why); end > 0 && (why[end - 1] == '\r' || why[end - 1] == '\n'); --end)
        why[end - 1] = '\0';
    return why;
}

// Opens HKCU\Software, then our key below it, made when asked; an error
// code when either fails.
LONG OpenSettingsKey(bool create, HKEY* key) {
    HKEY software = nullptr;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software);
    if (error != ERROR_SUCCESS) return error;
    if (create) {
        DWORD disposition = 0;
        char keyClass[] = "binary";
        error = RegCreateKeyExA(software, SETTINGS_KEY, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                key, &disposition);
    } else {
        error = RegOpenKeyExA(software, SETTINGS_KEY, 0, KEY_ALL_ACCESS, key);
    }
    RegCloseKey(software);
    return error;
}

// Room for the longest value we read or set aside, and a text's ending 0.
BYTE Stored[64 * 1024 + 1];

// Moves one value to another name, as it is.
LONG MoveValue(HKEY key, const char* from, const char* to) {
    DWORD type = 0, held = sizeof Stored;
    LONG error = RegQueryValueExA(key, from, nullptr, &type, Stored, &held);
    if (error == ERROR_SUCCESS) error = RegSetValueExA(key, to, 0, type, Stored, held);
    if (error == ERROR_SUCCESS) error = RegDeleteValueA(key, from);
    return error;
}

bool ValueThere(HKEY key, const char* value) {
    return RegQueryValueExA(key, value, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

void AsideName(const char* name, int slot, char* out, size_t size) {
    char suffix[16];
    if (slot) std::snprintf(suffix, sizeof suffix, ".bad.%d", slot);
    else std::snprintf(suffix, sizeof suffix, ".bad");
    ValueName(name, suffix, out, size);
}

// The stored bytes as they are, under the first free of ".bad", ".bad.1"
// ...; when all are taken, the oldest goes and the others move down one.
LONG SetAside(HKEY key, const char* name, const char* value) {
    if (!ValueThere(key, value)) return ERROR_SUCCESS;
    char aside[80], older[80];
    int slot = 0;
    for (; slot < MAX_SET_ASIDES; ++slot) {
        AsideName(name, slot, aside, sizeof aside);
        if (!ValueThere(key, aside)) break;
    }
    if (slot == MAX_SET_ASIDES) {
        for (slot = 1; slot < MAX_SET_ASIDES; ++slot) {
            AsideName(name, slot - 1, older, sizeof older);
            AsideName(name, slot, aside, sizeof aside);
            if (const LONG error = MoveValue(key, aside, older)) return error;
        }
    }
    return MoveValue(key, value, aside);
}

// Copies of the game for one user share one mutex of the session.
HANDLE SettingMutex;

}  // namespace

void PlatformLockSetting(const char*) {
    if (!SettingMutex) SettingMutex = CreateMutexA(nullptr, FALSE, "Local\\TarnoSettings");
    // A copy that died holding it leaves it abandoned, which is ours then.
    if (SettingMutex) WaitForSingleObject(SettingMutex, INFINITE);
}

void PlatformUnlockSetting(const char*) {
    if (SettingMutex) ReleaseMutex(SettingMutex);
}

int PlatformReadSetting(const char* name, SettingKind kind, void* buf, int32_t size, int32_t* length) {
    if (!buf || size < 0 || !length) return 0;
    char value[64];
    ValueName(name, "", value, sizeof value);
    HKEY key = nullptr;
    if (OpenSettingsKey(false, &key) != ERROR_SUCCESS) return 0;
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size);
    LONG error = ERROR_SUCCESS;
    if (kind == SETTING_BYTES) {
        // Any type, but no more bytes than asked for: a longer value does not
        // fit and cannot be read here.
        error = RegQueryValueExA(key, value, nullptr, nullptr, static_cast<BYTE*>(buf), &bytes);
    } else {
        // A text's ending 0 needs room of its own.
        bytes = static_cast<DWORD>(size) + 1 < sizeof Stored ? static_cast<DWORD>(size) + 1 : sizeof Stored;
        error = RegQueryValueExA(key, value, nullptr, &type, Stored, &bytes);
    }
    RegCloseKey(key);
    if (error == ERROR_FILE_NOT_FOUND) return 0;
    if (error != ERROR_SUCCESS) return -1;
    if (kind == SETTING_TEXT) {
        // Only a string, whose ending 0 (when stored) is not the text's.
        if (type != REG_SZ) return -1;
        if (bytes > 0 && Stored[bytes - 1] == '\0') --bytes;
        if (bytes > static_cast<DWORD>(size)) return -1;
        std::memcpy(buf, Stored, bytes);
    }
    *length = static_cast<int32_t>(bytes);
    return 1;
}

const char* PlatformWriteSetting(const char* name, SettingKind kind, const void* bytes, int32_t length) {
    char value[64];
    ValueName(name, "", value, sizeof value);
    HKEY key = nullptr;
    LONG error = OpenSettingsKey(true, &key);
    if (error != ERROR_SUCCESS) return Why(value, error);
    const DWORD size = length > 0 ? static_cast<DWORD>(length) : 0;
    if (!bytes) {
        error = SetAside(key, name, value);
    } else if (kind == SETTING_BYTES) {
        error = RegSetValueExA(key, value, 0, REG_BINARY, static_cast<const BYTE*>(bytes), size);
    } else if (size >= sizeof Stored) {
        error = ERROR_INVALID_DATA;
    } else {
        // A string is stored with its ending 0.
        std::memcpy(Stored, bytes, size);
        Stored[size] = '\0';
        error = RegSetValueExA(key, value, 0, REG_SZ, Stored, size + 1);
    }
    RegCloseKey(key);
    return error == ERROR_SUCCESS ? nullptr : Why(value, error);
}
