// Message boxes, the menu, the end of the run, the beep and the saved
// progress, which lives in the user's registry.
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

void PlatformShowPanel(int32_t panel) {
    if (panel == PANEL_ABOUT) {
        ShowAboutDialog(GameWindow);
    } else if (panel == PANEL_HOW_TO_PLAY) {
        // A message box shows words only; the pictures are for the richer panels.
        char text[2048] = "";
        for (const HowToLine& line : HOW_TO_PLAY_LINES) {
            strncat(text, line.text, sizeof text - strlen(text) - 1);
            strncat(text, "\n", sizeof text - strlen(text) - 1);
        }
        MessageBoxA(GameWindow, text, TEXT_MENU_HOW_TO_PLAY, MB_OK);
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

void PlatformRequestQuit() { QuitRequested = true; }

void PlatformBeep() { Beep(0, 0); }

static const char PROGRESS_KEY[] = "Tarno";
static const char PROGRESS_VALUE[] = "Level";

int PlatformReadProgress(uint8_t* level) {
    HKEY software = nullptr, key = nullptr;
    int found = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS) return 0;
    if (RegOpenKeyExA(software, PROGRESS_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        BYTE value = 0;
        DWORD size = 1;
        // Exactly one byte: a longer value does not fit and reads as absent.
        if (RegQueryValueExA(key, PROGRESS_VALUE, nullptr, nullptr, &value, &size) == ERROR_SUCCESS && size == 1) {
            *level = value;
            found = 1;
        }
        RegCloseKey(key);
    }
    RegCloseKey(software);
    return found;
}

namespace {

// "records" is kept as the value "Records", like "Level" beside it.
void ValueName(const char* name, const char* suffix, char* out, size_t size) {
    std::snprintf(out, size, "%s%s", name, suffix);
    if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
}

// Where a value is and the system's own words for the error.
const char* Why(const char* value, LONG error) {
    static char why[512];
    const int n = std::snprintf(why, sizeof why, "HKEY_CURRENT_USER\\Software\\%s\\%s: ", PROGRESS_KEY, value);
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(error),
                        0, why + n, static_cast<DWORD>(sizeof why - n), nullptr))
        std::snprintf(why + n, sizeof why - n, "error %ld", static_cast<long>(error));
    for (size_t end = std::strlen(why); end > 0 && (why[end - 1] == '\r' || why[end - 1] == '\n'); --end)
        why[end - 1] = '\0';
    return why;
}

}  // namespace

const char* PlatformWriteProgress(uint8_t level) {
    HKEY software = nullptr, key = nullptr;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software);
    if (error == ERROR_SUCCESS) {
        DWORD disposition = 0;
        char keyClass[] = "binary";
        error = RegCreateKeyExA(software, PROGRESS_KEY, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                &key, &disposition);
        if (error == ERROR_SUCCESS) {
            BYTE value = level;
            error = RegSetValueExA(key, PROGRESS_VALUE, 0, REG_BINARY, &value, 1);
            RegCloseKey(key);
        }
        RegCloseKey(software);
    }
    if (error == ERROR_SUCCESS) return nullptr;
    return Why(PROGRESS_VALUE, error);
}

// ---- Small named values: registry strings beside Level ("Records", "Sound") --

int PlatformReadSetting(const char* name, char* buf, int32_t size) {
    if (!name || !buf || size <= 0) return 0;
    char value[64];
    ValueName(name, "", value, sizeof value);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarno", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size - 1);
    const LONG error = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &bytes);
    RegCloseKey(key);
    if (error == ERROR_FILE_NOT_FOUND) return 0;
    // Too long, not a string, or a string with a zero inside: not ours to read.
    if (error != ERROR_SUCCESS || type != REG_SZ) return -1;
    buf[bytes] = '\0';
    if (bytes > 0 && buf[bytes - 1] == '\0') --bytes;
    return std::strlen(buf) == bytes ? 1 : -1;
}

const char* PlatformWriteSetting(const char* name, const char* text) {
    char value[64];
    ValueName(name ? name : "", "", value, sizeof value);
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarno", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (error != ERROR_SUCCESS) return Why(value, error);
    if (text) {
        error = RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>(std::strlen(text) + 1));
    } else {
        // Set aside: the stored bytes as they are, under the name with ".bad".
        char aside[72];
        ValueName(name ? name : "", ".bad", aside, sizeof aside);
        static BYTE old[64 * 1024];
        DWORD type = 0, bytes = sizeof old;
        error = RegQueryValueExA(key, value, nullptr, &type, old, &bytes);
        if (error == ERROR_SUCCESS) error = RegSetValueExA(key, aside, 0, type, old, bytes);
        if (error == ERROR_SUCCESS) error = RegDeleteValueA(key, value);
        else if (error == ERROR_FILE_NOT_FOUND) error = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return error == ERROR_SUCCESS ? nullptr : Why(value, error);
}
