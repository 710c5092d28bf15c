// Controls of the headless platform for tests and tools: scripted keys,
// a virtual clock, and what the game showed, played and stored.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct HeadlessSoundEvent {
    const SoundBuffer* buffer;
    enum Kind { PLAY, STOP, REWIND } kind;
    uint64_t frame;  // HeadlessFrame() when it happened
};

// Puts the platform back to its start: no keys, clock at 0, nothing logged,
// no value stored, every menu item grayed, devices available.
void HeadlessReset();

// Keys: scan-code state for PlatformReadKeyboard and virtual keys for PlatformKeyDownNow.
void HeadlessSetKey(int scanCode, bool down);
void HeadlessSetVirtualKey(int32_t virtualKey, bool down);
void HeadlessReleaseAllKeys();
// Device failures, to test the paths without a keyboard or sound device.
void HeadlessSetKeyboardAvailable(bool available);
void HeadlessSetSoundAvailable(bool available);

// The virtual clock: each PlatformWaitFrame advances it by 1000/60 ms
// (exactly, without drift) and counts a frame.
uint32_t HeadlessTicks();
void HeadlessAdvanceClock(uint32_t ms);
uint64_t HeadlessFrame();

// Message boxes are answered at once; their texts are kept here.
std::vector<std::string>& HeadlessMessages();
int HeadlessAboutShown();
bool HeadlessQuitRequested();
int HeadlessBeeps();
bool HeadlessMenuEnabled(int32_t commandId);
bool HeadlessMenuChecked(int32_t commandId);
int HeadlessHowToPlayShown();
int HeadlessRecordsShown();
// The file the next "Open level" picks.
void HeadlessSetChosenFile(const char* path);
// What the level-code dialog answers next (null: it is cancelled), and what
// was last put on the clipboard.
void HeadlessSetTextAnswer(const char* text);
const std::string& HeadlessCopiedText();

// Sounds: every play, stop and rewind, in order.
std::vector<HeadlessSoundEvent>& HeadlessSoundLog();
// The samples a buffer holds.
const std::vector<uint8_t>& HeadlessSoundSamples(const SoundBuffer* buffer);
int HeadlessLiveSoundBuffers();

// Small named values ("level", "records", "sound") as their bytes: absent
// until written or set. Setting one aside moves it to the first free of the
// name with ".bad", ".bad.1" ... added. Locks are counted: held ones show.
bool HeadlessSetting(const char* name, std::string* bytes);
void HeadlessSetSetting(const char* name, const std::string& bytes);
// Makes every write of the named value fail with this reason (null: writes
// work again), and counts the writes tried.
void HeadlessSetSettingError(const char* name, const char* why);
int HeadlessSettingWrites(const char* name);
int HeadlessSettingLocks();

// The last presented frame (null before the first).
Surface* HeadlessPresented();
// The tiles that frame said were drawn since the one before.
const FieldTiles& HeadlessPresentedTiles();
// Writes a surface as a 24-bit bottom-up BMP; 1 on success.
int HeadlessWriteBmp(Surface* surface, const char* fileName);
