// The game's sound effects, one row each: the id it is played by and its
// WAV file in the run folder. The generator writes these files from this
// list, the build expects them, start-up loads them, shutdown frees them and
// the demo tool names them in its dumps.
//
// A new sound: a row here (the build reads the quoted .wav names),
// its synthesis in data/gen/sounds.cpp, and the line that plays it.
#pragma once
#include <array>
#include <cstdint>

// The names are older than the sounds: pop is the knock of a deflector and
// thump the burst of a balloon, not the other way round.
enum SoundId : int32_t {
    SOUND_POP,       // a shot meets a deflector (it turns, pushes or is blocked)
    SOUND_HIT,       // a shot strikes a block
    SOUND_SHOT,      // the tank fires
    SOUND_THUMP,     // a shot pops a balloon
    SOUND_START,     // start-up
    SOUND_BIFALD,    // a level is won
    SOUND_FINISHED,  // the last level is won
    SOUND_COUNT
};

constexpr const char* SOUND_FILES[SOUND_COUNT] = {
    "pop.wav", "hit.wav", "shot.wav", "thump.wav", "start.wav", "bifald.wav", "finished.wav",
};

// Each sound's slot once start-up has loaded it; -1 until then, so that
// nothing plays by accident.
inline std::array<int32_t, SOUND_COUNT> Sounds = [] {
    std::array<int32_t, SOUND_COUNT> none{};
    none.fill(-1);
    return none;
}();

// The names the game plays them by.
inline int32_t& SoundPop = Sounds[SOUND_POP];
inline int32_t& SoundHit = Sounds[SOUND_HIT];
inline int32_t& SoundShot = Sounds[SOUND_SHOT];
inline int32_t& SoundThump = Sounds[SOUND_THUMP];
inline int32_t& SoundStart = Sounds[SOUND_START];
inline int32_t& SoundBifald = Sounds[SOUND_BIFALD];
inline int32_t& SoundFinished = Sounds[SOUND_FINISHED];
