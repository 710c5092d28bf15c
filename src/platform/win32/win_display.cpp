// The display: DirectDraw in the desktop's normal cooperative level, the
// screen switched to the game's mode, surfaces in system memory blitted with
// DirectDraw's own Blt, and the frame paced to 60 per second.
#include "platform/win32/win32.h"
// after windows.h, which it needs
#include <mmsystem.h>

#include "platform/clip/clip.h"
#include "platform/pacing/pacing.h"

struct Surface {
    IDirectDrawSurface* dds;
    int32_t width, height;
    bool used;
};

// Every surface the game makes is made at start-up: a fixed pool is enough,
// and it lets shutdown release what the game left behind.
constexpr int MAX_SURFACES = 256;
static Surface SurfacePool[MAX_SURFACES];

IDirectDraw* DirectDraw = nullptr;
static IDirectDrawSurface* Primary = nullptr;
static Surface* Presented = nullptr;  // the last frame shown, for repaints
static bool ModeChanged = false;
static bool TimerPeriodSet = false;
static FramePacer Pacer{};

// Microseconds from a fixed start, from the performance counter.
static int64_t MicrosecondsNow() {
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<int64_t>(now.QuadPart / frequency.QuadPart * 1000000 +
                                now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart);
}

static bool DesktopIs32Bit() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    return DirectDraw->GetDisplayMode(&desc) == DD_OK && (desc.dwFlags & DDSD_PIXELFORMAT) &&
           desc.ddpfPixelFormat.dwRGBBitCount == 32;
}

int PlatformInitDisplay(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (DirectDraw) return 1;
    if (DirectDrawCreate(nullptr, &DirectDraw, nullptr) != DD_OK) {
        DirectDraw = nullptr;
        return 0;
    }
    if (DirectDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL) != DD_OK) {
        PlatformShutdownDisplay();
        return 0;
    }
    if (DirectDraw->SetDisplayMode(width, height, bitsPerPixel) == DD_OK) {
        ModeChanged = true;
    } else if (!DesktopIs32Bit()) {
        // Every picture is written as 4 bytes a pixel: any other desktop
        // mode would show garbage.
        PlatformShutdownDisplay();
        PlatformShowMessage("The display cannot be switched to 32 bits per pixel.");
        return 0;
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (DirectDraw->CreateSurface(&desc, &Primary, nullptr) != DD_OK) {
        Primary = nullptr;
        PlatformShutdownDisplay();
        return 0;
    }
    // Frames go straight to the screen: clipped to the game's window, they
    // never paint over a dialog or a menu in front of it.
    IDirectDrawClipper* clipper = nullptr;
    if (GameWindow && DirectDraw->CreateClipper(0, &clipper, nullptr) == DD_OK) {
        if (clipper->SetHWnd(0, GameWindow) == DD_OK) Primary->SetClipper(clipper);
        clipper->Release();  // the surface holds it now
    }
    TimerPeriodSet = timeBeginPeriod(1) == TIMERR_NOERROR;
    ResetPacer(&Pacer);
    return 1;
}

void PlatformShutdownDisplay() {
    for (Surface& s : SurfacePool) {
        if (s.used && s.dds) s.dds->Release();
        s = Surface{};
    }
    if (Primary) Primary->Release();
    Primary = nullptr;
    Presented = nullptr;
    if (DirectDraw) {
        if (ModeChanged) DirectDraw->RestoreDisplayMode();
        DirectDraw->Release();
    }
    DirectDraw = nullptr;
    ModeChanged = false;
    if (TimerPeriodSet) timeEndPeriod(1);
    TimerPeriodSet = false;
}

Surface* PlatformCreateSurface(int32_t width, int32_t height) {
    if (!DirectDraw || width <= 0 || height <= 0) return nullptr;
    Surface* slot = nullptr;
    for (Surface& s : SurfacePool)
        if (!s.used) {
            slot = &s;
            break;
        }
    if (!slot) return nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    // System memory surfaces are never lost, so pictures cut at start-up stay.
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* dds = nullptr;
    if (DirectDraw->CreateSurface(&desc, &dds, nullptr) != DD_OK || !dds) return nullptr;
    DDCOLORKEY key{0, 0};
    dds->SetColorKey(DDCKEY_SRCBLT, &key);
    // Start black, as a fresh surface of the other platforms does.
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    dds->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    *slot = Surface{dds, width, height, true};
    return slot;
}

void PlatformDestroySurface(Surface* surface) {
    if (!surface || !surface->used) return;
    if (surface == Presented) Presented = nullptr;
    if (surface->dds) surface->dds->Release();
    *surface = Surface{};
}

SurfaceSize PlatformSurfaceSize(const Surface* surface) {
    return surface ? SurfaceSize{surface->width, surface->height} : SurfaceSize{0, 0};
}

uint32_t* PlatformLockSurface(Surface* surface, int32_t* pitchBytes) {
    if (!surface || !surface->dds) return nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->dds->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_SURFACEMEMORYPTR, nullptr) != DD_OK) return nullptr;
    if (pitchBytes) *pitchBytes = desc.lPitch;
    return static_cast<uint32_t*>(desc.lpSurface);
}

void PlatformUnlockSurface(Surface* surface) {
    if (surface && surface->dds) surface->dds->Unlock(nullptr);
}

int PlatformBlit(Surface* dst, const Rect* dstRect, Surface* src, const Rect* srcRect, bool keyed) {
    if (!dst || !src || !dst->dds || !src->dds) return 0;
    Rect d = dstRect ? *dstRect : Rect{0, 0, dst->width, dst->height};
    Rect s = srcRect ? *srcRect : Rect{0, 0, src->width, src->height};
    // DirectDraw refuses rectangles that leave a surface (there is no
    // clipper): they are clipped as the software blitter clips its copies.
    if (!ClipBlit(&d, dst->width, dst->height, &s, src->width, src->height)) return 1;
    RECT rd{d.left, d.top, d.right, d.bottom};
    RECT rs{s.left, s.top, s.right, s.bottom};
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    dst->dds->Blt(&rd, src->dds, &rs, DDBLT_WAIT | (keyed ? DDBLT_KEYSRC : 0), &fx);
    return 1;
}

void RepaintField() {
    if (Presented) PlatformPresent(Presented, FieldTiles{});
}

void PlatformPresent(Surface* back, const FieldTiles&) {
    Presented = back;
    if (!Primary || !back || !back->dds || IsIconic(GameWindow)) return;
    Rect r = CurrentPresentationRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    RECT dest{r.left, r.top, r.right, r.bottom};
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    // A frame that cannot be shown is dropped; the next one tries again.
    if (Primary->Blt(&dest, back->dds, nullptr, DDBLT_WAIT, &fx) == DDERR_SURFACELOST) Primary->Restore();
}

void PlatformWaitFrame() {
    if (DirectDraw) DirectDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    // The slots every front end keeps, waited for here: nothing else runs
    // the frames on Windows.
    for (int64_t left; (left = WaitBeforeFrame(&Pacer, MicrosecondsNow())) > 0;)
        Sleep(left > 2000 ? static_cast<DWORD>(left / 1000 - 1) : 0);
}

uint32_t PlatformTicks() { return GetTickCount(); }

void PlatformIdle() {}
