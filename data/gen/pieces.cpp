// Draws the sprite sheet pieces.bmp and the game's icon (tarno.ico for the
// Windows resources, tarno-icon.xpm for the window and tarno-SIZE.png for
// the desktop's icon theme, tarno-192.png, tarno-512.png and their maskable
// twins for the browser site) into OUTDIR.
//
// The sheet's layout is game/sheet.h. Pure black is transparent in the game.
#include <cstring>
#include <string>

#include "draw.h"
#include "game/sheet.h"
#include "icon.h"
#include "png.h"

namespace {

constexpr int CELL = SHEET_CELL;
constexpr int SHEET_W = SHEET_WIDTH, SHEET_H = SHEET_HEIGHT;

// ---- Palette: a cool slate board, warm pieces that move, green deflectors ----
const Col FLOOR_A = {35, 48, 70}, FLOOR_B = {40, 55, 79};
const Col GAP = {20, 25, 36};  // the dark between raised pieces
const Col STEEL = {140, 148, 166};
const Col GUNMETAL = {66, 70, 82}, BED = {38, 41, 50};
const Col RAIL = {184, 190, 204};
const Col SLEEPER = {104, 78, 56};
const Col GREEN = {52, 164, 90}, GREEN_EDGE = {14, 46, 28}, MINT = {178, 244, 196};
const Col RED = {222, 44, 56}, RED_EDGE = {66, 10, 20};
const Col AMBER = {220, 150, 48}, AMBER_EDGE = {48, 28, 12};
const Col TREAD = {56, 56, 64};
const Col GOLD_LIGHT = {255, 240, 140}, GOLD = {255, 196, 44}, ORANGE = {236, 116, 22};
const Col LETTER_EDGE = {78, 28, 14}, LETTER_SHADOW = {34, 14, 12};
const Col HOT = {255, 252, 226}, FLAME = {255, 204, 64}, EMBER = {232, 90, 30};
const Col FIRE_EDGE = {110, 34, 12};
const Col GRID = {96, 96, 96};

// ---- Floor --------------------------------------------------------------------
// Two tones of one floor, alternated by cell parity; a faint bevel per tile.
Paint Floor(Vec p, int frame) {
    Col c = frame == 0 ? FLOOR_A : FLOOR_B;
    c = Light(c, 0.07f * (Noise(p * 0.28f, 11 + frame) - 0.5f));
    if (p.x < 1.5f || p.y < 1.5f) c = Light(c, 0.09f);
    else if (p.x > 46.5f || p.y > 46.5f) c = Light(c, -0.28f);
    return Fill(c);
}

// ---- Border: a railway track around the board ---------------------------------
// Edges and corners are drawn in one pose (top edge, top-left corner) and
// turned. `across` runs from the field's outer edge (0) to the board (48);
// `along` runs with the track. Corners bend the track in a quarter circle
// about the board-side corner point, so both rails meet the edges' rails.
struct TrackPlace {
    float across, along;
    bool corner;
};

TrackPlace TrackAt(Vec p, int piece) {
    Vec q = TurnBack(p, piece / 2);
    if (piece % 2) return {q.y, q.x, false};
    Vec w = q - Vec{48, 48};
    return {48 - Length(w), 24 * std::atan2(-w.x, -w.y), true};
}

const float RAIL_AT[2] = {12, 36};
constexpr float RAIL_HALF = 1.7f;

bool OnRail(TrackPlace t) {
    return std::fabs(t.across - RAIL_AT[0]) <= RAIL_HALF || std::fabs(t.across - RAIL_AT[1]) <= RAIL_HALF;
}

// Distance along the track from the nearest sleeper's middle. Sleepers are
// 12 apart on the edges; in a corner three are spread evenly so that the
// spacing carries on across the joins.
float SleeperOffset(TrackPlace t) {
    if (!t.corner) return std::fabs(std::fmod(t.along, 12.0f) - 6);
    const float arc = 24 * PI / 2, step = (arc - 12) / 2;
    float best = 1e9f;
    for (int i = 0; i < 3; i++) best = std::min(best, std::fabs(t.along - (6 + i * step)));
    return best * (48 - t.across) / 24;  // the same width at every radius
}

Paint Border(Vec p, int piece) {
    TrackPlace t = TrackAt(p, piece);
    // The direction in which `across` grows, on screen, for the light.
    Vec inward = Gradient([piece](Vec s) { return TrackAt(s, piece).across; }, p);
    float v = t.across;

    // Outer plate (and the corner's bolted plate beyond the curve).
    if (v < 5) {
        Col c = Light(GUNMETAL, 0.08f * (Noise(p * 0.4f, 31) - 0.5f));
        if (v > 0 && v < 1.3f) c = Light(c, 0.35f * Dot(inward * -1, LIGHT));
        if (v > 3.8f) c = Light(c, -0.45f);
        if (t.corner) {
            Vec q = TurnBack(p, piece / 2);
            float bolt = SdCircle(q, {9, 9}, 4);
            if (bolt <= 0) c = bolt > -0.8f ? GAP : Dome(Light(GUNMETAL, 0.25f), q, {9, 9}, 4, 0.45f);
            else if (SdCircle(q, {10, 10}, 4) <= 0) c = Light(c, -0.35f);  // its shadow
        }
        return Fill(c);
    }
    // The board-side lip: raised, catches the light on its outer slope.
    if (v >= 42) {
        Col c = Light(STEEL, -0.3f);
        if (v < 43.5f) c = Light(c, 0.4f * Dot(inward * -1, LIGHT));
        if (v > 46.5f) c = Light(c, -0.5f);
        return Fill(c);
    }
    // The bed, with sleepers and the rails on top.
    Col c = Light(BED, 0.12f * (Noise(p * 0.7f, 41) - 0.5f));
    if (v > 7.5f && v < 40.5f && SleeperOffset(t) < 3) {
        float grain = Noise({t.across * 0.25f, t.along * 2.0f}, 53);
        c = Light(SLEEPER, 0.18f * (grain - 0.5f));
        if (SleeperOffset(t) > 2.2f) c = Light(c, -0.35f);
    }
    // Rails cast a short shadow down and to the right.
    TrackPlace behind = TrackAt(p - Vec{1.3f, 1.3f}, piece);
    if (!OnRail(t) && OnRail(behind)) c = Light(c, -0.55f);
    for (float r : RAIL_AT) {
        float k = (v - r) / RAIL_HALF;
        if (std::fabs(k) > 1) continue;
        // A round-topped bar: its slope toward the light shines.
        c = Light(RAIL, 0.55f * Dot(inward * k, LIGHT) - 0.15f * k * k);
        if (std::fabs(k) > 0.8f) c = Light(c, -0.4f);
    }
    return Fill(c);
}

// ---- Block: a riveted steel plate ---------------------------------------------
Paint Block(Vec p) {
    auto body = [](Vec q) { return SdBox(q, {24, 24}, {23.5f, 23.5f}, 4); };
    if (body(p) > 0) return Fill(GAP);
    Col c = Mix(Light(STEEL, 0.12f), Light(STEEL, -0.18f), p.y / 48);
    c = Light(c, 0.07f * (Noise({p.x * 0.12f, p.y * 1.6f}, 21) - 0.5f));  // brushed
    auto panel = [](Vec q) { return SdBox(q, {24, 24}, {14, 14}, 3); };
    float dp = panel(p);
    if (dp <= 0) {
        c = Light(c, -0.06f);
        if (dp > -1.6f) c = Light(c, 0.35f * Facing(panel, p));
    } else if (dp < 1.2f) {
        c = Light(c, -0.3f);  // the panel's seam
    }
    c = Bevel(c, body, p, 3.5f, 0.5f);
    const Vec rivets[4] = {{7.5f, 7.5f}, {40.5f, 7.5f}, {7.5f, 40.5f}, {40.5f, 40.5f}};
    for (Vec r : rivets) {
        float d = SdCircle(p, r, 2.6f);
        if (d <= 0) c = d > -0.7f ? Light(STEEL, -0.55f) : Dome(Light(STEEL, 0.1f), p, r, 2.6f, 0.6f);
        else if (SdCircle(p, r + Vec{0.9f, 0.9f}, 2.6f) <= 0) c = Light(c, -0.3f);
    }
    return Fill(c);
}

// ---- Deflector: a green wedge with a polished slanted face ---------------------
// Orientation 0 fills the top-left half. The slanted face lies exactly on the
// diagonal (edges included), so two opposite wedges drawn over each other
// leave no gap and read as one square with a seam.
Paint Wedge(Vec p, int o) {
    Vec q = TurnBack(p, o);
    if (q.x + q.y > 48) return NOTHING;
    auto tri = [o](Vec s) {
        Vec t = TurnBack(s, o);
        return std::max({-t.x, -t.y, (t.x + t.y - 48) * 0.70710678f});
    };
    float toSlant = (48 - q.x - q.y) * 0.70710678f;
    Col c = Mix(Light(GREEN, 0.12f), Light(GREEN, -0.2f), (p.x + p.y) / 96);
    c = Light(c, 0.06f * (Noise(p * 0.3f, 61) - 0.5f));
    float d = tri(p);
    if (std::fabs(d + 10) < 0.8f) c = Light(c, -0.3f);  // inset groove
    else if (std::fabs(d + 11.2f) < 0.5f) c = Light(c, 0.15f);
    if (toSlant < 6) {
        // The face that turns the shots: bright, with a sharp rim.
        float k = toSlant / 6;
        c = Mix(Mix(MINT, {235, 255, 240}, 0.5f + 0.3f * Dot(Gradient(tri, p), LIGHT)), Light(GREEN, 0.1f), k * k);
        if (toSlant < 1.1f) c = Light(GREEN, -0.35f);
    } else {
        c = Bevel(c, tri, p, 3.5f, 0.45f);
    }
    return Fill(c);
}

// ---- Balloon ------------------------------------------------------------------
Paint Balloon(Vec p) {
    const Vec centre = {24, 20};
    float body = SdEllipse(p, centre, {14, 16.5f});
    if (body <= 0) {
        if (body > -1.2f) return Fill(Mix(RED_EDGE, RED, 0.3f));
        float t = Length((p - Vec{18, 13}) * (1 / 26.0f));
        Col c = t < 0.45f ? Mix(Light(RED, 0.28f), RED, t / 0.45f) : Mix(RED, Light(RED, -0.55f), (t - 0.45f) / 0.6f);
        Vec h = Rotate(p - Vec{17.5f, 12}, 0.5f);
        if (SdEllipse(h, {0, 0}, {2.8f, 5}) <= 0) c = {255, 238, 236};
        Vec g = Rotate(p - Vec{30.5f, 28}, 0.6f);
        if (SdEllipse(g, {0, 0}, {1.2f, 3.2f}) <= 0) c = Mix(c, {255, 200, 200}, 0.45f);
        return Fill(c);
    }
    const Vec knot[4] = {{22, 36}, {26, 36}, {28, 40}, {20, 40}};
    float dk = SdPolygon(p, knot, 4);
    if (dk <= 0) return Fill(dk > -0.8f ? RED_EDGE : Light(RED, -0.3f));
    const Vec string[4] = {{24, 40}, {25.6f, 43}, {23.2f, 45.5f}, {24.4f, 48}};
    for (int i = 0; i < 3; i++)
        if (SdSegment(p, string[i], string[i + 1], 0.75f) <= 0) return Fill({214, 208, 200});
    return NOTHING;
}

// ---- Banner letters -----------------------------------------------------------
// Piece 0..6: W, E, L, D, O, N, "!". Each is stretched to 100 by 100 and the
// words are laid with less than 100 pixels between letters, so each glyph is
// only as wide as its neighbours leave room for.
constexpr float STROKE = 3.5f, LETTER_RIM = 1.5f;
constexpr float TOP = 8, BOTTOM = 38, MIDDLE = 23;

float Strokes(Vec p, const Vec* pts, const int* pairs, int count) {
    float d = 1e9f;
    for (int i = 0; i < count; i++) d = std::min(d, SdSegment(p, pts[pairs[2 * i]], pts[pairs[2 * i + 1]], STROKE));
    return d;
}

float Glyph(Vec p, int piece) {
    switch (piece) {
    case 0: {  // W
        const Vec v[5] = {{9, TOP}, {16.5f, BOTTOM}, {24, 17}, {31.5f, BOTTOM}, {39, TOP}};
        const int s[8] = {0, 1, 1, 2, 2, 3, 3, 4};
        return Strokes(p, v, s, 4);
    }
    case 1: {  // E
        const Vec v[7] = {{14.5f, TOP},    {14.5f, BOTTOM}, {33.5f, TOP},   {14.5f, MIDDLE},
                          {30.5f, MIDDLE}, {33.5f, BOTTOM}, {14.5f, MIDDLE}};
        const int s[8] = {0, 1, 0, 2, 3, 4, 1, 5};
        return Strokes(p, v, s, 4);
    }
    case 2: {  // L
        const Vec v[3] = {{16, TOP}, {16, BOTTOM}, {32, BOTTOM}};
        const int s[4] = {0, 1, 1, 2};
        return Strokes(p, v, s, 2);
    }
    case 3:  // D
        return std::fabs(SdBox(p, {23, MIDDLE}, {11, 15}, 1.5f, 11, 11, 1.5f)) - STROKE;
    case 4:  // O
        return std::fabs(SdBox(p, {24, MIDDLE}, {12, 15}, 10.5f)) - STROKE;
    case 5: {  // N
        const Vec v[4] = {{13.5f, TOP}, {13.5f, BOTTOM}, {34.5f, BOTTOM}, {34.5f, TOP}};
        const int s[6] = {0, 1, 0, 2, 2, 3};
        return Strokes(p, v, s, 3);
    }
    default: {  // !
        const Vec v[2] = {{24, TOP}, {24, 27}};
        const int s[2] = {0, 1};
        return std::min(Strokes(p, v, s, 1), SdCircle(p, {24, 36.5f}, 3.9f));
    }
    }
}

Paint Letter(Vec p, int piece) {
    auto glyph = [piece](Vec s) { return Glyph(s, piece); };
    float d = glyph(p);
    if (d <= 0) {
        float t = (p.y - TOP + STROKE) / (BOTTOM - TOP + 2 * STROKE);
        Col c = t < 0.45f ? Mix(GOLD_LIGHT, GOLD, t / 0.45f) : Mix(GOLD, ORANGE, (t - 0.45f) / 0.55f);
        return Fill(Bevel(c, glyph, p, 1.8f, 0.45f));
    }
    if (d <= LETTER_RIM) return Fill(LETTER_EDGE);
    if (glyph(p - Vec{1.8f, 1.8f}) <= LETTER_RIM) return Fill(LETTER_SHADOW);
    return NOTHING;
}

// ---- Shot ---------------------------------------------------------------------
// Direction of flight 0 left, 1 up, 2 right, 3 down; drawn flying right.
const int SHOT_TURN[4] = {2, 3, 0, 1};

Paint Shot(Vec p, int direction) {
    Vec q = TurnBack(p, SHOT_TURN[direction]);
    const Vec head = {31, 24};
    if (SdCircle(q, head, 3.6f) <= 0) return Fill(HOT);
    if (SdCircle(q, head, 5.6f) <= 0) return Fill(Mix(FLAME, HOT, 0.25f));
    if (q.x >= 9 && q.x <= head.x) {
        float t = (q.x - 9) / (head.x - 9);
        float half = 0.9f + 3.4f * t;
        float flicker = 0.6f * (Noise({q.x * 0.5f, 3}, 71) - 0.5f);
        if (std::fabs(q.y - 24 - flicker) <= half) {
            Col c = t < 0.5f ? Mix(EMBER, ORANGE, t * 2) : Mix(ORANGE, FLAME, (t - 0.5f) * 2);
            if (std::fabs(q.y - 24 - flicker) < half * 0.4f) c = Mix(c, HOT, 0.35f * t);
            return Fill(c);
        }
    }
    return NOTHING;
}

// ---- Impact: a burst that grows over three frames -----------------------------
Paint Impact(Vec p, int frame) {
    const Vec c = {24, 24};
    const float outer[3] = {10, 16.5f, 22.5f};
    const float turn = 0.3f * frame;
    float R = outer[frame];
    if (frame > 0) {
        Rng rng{0x5EED0000u + static_cast<uint32_t>(frame)};
        for (int i = 0; i < 9; i++) {
            float a = i * 2 * PI / 9 + rng.Range(-0.25f, 0.25f);
            float r = R * rng.Range(0.85f, 1.02f);
            Vec at = c + Vec{std::cos(a), std::sin(a)} * r;
            if (SdCircle(p, at, frame == 1 ? 1.4f : 1.8f) <= 0) return Fill(frame == 1 ? HOT : FLAME);
        }
        R *= 0.8f;
    }
    float d = SdStar(p, c, R, R * 0.55f, 8, turn);
    if (d > 0) return NOTHING;
    if (d > -1) return Fill(FIRE_EDGE);
    Col col = frame == 2 ? Mix(EMBER, {180, 50, 24}, 0.4f) : EMBER;
    if (SdStar(p, c, R * 0.74f, R * 0.42f, 8, turn + PI / 8) <= 0) col = frame == 2 ? ORANGE : FLAME;
    float core = frame == 0 ? 5 : frame == 1 ? 6.5f : 5.5f;
    if (SdCircle(p, c, core) <= 0) col = frame == 2 ? FLAME : HOT;
    return Fill(col);
}

// ---- Tank ---------------------------------------------------------------------
// Drawn on the left column: the hull runs along the track with its treads on
// the rails, the turret turned toward the board (barrel to the right).
// Frames 0..3 rest facing right, up, left, down; 4..7 fire right, up, left,
// down, the barrel recoiled and a flash at the muzzle.
const int TANK_TURN[4] = {0, 3, 2, 1};

// Outlines every part with a thin dark line, so overlapping parts stay apart.
inline bool Part(float d, Col shaded, Col& out) {
    if (d > 0) return false;
    out = d > -0.8f ? AMBER_EDGE : shaded;
    return true;
}

// `light` is the direction of the light in the tank's own pose.
Paint TankCanonical(Vec q, bool firing, Vec light) {
    Col out = AMBER_EDGE;
    const float recoil = firing ? 4 : 0;
    if (firing) {
        Vec flashAt = {44.5f, 24};
        if (SdCircle(q, flashAt, 2.6f) <= 0) return Fill(HOT);
        float d = SdStar(q, flashAt, 6.5f, 3.2f, 7, 0.2f);
        if (d <= 0) return Fill(d > -0.7f ? FIRE_EDGE : FLAME);
    }
    // Barrel and muzzle brake.
    float brake = SdBox(q, {43.2f - recoil, 24}, {2.2f, 3.6f}, 0.8f);
    if (Part(brake, Light(AMBER, -0.2f + 0.4f * Dot({0, (q.y - 24) / 3.6f}, light)), out)) return Fill(out);
    float barrel = SdBox(q, {36 - recoil, 24}, {7, 2.5f}, 1);
    if (Part(barrel, Light(AMBER, -0.05f + 0.4f * Dot({0, (q.y - 24) / 2.5f}, light)), out)) return Fill(out);
    // Turret with its hatch.
    float turret = SdCircle(q, {24, 24}, 10);
    if (turret <= 0) {
        float hatch = SdCircle(q, {20, 24}, 3.4f);
        if (Part(hatch, Dome(Light(AMBER, -0.15f), q, {20, 24}, 3.4f, -0.35f, light), out)) return Fill(out);
        Part(turret, Dome(Light(AMBER, 0.12f), q, {24, 24}, 10, 0.4f, light), out);
        return Fill(out);
    }
    // Hull.
    auto hullShape = [](Vec s) { return SdBox(s, {24, 24}, {8.5f, 18}, 3); };
    float hull = hullShape(q);
    if (hull <= 0) {
        Col c = Light(AMBER, -0.05f);
        float plate = SdBox(q, {24, 24}, {5.5f, 15}, 2);
        if (std::fabs(plate) < 0.6f) c = Light(c, -0.3f);
        for (float y : {9.5f, 38.5f})
            if (SdCircle(q, {24, y}, 1.4f) <= 0) c = Light(c, -0.4f);
        Col lit = Light(c, 0.35f * Dot(Gradient(hullShape, q), light));
        if (hull > -2) c = lit;
        Part(hull, c, out);
        return Fill(out);
    }
    // Treads on the rails, cleats every 4 pixels.
    for (float x : {12.0f, 36.0f}) {
        float tread = SdBox(q, {x, 24}, {5, 21}, 4);
        if (tread <= 0) {
            Col c = std::fmod(q.y + 0.5f, 4.0f) < 1.6f ? Light(TREAD, 0.45f) : TREAD;
            if (std::fabs(q.x - x) > 3.4f) c = Light(c, -0.3f);
            Part(tread, c, out);
            return Fill(out);
        }
    }
    return NOTHING;
}

Paint Tank(Vec p, int frame) {
    int turn = TANK_TURN[frame % 4];
    Vec light = LIGHT;
    for (int i = 0; i < turn; i++) light = {light.y, -light.x};
    return TankCanonical(TurnBack(p, turn), frame >= 4, light);
}

// ---- Pop pieces: shreds of a burst balloon ------------------------------------
// Each piece is drawn at an offset from the balloon; its shred flies outward.
const Vec POP_OFFSET[5] = {{-20, -20}, {20, -20}, {20, 5}, {5, 20}, {-10, 10}};

Paint PopPiece(Vec p, int piece) {
    const Vec c = {24, 24};
    Vec out = Normalise(POP_OFFSET[piece]);
    Rng rng{0xB1A57000u + static_cast<uint32_t>(piece) * 7919u};
    // Sparks streaking outward, ahead of the shred.
    for (int i = 0; i < 3; i++) {
        Vec dir = Rotate(out, rng.Range(-0.55f, 0.55f));
        float from = rng.Range(9, 12), len = rng.Range(5, 9);
        if (SdSegment(p, c + dir * from, c + dir * (from + len), 1.0f) <= 0) return Fill(i == 0 ? HOT : FLAME);
    }
    // The shred: a torn, jagged scrap of rubber.
    Vec v[9];
    float size = piece == 4 ? 6.5f : 8.5f;
    float spin = rng.Range(0, 2 * PI);
    for (int i = 0; i < 9; i++) {
        float a = spin + i * 2 * PI / 9;
        float r = size * (i % 2 ? rng.Range(0.45f, 0.7f) : rng.Range(0.9f, 1.2f));
        Vec w = {std::cos(a) * r, std::sin(a) * r * 0.65f};
        v[i] = c + Rotate(w, std::atan2(out.y, out.x) + PI / 2);
    }
    float d = SdPolygon(p, v, 9);
    if (d <= 0) {
        if (d > -0.6f) return Fill(RED_EDGE);
        return Fill(Mix(Light(RED, 0.4f), Light(RED, -0.1f), (p.x + p.y - 36) / 24));
    }
    for (int i = 0; i < 2; i++) {
        Vec at = c + Rotate(out, rng.Range(-1.6f, 1.6f)) * rng.Range(9, 12);
        if (SdCircle(p, at, 1.6f) <= 0) return Fill(Light(RED, 0.15f));
    }
    return NOTHING;
}

// ---- The sheet ----------------------------------------------------------------
uint8_t SheetPixels[SHEET_W * SHEET_H * 3];

// Draws every picture of a strip, handing each its index in the strip.
template <class Scene>
void DrawStrip(Image& sheet, SheetStrip strip, bool opaque, Col edge, Scene&& scene) {
    for (int k = 0; k < strip.count; k++)
        Render(sheet, (CELL + 1) * (strip.cx + k) + 1, (CELL + 1) * strip.cy + 1, CELL, CELL, opaque, edge,
               [&scene, k](Vec p) { return scene(p, k); });
}

void DrawSheet(Image& sheet) {
    for (int y = 0; y < SHEET_H; y++)
        for (int x = 0; x < SHEET_W; x++)
            PutPixel(sheet, x, y, (x % (CELL + 1) == 0 || y % (CELL + 1) == 0) ? GRID : Col{0, 0, 0});

    DrawStrip(sheet, SHEET_FLOOR, true, GAP, Floor);
    DrawStrip(sheet, SHEET_BLOCK, true, GAP, [](Vec p, int) { return Block(p); });
    DrawStrip(sheet, SHEET_DEFLECTOR, false, GREEN_EDGE, Wedge);
    DrawStrip(sheet, SHEET_BORDER, true, BED, Border);
    DrawStrip(sheet, SHEET_BANNER, false, LETTER_EDGE, Letter);
    DrawStrip(sheet, SHEET_BALLOON, false, RED_EDGE, [](Vec p, int) { return Balloon(p); });
    DrawStrip(sheet, SHEET_SHOT, false, FIRE_EDGE, Shot);
    DrawStrip(sheet, SHEET_IMPACT, false, FIRE_EDGE, Impact);
    DrawStrip(sheet, SHEET_TANK, false, AMBER_EDGE, Tank);
    DrawStrip(sheet, SHEET_POP, false, RED_EDGE, PopPiece);
}

// ---- The icon: the tank aiming at a balloon -----------------------------------
// At 32 pixels the sheet's tank loses its barrel, so the icon has a bolder,
// simpler tank of its own; the balloon is the sheet's.
Paint IconScene(Vec s) {
    Vec b = (s - Vec{18, -1.5f}) * (48 / 17.0f);
    if (b.x >= 0 && b.x < 48 && b.y >= 0 && b.y < 48) {
        Paint pb = Balloon(b);
        if (pb.on) return pb;
    }
    // The tank in its own frame: u along the barrel (up and right), w across.
    const Vec centre = {12, 20}, u = {0.70710678f, -0.70710678f}, w = {0.70710678f, 0.70710678f};
    Vec l = {Dot(s - centre, u), Dot(s - centre, w)};
    const Vec light = {Dot(LIGHT, u), Dot(LIGHT, w)};
    Col out = AMBER_EDGE;
    auto part = [&out](float d, Col c) { return Part(d * 1.6f, c, out); };
    float brake = SdBox(l, {11.2f, 0}, {1.1f, 2}, 0.5f);
    if (part(brake, Light(STEEL, -0.1f))) return Fill(out);
    float barrel = SdBox(l, {7, 0}, {5, 1.3f}, 0.5f);
    if (part(barrel, Light(STEEL, 0.3f * Dot({0, l.y / 1.3f}, light)))) return Fill(out);
    if (part(SdCircle(l, {0, 0}, 4.4f), Dome(Light(AMBER, 0.15f), l, {0, 0}, 4.4f, 0.45f, light))) return Fill(out);
    auto hull = [](Vec v) { return SdBox(v, {0, 0}, {7.5f, 4.6f}, 1.5f); };
    if (hull(l) <= 0) {
        part(hull(l), Light(AMBER, -0.1f + 0.3f * Dot(Gradient(hull, l), light) * (hull(l) > -1.5f)));
        return Fill(out);
    }
    for (float across : {-6.3f, 6.3f}) {
        float tread = SdBox(l, {0, across}, {8.3f, 2.2f}, 1.5f);
        if (part(tread, std::fmod(l.x + 20.25f, 2.5f) < 1.1f ? Light(TREAD, 0.5f) : TREAD)) return Fill(out);
    }
    return NOTHING;
}

// The installed page's icon, which the system may cut to any shape: the
// scene shrunk into the middle 55%, clear of the round cut, on the floor's
// dark blue to the edges.
Paint MaskableIconScene(Vec s) {
    const Vec middle = {ICON_SIZE / 2.0f, ICON_SIZE / 2.0f};
    const Paint p = IconScene((s - middle) * (1 / 0.55f) + middle);
    return p.on ? p : Fill(Col{22, 34, 58});
}

uint8_t IconPixels[ICON_SIZE * ICON_SIZE * 3];

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    Image sheet = {SHEET_W, SHEET_H, SheetPixels};
    DrawSheet(sheet);
    if (!WriteBmp((dir + "/pieces.bmp").c_str(), sheet)) {
        std::perror("pieces.bmp");
        return 1;
    }

