// The Windows platform against the real system calls (under Wine in the
// test run): DirectDraw surfaces and blits, the registry, DirectSound
// buffers, the resources against the shared menu table, and the window with
// its status bar.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/editor.h"
#include "game/session.h"
#include "menu_table.h"
#include "platform/win32/win32.h"
// after windows.h, which it needs
#include <commctrl.h>

#include "resource.h"
#include "shell/shell.h"

namespace {

// ---- Surfaces ---------------------------------------------------------------

class Win32Surfaces : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ready_ = PlatformInitDisplay(1024, 768, 32) == 1; }
    static void TearDownTestSuite() { PlatformShutdownDisplay(); }
    void SetUp() override { ASSERT_TRUE(ready_) << "DirectDraw could not be set up"; }

    static void Fill(Surface* s, uint32_t colour) {
        int32_t pitch = 0;
        uint32_t* p = PlatformLockSurface(s, &pitch);
        ASSERT_NE(p, nullptr);
        for (int32_t y = 0; y < PlatformSurfaceSize(s).height; ++y)
            for (int32_t x = 0; x < PlatformSurfaceSize(s).width; ++x) p[y * (pitch / 4) + x] = colour;
        PlatformUnlockSurface(s);
    }
    static void Set(Surface* s, int32_t x, int32_t y, uint32_t colour) {
        int32_t pitch = 0;
        uint32_t* p = PlatformLockSurface(s, &pitch);
        ASSERT_NE(p, nullptr);
        p[y * (pitch / 4) + x] = colour;
        PlatformUnlockSurface(s);
    }
    static uint32_t Get(Surface* s, int32_t x, int32_t y) {
        int32_t pitch = 0;
        uint32_t* p = PlatformLockSurface(s, &pitch);
        if (!p) return 0xDEADBEEF;
        uint32_t v = p[y * (pitch / 4) + x] & 0x00FFFFFF;
        PlatformUnlockSurface(s);
        return v;
    }
    static bool ready_;
};
bool Win32Surfaces::ready_ = false;

TEST_F(Win32Surfaces, StretchedClippedAndEmptyBlits) {
    Surface* src = PlatformCreateSurface(2, 2);
    Surface* dst = PlatformCreateSurface(8, 8);
    ASSERT_TRUE(src && dst);
    Fill(src, 0x000000FF);
    Set(src, 1, 1, 0x00FF0000);
    Rect big{0, 0, 4, 4};
    EXPECT_EQ(PlatformBlit(dst, &big, src, nullptr, false), 1);
    EXPECT_EQ(Get(dst, 0, 0), 0x000000FFu);
    EXPECT_EQ(Get(dst, 3, 3), 0x00FF0000u);
    EXPECT_EQ(Get(dst, 4, 4), 0u);

    // Half off the right edge: the visible half is drawn, not the whole refused.
    Fill(dst, 0);
    Rect half{6, 0, 10, 4};
    EXPECT_EQ(PlatformBlit(dst, &half, src, nullptr, false), 1);
    EXPECT_EQ(Get(dst, 6, 0), 0x000000FFu);
    EXPECT_EQ(Get(dst, 7, 3), 0x000000FFu);

    Fill(dst, 0x00010203);
    Rect empty{3, 3, 3, 7}, inverted{5, 5, 1, 1};
    EXPECT_EQ(PlatformBlit(dst, &empty, src, nullptr, false), 1);
    EXPECT_EQ(PlatformBlit(dst, &inverted, src, nullptr, false), 1);
    EXPECT_EQ(Get(dst, 3, 3), 0x00010203u);
    EXPECT_EQ(Get(dst, 2, 2), 0x00010203u);

    EXPECT_EQ(PlatformBlit(nullptr, nullptr, src, nullptr, false), 0);
    EXPECT_EQ(PlatformBlit(dst, nullptr, nullptr, nullptr, false), 0);
    PlatformDestroySurface(src);
    PlatformDestroySurface(dst);
}

