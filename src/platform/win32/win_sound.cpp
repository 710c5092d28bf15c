// Sound through DirectSound: one static secondary buffer per effect, filled
// once at load time, so playing costs a rewind and a play call.
#include <dsound.h>

#include <cstring>

#include "platform/win32/win32.h"

struct SoundBuffer {
    IDirectSoundBuffer* dsb;
};

constexpr int MAX_SOUND_BUFFERS = 64;
static SoundBuffer BufferPool[MAX_SOUND_BUFFERS];
static IDirectSound* SoundDevice = nullptr;

int PlatformInitSoundDevice() {
    if (SoundDevice) return 1;
    if (DirectSoundCreate(nullptr, &SoundDevice, nullptr) != DS_OK) {
        SoundDevice = nullptr;
        return 0;
    }
    if (SoundDevice->SetCooperativeLevel(GameWindow, DSSCL_NORMAL) != DS_OK) {
        SoundDevice->Release();
        SoundDevice = nullptr;
        return 0;
    }
    return 1;
}

void PlatformShutdownSoundDevice() {
    for (SoundBuffer& b : BufferPool) PlatformReleaseSoundBuffer(&b);
    if (SoundDevice) SoundDevice->Release();
    SoundDevice = nullptr;
}

SoundBuffer* PlatformCreateSoundBuffer(const uint8_t* samples, uint32_t size) {
    if (!SoundDevice || (!samples && size)) return nullptr;
    SoundBuffer* slot = nullptr;
    for (SoundBuffer& b : BufferPool)
        if (!b.dsb) {
            slot = &b;
            break;
        }
    if (!slot) return nullptr;

    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 11025;
    format.nBlockAlign = 1;
    format.nAvgBytesPerSec = 11025;
    format.wBitsPerSample = 8;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE;
    // DirectSound refuses buffers below its minimum: a shorter sound is
    // padded with silence.
    desc.dwBufferBytes = size < DSBSIZE_MIN ? DSBSIZE_MIN : size;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* dsb = nullptr;
    if (SoundDevice->CreateSoundBuffer(&desc, &dsb, nullptr) != DS_OK || !dsb) return nullptr;

    void *part1 = nullptr, *part2 = nullptr;
    DWORD len1 = 0, len2 = 0;
    if (dsb->Lock(0, desc.dwBufferBytes, &part1, &len1, &part2, &len2, 0) != DS_OK) {
        dsb->Release();
        return nullptr;
    }
    // A static buffer locked from offset 0 comes back in one piece; copy
    // whatever the pieces are, and silence anything past the samples.
    uint8_t* parts[2] = {static_cast<uint8_t*>(part1), static_cast<uint8_t*>(part2)};
    DWORD lengths[2] = {len1, len2};
    uint32_t copied = 0;
    for (int i = 0; i < 2; ++i) {
        if (!parts[i]) continue;
        uint32_t n = size - copied < lengths[i] ? size - copied : lengths[i];
        if (n) std::memcpy(parts[i], samples + copied, n);
        if (n < lengths[i]) std::memset(parts[i] + n, 0x80, lengths[i] - n);
        copied += n;
    }
    if (dsb->Unlock(part1, len1, part2, len2) != DS_OK) {
        dsb->Release();
        return nullptr;
    }
    slot->dsb = dsb;
    return slot;
}

void PlatformReleaseSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !buffer->dsb) return;
    buffer->dsb->Stop();
    buffer->dsb->Release();
    buffer->dsb = nullptr;
}

int PlatformPlaySoundBuffer(SoundBuffer* buffer, bool loop) {
    if (!buffer || !buffer->dsb) return 0;
    if (buffer->dsb->SetCurrentPosition(0) != DS_OK) return 0;
    HRESULT hr = buffer->dsb->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
    return hr == DS_OK ? 1 : 0;
}

int PlatformStopSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !buffer->dsb) return 0;
    const bool stopped = buffer->dsb->Stop() == DS_OK;
    buffer->dsb->SetCurrentPosition(0);
    return stopped ? 1 : 0;
}
