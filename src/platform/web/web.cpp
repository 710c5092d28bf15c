// The browser front end: the page's canvas, menu bar and dialogs (page.js),
// requestAnimationFrame paced to 60 frames a second, Web Audio, localStorage
// for the progress and the editor's level.dat. Surfaces come from soft/.
#include <emscripten.h>
#include <emscripten/html5.h>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lib/display.h"
#include "menu_table.h"
#include "platform/files/files.h"
#include "platform/pacing/pacing.h"
#include "platform/platform.h"
#include "platform/view/field_view.h"
#include "shell/shell.h"

namespace {

constexpr int FIELD = FIELD_SIZE;
constexpr const char* EDITOR_FILE = "level.dat";
constexpr uint8_t SCAN_S = 0x1F;
constexpr uint8_t SCAN_L = 0x26;
constexpr int EDITOR_FILE_MAX = 4096;  // far more than a level; a bigger file is not one to keep

uint8_t Keys[256];
uint32_t Rgba[FIELD * FIELD];  // the picture as the canvas has it
bool Presented = false;
bool QuitRequested = false;
bool Started = false;  // until then the page's calls find no game to reach
bool Ended = false;
bool InFrame = false;
bool Paused = false;  // frames stepped by hand (tests and benchmarks)
FramePacer Pacer;
double ClockOffsetMs = 0;
uint64_t PausedClockMs = 0;
uint64_t SteppedFrames = 0;
// The solver's search runs in what is left of a display frame: at most
// PUMP_MS, and only while the frame's own work and the search stay within
// FRAME_ROOM_MS of its start, leaving the rest of the 16.7 ms to the browser.
constexpr double PUMP_MS = 4;
constexpr double FRAME_ROOM_MS = 10;

void ClearKeys() { std::memset(Keys, 0, sizeof Keys); }

// The editor writes level.dat with plain file calls into the page's memory;
// a changed file is copied to localStorage so that it outlives the page.
// Compared by content, so a save that changed nothing is not stored again;
// one the browser refused is tried again on the next save, and told.
void KeepEditorFile() {
    static uint8_t kept[EDITOR_FILE_MAX], bytes[EDITOR_FILE_MAX];
    static size_t keptSize = 0;
    size_t size = 0;
    if (FILE* f = std::fopen(EDITOR_FILE, "rb")) {
        size = std::fread(bytes, 1, sizeof bytes, f);
        std::fclose(f);
    }
    if (size == 0 || size == sizeof bytes || (size == keptSize && std::memcmp(bytes, kept, size) == 0)) return;
    if (!EM_ASM_INT({ return Module.tarnoPage.keepEditorFile(HEAPU8.slice($0, $0 + $1)); }, bytes, size)) {
        TellEditorFile(FILE_NOT_KEPT, "the browser refused to store it");
        return;
    }
    std::memcpy(kept, bytes, size);
    keptSize = size;
}

// A level file the player picked, played before the next frame.
const char* PendingOpen = nullptr;

// The words under the field, sent to the page only when they change.
void ShowStatus() {
    if (const char* text = ChangedStatusLine()) EM_ASM({ Module.tarnoPage.setStatus(UTF8ToString($0)); }, text);
}

// Undo and Redo greyed when they would do nothing, and the way on after a
// win, sent to the page when they change.
void ShowButtons() {
    static int shownUndo = -1, shownRedo = -1;
    static const char* shownNext = "";
    const int undo = CommandAvailable(IDM_UNDO), redo = CommandAvailable(IDM_REDO);
    const char* next = NextStepText();
    const bool sameNext = next == shownNext || (next && shownNext && std::strcmp(next, shownNext) == 0);
    if (undo == shownUndo && redo == shownRedo && sameNext) return;
    shownUndo = undo, shownRedo = redo, shownNext = next;
    EM_ASM({ Module.tarnoPage.setControls($0, $1, $2, $3, $4 ? UTF8ToString($4) : ""); }, IDM_UNDO, undo, IDM_REDO,
           redo, next);
}

void RunOneFrame() {
    const double start = emscripten_get_now();
    if (PendingOpen) {
        const char* path = PendingOpen;
        PendingOpen = nullptr;
        PlayLevelFile(path);
    }
    // As the frame reads them: a message box in the frame lets the keys go.
    const bool saving = Keys[SCAN_S], loading = Keys[SCAN_L];
    InFrame = true;
    RunFrame();
    InFrame = false;
    // The editor saves in a frame with S down: only then can the file have changed.
    if (saving) KeepEditorFile();
    if (loading && EM_ASM_INT({ return Module.tarnoPage.editorFileDamaged(); }))
        TellEditorFile(FILE_NOT_READ, "the copy the browser kept is not a level file");
    ShowStatus();
    ShowButtons();
    EM_ASM({ Module.tarnoPage.frameDone($0); }, emscripten_get_now() - start);
}

void End() {
    Ended = true;
    ShutdownGame();
    EM_ASM({ Module.tarnoPage.ended(); });
}

bool FramesMayRun() {
    return !QuitRequested && !InFrame && EM_ASM_INT({ return Module.tarnoPage.mayRun(); });
}

EM_BOOL OnAnimationFrame(double nowMs, void*) {
    if (Ended) return EM_FALSE;
    if (QuitRequested) {
        End();
        return EM_FALSE;
    }
    if (Paused || !FramesMayRun()) {
        ResetPacer(&Pacer);
        return EM_TRUE;
    }
    const int due = FramesDue(&Pacer, static_cast<int64_t>(nowMs * 1000.0));
    for (int i = 0; i < due && FramesMayRun(); ++i) RunOneFrame();
    const double room = FRAME_ROOM_MS - (emscripten_get_now() - nowMs);
    if (room >= 1) PumpComforts(static_cast<uint32_t>(room < PUMP_MS ? room : PUMP_MS));
    if (QuitRequested) {
        End();
        return EM_FALSE;
    }
    return EM_TRUE;
}

}  // namespace