// ---- Saved progress ---------------------------------------------------------

class Win32Progress : public ::testing::Test {
protected:
    // The tests own HKCU\Software\Tarno while they run; a player's saved
    // level is put back afterwards.
    void SetUp() override {
        DWORD size = sizeof saved_;
        had_ = RegGetValueA(HKEY_CURRENT_USER, "Software\\Tarno", "Level", RRF_RT_ANY, nullptr, saved_, &size) ==
               ERROR_SUCCESS;
        savedSize_ = size;
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tarno");
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tarno");
        if (had_) {
            HKEY key;
            RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarno", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr);
            RegSetValueExA(key, "Level", 0, REG_BINARY, saved_, savedSize_);
            RegCloseKey(key);
        }
    }
    bool had_ = false;
    BYTE saved_[64] = {};
    DWORD savedSize_ = 0;
};

TEST_F(Win32Progress, TheLevelIsOneBinaryByteAndOtherSizesReadAsLevelOne) {
    ASSERT_EQ(WriteSavedLevel(7), nullptr);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarno", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    char keyClass[16] = "";
    DWORD classSize = sizeof keyClass;
    EXPECT_EQ(RegQueryInfoKeyA(key, keyClass, &classSize, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(keyClass, "binary");
    BYTE data[8] = {};
    DWORD type = 0, size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "Level", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(ReadSavedLevel(), 7);

    DWORD four = 5;
    RegSetValueExA(key, "Level", 0, REG_DWORD, reinterpret_cast<BYTE*>(&four), sizeof four);
    EXPECT_EQ(ReadSavedLevel(), SAVED_LEVEL_DEFAULT);
    RegSetValueExA(key, "Level", 0, REG_BINARY, nullptr, 0);
    EXPECT_EQ(ReadSavedLevel(), SAVED_LEVEL_DEFAULT);
    RegCloseKey(key);
}

// The texts beside the level stay strings, and neither kind reads as the other.
TEST_F(Win32Progress, TextsAreStringsBesideTheLevel) {
    ASSERT_EQ(WriteSavedLevel(4), nullptr);
    ASSERT_EQ(PlatformWriteSetting("sound", SETTING_TEXT, "off", 3), nullptr);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarno", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    BYTE data[8] = {};
    DWORD type = 0, size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "Sound", nullptr, &type, data, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string("off", 4));

    char text[8] = "";
    int32_t length = 0;
    EXPECT_EQ(PlatformReadSetting("sound", SETTING_TEXT, text, sizeof text, &length), 1);
    EXPECT_EQ(std::string(text, length), "off");
    EXPECT_EQ(PlatformReadSetting("level", SETTING_TEXT, text, sizeof text, &length), -1);
    EXPECT_EQ(PlatformReadSetting("nothing", SETTING_TEXT, text, sizeof text, &length), 0);
    EXPECT_EQ(ReadSavedLevel(), 4);
}

// Unreadable records set aside twice keep both, each under a value of its
// own; past the bound the oldest makes room. The lock is had, and had again.
TEST_F(Win32Progress, EverySetAsideKeepsAValueOfItsOwn) {
    for (int n = 0; n <= MAX_SET_ASIDES; ++n) {
        const std::string text = "bad " + std::to_string(n);
        PlatformLockSetting("records");
        ASSERT_EQ(PlatformWriteSetting("records", SETTING_TEXT, text.data(), static_cast<int32_t>(text.size())),
                  nullptr);
        ASSERT_EQ(PlatformWriteSetting("records", SETTING_TEXT, nullptr, 0), nullptr);
        PlatformUnlockSetting("records");
    }
    auto held = [](const char* name) {
        char text[32] = "";
        int32_t length = 0;
        return PlatformReadSetting(name, SETTING_TEXT, text, sizeof text, &length) == 1 ? std::string(text, length)
                                                                                        : "(absent)";
    };
    EXPECT_EQ(held("records"), "(absent)");
    EXPECT_EQ(held("records.bad"), "bad 1");
    EXPECT_EQ(held("records.bad.1"), "bad 2");
    EXPECT_EQ(held("records.bad.9"), "bad 10");
    EXPECT_EQ(held("records.bad.10"), "(absent)");
}

// ---- Sound ------------------------------------------------------------------

// DirectSound needs a window for its cooperative level.
class Win32Sound : public ::testing::Test {
protected:
    void SetUp() override {
        GameWindow = CreateWindowExA(0, "STATIC", "sound", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(GameWindow, nullptr);
        if (!PlatformInitSoundDevice()) GTEST_SKIP() << "no sound device here";
    }
    void TearDown() override {
        PlatformShutdownSoundDevice();
        DestroyWindow(GameWindow);
        GameWindow = nullptr;
    }
};

TEST_F(Win32Sound, BuffersPlayStopAndRewind) {
    const uint8_t samples[] = {0x80, 0xFF, 0x00, 0x80, 0x40, 0xC0};
    SoundBuffer* b = PlatformCreateSoundBuffer(samples, sizeof samples);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(PlatformPlaySoundBuffer(b, false), 1);
    EXPECT_EQ(PlatformStopSoundBuffer(b), 1);
    EXPECT_EQ(PlatformPlaySoundBuffer(b, true), 1);
    PlatformReleaseSoundBuffer(b);
    PlatformReleaseSoundBuffer(b);  // twice is harmless
    EXPECT_EQ(PlatformPlaySoundBuffer(b, false), 0);
    EXPECT_EQ(PlatformPlaySoundBuffer(nullptr, false), 0);
}

TEST_F(Win32Sound, TinySoundsArePaddedAndThePoolHasAnEnd) {
    const uint8_t one = 0x90;
    SoundBuffer* tiny = PlatformCreateSoundBuffer(&one, 1);
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(PlatformPlaySoundBuffer(tiny, false), 1);
    EXPECT_NE(PlatformCreateSoundBuffer(nullptr, 0), nullptr);
    int made = 2;
    while (made < 64 && PlatformCreateSoundBuffer(&one, 1)) ++made;
    EXPECT_EQ(made, 64);
    EXPECT_EQ(PlatformCreateSoundBuffer(&one, 1), nullptr);
}

// ---- Resources --------------------------------------------------------------

// As UTF-8, the table's encoding ("Open level…").
std::string MenuText(HMENU menu, UINT position) {
    wchar_t wide[64] = {};
    GetMenuStringW(menu, position, wide, 64, MF_BYPOSITION);
    char text[128] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

TEST(Win32Resources, TheMenuIsTheSharedTable) {
    HMENU bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MENU));
    ASSERT_NE(bar, nullptr);
    HMENU menus[4] = {bar, nullptr, nullptr, nullptr};
    int position[4] = {-1, -1, -1, -1};
    for (const MenuEntry& e : MENU_TABLE) {
        HMENU menu = menus[e.depth];
        ASSERT_NE(menu, nullptr) << e.text;
        UINT at = static_cast<UINT>(++position[e.depth]);
        if (e.id == MENU_SEPARATOR) {
            EXPECT_NE(GetMenuState(menu, at, MF_BYPOSITION) & MF_SEPARATOR, 0u) << "a line after " << at;
            continue;
        }
        EXPECT_EQ(MenuText(menu, at), std::string(e.text) + (e.key ? std::string("\t") + e.key : ""));
        if (e.id) {
            EXPECT_EQ(GetMenuItemID(menu, at), static_cast<UINT>(e.id)) << e.text;
        } else if (e.depth < 3) {
            menus[e.depth + 1] = GetSubMenu(menu, at);
            position[e.depth + 1] = -1;
            ASSERT_NE(menus[e.depth + 1], nullptr) << e.text;
        }
        // A submenu's item count sits in the high byte.
        UINT state = GetMenuState(menu, at, MF_BYPOSITION) & 0xFF;
        EXPECT_EQ((state & MF_GRAYED) != 0, e.grayed) << e.text;
        EXPECT_EQ(state & MF_SEPARATOR, 0u);
    }
    EXPECT_EQ(GetMenuItemCount(bar), position[0] + 1);
    DestroyMenu(bar);
}

TEST(Win32Resources, TheAboutDialogShowsTheSharedLines) {
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    char text[128] = {};
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, TEXT_TITLE);

    HWND child = GetWindow(dialog, GW_CHILD);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), IDOK);
    child = GetWindow(child, GW_HWNDNEXT);
    ASSERT_NE(child, nullptr);
    EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0) << "icon resource 1 is missing";
    for (const AboutLine& line : ABOUT_LINES) {
        child = GetWindow(child, GW_HWNDNEXT);
        ASSERT_NE(child, nullptr) << line.text;
        GetWindowTextA(child, text, sizeof text);
        EXPECT_STREQ(text, line.text);
        RECT expected{line.x, line.y, line.x + line.width, line.y + line.height};
        MapDialogRect(dialog, &expected);
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left) << line.text;
        EXPECT_EQ(actual.top, expected.top) << line.text;
        EXPECT_EQ(actual.right, expected.right) << line.text;
    }
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), nullptr);
    DestroyWindow(dialog);
}

