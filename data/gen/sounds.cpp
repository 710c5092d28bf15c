// Synthesises the game's sound effects (the table in game/sounds.h) into
// OUTDIR as unsigned 8-bit mono WAV files at 11025 Hz.
#include <string>

#include "game/sounds.h"
#include "synth.h"

namespace {

Track Buffer;

// A deflector is knocked: a short hollow "tok" that drops a little in pitch.
void Pop(Track& tr) {
    tr.n = Samples(0.1f);
    NoiseSource noise{0x7070u};
    OnePole hp;
    float body = 0, shell = 0;
    for (int i = 0; i < tr.n; i++) {
        float t = Seconds(i);
        float f = 560 + 300 * std::exp(-t / 0.01f);
        body += TAU * f / RATE;
        shell += TAU * 2.3f * f / RATE;
        float v = std::sin(body) * Strike(t, 0.0008f, 0.02f);
        v += 0.45f * std::sin(shell) * Strike(t, 0.0005f, 0.007f);
        v += 0.5f * hp.HighPass(noise.Next(), 2000) * Strike(t, 0.0003f, 0.0015f);
        tr.s[i] = v;
    }
    Finish(tr, 0.0005f);
}

// A shot strikes a steel block: a clank of inharmonic partials, the high
// ones dying first, over a short scrape of noise.
void Hit(Track& tr) {
    tr.n = Samples(0.22f);
    const float ratio[8] = {1, 1.47f, 2.09f, 2.76f, 3.41f, 4.56f, 5.4f, 6.3f};
    const float level[8] = {1, 0.7f, 0.55f, 0.6f, 0.4f, 0.35f, 0.3f, 0.2f};
    NoiseSource noise{0x4171u};
    OnePole hp;
    for (int i = 0; i < tr.n; i++) {
        float t = Seconds(i), v = 0;
        for (int k = 0; k < 8; k++) {
            float f = 410 * ratio[k];
            float beat = 1 + 0.5f * std::sin(TAU * (3 + k) * t);  // slightly detuned twin partials
            v += level[k] * beat * std::sin(TAU * f * t) * Strike(t, 0.0005f, 0.09f / (1 + 0.45f * k));
        }
        v += 0.9f * hp.HighPass(noise.Next(), 1500) * Strike(t, 0.0003f, 0.005f);
        tr.s[i] = v;
    }
    Finish(tr, 0.0005f, 0.02f);
}

// The tank fires: a crack, a burst of rushing noise and a low thump.
void Shot(Track& tr) {
    tr.n = Samples(0.26f);
    NoiseSource noise{0x5407u};
    OnePole lp, lp2, hp;
    float phase = 0;
    for (int i = 0; i < tr.n; i++) {
        float t = Seconds(i);
        float f = 55 + 120 * std::exp(-t / 0.03f);
        phase += TAU * f / RATE;
        float thump = (std::sin(phase) + 0.35f * std::sin(2 * phase)) * Strike(t, 0.002f, 0.07f);
        float n = noise.Next();
        float rush = lp2.LowPass(lp.LowPass(n, 300 + 1500 * std::exp(-t / 0.04f)), 2500) * Strike(t, 0.001f, 0.05f);
        float crack = hp.HighPass(n, 1800) * Strike(t, 0.0002f, 0.006f);
        tr.s[i] = thump + 2.2f * rush + 0.6f * crack;
    }
    Finish(tr, 0.0005f, 0.02f);
}

// A balloon bursts: a bright snap of noise with a soft low "pff" under it.
void Thump(Track& tr) {
    tr.n = Samples(0.15f);
    NoiseSource noise{0x7477u};
    OnePole hp, lp;
    float phase = 0;
    for (int i = 0; i < tr.n; i++) {
        float t = Seconds(i);
        float n = noise.Next();
        float snap = hp.HighPass(n, 1400) * Strike(t, 0.0004f, 0.016f);
        float puff = lp.LowPass(n, 600) * Strike(t, 0.001f, 0.035f);
        phase += TAU * (95 + 120 * std::exp(-t / 0.02f)) / RATE;
        float low = std::sin(phase) * Strike(t, 0.001f, 0.03f);
        tr.s[i] = snap + 1.6f * puff + 0.35f * low;
    }
    Finish(tr, 0.0005f, 0.015f);
}

// A plucked, slightly bell-like note: harmonics that fade faster the higher
// they are, plus a quiet chime partial.
float Pluck(float t, float f, float decay) {
    if (t < 0) return 0;
    float v = 0;
    for (int k = 1; k <= 5 && k * f < 5000; k++)
        v += std::sin(TAU * k * f * t) * Strike(t, 0.003f, decay / std::sqrt(static_cast<float>(k))) /
             std::pow(static_cast<float>(k), 1.5f);
    if (3 * f < 5000) v += 0.15f * std::sin(TAU * 3.01f * f * t) * Strike(t, 0.002f, decay * 0.3f);
    return v;
}

// Start-up: a rising arpeggio in C major, the last note ringing.
void Start(Track& tr) {
    tr.n = Samples(0.62f);
    const float freq[4] = {523.25f, 659.26f, 783.99f, 1046.5f};
    for (int i = 0; i < tr.n; i++) {
        float t = Seconds(i), v = 0;
        for (int k = 0; k < 4; k++) v += Pluck(t - 0.085f * k, freq[k], k == 3 ? 0.2f : 0.1f);
        tr.s[i] = v;
    }
    Room(tr, 0.4f);
    Finish(tr, 0.002f, 0.03f);
}

// Applause: a crowd's claps, each a short burst of band-passed noise, thick
// in the middle and thinning out at the end, over a soft wash of noise.
float Crowd(float t) {
    if (t < 0.15f) return t / 0.15f;
    if (t < 1.1f) return 1;
    float k = (t - 1.1f) / 0.9f;
    return k >= 1 ? 0 : std::pow(1 - k, 1.3f);
}

void Bifald(Track& tr) {
    const float length = 2.0f;
    tr.n = Samples(length);
    for (int i = 0; i < tr.n; i++) tr.s[i] = 0;
    NoiseSource pick{0xB1FAu}, noise{0xC1A9u};
    const int claps = 420;
    int made = 0;
    while (made < claps) {
        float when = pick.Range(0, length - 0.04f);
        if (pick.Range(0, 1) > Crowd(when)) continue;
        made++;
        BandPass band(pick.Range(700, 2600), pick.Range(1.2f, 3.0f));
        float loud = pick.Range(0.25f, 1.0f) * std::sqrt(Crowd(when)), decay = pick.Range(0.003f, 0.008f);
        int start = Samples(when), len = Samples(0.04f);
        for (int j = 0; j < len && start + j < tr.n; j++)
            tr.s[start + j] += loud * band.Run(noise.Next()) * Strike(Seconds(j), 0.0006f, decay);
    }
    OnePole lp;
    for (int i = 0; i < tr.n; i++) tr.s[i] += 0.08f * lp.LowPass(noise.Next(), 1500) * Crowd(Seconds(i));
    SoftLimit(tr, 0.3f, 0.5f);
    Finish(tr, 0.003f, 0.05f);
}

// One brass note: every harmonic to the top of the band, the upper ones
// growing with loudness as a horn's do; a small scoop up to pitch at the
// start and vibrato once the note has settled.
float Brass(float t, float length, float f, float& phase) {
    if (t < 0 || t > length + 0.08f) return 0;
    float env = t < 0.04f ? t / 0.04f : 1;
    env *= 1 + 0.12f * std::exp(-t / 0.05f) * (t >= 0.04f);
    if (t > length) env *= 1 - (t - length) / 0.08f;
    float depth = 0.006f * std::clamp((t - 0.15f) / 0.2f, 0.0f, 1.0f);
    float pitch = f * (1 - 0.025f * std::exp(-t / 0.025f)) * (1 + depth * std::sin(TAU * 5.5f * t));
    phase += TAU * pitch / RATE;
    float bright = std::min(env, 1.0f), v = 0;
    for (int k = 1; k * pitch < 5000; k++) v += std::sin(k * phase) / k * std::pow(bright, 0.6f * (k - 1));
    return env * v;
}

// The end of the game: a fanfare, three pick-up notes, and a held major
// chord with the melody on top.
void Finished(Track& tr) {
    struct Note {
        float start, length, freq, level;
    };
    const float G4 = 392.0f, C5 = 523.25f, E5 = 659.26f, G5 = 783.99f;
    const Note notes[] = {
        {0.00f, 0.13f, G4, 1},     {0.16f, 0.13f, G4, 1},    {0.32f, 0.13f, G4, 1},        {0.48f, 0.46f, C5, 1},
        {1.00f, 0.22f, G4, 1},     {1.26f, 0.22f, C5, 1},    {1.52f, 0.22f, E5, 1},        {1.78f, 1.05f, G5, 1},
        {1.78f, 1.05f, E5, 0.55f}, {1.78f, 1.05f, C5, 0.5f}, {1.78f, 1.05f, C5 / 2, 0.4f},
    };
    const int count = sizeof notes / sizeof notes[0];
    float phase[count] = {};
    tr.n = Samples(3.05f);
    for (int i = 0; i < tr.n; i++) {
        float t = Seconds(i), v = 0;
        for (int k = 0; k < count; k++)
            v += notes[k].level * Brass(t - notes[k].start, notes[k].length, notes[k].freq, phase[k]);
        tr.s[i] = v;
    }
    Room(tr, 0.45f);
    Finish(tr, 0.002f, 0.04f);
}

// The synthesis of each sound in the table.
struct Synthesis {
    SoundId id;
    void (*synth)(Track&);
};
constexpr Synthesis SYNTHESES[] = {
    {SOUND_POP, Pop},     {SOUND_HIT, Hit},       {SOUND_SHOT, Shot},         {SOUND_THUMP, Thump},
    {SOUND_START, Start}, {SOUND_BIFALD, Bifald}, {SOUND_FINISHED, Finished},
};

bool Make(const std::string& dir, SoundId id) {
    const char* name = SOUND_FILES[id];
    for (const Synthesis& s : SYNTHESES)
        if (s.id == id) {
            s.synth(Buffer);
            std::string path = dir + "/" + name;
            if (WriteWav(path.c_str(), Buffer)) return true;
            std::perror(path.c_str());
            return false;
        }
    std::fprintf(stderr, "no synthesis for %s\n", name);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    for (int id = 0; id < SOUND_COUNT; ++id)
        if (!Make(dir, static_cast<SoundId>(id))) return 1;
    return 0;
}