// ---- Calls from the page --------------------------------------------------

extern "C" {

// Everything the player does reaches the game as a command, once it runs.
bool Reachable() { return Started && !Ended && !QuitRequested; }

EMSCRIPTEN_KEEPALIVE void WebKey(int scanCode, int down) {
    if (scanCode <= 0 || scanCode > 255) return;
    Keys[scanCode] = down ? 0x80 : 0;
    if (Started && !Ended) OnCommand(Command{down ? COMMAND_KEY_DOWN : COMMAND_KEY_UP, scanCode, 0, 0});
}

EMSCRIPTEN_KEEPALIVE void WebClearKeys() { ClearKeys(); }

EMSCRIPTEN_KEEPALIVE void WebOpenLevel(int source) { PendingOpen = source ? "opened-level.txt" : "opened-level.dat"; }

EMSCRIPTEN_KEEPALIVE void WebClick(int button, int x, int y) {
    if (!Started || Ended || x < 0 || y < 0 || x >= FIELD || y >= FIELD) return;
    if (button == 0 || button == 2) OnCommand(Command{button ? COMMAND_RIGHT_CLICK : COMMAND_TAP, 0, x, y});
}

// A finger on the field: 0 down, 1 held LONG_PRESS_MS, 2 lifted, 3 taken away.
EMSCRIPTEN_KEEPALIVE void WebTouch(int what, int x, int y) {
    constexpr CommandKind KINDS[] = {COMMAND_TOUCH_DOWN, COMMAND_TOUCH_HELD, COMMAND_TOUCH_UP, COMMAND_TOUCH_CANCEL};
    if (!Started || Ended || what < 0 || what > 3) return;
    if (what == 0 && (x < 0 || y < 0 || x >= FIELD || y >= FIELD)) return;
    OnCommand(Command{KINDS[what], 0, x, y});
}

EMSCRIPTEN_KEEPALIVE int WebLongPressMs() { return static_cast<int>(LONG_PRESS_MS); }

// A button beside the status line, by its place in the row.
EMSCRIPTEN_KEEPALIVE void WebButton(int index) {
    if (Reachable()) OnCommand(Command{COMMAND_BUTTON, index, 0, 0});
}

// Tests walk the page's own menus and buttons with the game only counting
// what reaches it; at the walk's end tarno.commandsMissed names what never
// did ("" when all did).
EMSCRIPTEN_KEEPALIVE void WebProbeCommands(int on) {
    if (!on) EM_ASM({ window.tarno.commandsMissed = UTF8ToString($0); }, CommandsMissed());
    SetCommandProbe(on != 0);
}

// The field's scale in an area of width by height device pixels, by the
// rule every front end shares: whole when it is a whole number.
EMSCRIPTEN_KEEPALIVE double WebFieldScale(int width, int height) { return PlaceField(width, height, FIELD).scale; }

// The page's address after '#' names a level: a shared code, the daily
// level, a new one. The game reads it; the page only hands it over.
EMSCRIPTEN_KEEPALIVE void WebLink() {
    if (!Started || Ended || QuitRequested) return;
    char fragment[640] = {};
    EM_ASM({ stringToUTF8(Module.tarnoPage.linkFragment(), $0, $1); }, fragment, static_cast<int>(sizeof fragment));
    // A link that plays nothing has been told once; gone from the address, a
    // reload plays on instead of telling it again.
    if (fragment[0] && !StartFromLink(fragment)) EM_ASM({ Module.tarnoPage.forgetLink(); });
}

// Another tab stored its records: take them in.
EMSCRIPTEN_KEEPALIVE void WebRecordsChanged() {
    if (Started && !Ended) RefreshRecords();
}

EMSCRIPTEN_KEEPALIVE void WebMenu(int id) {
    if (Reachable()) OnCommand(Command{COMMAND_MENU, id, 0, 0});
}

// Frames by hand: paused, the display no longer runs them and Step runs n
// at once, so a script of key events plays the same on every machine.
// The clock then moves with the frames, as on the headless platform: 1000/60
// ms a frame, 1 ms a turn of a busy wait, and it goes on from there on resume.
EMSCRIPTEN_KEEPALIVE void WebSetPaused(int paused) {
    if ((paused != 0) == Paused) return;
    if (paused) {
        PausedClockMs = PlatformTicks();
        SteppedFrames = 0;
    } else {
        ClockOffsetMs = PlatformTicks() - emscripten_get_now();
    }
    Paused = paused != 0;
}

EMSCRIPTEN_KEEPALIVE int WebStep(int frames) {
    int run = 0;
    for (; run < frames && Started && !QuitRequested && !Ended; ++run) {
        RunOneFrame();
        PumpComforts(static_cast<uint32_t>(PUMP_MS));
    }
    if (QuitRequested && !Ended) End();
    return run;
}

}  // extern "C"

