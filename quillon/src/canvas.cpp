// The canvas's pixels and command list, and painting the list in bands across the band pool.
#include "canvas.h"

#include <algorithm>
#include <new>
#include <vector>

#include "band_pool.h"

namespace {

// More bands than threads, so that a thread done with the open sky takes a share of the floor.
const int kBandsPerThread = 4;
const int kMinBandRows = 16;

std::vector<uint32_t> pixels;
std::vector<QlDrawCmd> pending;
int canvasW = 0, canvasH = 0;
bool poolStarted = false;

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
    BandPool_Run(bands, [=](int band) {
        Raster_Band(cmds, count, canvas, canvasW, canvasH, band * rows, (band + 1) * rows);
    });
}

} // namespace

bool Canvas_Resize(int width, int height) {
    Canvas_Flush();
    if (width > kCanvasMaxSide || height > kCanvasMaxSide) return false;
    // The new picture is made beside the old one, so that a refusal leaves the old one whole.
    std::vector<uint32_t> fresh;
    try {
        fresh.assign((size_t)std::max(1, width) * (size_t)std::max(1, height), 0xFF000000u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    pixels.swap(fresh);
    canvasW = std::max(1, width);
    canvasH = std::max(1, height);
    return true;
}

void Canvas_Release() {
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

// An opaque rectangle over the whole canvas hides everything drawn before it, like a clear.
static bool CoversAll(const QlDrawCmd& cmd) {
    return cmd.kind == QlDrawCmd::Clear ||
           (cmd.kind == QlDrawCmd::Rect && cmd.color >> 24 == 255 && cmd.rect.x0 == 0 &&
            cmd.rect.y0 == 0 && cmd.rect.x1 == canvasW && cmd.rect.y1 == canvasH);
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
    return pixels.data();
}
