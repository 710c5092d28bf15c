// The platform for tests and tools: no window, no devices. Keys are
// scripted, the clock is virtual, and everything the game shows, plays and
// stores is kept in memory for the caller to inspect. Surfaces come from the
// software blitter (platform/soft).
#include "platform/headless/headless.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "platform/files/files.h"

struct SoundBuffer {
    std::vector<uint8_t> samples;
    uint32_t position;
    bool playing;
    bool looping;
};

namespace {

struct HeadlessState {
    uint8_t scanKeys[256];
    uint8_t virtualKeys[256];
    bool keyboardAvailable;
    bool soundAvailable;
    bool keyboardOpen;
    bool soundOpen;
    uint64_t frames;
    uint64_t extraMs;  // added by HeadlessAdvanceClock and PlatformIdle
    std::vector<std::string> messages;
    int aboutShown;
    bool quitRequested;
    int beeps;
    std::set<int32_t> enabledMenu;
    std::set<int32_t> checkedMenu;
    int howToPlayShown;
    int recordsShown;
    std::string chosenFile;
    std::string textAnswer, copied;
    bool haveTextAnswer = false;
    std::vector<HeadlessSoundEvent> soundLog;
    std::map<std::string, std::string> settings;
    std::map<std::string, std::string> settingErrors;
    std::map<std::string, int> settingWrites;
    int settingLocks = 0;
    Surface* presented;
    FieldTiles presentedTiles;
};

HeadlessState& State() {
    static HeadlessState state = [] {
        HeadlessState s{};
        s.keyboardAvailable = true;
        s.soundAvailable = true;
        return s;
    }();
    return state;
}

// Every sound buffer alive, so a test can see what leaked.
std::set<const SoundBuffer*>& LiveBuffers() {
    static std::set<const SoundBuffer*> live;
    return live;
}

void LogSound(const SoundBuffer* buffer, HeadlessSoundEvent::Kind kind) {
    State().soundLog.push_back(HeadlessSoundEvent{buffer, kind, State().frames});
}

void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v) {
    PutLe16(p, v & 0xFFFF);
    PutLe16(p + 2, v >> 16);
}

}  // namespace

// ---- Controls -------------------------------------------------------------

void HeadlessReset() {
    HeadlessState& s = State();
    std::memset(s.scanKeys, 0, sizeof s.scanKeys);
    std::memset(s.virtualKeys, 0, sizeof s.virtualKeys);
    // Devices the game opened stay open: its own layers still hold them.
    s.keyboardAvailable = true;
    s.soundAvailable = true;
    s.frames = 0;
    s.extraMs = 0;
    s.messages.clear();
    s.aboutShown = 0;
    s.quitRequested = false;
    s.beeps = 0;
    s.enabledMenu.clear();
    s.soundLog.clear();
    s.settings.clear();
    s.settingErrors.clear();
    s.settingWrites.clear();
    s.settingLocks = 0;
    s.presented = nullptr;
    s.presentedTiles = FieldTiles{};
}

void HeadlessSetKey(int scanCode, bool down) {
    if (scanCode >= 0 && scanCode < 256) State().scanKeys[scanCode] = down ? 0x80 : 0;
}

void HeadlessSetVirtualKey(int32_t virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) State().virtualKeys[virtualKey] = down ? 0x80 : 0;
}

void HeadlessReleaseAllKeys() {
    std::memset(State().scanKeys, 0, sizeof State().scanKeys);
    std::memset(State().virtualKeys, 0, sizeof State().virtualKeys);
}

void HeadlessSetKeyboardAvailable(bool available) { State().keyboardAvailable = available; }

void HeadlessSetSoundAvailable(bool available) { State().soundAvailable = available; }

uint32_t HeadlessTicks() { return PlatformTicks(); }

void HeadlessAdvanceClock(uint32_t ms) { State().extraMs += ms; }

uint64_t HeadlessFrame() { return State().frames; }

std::vector<std::string>& HeadlessMessages() { return State().messages; }

int HeadlessAboutShown() { return State().aboutShown; }

bool HeadlessQuitRequested() { return State().quitRequested; }

int HeadlessBeeps() { return State().beeps; }

bool HeadlessMenuEnabled(int32_t commandId) { return State().enabledMenu.count(commandId) != 0; }

std::vector<HeadlessSoundEvent>& HeadlessSoundLog() { return State().soundLog; }

const std::vector<uint8_t>& HeadlessSoundSamples(const SoundBuffer* buffer) {
    static const std::vector<uint8_t> none;
    if (!buffer || !LiveBuffers().count(buffer)) return none;
    return buffer->samples;
}

int HeadlessLiveSoundBuffers() { return static_cast<int>(LiveBuffers().size()); }

Surface* HeadlessPresented() { return State().presented; }