// ---- The game window --------------------------------------------------------

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tarno");
        WriteSavedLevel(5);
        window_ = CreateGameWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
        UnregisterClassA("WINXCLASS", GetModuleHandleA(nullptr));
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tarno");
        GameWindow = nullptr;
    }
    HWND window_ = nullptr;
};

TEST_F(Win32Window, ClicksArriveInFieldCoordinates) {
    Now.Editor.LeftClickPending = Now.Editor.RightClickPending = 0;
    SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
    EXPECT_TRUE(Now.Editor.LeftClickPending);
    EXPECT_EQ(Now.Editor.ClickX, 0);
    EXPECT_EQ(Now.Editor.ClickY, 0);
    // The field's last pixel, just above the status bar, is shown 1:1.
    SendMessageA(window_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(FIELD_SIZE - 1, FIELD_SIZE - 1));
    EXPECT_TRUE(Now.Editor.RightClickPending);
    EXPECT_EQ(Now.Editor.ClickX, 671);
    EXPECT_EQ(Now.Editor.ClickY, 671);
    SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(FIELD_SIZE / 2, FIELD_SIZE / 2));
    EXPECT_EQ(Now.Editor.ClickX, 336);
    EXPECT_EQ(Now.Editor.ClickY, 336);
}

// Every command item of the window's own menu, posted as choosing it would,
// and every button of its status bar, clicked.
void ChooseEveryItem(HWND window, HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) ChooseEveryItem(window, sub);
        else if (!(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR))
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, i), 0), 0);
    }
}

TEST_F(Win32Window, EveryMenuItemAndButtonReachesTheGame) {
    SetCommandProbe(true);
    ChooseEveryItem(window_, GetMenu(window_));
    ASSERT_NE(StatusBar, nullptr);
    const int parts = static_cast<int>(SendMessageA(StatusBar, SB_GETPARTS, 0, 0));
    for (int part = 1; part < parts; ++part) {
        NMMOUSE click{};
        click.hdr.hwndFrom = StatusBar;
        click.hdr.code = NM_CLICK;
        click.dwItemSpec = static_cast<DWORD_PTR>(part);
        SendMessageA(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    }
    EXPECT_STREQ(CommandsMissed(), "");
    SetCommandProbe(false);
}

TEST_F(Win32Window, ExitEndsTheLoopWithCodeZero) {
    // A quit asked for from a menu command ends the loop before any frame.
    QuitRequested = false;
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_TRUE(QuitRequested);
    QuitRequested = false;
    // So does the close box: the window goes, and the loop takes WM_QUIT.
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_FALSE(IsWindow(window_));
    window_ = nullptr;
}

}  // namespace