// ---- Display and clock ----------------------------------------------------

int PlatformInitDisplay(int32_t, int32_t, int32_t) { return 1; }
void PlatformShutdownDisplay() {}

// The animation frame has already waited for this frame's slot.
void PlatformWaitFrame() {
    if (Paused) ++SteppedFrames;
}

namespace {

// A row's pixels from the game's blue, green, red, unused to the canvas's
// red, green, blue, alpha, into `out`, which holds them as the canvas has
// them; false, and `out` untouched, when they have not changed. Most have
// not: a read of both is all they cost.
bool ConvertRow(const uint32_t* in, uint32_t* out, int cols) {
    int x = 0;
    uint32_t differ = 0;
#ifdef __wasm_simd128__
    // Four pixels at a time: a byte shuffle swaps red and blue.
    const v128_t alpha = wasm_i32x4_splat(static_cast<int32_t>(0xFF000000u));
    const auto convert = [alpha](const uint32_t* at) {
        const v128_t p = wasm_v128_load(at);
        return wasm_v128_or(wasm_i8x16_shuffle(p, p, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15), alpha);
    };
    v128_t d = wasm_i32x4_splat(0);
    for (; x + 4 <= cols; x += 4) d = wasm_v128_or(d, wasm_v128_xor(convert(in + x), wasm_v128_load(out + x)));
    differ = wasm_v128_any_true(d);
#endif
    const auto rgba = [](uint32_t p) {
        return 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
    };
    for (int k = x; k < cols; ++k) differ |= rgba(in[k]) ^ out[k];
    if (!differ) return false;
    x = 0;
#ifdef __wasm_simd128__
    for (; x + 4 <= cols; x += 4) wasm_v128_store(out + x, convert(in + x));
#endif
    for (; x < cols; ++x) out[x] = rgba(in[x]);
    return true;
}

}  // namespace

