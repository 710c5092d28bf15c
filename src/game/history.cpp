#include "game/history.h"

#include <vector>

#include "game/board.h"
#include "game/frame.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "lib/display.h"

int32_t ShotsFired;
uint32_t RestSerial;
int32_t HintCellX, HintCellY, HintDirection;
uint8_t LostNoticeShown;
uint8_t HintAsked;

namespace {

// A board at rest and where the tank stood.
struct Snapshot {
    PlayState play;
    int32_t tankX, tankY, tankFrame;
    int32_t shotsFired;
};

// Unbounded within a level; it only grows when a shot is fired.
std::vector<Snapshot> Undo, Redo;
int32_t Queue[16];
int32_t QueueLength;
bool WasInMotion;

Snapshot Take() {
    Snapshot s{Play, TankBob.x, TankBob.y, TankBob.currFrame, ShotsFired};
    // What only shows for a moment is not part of the board.
    ClearPlayEffects(s.play);
    return s;
}

void Restore(const Snapshot& s) {
    Play = s.play;
    ShotsFired = s.shotsFired;
    SetBobPosition(&TankBob, s.tankX, s.tankY);
    TankBob.currFrame = s.tankFrame;
    TankFiring = 0;
    HeldDirection = 0;
    TankMoving = 0;
    HintAsked = 0;
    ++RestSerial;
}

}  // namespace

void RequestHistoryAction(int32_t action) {
    if (QueueLength < static_cast<int32_t>(sizeof Queue / sizeof Queue[0])) Queue[QueueLength++] = action;
}

void NoteShotFired() {
    // The second of two shots in flight together goes back with the first.
    if (!PlayInMotion(Play)) {
        Undo.push_back(Take());
        Redo.clear();
    }
    ++ShotsFired;
    HintAsked = 0;
}

void ClearHistory() {
    Undo.clear();
    Redo.clear();
    QueueLength = 0;
    ShotsFired = 0;
    WasInMotion = false;
    HintAsked = 0;
    ++RestSerial;
}

int32_t UndoDepth() { return static_cast<int32_t>(Undo.size()); }
int32_t RedoDepth() { return static_cast<int32_t>(Redo.size()); }

void WatchRest() {
    if (PlayInMotion(Play)) {
        WasInMotion = true;
    } else if (WasInMotion) {
        WasInMotion = false;
        ++RestSerial;
    }
}

void SettleHistory() {
    if (PlayInMotion(Play) || !TankAligned()) return;
    // A won level is over: its board stays as it was won.
    if (LevelWon) QueueLength = 0;
    for (int32_t i = 0; i < QueueLength; ++i) {
        std::vector<Snapshot>& from = Queue[i] == ACTION_UNDO ? Undo : Redo;
        std::vector<Snapshot>& to = Queue[i] == ACTION_UNDO ? Redo : Undo;
        if (from.empty()) continue;
        to.push_back(Take());
        Restore(from.back());
        from.pop_back();
    }
    QueueLength = 0;
}

namespace {

void Fill(uint32_t* pixels, int32_t pitch, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > FIELD_SIZE) x1 = FIELD_SIZE;
    if (y1 > FIELD_SIZE) y1 = FIELD_SIZE;
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) pixels[y * (pitch / 4) + x] = colour;
}

// A frame around the cell, and a bar on the side the shot leaves by.
void DrawHint(uint32_t* pixels, int32_t pitch) {
    const uint32_t yellow = 0xFFE040;
    const int32_t x = HintCellX * CELL_SIZE, y = HintCellY * CELL_SIZE, t = 4;
    Fill(pixels, pitch, x, y, x + CELL_SIZE, y + t, yellow);
    Fill(pixels, pitch, x, y + CELL_SIZE - t, x + CELL_SIZE, y + CELL_SIZE, yellow);
    Fill(pixels, pitch, x, y, x + t, y + CELL_SIZE, yellow);
    Fill(pixels, pitch, x + CELL_SIZE - t, y, x + CELL_SIZE, y + CELL_SIZE, yellow);
    const int32_t mid = CELL_SIZE / 2, half = 6;
    switch (HintDirection) {
    case DIR_RIGHT: Fill(pixels, pitch, x + mid, y + mid - half / 2, x + CELL_SIZE, y + mid + half / 2, yellow); break;
    case DIR_LEFT: Fill(pixels, pitch, x, y + mid - half / 2, x + mid, y + mid + half / 2, yellow); break;
    case DIR_DOWN: Fill(pixels, pitch, x + mid - half / 2, y + mid, x + mid + half / 2, y + CELL_SIZE, yellow); break;
    default: Fill(pixels, pitch, x + mid - half / 2, y, x + mid + half / 2, y + mid, yellow); break;
    }
}

// A red band along the ring's outer edge, clear of the tank's path.
void DrawLost(uint32_t* pixels, int32_t pitch) {
    const uint32_t red = 0xD02020;
    const int32_t t = 6;
    Fill(pixels, pitch, 0, 0, FIELD_SIZE, t, red);
    Fill(pixels, pitch, 0, FIELD_SIZE - t, FIELD_SIZE, FIELD_SIZE, red);
    Fill(pixels, pitch, 0, 0, t, FIELD_SIZE, red);
    Fill(pixels, pitch, FIELD_SIZE - t, 0, FIELD_SIZE, FIELD_SIZE, red);
}

}  // namespace

void DrawNotices() {
    if (!HintDirection && !LostNoticeShown) return;
    int32_t pitch = 0;
    uint32_t* pixels = BackSurface ? PlatformLockSurface(BackSurface, &pitch) : nullptr;
    if (!pixels) return;
    if (LostNoticeShown) DrawLost(pixels, pitch);
    if (HintDirection) DrawHint(pixels, pitch);
    PlatformUnlockSurface(BackSurface);
}
