#include "gen/family.h"

#include <cstring>
#include <initializer_list>

#include "game/boardimage.h"
#include "game/leveltext.h"
#include "game/wedges.h"

namespace gen {

namespace {

using leveltext::ByteIndex;
using leveltext::GRID;

constexpr const char* NAMES[FAMILIES] = {"Periscopes", "Snap row", "Vault", "Twin rooms", "Rails"};

// A start is drawn in its own frame: columns u 1..12, rows v 1..rows, the
// rows being the half (6) or the whole board (12). One of the board's
// eight images then puts it in place, so that a family's rooms and rails
// face every way.
struct Canvas {
    uint8_t* b;
    Layout* layout;
    int image, rows;
    Grade grade;

    bool Inside(int u, int v) const { return u >= 1 && u <= GRID && v >= 1 && v <= rows; }
    int At(int u, int v) const {
        int x = 0, y = 0;
        ImageCell(image, u, v, &x, &y);
        return ByteIndex(x, y);
    }
    int Get(int u, int v) const { return Inside(u, v) ? b[At(u, v)] : CELL_BLOCK; }
    // A wedge's orientation is given as the frame sees it.
    void Put(int u, int v, int code, bool fixed = false) {
        if (!Inside(u, v)) return;
        b[At(u, v)] = static_cast<uint8_t>(ImageCode(image, code));
        layout->fixed[At(u, v)] = fixed;
    }
    bool Empty(int u, int v) const { return Inside(u, v) && Get(u, v) == CELL_EMPTY; }
};

int Between(Random* r, int lo, int hi) { return lo + Below(r, hi - lo + 1); }

// A frame direction's step: left, up, right, down as DIR_* - 1.
constexpr int DU[4] = {-1, 0, 1, 0}, DV[4] = {0, -1, 0, 1};

// A wedge that no shot can move: a block behind each of its straight faces.
void BackedWedge(Canvas* c, int u, int v, int o) {
    c->Put(u, v, CELL_DEFLECTOR_0 + o);
    for (int d = 0; d < 4; ++d)
        if (WEDGE_TURN[o][d] == WEDGE_PUSH && c->Empty(u - DU[d], v - DV[d]))
            c->Put(u - DU[d], v - DV[d], CELL_BLOCK, true);
}

// An orientation that turns a shot into the direction `out` (0..3), and
// the direction the shot must fly in to be turned so; false if none may.
bool TurnInto(Random* r, int out, int* o, int* in) {
    int choices[8], n = 0;
    for (int w = 0; w < 4; ++w)
        for (int d = 0; d < 4; ++d)
            if (WEDGE_TURN[w][d] == out + 1) choices[n++] = w * 4 + d;
    if (n == 0) return false;
    const int k = choices[Below(r, n)];
    *o = k / 4, *in = k % 4;
    return true;
}

// Whether a shot fired from the border could fly to (u, v) along
// direction `back` reversed: every cell on the way empty, and no seam.
bool OpenToBorder(const Canvas& c, int u, int v, int back) {
    for (u += DU[back], v += DV[back];; u += DU[back], v += DV[back]) {
        if (u < 1 || u > GRID || v < 1) return true;
        if (v > c.rows) return c.rows == GRID;
        if (!c.Empty(u, v)) return false;
    }
}

void Room(Canvas* c, int u0, int v0, int u1, int v1) {
    for (int u = u0; u <= u1; ++u) c->Put(u, v0, CELL_BLOCK, true), c->Put(u, v1, CELL_BLOCK, true);
    for (int v = v0; v <= v1; ++v) c->Put(u0, v, CELL_BLOCK, true), c->Put(u1, v, CELL_BLOCK, true);
}

void ScatterBalloons(Random* r, Canvas* c, int count) {
    for (int k = 0, tries = 0; k < count && tries < 64; ++tries) {
        const int u = Between(r, 1, GRID), v = Between(r, 1, c->rows == GRID ? GRID : c->rows - 1);
        if (!c->Empty(u, v)) continue;
        c->Put(u, v, CELL_BALLOON);
        ++k;
    }
}

// Level 3's idea: no straight line gets into the room; a wedge held in a
// corner of blocks outside each gap turns a shot through it.
void Periscopes(Random* r, Canvas* c) {
    const int h = c->rows == GRID ? Between(r, 5, 8) : Between(r, 4, 5), w = Between(r, 5, 8);
    const int u0 = Between(r, 2, GRID - w), v0 = Between(r, c->rows == GRID ? 2 : 1, c->rows - h + 1);
    const int u1 = u0 + w - 1, v1 = v0 + h - 1;
    Room(c, u0, v0, u1, v1);
    const int gaps = Between(r, 2, 3);
    for (int k = 0, tries = 0; k < gaps && tries < 32; ++tries) {
        // A gap in one side, not at a corner; `inward` points into the room.
        const int side = Below(r, 4);
        int gu = 0, gv = 0;
        if (side == 0 || side == 2) gu = side == 0 ? u0 : u1, gv = Between(r, v0 + 1, v1 - 1);
        else gv = side == 1 ? v0 : v1, gu = Between(r, u0 + 1, u1 - 1);
        const int in = (side + 2) % 4;  // the left wall's gap leads right, and so on
        const int ou = gu - DU[in], ov = gv - DV[in];
        if (!c->Empty(ou, ov) || c->Get(gu, gv) != CELL_BLOCK) continue;
        int o = 0, fly = 0;
        if (!TurnInto(r, in, &o, &fly)) continue;
        // A shot from the border must reach the wedge. A hard half leaves
        // that to its search, which on 100 seeds came to the band sooner
        // from the freer starts.
        if (c->grade != HARD && !OpenToBorder(*c, ou, ov, (fly + 2) % 4)) continue;
        c->Put(gu, gv, CELL_EMPTY);
        // In a medium half only the first gap's wedge is held: the others
        // can be pushed off their gaps, and so lost. A medium half has no
        // other way to lose; easy levels need few dead ends and a hard
        // half finds its own.
        if (c->grade != MEDIUM || k == 0) BackedWedge(c, ou, ov, o);
        else c->Put(ou, ov, CELL_DEFLECTOR_0 + o);
        // A balloon down the gap's line, inside the room.
        const int depth = Between(r, 1, (in % 2 ? h : w) - 2);
        if (c->Empty(gu + DU[in] * depth, gv + DV[in] * depth))
            c->Put(gu + DU[in] * depth, gv + DV[in] * depth, CELL_BALLOON);
        ++k;
    }
    ScatterBalloons(r, c, Below(r, 2));
}

// Levels 7 to 11's idea: a room whose doors lie under capped columns, so
// only a shot turned by the wedge on the rail outside, standing right under
// a door, gets in; pushed past a door, the wedge has lost it.
void Vault(Random* r, Canvas* c) {
    // The room fills the half from the border; its rail runs beside the seam.
    const int w = Between(r, 5, 8), u0 = Between(r, 1, GRID - w + 1), u1 = u0 + w - 1;
    const int v0 = 1, v1 = c->rows - 2, doors = 2;
    Room(c, u0, v0, u1, v1);
    // The wedge turns shots up into the room: orientation 2 turns a shot
    // flying right, 3 one flying left, and each is pushed the other way.
    // The doors lie from the end it comes from, in the way it is pushed.
    const int o = 2 + Below(r, 2), toward = o == 2 ? -1 : 1;
    const int nearest = toward < 0 ? u1 - 1 - Below(r, 2) : u0 + 1 + Below(r, 2);
    for (int k = 0, du = nearest; k < doors && du > u0 && du < u1; ++k, du += toward * (2 + Below(r, 2))) {
        c->Put(du, v1, CELL_EMPTY);
        c->Put(du, v1 + 2, CELL_BLOCK, true);  // the cap: no straight shot up the door's column
        c->Put(du, v1 - Between(r, 1, v1 - v0 - 1), CELL_BALLOON);
    }
    int su = nearest - toward * Between(r, 1, 3);
    su = su < 1 ? 1 : su > GRID ? GRID : su;
    c->Put(su, v1 + 1, CELL_DEFLECTOR_0 + o);
    ScatterBalloons(r, c, Below(r, 2));
}

// Levels 5 and 6's idea: a wedge stands in a balloon's lane; pushed
// sideways it snaps into its partner in the lane's wall and clears the
// way, pushed along the lane it stays in the way for good.
void SnapLane(Random* r, Canvas* c, int lane, int gapAt) {
    // Orientation 0 or 1 has a straight top: a shot down its column pushes
    // it into the wall below, onto its opposite, 2 or 3.
    const int o = Below(r, 2);
    const int wu = Between(r, 4, GRID - 3);
    // The wall runs from the balloon's end to a little past the wedge.
    const int from = o == 0 ? wu - Between(r, 1, 3) : 1, to = o == 0 ? GRID : wu + Between(r, 1, 3);
    for (int u = from; u <= to; ++u)
        if (u != gapAt) c->Put(u, lane + 1, CELL_BLOCK, true);
    c->Put(wu, lane, CELL_DEFLECTOR_0 + o);
    c->Put(wu, lane + 1, CELL_DEFLECTOR_0 + o + 2);
    c->Put(wu, lane + 2, CELL_BLOCK, true);  // the square stays in the wall
    // The balloon waits at the end the wedge would be pushed to, against a
    // block, so that no shot from that side reaches it first.
    const int end = o == 0 ? GRID : 1, step = o == 0 ? -1 : 1;
    c->Put(end, lane, CELL_BLOCK, true);
    const int bu = end + step * Between(r, 1, 2);
    c->Put(bu, lane, CELL_BALLOON);
    c->Put(bu, lane - 1, CELL_BLOCK, true);  // no shot down its column
}

void SnapRow(Random* r, Canvas* c) {
    if (c->rows == GRID) {
        const int first = Between(r, 2, 4), second = Between(r, 7, 9);
        SnapLane(r, c, second, 0);
        // The upper lane's wall leaves the lower wedge's column open.
        int lowerWedge = 0;
        for (int u = 1; u <= GRID; ++u)
            if (IsSingleDeflector(c->Get(u, second))) lowerWedge = u;
        SnapLane(r, c, first, lowerWedge);
    } else {
        SnapLane(r, c, Between(r, 2, 4), 0);
    }
    ScatterBalloons(r, c, Between(r, 1, 2));
}

// Level 12's idea: loose wedges standing as a square of four, to be locked
// into pairs and shoved aside, in a room marked out by corner blocks.
void TwinRooms(Random* r, Canvas* c) {
    const int u = Between(r, 4, GRID - 4), v = Between(r, 3, c->rows - 3);
    c->Put(u, v, CELL_DEFLECTOR_0);
    c->Put(u, v + 1, CELL_DEFLECTOR_2);
    c->Put(u + 1, v, CELL_DEFLECTOR_1);
    c->Put(u + 1, v + 1, CELL_DEFLECTOR_3);
    // The room: corners of block round the square, open between them.
    // Each corner is a block with an arm along either side or both, so
    // that no two rooms are drawn alike.
    const int u0 = u - Between(r, 2, 4), u1 = u + 1 + Between(r, 2, 4);
    const int v0 = v - 2, v1 = v + 3;
    for (int k = 0; k < 2; ++k) {
        const int cu = k ? u1 : u0, du = k ? -1 : 1;
        for (int cv : {v0, v1}) {
            const int dv = cv == v0 ? 1 : -1, arms = 1 + Below(r, 3);
            c->Put(cu, cv, CELL_BLOCK, true);
            if (arms & 1) c->Put(cu + du, cv, CELL_BLOCK, true);
            if (arms & 2) c->Put(cu, cv + dv, CELL_BLOCK, true);
        }
    }
    // The side toward the mirror image is closed: what is pushed there
    // would cross into the other room.
    for (int wu = u0; wu <= u1; ++wu) c->Put(wu, v1, CELL_BLOCK, true);
    // Balloons in the room's corners, behind the wedges from the doors.
    for (int k = 0; k < 2; ++k) {
        const int bu = k ? u1 - 1 : u0 + 1, bv = Between(r, 0, 1) ? v0 + 1 : v1 - 1;
        if (c->Empty(bu, bv)) c->Put(bu, bv, CELL_BALLOON);
    }
    ScatterBalloons(r, c, Between(r, 1, 2));
}

// Rails: a clear line with a wedge that shots along it push one way only,
// and doors below it, balloons in pockets that only a shot turned down by
// the wedge standing right above can reach.
void Rail(Random* r, Canvas* c, int line) {
    const bool rightward = Below(r, 2);
    const int o = rightward ? 1 : 0;  // turns a shot flying right (1) or left (0) down
    const int doors = Between(r, 1, 2);
    const int firstDoor = Between(r, 4, 9);
    int door = firstDoor;
    for (int k = 0; k < doors; ++k, door -= 2 + Below(r, 2)) {
        const int du = rightward ? door : GRID + 1 - door;
        c->Put(du - 1, line + 1, CELL_BLOCK, true);
        c->Put(du + 1, line + 1, CELL_BLOCK, true);
        c->Put(du, line + 1, CELL_BALLOON);
        c->Put(du, line + 2, CELL_BLOCK, true);
        c->Put(du, line - 1, CELL_BLOCK, true);
    }
    // The wedge starts past the first door, on the side it is pushed from.
    const int first = firstDoor + 1 + Below(r, 2);
    const int su = rightward ? (first > GRID ? GRID : first) : GRID + 1 - (first > GRID ? GRID : first);
    if (c->Empty(su, line)) c->Put(su, line, CELL_DEFLECTOR_0 + o);
}

void Rails(Random* r, Canvas* c) {
    Rail(r, c, Between(r, 2, 3));
    ScatterBalloons(r, c, Below(r, 2));
}

}  // namespace

const char* FamilyName(Family f) { return NAMES[f]; }

// Each grade's round of families. Easy leaves out the vault, which once
// its wedge is pushed past the door is lost, far more often than an easy
// level may be, and the twin rooms and rails, whose loose wedges reach
// more boards than an easy level has. Medium leaves out the twin rooms,
// whose halves reach into each other and make far more boards than a
// medium level has, and takes snap rows twice, the one family that needs
// a snap.
constexpr Family EASY_ROUND[] = {PERISCOPES, SNAP_ROW};
constexpr Family MEDIUM_ROUND[] = {PERISCOPES, SNAP_ROW, VAULT, RAILS, SNAP_ROW};
constexpr Family HARD_ROUND[] = {PERISCOPES, SNAP_ROW, VAULT, TWIN_ROOMS, RAILS};

template <size_t N>
Family Turn(const Family (&round)[N], uint64_t seed) {
    return round[seed % N];
}

Family FamilyOf(Grade g, uint64_t seed) {
    switch (g) {
    case EASY: return Turn(EASY_ROUND, seed);
    case MEDIUM: return Turn(MEDIUM_ROUND, seed);
    default: return Turn(HARD_ROUND, seed);
    }
}

bool Mirrored(Grade g) { return g != EASY; }

void FreshStart(Random* r, Grade g, Family f, uint8_t b[LEVEL_FILE_SIZE], Layout* layout) {
    std::memset(b, 0, LEVEL_FILE_SIZE);
    std::memset(layout, 0, sizeof *layout);
    const bool half = Mirrored(g);
    Canvas c{b, layout, Below(r, BOARD_IMAGES), half ? GRID / 2 : GRID, g};
    for (int u = 1; u <= GRID; ++u)
        for (int v = 1; v <= GRID; ++v) {
            int x = 0, y = 0;
            ImageCell(c.image, u, v, &x, &y);
            // A half's last row, the seam along the middle, is block while
            // the half is searched; in the whole it keeps only the blocks
            // some shot needs (see ContinueGeneration).
            const bool in = v <= c.rows;
            b[ByteIndex(x, y)] = in && (!half || v < c.rows) ? CELL_EMPTY : CELL_BLOCK;
            layout->region[ByteIndex(x, y)] = in && (!half || v < c.rows);
            layout->seam[ByteIndex(x, y)] = half && v == c.rows;
        }
    // The half's rows run along the board's rows unless the image turns them.
    layout->mirror = !half ? 0 : c.image & IMAGE_TRANSPOSE ? IMAGE_MIRROR_X : IMAGE_MIRROR_Y;
    switch (f) {
    case PERISCOPES: Periscopes(r, &c); break;
    case SNAP_ROW: SnapRow(r, &c); break;
    case VAULT: Vault(r, &c); break;
    case TWIN_ROOMS: TwinRooms(r, &c); break;
    case RAILS: Rails(r, &c); break;
    }
    if (half)
        for (int u = 1; u <= GRID; ++u) c.Put(u, c.rows, CELL_BLOCK, true);
}

void Compose(const uint8_t half[LEVEL_FILE_SIZE], const Layout& layout, uint8_t whole[LEVEL_FILE_SIZE]) {
    if (whole != half) std::memcpy(whole, half, LEVEL_FILE_SIZE);
    if (!layout.mirror) return;
    for (int x = 1; x <= GRID; ++x)
        for (int y = 1; y <= GRID; ++y) {
            if (!layout.region[ByteIndex(x, y)] && !layout.seam[ByteIndex(x, y)]) continue;
            int mx = 0, my = 0;
            ImageCell(layout.mirror, x, y, &mx, &my);
            whole[ByteIndex(mx, my)] = static_cast<uint8_t>(ImageCode(layout.mirror, half[ByteIndex(x, y)]));
        }
}

}  // namespace gen
