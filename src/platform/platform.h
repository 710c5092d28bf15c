// The seam: every operating-system service the game uses, named for what the
// game needs. game/, editor/, lib/ and shell/ call only these; each folder
// under platform/ implements them for one platform. A function marked
// "optional" may be left at its default where the platform has nothing to do
// there; every other one does the work it names on every platform.
#pragma once
#include <cstdint>

// ---- Surfaces -------------------------------------------------------------
// 32-bit XRGB pixels (memory order blue, green, red, 0). Black (0) is the
// transparent colour when a blit asks for the source key.
struct Surface;

struct Rect {
    int32_t left, top, right, bottom;
};

Surface* PlatformCreateSurface(int32_t width, int32_t height);
void PlatformDestroySurface(Surface* surface);
struct SurfaceSize {
    int32_t width, height;
};
// 0 by 0 for no surface.
SurfaceSize PlatformSurfaceSize(const Surface* surface);
// Returns the first pixel and the row pitch in bytes, or null.
uint32_t* PlatformLockSurface(Surface* surface, int32_t* pitchBytes);
void PlatformUnlockSurface(Surface* surface);
// Copies src's rectangle to dst's rectangle, stretching when the sizes
// differ; a null rectangle means the whole surface. Empty or inverted
// rectangles draw nothing and succeed. keyed: black source pixels are skipped.
// Returns 1, or 0 when a surface is missing.
int PlatformBlit(Surface* dst, const Rect* dstRect, Surface* src, const Rect* srcRect, bool keyed);

// ---- Display and clock ----------------------------------------------------
// The field's side in pixels: the back surface the game draws, and what a
// window shows unscaled.
constexpr int32_t FIELD_SIZE = 672;

// Opens the display, switching the desktop's mode where the platform can.
// Optional where the window is the display: the default returns 1.
int PlatformInitDisplay(int32_t width, int32_t height, int32_t bitsPerPixel);
// Optional: the default does nothing.
void PlatformShutdownDisplay();
// Blocks until the next frame slot begins: the display refresh where it is
// 60 Hz, otherwise our own wait, so frames run at 60 per second everywhere.
// Optional where the platform's own frame clock calls each frame in its slot:
// the default returns at once.
void PlatformWaitFrame();
// The field in tiles of 48 pixels square, a bit per tile (bit x of row y).
constexpr int32_t FIELD_TILE = 48;
constexpr int32_t FIELD_TILES = FIELD_SIZE / FIELD_TILE;
struct FieldTiles {
    uint16_t rows[FIELD_TILES];
};
// The next run of set tiles in a row, from `*x` on: [*x, *end). False when
// none is left. Each run is one blit or one compare.
inline bool NextTileRun(uint32_t row, int32_t* x, int32_t* end) {
    while (*x < FIELD_TILES && !(row >> *x & 1)) ++*x;
    for (*end = *x; *end < FIELD_TILES && (row >> *end & 1);) ++*end;
    return *x < FIELD_TILES;
}
// Shows the finished 672 by 672 field in the game window. Only the `drawn`
// tiles can differ from the field this call was last given; a platform may
// skip the rest.
void PlatformPresent(Surface* back, const FieldTiles& drawn);
// Milliseconds since some fixed start; wraps at 2^32.
uint32_t PlatformTicks();
// Called on each turn of a busy wait on the tick count. Optional: the default
// returns at once, as real clocks need; the headless platform's virtual
// clock moves on by 1 ms.
void PlatformIdle();

// ---- Sound ----------------------------------------------------------------
// Buffers hold unsigned 8-bit mono samples at 11025 Hz; several buffers mix.
struct SoundBuffer;

int PlatformInitSoundDevice();
void PlatformShutdownSoundDevice();
SoundBuffer* PlatformCreateSoundBuffer(const uint8_t* samples, uint32_t size);
void PlatformReleaseSoundBuffer(SoundBuffer* buffer);
// Plays from the start, so a sound still sounding restarts rather than
// overlapping itself; 0 when the buffer cannot be rewound or played.
int PlatformPlaySoundBuffer(SoundBuffer* buffer, bool loop);
// Stops and rewinds, so that the next play starts at the beginning.
int PlatformStopSoundBuffer(SoundBuffer* buffer);

