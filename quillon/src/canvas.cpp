// The canvas's pixels and command list, and painting the list in bands across the band pool.
#include "canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "band_pool.h"
#include "presenter.h"
#include "solid_cells.h"

namespace {

// More bands than threads, so that a thread done with the open sky takes a share of the floor.
const int kBandsPerThread = 4;
const int kMinBandRows = 16;

// The pictures' memory, unless the window lends its own.
std::vector<uint32_t> ownA, ownB;
uint32_t* painted = nullptr; // the picture being painted
std::vector<QlDrawCmd> pending;
int canvasW = 0, canvasH = 0;
bool poolStarted = false;
// With two pictures, the one last handed to the window, which must not change while it is
// presented, and whether the picture being painted lags behind it (they were swapped since).
uint32_t* shown = nullptr;
bool twoPictures = false;
bool behind = false;
bool changed = true; // since Canvas_TakeChanged last said
// What each picture's rows hold already; they change hands with the pictures.
SolidCells knownPainted, knownShown;

size_t PixelCount() {
    return (size_t)canvasW * (size_t)canvasH;
}

// An opaque rectangle over the whole canvas hides everything drawn before it, like a clear.
bool CoversAll(const QlDrawCmd& cmd) {
    return cmd.kind == QlDrawCmd::Clear ||
           (cmd.kind == QlDrawCmd::Rect && cmd.color >> 24 == 255 && cmd.rect.x0 == 0 &&
            cmd.rect.y0 == 0 && cmd.rect.x1 == canvasW && cmd.rect.y1 == canvasH);
}

// Whether fills leave alone the pixels that hold their colour already; QUILLON_REUSE=0 has them
// write every pixel, for comparison.
bool Reusing() {
    static const bool on = [] {
        const char* wanted = std::getenv("QUILLON_REUSE");
        return !wanted || std::strcmp(wanted, "0") != 0;
    }();
    return on;
}

// The pictures are new, or written outside painting: nothing is known of their pixels.
void ForgetPictures() {
    knownPainted.Reset(canvasH, canvasW);
    knownShown.Reset(canvasH, canvasW);
}

void PaintBands() {
    if (!poolStarted) {
        BandPool_Start(0);
        poolStarted = true;
    }
    int bands = std::max(1, std::min(BandPool_Threads() * kBandsPerThread, canvasH / kMinBandRows));
    int rows = (canvasH + bands - 1) / bands;
    const QlDrawCmd* cmds = pending.data();
    int count = (int)pending.size();
    uint32_t* canvas = painted;
    // A frame starts from the last frame's pixels: after a swap they are in the shown picture,
    // and each band takes its rows over before painting them (unless the frame clears first).
    const uint32_t* last = behind && !CoversAll(cmds[0]) ? shown : nullptr;
    int w = canvasW, h = canvasH;
    SolidCells* known = Reusing() ? &knownPainted : nullptr;
    BandPool_Run(bands, [=](int band) {
        int y0 = std::min(h, band * rows), y1 = std::min(h, (band + 1) * rows);
        if (last) {
            std::copy(last + (long)y0 * w, last + (long)y1 * w, canvas + (long)y0 * w);
            if (known) known->Forget(y0, y1); // none kept when fills write every pixel
        }
        Raster_Band(cmds, count, canvas, w, h, y0, y1, known);
    });
    behind = false;
    changed = true;
}

} // namespace

bool Canvas_Resize(int width, int height) {
    Presenter_Wait(); // the shown picture may be in the window's hands
    Canvas_Flush();
    if (width > kCanvasMaxSide || height > kCanvasMaxSide) return false;
    // The new pictures are made beside the old ones, so that a refusal leaves the old ones whole.
    std::vector<uint32_t> freshA, freshB;
    try {
        freshA.assign((size_t)std::max(1, width) * (size_t)std::max(1, height), 0xFF000000u);
        if (twoPictures) freshB = freshA;
    } catch (const std::bad_alloc&) {
        return false;
    }
    ownA.swap(freshA);
    ownB.swap(freshB);
    painted = ownA.data();
    shown = twoPictures ? ownB.data() : nullptr;
    canvasW = std::max(1, width);
    canvasH = std::max(1, height);
    ForgetPictures();
    behind = false;
    changed = true;
    return true;
}

void Canvas_UseTwoPictures(bool on, uint32_t* a, uint32_t* b) {
    Presenter_Wait();
    if (!painted) { // no canvas yet: the next resize makes as many pictures as asked
        twoPictures = on;
        return;
    }
    // The latest picture goes on in the pictures chosen.
    std::vector<uint32_t> latest(Canvas_Pixels(), Canvas_Pixels() + PixelCount());
    ForgetPictures();
    twoPictures = on;
    behind = false;
    changed = true;
    if (on && a && b) {
        std::copy(latest.begin(), latest.end(), a);
        painted = a;
        shown = b;
        std::vector<uint32_t>().swap(ownA);
        std::vector<uint32_t>().swap(ownB);
        return;
    }
    ownA.swap(latest);
    painted = ownA.data();
    if (on)
        ownB = ownA;
    else
        std::vector<uint32_t>().swap(ownB);
    shown = on ? ownB.data() : nullptr;
}

const uint32_t* Canvas_Swap() {
    Canvas_Flush();
    if (!twoPictures || !painted) return Canvas_Pixels();
    if (!behind) { // painted since the last swap: the painted picture is shown, the other painted
        std::swap(painted, shown);
        std::swap(knownPainted, knownShown);
        behind = true;
    }
    return shown;
}

void Canvas_Release() {
    Presenter_Wait();
    std::vector<uint32_t>().swap(ownA);
    std::vector<uint32_t>().swap(ownB);
    painted = shown = nullptr;
    twoPictures = behind = false;
    knownPainted.Reset(0, 0);
    knownShown.Reset(0, 0);
    pending.clear();
    pending.shrink_to_fit();
    canvasW = canvasH = 0;
    if (poolStarted) BandPool_Stop();
    poolStarted = false;
}

int Canvas_Width() {
    return canvasW;
}
int Canvas_Height() {
    return canvasH;
}

void Canvas_Record(const QlDrawCmd& cmd) {
    if (CoversAll(cmd)) pending.clear();
    pending.push_back(cmd);
}

void Canvas_Flush() {
    if (pending.empty() || !painted) {
        pending.clear();
        return;
    }
    PaintBands();
    pending.clear();
}

bool Canvas_TakeChanged() {
    Canvas_Flush();
    bool was = changed;
    changed = false;
    return was;
}

const uint32_t* Canvas_Pixels() {
    Canvas_Flush();
    return behind ? shown : painted;
}
