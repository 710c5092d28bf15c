// Everything the rules decide, as one value, with what every rule file asks
// of it: directions, a cell's code, the step's report. The live game holds
// one (`Now.Live.play`, game/session.h); the solver, the fuzzer and the tests step
// copies. Sprites only draw from it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "game/board.h"

// The four ways a shot flies and the tank fires.
constexpr int32_t DIR_LEFT = 1, DIR_UP = 2, DIR_RIGHT = 3, DIR_DOWN = 4;

// One cell's step in each direction, by direction code - 1.
inline constexpr int32_t DIR_STEP[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
// Direction code of a velocity along one axis, 0 for none or both.
int32_t DirectionOf(int32_t xv, int32_t yv);

// A deflector: its corner, its slide per frame, and its orientation 0..3
// (also its picture). Members of a pair keep their own orientations.
struct Deflector {
    int32_t x, y, xv, yv, orientation;
};

struct PlayState {
    int32_t board[BOARD_CELLS][BOARD_CELLS];  // board[cx][cy]
    int32_t balloonCount, balloonsLeft, deflectorCount;
    int32_t balloonX[MAX_BALLOONS], balloonY[MAX_BALLOONS];
    Deflector deflectors[MAX_DEFLECTORS];
    // A shot's corner, its velocity and its picture (its direction code - 1).
    int32_t shotX[MAX_SHOTS], shotY[MAX_SHOTS], shotXV[MAX_SHOTS], shotYV[MAX_SHOTS], shotFrame[MAX_SHOTS];
    int32_t impactX, impactY;  // where the last impact shows
    uint8_t balloonAlive[MAX_BALLOONS];
    uint8_t shotActive[MAX_SHOTS];
    uint8_t popPending[MAX_BALLOONS];  // popped last frame: the pieces show this frame
    uint8_t impactActive;
    uint8_t won;
};
// No padding, so that equal states are equal bytes (compared and hashed as such).
static_assert(std::has_unique_object_representations_v<PlayState>);

bool operator==(const PlayState& a, const PlayState& b);
inline bool operator!=(const PlayState& a, const PlayState& b) { return !(a == b); }
uint64_t HashPlay(const PlayState& s);

// What a sound event stands for; the frame driver plays them in this order.
enum PlayEvent : uint8_t {
    EVENT_BLOCK_HIT,      // a shot struck a block
    EVENT_DEFLECTOR_HIT,  // a shot met a deflector
    EVENT_WIN,            // the last balloon popped
    EVENT_BALLOON_POP,    // a shot popped a balloon
};

// What one step did.
struct PlayReport {
    static constexpr int MAX_EVENTS = 4 * MAX_SHOTS;
    PlayEvent events[MAX_EVENTS];
    int32_t eventCount;
    int32_t blockHits, deflectorHits, balloonsPopped, slidesEnded;
    bool won;                      // this step popped the last balloon
    uint8_t shotShown[MAX_SHOTS];  // shots that moved this step and are to be drawn
};

// Code of cell (cx, cy); cells off the board count as CELL_NONE.
int32_t CellAt(const PlayState& s, int32_t cx, int32_t cy);
// The level's deflectors, within the table's room.
inline int32_t LevelDeflectors(const PlayState& s) {
    return s.deflectorCount < MAX_DEFLECTORS ? s.deflectorCount : MAX_DEFLECTORS;
}
// Appends an event to the step's report.
void AddPlayEvent(PlayReport* report, PlayEvent event);