// ---- Keyboard -------------------------------------------------------------
// Key state is 256 bytes indexed by PC set-1 scan codes (extended keys with
// the high bit set: arrows 0xCB 0xC8 0xCD 0xD0), non-zero while down. The
// mouse is never read (clicks come from the window), so it has no seam
// function: a platform with a mouse device opens it with the keyboard.
int PlatformInitKeyboard();
int PlatformReadKeyboard(uint8_t state[256]);
// Optional where keys arrive as window events: the default does nothing.
void PlatformReleaseKeyboard();
// "Is this key down right now", by virtual key (Escape 0x1B, Enter 0x0D).
bool PlatformKeyDownNow(int32_t virtualKey);

// ---- Window, menu, messages -----------------------------------------------
// Modal message box with the text, an empty caption and OK; returns when closed.
void PlatformShowMessage(const char* text);
// The game's own panels: the About box, "How to play" and the player's
// records (whose text the shell gives, RecordsText).
enum : int32_t { PANEL_ABOUT, PANEL_HOW_TO_PLAY, PANEL_RECORDS };
void PlatformShowPanel(int32_t panel);
// MENU_ENABLE makes a grayed item (a level not yet unlocked) choosable for
// good; MENU_CHECK and MENU_UNCHECK mark and unmark the current item of its
// group (the level in play).
enum MenuMark { MENU_ENABLE, MENU_CHECK, MENU_UNCHECK };
void PlatformMarkMenuItem(int32_t commandId, MenuMark mark);
// Lets the player pick a level file to open; false when none was picked.
bool PlatformChooseLevelFile(char* path, int32_t size);
// Asks for a line of text (a level code) in a small dialog; false when
// cancelled. The answer is cut to size - 1 bytes.
bool PlatformAskText(const char* prompt, char* buf, int32_t size);
// Puts the text on the clipboard (the page also offers it as a link).
void PlatformCopyText(const char* text);
// Hands a level's code on to other people the platform's own way: the page
// shares a link that plays it (the system's share sheet, or the clipboard,
// and says which). False where the platform has no way of its own (the
// desktops): the shell then copies a command line that plays it.
bool PlatformShareLevel(const char* code);
// Ends the main loop after the current frame (Esc, "Exit").
void PlatformRequestQuit();
// Optional where the system has no beep (a page): the default is silence.
void PlatformBeep();

// ---- Small named values kept per user --------------------------------------
// "level" (the saved progress: one byte), "records" and "sound" (texts). A
// value is bytes with a length; its kind tells a store that keeps types or
// only text how to keep it: the registry keeps bytes as REG_BINARY and texts
// as REG_SZ, the browser the level as its number ("5").
enum SettingKind : int32_t { SETTING_TEXT, SETTING_BYTES };
// Returns 1 with the bytes and their count in length when stored, 0 when
// absent, -1 when stored but unreadable here (longer than size, not of the
// kind asked, not a plain file, a read error). A text's ending 0 is not
// among its bytes.
int PlatformReadSetting(const char* name, SettingKind kind, void* buf, int32_t size, int32_t* length);
// Stores the bytes whole, atomically where the platform can. Null bytes set
// what is stored aside, for the player to look at, rather than losing it:
// under the first free name of name + ".bad", ".bad.1" ... ".bad.9"; when
// all are taken the oldest (".bad") goes, the others move down one and the
// newest takes ".bad.9". Null when done; otherwise where and why it failed
// ("place: reason"), valid until the next call.
constexpr int32_t MAX_SET_ASIDES = 10;
const char* PlatformWriteSetting(const char* name, SettingKind kind, const void* bytes, int32_t length);
// Keeps other copies of the game running for the same player off the named
// value while this one reads it, merges and writes it back; a lock on the
// file's folder, a system-wide mutex, or nothing where one page runs at a
// time. Every lock is followed by one unlock; a lock that cannot be had
// still lets the write go on.
void PlatformLockSetting(const char* name);
void PlatformUnlockSetting(const char* name);

// Not seam functions, because every platform shares one implementation:
// whole-file replacement and the start-up clean-up of what it leaves
// (platform/files/files.h), and handing freed memory back to the system
// (platform/memory/memory.h).