void PlatformPresent(Surface* back, const FieldTiles& drawn) {
    int32_t pitch = 0;
    const uint8_t* src = reinterpret_cast<const uint8_t*>(PlatformLockSurface(back, &pitch));
    if (!src) return;
    const SurfaceSize size = PlatformSurfaceSize(back);
    const int rows = size.height < FIELD ? size.height : FIELD;
    const int cols = size.width < FIELD ? size.width : FIELD;
    // The rows that differ from the frame before are all the canvas is given.
    // Only the tiles drawn since are compared: the rest is as the canvas has it.
    int first = Presented ? rows : 0, last = Presented ? -1 : rows - 1;
    for (int y = 0; y < rows; ++y) {
        const uint32_t tiles = Presented ? drawn.rows[y / FIELD_TILE] : ~0u;
        if (!tiles) continue;
        const uint32_t* in = reinterpret_cast<const uint32_t*>(src + static_cast<size_t>(y) * pitch);
        uint32_t* out = Rgba + static_cast<size_t>(y) * FIELD;
        bool changed = false;
        for (int32_t x = 0, end = 0; NextTileRun(tiles, &x, &end); x = end) {
            const int left = x * FIELD_TILE, right = end * FIELD_TILE < cols ? end * FIELD_TILE : cols;
            if (left < right && ConvertRow(in + left, out + left, right - left)) changed = true;
        }
        if (!changed) continue;
        first = y < first ? y : first;
        last = y;
    }
    PlatformUnlockSurface(back);
    // A frame like the one before (a resting board) leaves the canvas as it is.
    if (first <= last) EM_ASM({ Module.tarnoPage.present($0, $1, $2); }, Rgba, first, last + 1 - first);
    Presented = true;
}

uint32_t PlatformTicks() {
    if (Paused) return static_cast<uint32_t>(PausedClockMs + SteppedFrames * 1000 / 60);
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() + ClockOffsetMs));
}

void PlatformIdle() {
    if (Paused) PausedClockMs += 1;
}

// ---- Sound: Web Audio, in the page -----------------------------------------

struct SoundBuffer {
    int id;
};

namespace {
constexpr int MAX_BUFFERS = 64;
SoundBuffer Buffers[MAX_BUFFERS];
bool SoundOpen = false;
}  // namespace

int PlatformInitSoundDevice() {
    SoundOpen = SoundOpen || EM_ASM_INT({ return Module.tarnoPage.openSound(); });
    return SoundOpen ? 1 : 0;
}

void PlatformShutdownSoundDevice() {
    if (!SoundOpen) return;
    for (SoundBuffer& b : Buffers)
        if (b.id) PlatformReleaseSoundBuffer(&b);
    EM_ASM({ Module.tarnoPage.closeSound(); });
    SoundOpen = false;
}

SoundBuffer* PlatformCreateSoundBuffer(const uint8_t* samples, uint32_t size) {
    if (!SoundOpen || (!samples && size)) return nullptr;
    for (int i = 0; i < MAX_BUFFERS; ++i) {
        if (Buffers[i].id) continue;
        if (!EM_ASM_INT({ return Module.tarnoPage.createSound($0, HEAPU8.subarray($1, $1 + $2)); }, i + 1, samples,
                        size))
            return nullptr;
        Buffers[i].id = i + 1;
        return &Buffers[i];
    }
    return nullptr;
}

void PlatformReleaseSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !buffer->id) return;
    EM_ASM({ Module.tarnoPage.releaseSound($0); }, buffer->id);
    buffer->id = 0;
}

int PlatformPlaySoundBuffer(SoundBuffer* buffer, bool loop) {
    if (!buffer || !buffer->id) return 0;
    if (!EM_ASM_INT({ return Module.tarnoPage.rewindSound($0); }, buffer->id)) return 0;
    return EM_ASM_INT({ return Module.tarnoPage.playSound($0, $1); }, buffer->id, loop ? 1 : 0);
}

int PlatformStopSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !buffer->id) return 0;
    const int stopped = EM_ASM_INT({ return Module.tarnoPage.stopSound($0); }, buffer->id);
    EM_ASM({ Module.tarnoPage.rewindSound($0); }, buffer->id);
    return stopped;
}

// ---- Keyboard and mouse ---------------------------------------------------

int PlatformInitKeyboard() {
    ClearKeys();
    return 1;
}

int PlatformReadKeyboard(uint8_t state[256]) {
    std::memcpy(state, Keys, sizeof Keys);
    return 1;
}

void PlatformReleaseKeyboard() {}

bool PlatformKeyDownNow(int32_t virtualKey) {
    if (virtualKey == 0x1B) return Keys[0x01] != 0;
    if (virtualKey == 0x0D) return Keys[0x1C] != 0 || Keys[0x9C] != 0;
    return false;
}

// ---- Window, menu, messages -----------------------------------------------

// The page's dialog cannot hold the frame that asks for it: it opens, and
// no further frame runs until it is closed.
void PlatformShowMessage(const char* text) {
    ClearKeys();
    EM_ASM({ Module.tarnoPage.showMessage(UTF8ToString($0)); }, text ? text : "");
}

// The records as the shell lays them out, a cell at a time.
static void ShowRecords() {
    EM_ASM({ Module.tarnoPage.clearRecords(); });
    char cell[256];
    for (int row = 0; RecordsCell(row, 0, cell, sizeof cell); ++row)
        for (int column = 0; RecordsCell(row, column, cell, sizeof cell); ++column)
            EM_ASM({ Module.tarnoPage.addRecordsCell($0, UTF8ToString($1)); }, column, cell);
    EM_ASM({ Module.tarnoPage.showRecords(); });
}

void PlatformShowPanel(int32_t panel) {
    ClearKeys();
    if (panel == PANEL_ABOUT) EM_ASM({ Module.tarnoPage.showAbout(); });
    else if (panel == PANEL_HOW_TO_PLAY) EM_ASM({ Module.tarnoPage.showHowToPlay(); });
    else if (panel == PANEL_RECORDS) ShowRecords();
}

void PlatformMarkMenuItem(int32_t commandId, MenuMark mark) {
    if (mark == MENU_ENABLE) EM_ASM({ Module.tarnoPage.enableMenuItem($0); }, commandId);
    else EM_ASM({ Module.tarnoPage.checkMenuItem($0, $1); }, commandId, mark == MENU_CHECK ? 1 : 0);
}

// The browser's own prompt: it holds the frame until answered.
bool PlatformAskText(const char* prompt, char* buf, int32_t size) {
    if (!buf || size <= 0) return false;
    ClearKeys();
    return EM_ASM_INT(
               {
                   const answer = Module.tarnoPage.askText(UTF8ToString($0));
                   if (answer == null) return 0;  // null: cancelled
                   stringToUTF8(answer, $1, $2);
                   return 1;
               },
               prompt ? prompt : "", buf, size) != 0;
}

void PlatformCopyText(const char* text) {
    EM_ASM({ Module.tarnoPage.copyText(UTF8ToString($0)); }, text ? text : "");
}

void PlatformRequestQuit() { QuitRequested = true; }

// "Share this level": the page makes the link from the board's code.
bool PlatformShareLevel(const char* code) {
    EM_ASM({ Module.tarnoPage.shareLevel(UTF8ToString($0)); }, code);
    return true;
}

void PlatformBeep() {}

// The browser's file chooser cannot hold the frame: it opens, and the level
// it gives is played before a later frame (WebOpenLevel).
bool PlatformChooseLevelFile(char* path, int32_t size) {
    (void)path;
    (void)size;
    EM_ASM({ Module.tarnoPage.chooseLevelFile(); });
    return false;
}

// ---- Small named values: one localStorage key each ---------------------------
// localStorage keeps only text, so bytes are kept as their numbers in
// decimal, separated by commas: the saved level is "5".

