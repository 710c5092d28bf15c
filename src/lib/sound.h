// Sound effects: a fixed table of 64 slots, each holding one whole WAV in a
// platform buffer; a sound's id is its slot index.
#pragma once
#include <cstdint>

#include "platform/platform.h"

constexpr int MAX_SOUNDS = 64;
constexpr int32_t SOUND_FREE = 0;
constexpr int32_t SOUND_LOADED = 1;
constexpr uint32_t SOUND_PLAY_LOOPING = 1;

struct SoundSlot {
    SoundBuffer* buffer;
    int32_t state;
    uint32_t rate;
    uint32_t size;
    int32_t id;
};

extern SoundSlot SoundTable[MAX_SOUNDS];
// The player's choice to hear nothing: while set, no sound plays.
extern bool SoundOff;

// What the RIFF/WAVE reader found: a view into the file's bytes.
struct WavData {
    uint16_t formatTag;
    uint32_t rate;
    const uint8_t* samples;
    uint32_t size;  // bytes actually present, never more than the file holds
};
// 1 when the bytes are a RIFF "WAVE" form with a PCM "fmt " chunk (18 bytes
// read) and a "data" chunk; other chunks are skipped.
int ParseWav(const uint8_t* file, uint32_t fileSize, WavData* out);

int InitSound();
int32_t LoadWav(const char* fileName, uint32_t controlFlags);
int PlaySoundEffect(int32_t id, uint32_t playFlags);
int StopSoundEffect(int32_t id);
int DeleteSoundEffect(int32_t id);
int StopAllSounds();
int ShutdownSound();
