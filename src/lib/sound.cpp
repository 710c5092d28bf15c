// Sound effects: 64 slots, each one whole WAV in a platform buffer. Files are
// read whole and parsed from memory; the samples go to the platform as
// unsigned 8-bit mono at 11025 Hz whatever the file says.
#include "lib/sound.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/files.h"

SoundSlot SoundTable[MAX_SOUNDS];

namespace {

struct SoundDevice {
    bool SoundFirstCall = true;
    bool SoundDeviceReady;
};
SoundDevice Device;
// The largest WAV read; the game's effects are a few kilobytes.
constexpr size_t MAX_WAV_SIZE = 64u << 20;
constexpr uint32_t FORMAT_BYTES = 18;
constexpr uint16_t WAVE_FORMAT_PCM = 1;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// Finds the chunk `id` from `pos` on, before `end`; chunks are word aligned.
// Returns the offset of its header, or -1.
int64_t FindChunk(const uint8_t* file, uint64_t pos, uint64_t end, const char* id) {
    while (pos + 8 <= end) {
        if (IsId(file + pos, id)) return static_cast<int64_t>(pos);
        const uint64_t size = Le32(file + pos + 4);
        pos += 8 + size + (size & 1);
    }
    return -1;
}

SoundSlot* SlotWithBuffer(int32_t id) {
    if (id < 0 || id >= MAX_SOUNDS || !SoundTable[id].buffer) return nullptr;
    return &SoundTable[id];
}

void ClearSlot(int32_t i) { SoundTable[i] = SoundSlot{nullptr, SOUND_FREE, 0, 0, i}; }

}  // namespace

int ParseWav(const uint8_t* file, uint32_t fileSize, WavData* out) {
    if (!file || !out || fileSize < 12) return 0;
    if (!IsId(file, "RIFF") || !IsId(file + 8, "WAVE")) return 0;
    // Chunks are searched inside the form, and never past the file.
    uint64_t end = 8 + static_cast<uint64_t>(Le32(file + 4));
    if (end > fileSize) end = fileSize;

    const int64_t fmt = FindChunk(file, 12, end, "fmt ");
    if (fmt < 0) return 0;
    // The format is read whole even from a 16-byte chunk, as long as the file
    // goes on far enough.
    const uint64_t fmtData = static_cast<uint64_t>(fmt) + 8;
    if (fmtData + FORMAT_BYTES > fileSize) return 0;
    const uint16_t tag = Le16(file + fmtData);
    if (tag != WAVE_FORMAT_PCM) return 0;
    const uint32_t rate = Le32(file + fmtData + 4);

    // "data" is looked for after the format, as the format comes first.
    const uint32_t fmtSize = Le32(file + fmt + 4);
    const int64_t data = FindChunk(file, fmtData + fmtSize + (fmtSize & 1), end, "data");
    if (data < 0) return 0;
    const uint64_t dataStart = static_cast<uint64_t>(data) + 8;
    uint64_t size = Le32(file + data + 4);
    // A chunk cut short gives the bytes that are there.
    if (dataStart + size > fileSize) size = fileSize - dataStart;

    out->formatTag = tag;
    out->rate = rate;
    out->samples = file + dataStart;
    out->size = static_cast<uint32_t>(size);
    return 1;
}

int InitSound() {
    if (Device.SoundFirstCall) {
        std::memset(SoundTable, 0, sizeof SoundTable);
        Device.SoundFirstCall = false;
    }
    if (!Device.SoundDeviceReady) {
        if (!PlatformInitSoundDevice()) return 0;
        Device.SoundDeviceReady = true;
    }
    for (int32_t i = 0; i < MAX_SOUNDS; ++i) {
        if (SoundTable[i].buffer) {
            PlatformStopSoundBuffer(SoundTable[i].buffer);
            PlatformReleaseSoundBuffer(SoundTable[i].buffer);
        }
        ClearSlot(i);
    }
    return 1;
}

int32_t LoadWav(const char* fileName, uint32_t /*controlFlags: buffers are always static here*/) {
    if (!Device.SoundDeviceReady || !fileName) return -1;
    int32_t id = -1;
    for (int32_t i = 0; i < MAX_SOUNDS && id < 0; ++i)
        if (SoundTable[i].state == SOUND_FREE) id = i;
    if (id < 0) return -1;

    FileBytes bytes;
    if (ReadFileByName(fileName, MAX_WAV_SIZE, &bytes).error) return -1;

    WavData wav;
    SoundBuffer* buffer = nullptr;
    // A buffer of no samples is refused, as sound devices refuse it.
    if (ParseWav(bytes.data, static_cast<uint32_t>(bytes.size), &wav) && wav.size > 0)
        buffer = PlatformCreateSoundBuffer(wav.samples, wav.size);
    if (!buffer) return -1;

    SoundSlot& slot = SoundTable[id];
    slot.buffer = buffer;
    slot.state = SOUND_LOADED;
    slot.rate = wav.rate;
    slot.size = wav.size;
    slot.id = id;
    return id;
}

bool SoundOff;

int PlaySoundEffect(int32_t id, uint32_t playFlags) {
    SoundSlot* slot = SlotWithBuffer(id);
    if (!slot || SoundOff) return 1;
    // Playing always starts from the beginning, so a sound restarts rather
    // than overlapping itself.
    if (!PlatformPlaySoundBuffer(slot->buffer, (playFlags & SOUND_PLAY_LOOPING) != 0)) return 0;
    return 1;
}

int StopSoundEffect(int32_t id) {
    SoundSlot* slot = SlotWithBuffer(id);
    if (!slot) return 1;
    PlatformStopSoundBuffer(slot->buffer);  // and rewinds it
    return 1;
}

int DeleteSoundEffect(int32_t id) {
    SoundSlot* slot = SlotWithBuffer(id);
    if (!slot) return 1;
    StopSoundEffect(id);
    PlatformReleaseSoundBuffer(slot->buffer);
    // The slot is free again, so deleting and loading cannot run the table dry.
    ClearSlot(id);
    return 1;
}

int StopAllSounds() {
    for (int32_t i = 0; i < MAX_SOUNDS; ++i) StopSoundEffect(i);
    return 1;
}

int ShutdownSound() {
    StopAllSounds();
    for (int32_t i = 0; i < MAX_SOUNDS; ++i) {
        if (SoundTable[i].buffer) PlatformReleaseSoundBuffer(SoundTable[i].buffer);
        ClearSlot(i);
    }
    if (Device.SoundDeviceReady) PlatformShutdownSoundDevice();
    Device.SoundDeviceReady = false;
    return 1;
}
