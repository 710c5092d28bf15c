// Sound through OpenAL: one buffer and one source per sound, so different
// sounds mix while each sound plays once at a time.
#include <AL/al.h>
#include <AL/alc.h>

#include "platform/platform.h"

struct SoundBuffer {
    bool used;
    ALuint buffer;
    ALuint source;
};

namespace {

constexpr int MAX_BUFFERS = 64;  // as many as the game has sound slots
constexpr ALsizei SAMPLE_RATE = 11025;

ALCdevice* Device = nullptr;
ALCcontext* Context = nullptr;
SoundBuffer Buffers[MAX_BUFFERS];

void Release(SoundBuffer* b) {
    alSourceStop(b->source);
    alSourcei(b->source, AL_BUFFER, 0);
    alDeleteSources(1, &b->source);
    alDeleteBuffers(1, &b->buffer);
    *b = SoundBuffer{};
}

}  // namespace

int PlatformInitSoundDevice() {
    if (Context) return 1;
    Device = alcOpenDevice(nullptr);
    if (!Device) return 0;
    Context = alcCreateContext(Device, nullptr);
    if (!Context || !alcMakeContextCurrent(Context)) {
        if (Context) alcDestroyContext(Context);
        alcCloseDevice(Device);
        Context = nullptr;
        Device = nullptr;
        return 0;
    }
    return 1;
}

void PlatformShutdownSoundDevice() {
    if (!Context) return;
    for (SoundBuffer& b : Buffers)
        if (b.used) Release(&b);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(Context);
    // Closing the device is what completes a recording back end's file.
    alcCloseDevice(Device);
    Context = nullptr;
    Device = nullptr;
}

SoundBuffer* PlatformCreateSoundBuffer(const uint8_t* samples, uint32_t size) {
    if (!Context || (!samples && size) || size > 0x7FFFFFFF) return nullptr;
    for (SoundBuffer& b : Buffers) {
        if (b.used) continue;
        alGetError();
        alGenBuffers(1, &b.buffer);
        if (alGetError() != AL_NO_ERROR) return nullptr;
        alBufferData(b.buffer, AL_FORMAT_MONO8, samples, static_cast<ALsizei>(size), SAMPLE_RATE);
        alGenSources(1, &b.source);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &b.buffer);
            return nullptr;
        }
        // Heard as is: no position, no distance.
        alSourcei(b.source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(b.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcei(b.source, AL_BUFFER, static_cast<ALint>(b.buffer));
        if (alGetError() != AL_NO_ERROR) {
            alDeleteSources(1, &b.source);
            alDeleteBuffers(1, &b.buffer);
            return nullptr;
        }
        b.used = true;
        return &b;
    }
    return nullptr;
}

void PlatformReleaseSoundBuffer(SoundBuffer* buffer) {
    if (buffer && buffer->used && Context) Release(buffer);
}

// A playing buffer jumps back to its start and keeps playing; any other
// goes back to its start, ready to play.
static bool Rewind(SoundBuffer* buffer) {
    alGetError();
    ALint state = AL_INITIAL;
    alGetSourcei(buffer->source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) alSourcei(buffer->source, AL_SAMPLE_OFFSET, 0);
    else alSourceRewind(buffer->source);
    return alGetError() == AL_NO_ERROR;
}

// From the start: one that is already playing starts again.
int PlatformPlaySoundBuffer(SoundBuffer* buffer, bool loop) {
    if (!buffer || !buffer->used) return 0;
    if (!Rewind(buffer)) return 0;
    alGetError();
    alSourcei(buffer->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    ALint state = AL_INITIAL;
    alGetSourcei(buffer->source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) alSourcePlay(buffer->source);
    return alGetError() == AL_NO_ERROR ? 1 : 0;
}

// A pause, in OpenAL's words, then back to the start.
int PlatformStopSoundBuffer(SoundBuffer* buffer) {
    if (!buffer || !buffer->used) return 0;
    ALint state = AL_INITIAL;
    alGetSourcei(buffer->source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) alSourcePause(buffer->source);
    Rewind(buffer);
    return 1;
}
