// The kept resampled pictures.
#include "resample_cache.h"

#include <cstring>
#include <vector>

namespace {

const int kMaxEntries = 16;
const size_t kMaxBytes = 64u << 20;
const long kUnusedFrames = 120;

struct Entry {
    QlDrawCmd key;                // the command as it was recorded, resampled field aside
    std::vector<uint32_t> texels; // empty until the draw is seen a second time
    long lastUsed = 0;
};

std::vector<Entry> entries;
long frame = 0;

// The same picture, source rectangle, size, place and covered pixels.
bool SameDraw(const QlDrawCmd& a, const QlDrawCmd& b) {
    const auto &x = a.image, &y = b.image;
    return x.src.data == y.src.data && x.sx == y.sx && x.sy == y.sy && x.sw == y.sw &&
           x.sh == y.sh && x.posX == y.posX && x.posY == y.posY && x.texelW == y.texelW &&
           x.texelH == y.texelH && x.flipX == y.flipX && x.flipY == y.flipY && x.x0 == y.x0 &&
           x.x1 == y.x1 && a.top == b.top && a.bottom == b.bottom;
}

size_t Pixels(const QlDrawCmd& c) {
    return (size_t)(c.image.x1 - c.image.x0) * (size_t)(c.bottom - c.top);
}

size_t BytesKept() {
    size_t n = 0;
    for (const Entry& e : entries)
        n += e.texels.size() * sizeof(uint32_t);
    return n;
}

} // namespace

void ResampleCache_Attach(QlDrawCmd* cmd) {
    if (cmd->kind != QlDrawCmd::Image || !cmd->image.smooth) return;
    for (Entry& e : entries) {
        if (!SameDraw(e.key, *cmd)) continue;
        if (e.texels.empty() && Pixels(*cmd) * sizeof(uint32_t) + BytesKept() <= kMaxBytes) {
            e.texels.resize(Pixels(*cmd));
            Raster_Resample(*cmd, e.texels.data());
        }
        e.lastUsed = frame;
        cmd->image.resampled = e.texels.empty() ? nullptr : e.texels.data();
        return;
    }
    if ((int)entries.size() >= kMaxEntries) return; // already full of pictures in use
    Entry e;
    e.key = *cmd;
    e.lastUsed = frame;
    entries.push_back(std::move(e));
}

void ResampleCache_EndFrame() {
    frame++;
    for (size_t i = entries.size(); i-- > 0;)
        if (frame - entries[i].lastUsed > kUnusedFrames) entries.erase(entries.begin() + (long)i);
}

void ResampleCache_Forget(const uint32_t* pixels) {
    for (size_t i = entries.size(); i-- > 0;)
        if (entries[i].key.image.src.data == pixels) entries.erase(entries.begin() + (long)i);
}

void ResampleCache_Clear() {
    entries.clear();
}