const FieldTiles& HeadlessPresentedTiles() { return State().presentedTiles; }

int HeadlessWriteBmp(Surface* surface, const char* fileName) {
    if (!surface || !fileName) return 0;
    const SurfaceSize size = PlatformSurfaceSize(surface);
    const int32_t w = size.width, h = size.height;
    int32_t pitch = 0;
    const uint32_t* pixels = PlatformLockSurface(surface, &pitch);
    if (!pixels || w <= 0 || h <= 0) {
        PlatformUnlockSurface(surface);
        return 0;
    }
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);
    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutLe32(header + 2, 54 + imageBytes);
    PutLe32(header + 10, 54);
    PutLe32(header + 14, 40);
    PutLe32(header + 18, static_cast<uint32_t>(w));
    PutLe32(header + 22, static_cast<uint32_t>(h));
    PutLe16(header + 26, 1);
    PutLe16(header + 28, 24);
    PutLe32(header + 34, imageBytes);

    FILE* f = std::fopen(fileName, "wb");
    if (!f) {
        PlatformUnlockSurface(surface);
        return 0;
    }
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t y = h - 1; y >= 0 && ok; --y) {
        const uint32_t* src = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch / 4);
        for (int32_t x = 0; x < w; ++x) {
            row[x * 3 + 0] = static_cast<uint8_t>(src[x]);
            row[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
        ok = std::fwrite(row.data(), 1, rowBytes, f) == rowBytes;
    }
    PlatformUnlockSurface(surface);
    if (std::fclose(f) != 0) ok = false;
    return ok ? 1 : 0;
}

// ---- Display and clock ----------------------------------------------------

int PlatformInitDisplay(int32_t, int32_t, int32_t) { return 1; }

void PlatformShutdownDisplay() { State().presented = nullptr; }

void PlatformWaitFrame() { ++State().frames; }

void PlatformPresent(Surface* back, const FieldTiles& drawn) {
    State().presented = back;
    State().presentedTiles = drawn;
}

// Frame n starts at floor(n * 1000 / 60) ms, so sixty frames are exactly one
// second however many have passed.
uint32_t PlatformTicks() {
    const HeadlessState& s = State();
    return static_cast<uint32_t>(s.frames * 1000 / 60 + s.extraMs);
}

void PlatformIdle() { ++State().extraMs; }

// ---- Sound ----------------------------------------------------------------

int PlatformInitSoundDevice() {
    State().soundOpen = State().soundAvailable;
    return State().soundOpen ? 1 : 0;
}

void PlatformShutdownSoundDevice() { State().soundOpen = false; }

SoundBuffer* PlatformCreateSoundBuffer(const uint8_t* samples, uint32_t size) {
    if (!State().soundOpen || (!samples && size)) return nullptr;
    SoundBuffer* b = new SoundBuffer{std::vector<uint8_t>(samples, samples + size), 0, false, false};
    LiveBuffers().insert(b);
    return b;
}

void PlatformReleaseSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !LiveBuffers().erase(buffer)) return;
    delete buffer;
}

// Every play rewinds first and every stop rewinds after; the log shows both.
int PlatformPlaySoundBuffer(SoundBuffer* buffer, bool loop) {
    if (!buffer || !LiveBuffers().count(buffer)) return 0;
    buffer->position = 0;
    LogSound(buffer, HeadlessSoundEvent::REWIND);
    buffer->playing = true;
    buffer->looping = loop;
    LogSound(buffer, HeadlessSoundEvent::PLAY);
    return 1;
}

int PlatformStopSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !LiveBuffers().count(buffer)) return 0;
    buffer->playing = false;
    LogSound(buffer, HeadlessSoundEvent::STOP);
    buffer->position = 0;
    LogSound(buffer, HeadlessSoundEvent::REWIND);
    return 1;
}

// ---- Keyboard and mouse ---------------------------------------------------

int PlatformInitKeyboard() {
    State().keyboardOpen = State().keyboardAvailable;
    return State().keyboardOpen ? 1 : 0;
}

// A keyboard taken away after it was opened fails its reads, as a lost
// device does.
int PlatformReadKeyboard(uint8_t state[256]) {
    if (!State().keyboardOpen || !State().keyboardAvailable || !state) return 0;
    std::memcpy(state, State().scanKeys, 256);
    return 1;
}

void PlatformReleaseKeyboard() { State().keyboardOpen = false; }

bool PlatformKeyDownNow(int32_t virtualKey) {
    return virtualKey >= 0 && virtualKey < 256 && State().virtualKeys[virtualKey] != 0;
}

// ---- Window, menu, messages -----------------------------------------------

void PlatformShowMessage(const char* text) { State().messages.emplace_back(text ? text : ""); }