namespace {

// Room for the numbers of the longest value of bytes we keep.
constexpr int32_t NUMBERS_MAX = 4 * 1024;

// The stored text's bytes into buf: 1 when they fit, 0 when absent, -1 when longer.
int ReadStoredText(const char* name, char* buf, int32_t size, int32_t* length) {
    return EM_ASM_INT(
        {
            const text = Module.tarnoPage.readSetting(UTF8ToString($0));
            if (text == null) return 0;
            const bytes = new TextEncoder().encode(text);
            if (bytes.length > $2) return -1;
            HEAPU8.set(bytes, $1);
            HEAP32[$3 >> 2] = bytes.length;
            return 1;
        },
        name, buf, size, length);
}

// Null text: set what is stored aside.
const char* WriteStoredText(const char* name, const char* text, int32_t length) {
    if (EM_ASM_INT({ return Module.tarnoPage.writeSetting(UTF8ToString($0), $1 ? UTF8ToString($1, $2) : null); }, name,
                   text, length))
        return nullptr;
    return "localStorage: the browser refused to store it";
}

}  // namespace

int PlatformReadSetting(const char* name, SettingKind kind, void* buf, int32_t size, int32_t* length) {
    if (!name || !buf || size < 0 || !length) return 0;
    if (kind == SETTING_TEXT) return ReadStoredText(name, static_cast<char*>(buf), size, length);
    static char numbers[NUMBERS_MAX + 1];
    int32_t used = 0;
    const int got = ReadStoredText(name, numbers, NUMBERS_MAX, &used);
    if (got != 1) return got;
    numbers[used] = '\0';
    *length = 0;
    if (!numbers[0]) return 1;
    // Each number is 0 to 255, in one to three digits.
    uint8_t* out = static_cast<uint8_t*>(buf);
    int32_t count = 0;
    for (const char* at = numbers;; ++at) {
        int digits = 0, n = 0;
        for (; digits < 3 && *at >= '0' && *at <= '9'; ++digits, ++at) n = n * 10 + (*at - '0');
        if (!digits || n > 255 || count >= size) return -1;
        out[count++] = static_cast<uint8_t>(n);
        if (!*at) break;
        if (*at != ',') return -1;
    }
    *length = count;
    return 1;
}

const char* PlatformWriteSetting(const char* name, SettingKind kind, const void* bytes, int32_t length) {
    const int32_t size = length > 0 ? length : 0;
    if (!bytes || kind == SETTING_TEXT) return WriteStoredText(name, static_cast<const char*>(bytes), size);
    static char numbers[NUMBERS_MAX + 1];
    int32_t used = 0;
    for (int32_t i = 0; i < size; ++i) {
        if (used + 4 > NUMBERS_MAX) return "localStorage: too long to store";
        used += std::snprintf(numbers + used, sizeof numbers - used, i ? ",%d" : "%d",
                              static_cast<const uint8_t*>(bytes)[i]);
    }
    return WriteStoredText(name, numbers, used);
}

// One page runs at a time, and a read, merge and write of a value all
// happen in one turn of it: no other tab runs in between.
void PlatformLockSetting(const char*) {}
void PlatformUnlockSetting(const char*) {}

namespace {

// The menus, the buttons and the panels' words, from the tables every front end shares.
void BuildPage() {
    for (const MenuEntry& e : MENU_TABLE)
        EM_ASM({ Module.tarnoPage.addMenuEntry($0, $1, UTF8ToString($2), $3, $4 ? UTF8ToString($4) : "", $5); },
               e.depth, e.id, e.text, e.grayed ? 1 : 0, e.key, e.radio ? 1 : 0);
    for (const HowToLine& line : HOW_TO_PLAY_LINES) {
        const SheetSpot picture = SheetCellSpot(line.picture), over = SheetCellSpot(line.over);
        EM_ASM(
            {
                Module.tarnoPage.addHowToLine(UTF8ToString($0), $1 ? [ $2, $3, $4 ] : null, $5 ? [ $6, $7, $4 ] : null,
                                              $8, $9);
            },
            line.text, line.picture != NO_PICTURE, picture.x, picture.y, picture.side, line.over != NO_PICTURE, over.x,
            over.y, line.glow ? 1 : 0, static_cast<int>(line.screen));
    }
    for (int i = 0; i < static_cast<int>(sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0]); ++i)
        EM_ASM({ Module.tarnoPage.addButton(UTF8ToString($0), $1); }, COMFORT_BUTTONS[i].text, i);
    for (const AboutLine& line : ABOUT_LINES) {
        // The version number is its own control in the table; one line reads better.
        if (std::strcmp(line.text, TEXT_VERSION) == 0) continue;
        const char* text = std::strcmp(line.text, "Version ") == 0 ? "Version " TEXT_VERSION : line.text;
        EM_ASM({ Module.tarnoPage.addAboutLine($0, $1, UTF8ToString($2)); }, line.x, line.y, text);
    }
}

