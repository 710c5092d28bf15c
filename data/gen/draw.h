// Small vector-drawing kit for the sprite sheet and the icon: shapes are
// signed distance functions (negative inside), pictures are scene functions
// that say what colour covers a point, and Render supersamples them into
// pixels. Everything is deterministic: no clock, no unseeded randomness.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

struct Vec {
    float x, y;
};
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline Vec operator*(Vec a, float k) { return {a.x * k, a.y * k}; }
inline float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
inline float Length(Vec a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline Vec Normalise(Vec a) {
    float l = Length(a);
    return l > 1e-6f ? a * (1.0f / l) : Vec{0, 0};
}
inline Vec Rotate(Vec a, float radians) {
    float c = std::cos(radians), s = std::sin(radians);
    return {a.x * c - a.y * s, a.x * s + a.y * c};
}

constexpr float PI = 3.14159265358979f;

// Colours in 0..255, kept as floats until the pixel is written.
struct Col {
    float r, g, b;
};
inline Col Mix(Col a, Col b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
// Lighter for k > 0 (toward white), darker for k < 0 (toward black).
inline Col Light(Col c, float k) {
    if (k >= 0) return Mix(c, {255, 255, 255}, k);
    return {c.r * (1 + k), c.g * (1 + k), c.b * (1 + k)};
}

// What covers one sample point: a colour, or nothing (transparent).
struct Paint {
    Col c;
    bool on;
};
constexpr Paint NOTHING = {{0, 0, 0}, false};
inline Paint Fill(Col c) { return {c, true}; }

// ---- Shapes: signed distances, negative inside --------------------------------
inline float SdCircle(Vec p, Vec c, float r) { return Length(p - c) - r; }

// Rounded box; radius may differ per corner: top-left, top-right,
// bottom-right, bottom-left.
inline float SdBox(Vec p, Vec c, Vec half, float tl, float tr, float br, float bl) {
    Vec q = p - c;
    float r = q.x < 0 ? (q.y < 0 ? tl : bl) : (q.y < 0 ? tr : br);
    Vec d = {std::fabs(q.x) - half.x + r, std::fabs(q.y) - half.y + r};
    Vec o = {std::max(d.x, 0.0f), std::max(d.y, 0.0f)};
    return Length(o) + std::min(std::max(d.x, d.y), 0.0f) - r;
}
inline float SdBox(Vec p, Vec c, Vec half, float r = 0) { return SdBox(p, c, half, r, r, r, r); }

// A stroke from a to b with round ends.
inline float SdSegment(Vec p, Vec a, Vec b, float r) {
    Vec pa = p - a, ba = b - a;
    float h = std::clamp(Dot(pa, ba) / std::max(Dot(ba, ba), 1e-6f), 0.0f, 1.0f);
    return Length(pa - ba * h) - r;
}

// Any simple polygon, by the even-odd rule.
inline float SdPolygon(Vec p, const Vec* v, int n) {
    float d = Dot(p - v[0], p - v[0]);
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i, i++) {
        Vec e = v[j] - v[i], w = p - v[i];
        float h = std::clamp(Dot(w, e) / std::max(Dot(e, e), 1e-6f), 0.0f, 1.0f);
        Vec b = w - e * h;
        d = std::min(d, Dot(b, b));
        if ((v[i].y > p.y) != (v[j].y > p.y) && p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
            inside = !inside;
    }
    return inside ? -std::sqrt(d) : std::sqrt(d);
}

// An ellipse, close enough for shading (exact on the axes).
inline float SdEllipse(Vec p, Vec c, Vec radii) {
    Vec q = {(p.x - c.x) / radii.x, (p.y - c.y) / radii.y};
    float k = Length(q);
    return (k - 1) * std::min(radii.x, radii.y);
}

// A star with n points: not a true distance, but negative exactly inside.
inline float SdStar(Vec p, Vec c, float outer, float inner, int n, float turn) {
    Vec q = p - c;
    float a = std::atan2(q.y, q.x) - turn;
    float t = 0.5f + 0.5f * std::cos(a * n);
    return Length(q) - (inner + (outer - inner) * t * t * t);
}

// ---- Turning pictures ---------------------------------------------------------
// Pictures are drawn in one canonical pose and shown turned clockwise by k
// quarter turns about the centre of a size-by-size cell: this maps a screen
// point back into the canonical pose.
inline Vec TurnBack(Vec p, int k, float size = 48) {
    for (int i = 0; i < (k & 3); i++) p = {p.y, size - p.x};
    return p;
}

// ---- Light --------------------------------------------------------------------
// Everything is lit from the top left, so pieces read as raised.
constexpr Vec LIGHT = {-0.6f, -0.8f};

// Outward normal of a distance function, by central differences.
template <class F>
Vec Gradient(F&& f, Vec p) {
    const float e = 0.25f;
    return Normalise({f(Vec{p.x + e, p.y}) - f(Vec{p.x - e, p.y}), f(Vec{p.x, p.y + e}) - f(Vec{p.x, p.y - e})});
}
// How much the edge at p faces the light: 1 toward it, -1 away.
template <class F>
float Facing(F&& f, Vec p) {
    return Dot(Gradient(f, p), LIGHT);
}
// A bevelled face: within `width` of the edge the colour follows the light.
template <class F>
Col Bevel(Col base, F&& f, Vec p, float width, float strength) {
    float d = f(p);
    if (d < -width) return base;
    return Light(base, strength * Facing(f, p));
}
// A dome (rivet, knob): bright toward the light, dark away from it.
inline Col Dome(Col base, Vec p, Vec c, float r, float strength, Vec light = LIGHT) {
    return Light(base, strength * Dot((p - c) * (1.0f / r), light));
}

// ---- Noise --------------------------------------------------------------------
inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^ static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}
inline float Hash01(int32_t x, int32_t y, uint32_t seed) {
    return static_cast<float>(Hash(x, y, seed) >> 8) / 16777216.0f;
}
// Smooth value noise in 0..1.
inline float Noise(Vec p, uint32_t seed) {
    float fx = std::floor(p.x), fy = std::floor(p.y);
    int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    float tx = p.x - fx, ty = p.y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
    float c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
    return a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
}

// A fixed-seed generator for the few places that want a sequence.
struct Rng {
    uint32_t s;
    uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
    float Range(float a, float b) { return a + (b - a) * Unit(); }
};

// ---- Pixels -------------------------------------------------------------------
// Top-down 24-bit pixels, red green blue.
struct Image {
    int w, h;
    uint8_t* rgb;
};

// The game treats pure black as transparent, so a drawn pixel never is.
constexpr Col DARKEST = {8, 8, 12};

inline void PutPixel(Image& img, int x, int y, Col c) {
    uint8_t* p = img.rgb + 3 * (y * img.w + x);
    p[0] = static_cast<uint8_t>(std::lround(std::clamp(c.r, 0.0f, 255.0f)));
    p[1] = static_cast<uint8_t>(std::lround(std::clamp(c.g, 0.0f, 255.0f)));
    p[2] = static_cast<uint8_t>(std::lround(std::clamp(c.b, 0.0f, 255.0f)));
}

constexpr int SUPERSAMPLE = 4;

// Draws a scene into the w by h block at (ox, oy); the scene sees pixel
// coordinates of the block (0..w, 0..h). Opaque tiles average their samples.
// Sprites on a transparent ground blend their edges toward `edge`, a dark
// outline colour, rather than toward black, so no dark halo shows on a light
// floor; pixels less than half covered become transparent black.
template <class Scene>
void Render(Image& img, int ox, int oy, int w, int h, bool opaque, Col edge, Scene&& scene) {
    const int n = SUPERSAMPLE * SUPERSAMPLE;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            Col sum = {0, 0, 0};
            int covered = 0;
            for (int j = 0; j < SUPERSAMPLE; j++) {
                for (int i = 0; i < SUPERSAMPLE; i++) {
                    Vec p = {x + (i + 0.5f) / SUPERSAMPLE, y + (j + 0.5f) / SUPERSAMPLE};
                    Paint s = scene(p);
                    if (!s.on) continue;
                    covered++;
                    sum.r += s.c.r;
                    sum.g += s.c.g;
                    sum.b += s.c.b;
                }
            }
            if (!opaque && covered * 2 < n) {
                PutPixel(img, ox + x, oy + y, {0, 0, 0});
                continue;
            }
            int rest = n - covered;
            Col c = {(sum.r + rest * edge.r) / n, (sum.g + rest * edge.g) / n, (sum.b + rest * edge.b) / n};
            c = {std::max(c.r, DARKEST.r), std::max(c.g, DARKEST.g), std::max(c.b, DARKEST.b)};
            PutPixel(img, ox + x, oy + y, c);
        }
    }
}

