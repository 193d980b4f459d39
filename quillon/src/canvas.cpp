// The canvas's pixels and command list, and painting the list in bands across the band pool.
#include "canvas.h"

#include <algorithm>
#include <new>
#include <vector>

#include "band_pool.h"
#include "presenter.h"

namespace {

// More bands than threads, so that a thread done with the open sky takes a share of the floor.
const int kBandsPerThread = 4;
const int kMinBandRows = 16;

std::vector<uint32_t> pixels; // the picture being painted
std::vector<QlDrawCmd> pending;
int canvasW = 0, canvasH = 0;
bool poolStarted = false;
// With two pictures, the one last handed to the window, which must not change while it is
// presented, and whether the picture being painted lags behind it (they were swapped since).
std::vector<uint32_t> shown;
bool twoPictures = false;
bool behind = false;

// An opaque rectangle over the whole canvas hides everything drawn before it, like a clear.
bool CoversAll(const QlDrawCmd& cmd) {
    return cmd.kind == QlDrawCmd::Clear ||
           (cmd.kind == QlDrawCmd::Rect && cmd.color >> 24 == 255 && cmd.rect.x0 == 0 &&
            cmd.rect.y0 == 0 && cmd.rect.x1 == canvasW && cmd.rect.y1 == canvasH);
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
    uint32_t* canvas = pixels.data();
    // A frame starts from the last frame's pixels: after a swap they are in the shown picture,
    // and each band takes its rows over before painting them (unless the frame clears first).
    const uint32_t* last = behind && !CoversAll(cmds[0]) ? shown.data() : nullptr;
    int w = canvasW, h = canvasH;
    BandPool_Run(bands, [=](int band) {
        int y0 = std::min(h, band * rows), y1 = std::min(h, (band + 1) * rows);
        if (last) std::copy(last + (long)y0 * w, last + (long)y1 * w, canvas + (long)y0 * w);
        Raster_Band(cmds, count, canvas, w, h, y0, y1);
    });
    behind = false;
}

} // namespace

bool Canvas_Resize(int width, int height) {
    Presenter_Wait(); // the shown picture may be in the window's hands
    Canvas_Flush();
    if (width > kCanvasMaxSide || height > kCanvasMaxSide) return false;
    // The new picture is made beside the old one, so that a refusal leaves the old one whole.
    std::vector<uint32_t> fresh;
    try {
        fresh.assign((size_t)std::max(1, width) * (size_t)std::max(1, height), 0xFF000000u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (twoPictures) {
        try {
            shown = fresh;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    pixels.swap(fresh);
    canvasW = std::max(1, width);
    canvasH = std::max(1, height);
    behind = false;
    return true;
}

void Canvas_UseTwoPictures(bool on) {
    Presenter_Wait();
    Canvas_Flush();
    twoPictures = on;
    behind = false;
    if (on)
        shown = pixels;
    else
        std::vector<uint32_t>().swap(shown);
}

const uint32_t* Canvas_Swap() {
    Canvas_Flush();
    if (!twoPictures || pixels.empty()) return Canvas_Pixels();
    if (!behind) { // painted since the last swap: the painted picture is shown, the other painted
        pixels.swap(shown);
        behind = true;
    }
    return shown.data();
}

void Canvas_Release() {
    Presenter_Wait();
    std::vector<uint32_t>().swap(shown);
    twoPictures = behind = false;
    pending.clear();
    pending.shrink_to_fit();
    pixels.clear();
    pixels.shrink_to_fit();
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
    if (pending.empty() || pixels.empty()) {
        pending.clear();
        return;
    }
    PaintBands();
    pending.clear();
}

const uint32_t* Canvas_Pixels() {
    Canvas_Flush();
    return behind ? shown.data() : pixels.data();
}
