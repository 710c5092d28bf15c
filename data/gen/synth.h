// Small synthesis kit for the game's sound effects: float buffers at the
// game's rate, a few filters, and the finishing steps that turn a buffer into
// an unsigned 8-bit mono WAV file. Deterministic: noise comes from a fixed seed.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

constexpr int RATE = 11025;
constexpr int MAX_SAMPLES = 4 * RATE;
constexpr float TAU = 6.28318530717959f;

struct Track {
    float s[MAX_SAMPLES];
    int n;
};

inline int Samples(float seconds) { return std::min(MAX_SAMPLES, static_cast<int>(seconds * RATE + 0.5f)); }
inline float Seconds(int i) { return static_cast<float>(i) / RATE; }

// White noise in -1..1 from a fixed seed.
struct NoiseSource {
    uint32_t s;
    float Next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return static_cast<float>(s >> 8) / 8388608.0f - 1.0f;
    }
    float Range(float a, float b) { return a + (b - a) * (Next() * 0.5f + 0.5f); }
};

// First-order low pass; the high pass is what it takes away.
struct OnePole {
    float y = 0;
    float LowPass(float x, float hz) {
        float a = 1 - std::exp(-TAU * hz / RATE);
        y += a * (x - y);
        return y;
    }
    float HighPass(float x, float hz) { return x - LowPass(x, hz); }
};

// Two-pole band pass with unit gain at its centre.
struct BandPass {
    float b0 = 0, b2 = 0, a1 = 0, a2 = 0, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    BandPass(float hz, float q) {
        float w = TAU * hz / RATE, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        b0 = alpha / a0;
        b2 = -alpha / a0;
        a1 = -2 * std::cos(w) / a0;
        a2 = (1 - alpha) / a0;
    }
    float Run(float x) {
        float y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Attack then exponential decay, 0 before the start.
inline float Strike(float t, float attack, float decay) {
    if (t < 0) return 0;
    float rise = t < attack ? t / attack : 1;
    return rise * std::exp(-t / decay);
}

// A few early reflections, so tones sound played in a room rather than dry.
inline void Room(Track& tr, float amount) {
    const float delay[3] = {0.037f, 0.071f, 0.113f}, gain[3] = {0.55f, 0.35f, 0.2f};
    for (int i = tr.n - 1; i >= 0; i--)
        for (int k = 0; k < 3; k++) {
            int j = i - Samples(delay[k]);
            if (j >= 0) tr.s[i] += amount * gain[k] * tr.s[j];
        }
}

// The loudness used to balance the sounds against each other: the strongest
// 50 ms of the sound, as root mean square.
inline float LoudestRms(const Track& tr) {
    const int w = Samples(0.05f);
    float best = 0;
    for (int start = 0; start + w <= tr.n; start += w / 4) {
        float sum = 0;
        for (int i = start; i < start + w; i++) sum += tr.s[i] * tr.s[i];
        best = std::max(best, std::sqrt(sum / w));
    }
    return best;
}

// Rounds off the rare peaks of a dense sound (many claps landing together)
// so that they do not decide its loudness: brought to `rms` first, then
// everything above `knee` is bent smoothly toward 1.
inline void SoftLimit(Track& tr, float rms, float knee) {
    float now = LoudestRms(tr);
    if (now <= 0) return;
    for (int i = 0; i < tr.n; i++) {
        float x = tr.s[i] * rms / now, a = std::fabs(x);
        if (a > knee) a = knee + (1 - knee) * std::tanh((a - knee) / (1 - knee));
        tr.s[i] = x < 0 ? -a : a;
    }
}

constexpr float PEAK = 0.85f;        // never closer to full scale than this
constexpr float TARGET_RMS = 0.26f;  // what every sound is brought toward

// Fades the ends (so playback starts and stops without a click, on exactly
// the mid value 128), then scales to the common loudness within the peak.
inline void Finish(Track& tr, float fadeIn = 0.002f, float fadeOut = 0.008f) {
    tr.n &= ~1;  // an even data chunk needs no pad byte
    int in = std::max(1, Samples(fadeIn)), out = std::max(1, Samples(fadeOut));
    for (int i = 0; i < in && i < tr.n; i++) tr.s[i] *= 0.5f - 0.5f * std::cos((TAU / 2) * i / in);
    for (int i = 0; i < out && i < tr.n; i++) tr.s[tr.n - 1 - i] *= 0.5f - 0.5f * std::cos((TAU / 2) * i / out);
    float peak = 0;
    for (int i = 0; i < tr.n; i++) peak = std::max(peak, std::fabs(tr.s[i]));
    float rms = LoudestRms(tr);
    if (peak <= 0 || rms <= 0) return;
    float gain = std::min(PEAK / peak, TARGET_RMS / rms);
    for (int i = 0; i < tr.n; i++) tr.s[i] *= gain;
}

inline void PutLE(FILE* f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}

// RIFF/WAVE, PCM, 1 channel, 11025 Hz, 8 bits: 128 is silence. The format
// chunk is written in its 18-byte form (extra size 0), so a reader that takes
// 18 bytes from it stays inside the chunk.
inline bool WriteWav(const char* path, const Track& tr) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    uint32_t n = static_cast<uint32_t>(tr.n);
    std::fputs("RIFF", f);
    PutLE(f, 4 + (8 + 18) + (8 + n), 4);
    std::fputs("WAVE", f);
    std::fputs("fmt ", f);
    PutLE(f, 18, 4);
    PutLE(f, 1, 2);     // PCM
    PutLE(f, 1, 2);     // mono
    PutLE(f, RATE, 4);  // samples per second
    PutLE(f, RATE, 4);  // bytes per second
    PutLE(f, 1, 2);     // block align
    PutLE(f, 8, 2);     // bits per sample
    PutLE(f, 0, 2);     // extra size
    std::fputs("data", f);
    PutLE(f, n, 4);
    for (int i = 0; i < tr.n; i++) {
        long v = std::lround(128 + 127 * std::clamp(tr.s[i], -1.0f, 1.0f));
        std::fputc(static_cast<int>(std::clamp(v, 1L, 254L)), f);
    }
    return std::fclose(f) == 0;
}