// ---- Files --------------------------------------------------------------------
inline void Put16(FILE* f, uint32_t v) {
    std::fputc(static_cast<int>(v & 0xFF), f);
    std::fputc(static_cast<int>((v >> 8) & 0xFF), f);
}
inline void Put32(FILE* f, uint32_t v) {
    Put16(f, v & 0xFFFF);
    Put16(f, v >> 16);
}

// 24-bit bitmap, bottom row first, pixels right after the 54-byte headers.
// Rows are padded to 4 bytes as the format wants; the sheet's width is a
// multiple of 4, so it has none.
inline bool WriteBmp(const char* path, const Image& img) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    uint32_t row = static_cast<uint32_t>(img.w) * 3;
    uint32_t pad = (4 - row % 4) % 4;
    uint32_t size = (row + pad) * static_cast<uint32_t>(img.h);
    std::fputc('B', f);
    std::fputc('M', f);
    Put32(f, 54 + size);
    Put32(f, 0);
    Put32(f, 54);
    Put32(f, 40);
    Put32(f, static_cast<uint32_t>(img.w));
    Put32(f, static_cast<uint32_t>(img.h));
    Put16(f, 1);
    Put16(f, 24);
    Put32(f, 0);
    Put32(f, size);
    Put32(f, 2835);  // 72 dots per inch
    Put32(f, 2835);
    Put32(f, 0);
    Put32(f, 0);
    for (int y = img.h - 1; y >= 0; y--) {
        const uint8_t* p = img.rgb + 3 * y * img.w;
        for (int x = 0; x < img.w; x++) {
            std::fputc(p[3 * x + 2], f);
            std::fputc(p[3 * x + 1], f);
            std::fputc(p[3 * x + 0], f);
        }
        for (uint32_t i = 0; i < pad; i++) std::fputc(0, f);
    }
    return std::fclose(f) == 0;
}