// The game starts in steps, each a task of its own, so that the page stays
// free to paint and to answer between them: the menus, the field's place,
// the saved level, memory made ready, the devices, the sounds, the pictures,
// the first level, then the frames. From the saved level on they are what
// StartGame does.
enum StartStep {
    BUILD_PAGE,
    PLACE_FIELD,
    READ_SAVED,
    WARM_MEMORY,
    OPEN_DEVICES,
    LOAD_SOUNDS,
    LOAD_PICTURES,
    FIRST_LEVEL
};
StartStep Step = BUILD_PAGE;

// Memory is slow to touch the first time, as the system maps it in page by
// page: the canvas's copy of the picture and the room the game's start-up
// takes are touched ahead, a slice a step. Freed, the room is what the
// start-up's allocations get.
constexpr size_t WARM_SLICE = size_t{1} << 20;
constexpr size_t WARM_ROOM = size_t{3} << 20;  // a little more than the next steps take
uint8_t* WarmRoom = nullptr;
size_t Warmed = 0;

// True once all of it is touched.
bool WarmMemory() {
    uint8_t* picture = reinterpret_cast<uint8_t*>(Rgba);
    if (Warmed < sizeof Rgba) {
        const size_t n = sizeof Rgba - Warmed < WARM_SLICE ? sizeof Rgba - Warmed : WARM_SLICE;
        std::memset(picture + Warmed, 0, n);
        Warmed += n;
        return false;
    }
    if (!WarmRoom) WarmRoom = static_cast<uint8_t*>(std::malloc(WARM_ROOM));
    const size_t at = Warmed - sizeof Rgba;
    if (WarmRoom && at < WARM_ROOM) {
        const size_t n = WARM_ROOM - at < WARM_SLICE ? WARM_ROOM - at : WARM_SLICE;
        std::memset(WarmRoom + at, 0, n);
        Warmed += n;
        return false;
    }
    std::free(WarmRoom);
    WarmRoom = nullptr;
    return true;
}

void StartNext(void*) {
    switch (Step) {
    case BUILD_PAGE:
        BuildPage();
        Step = PLACE_FIELD;
        break;
    case PLACE_FIELD:
        EM_ASM({ Module.tarnoPage.ready(); });
        Step = READ_SAVED;
        break;
    case READ_SAVED:
        OnCreate();
        SetTapWords(EM_ASM_INT({ return Module.tarnoPage.touchFirst(); }) != 0);
        Step = WARM_MEMORY;
        break;
    case WARM_MEMORY:
        if (WarmMemory()) Step = OPEN_DEVICES;
        break;
    case OPEN_DEVICES:
        InitDevices();
        Step = LOAD_SOUNDS;
        break;
    case LOAD_SOUNDS:
        LoadSounds();
        Step = LOAD_PICTURES;
        break;
    case LOAD_PICTURES:
        LoadPictures();
        Step = FIRST_LEVEL;
        break;
    case FIRST_LEVEL:
        if (DisplayReady) StartShellLevel();
        Started = true;
        WebLink();
        emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
        return;
    }
    emscripten_async_call(StartNext, nullptr, 0);
}

}  // namespace

int main() {
    emscripten_async_call(StartNext, nullptr, 0);
    return 0;
}