    // The icon is rendered like a sprite: transparent where less than half covered.
    Image icon = {ICON_SIZE, ICON_SIZE, IconPixels};
    Render(icon, 0, 0, ICON_SIZE, ICON_SIZE, false, AMBER_EDGE, IconScene);
    IconImage quantised;
    QuantiseIcon(icon, quantised);
    if (!WriteIco((dir + "/tarno.ico").c_str(), quantised) || !WriteXpm((dir + "/tarno-icon.xpm").c_str(), quantised)) {
        std::perror("icon");
        return 1;
    }
    // The desktop's icons, each drawn at its own size from the same scene.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string name = dir + "/tarno-" + std::to_string(size) + ".png";
        if (!WritePng(name.c_str(), size, RenderRgba(size, ICON_SIZE, IconScene))) {
            std::perror(name.c_str());
            return 1;
        }
    }
    // The browser site's, plain and maskable.
    for (int size : {192, 512}) {
        for (bool maskable : {false, true}) {
            const std::string name = dir + (maskable ? "/tarno-maskable-" : "/tarno-") + std::to_string(size) + ".png";
            const auto pixels =
                maskable ? RenderRgba(size, ICON_SIZE, MaskableIconScene) : RenderRgba(size, ICON_SIZE, IconScene);
            if (!WritePng(name.c_str(), size, pixels)) {
                std::perror(name.c_str());
                return 1;
            }
        }
    }
    return 0;
}