void PlatformShowPanel(int32_t panel) {
    if (panel == PANEL_ABOUT) ++State().aboutShown;
    else if (panel == PANEL_HOW_TO_PLAY) ++State().howToPlayShown;
    else if (panel == PANEL_RECORDS) ++State().recordsShown;
}

void PlatformMarkMenuItem(int32_t commandId, MenuMark mark) {
    if (mark == MENU_ENABLE) State().enabledMenu.insert(commandId);
    else if (mark == MENU_CHECK) State().checkedMenu.insert(commandId);
    else State().checkedMenu.erase(commandId);
}

// The file a test has chosen beforehand; none is picked once it is taken.
bool PlatformChooseLevelFile(char* path, int32_t size) {
    std::string& chosen = State().chosenFile;
    if (chosen.empty() || size <= 0 || chosen.size() >= static_cast<size_t>(size)) return false;
    std::memcpy(path, chosen.c_str(), chosen.size() + 1);
    chosen.clear();
    return true;
}

bool HeadlessMenuChecked(int32_t commandId) { return State().checkedMenu.count(commandId) != 0; }
int HeadlessHowToPlayShown() { return State().howToPlayShown; }
int HeadlessRecordsShown() { return State().recordsShown; }
void HeadlessSetChosenFile(const char* path) { State().chosenFile = path ? path : ""; }

// The answer a test has set beforehand, taken once; without one the dialog is cancelled.
bool PlatformAskText(const char*, char* buf, int32_t size) {
    HeadlessState& s = State();
    if (!s.haveTextAnswer || size <= 0) return false;
    s.haveTextAnswer = false;
    std::snprintf(buf, static_cast<size_t>(size), "%s", s.textAnswer.c_str());
    return true;
}

void PlatformCopyText(const char* text) { State().copied = text ? text : ""; }

// As the desktops: the shell copies the command line.
bool PlatformShareLevel(const char*) { return false; }

void HeadlessSetTextAnswer(const char* text) {
    State().haveTextAnswer = text != nullptr;
    State().textAnswer = text ? text : "";
}
const std::string& HeadlessCopiedText() { return State().copied; }

void PlatformRequestQuit() { State().quitRequested = true; }

void PlatformBeep() { ++State().beeps; }

// ---- Small named values: in memory ----------------------------------------

int PlatformReadSetting(const char* name, SettingKind, void* buf, int32_t size, int32_t* length) {
    const auto found = State().settings.find(name ? name : "");
    if (found == State().settings.end() || !buf || size < 0 || !length) return 0;
    if (found->second.size() > static_cast<size_t>(size)) return -1;
    std::memcpy(buf, found->second.data(), found->second.size());
    *length = static_cast<int32_t>(found->second.size());
    return 1;
}

const char* PlatformWriteSetting(const char* name, SettingKind, const void* bytes, int32_t length) {
    HeadlessState& s = State();
    const std::string key = name ? name : "";
    ++s.settingWrites[key];
    const auto error = s.settingErrors.find(key);
    if (error != s.settingErrors.end()) return error->second.c_str();
    if (bytes) s.settings[key].assign(static_cast<const char*>(bytes), length > 0 ? static_cast<size_t>(length) : 0);
    else if (s.settings.count(key)) {
        // The first free set-aside name; when none is, the oldest goes.
        auto aside = [&key](int slot) { return key + ".bad" + (slot ? "." + std::to_string(slot) : ""); };
        int slot = 0;
        while (slot < MAX_SET_ASIDES && s.settings.count(aside(slot))) ++slot;
        if (slot == MAX_SET_ASIDES) {
            for (slot = 1; slot < MAX_SET_ASIDES; ++slot) s.settings[aside(slot - 1)] = s.settings[aside(slot)];
            slot = MAX_SET_ASIDES - 1;
        }
        s.settings[aside(slot)] = s.settings[key];
        s.settings.erase(key);
    }
    return nullptr;
}

void PlatformLockSetting(const char*) { ++State().settingLocks; }
void PlatformUnlockSetting(const char*) { --State().settingLocks; }
int HeadlessSettingLocks() { return State().settingLocks; }

bool HeadlessSetting(const char* name, std::string* bytes) {
    const auto found = State().settings.find(name);
    if (found == State().settings.end()) return false;
    if (bytes) *bytes = found->second;
    return true;
}

void HeadlessSetSetting(const char* name, const std::string& bytes) { State().settings[name] = bytes; }

void HeadlessSetSettingError(const char* name, const char* why) {
    if (why) State().settingErrors[name] = why;
    else State().settingErrors.erase(name);
}

int HeadlessSettingWrites(const char* name) {
    const auto found = State().settingWrites.find(name);
    return found == State().settingWrites.end() ? 0 : found->second;
}
