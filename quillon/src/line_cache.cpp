// The strips, by font size and text, dropped after 120 frames unused or past 1,024 lines or
// 32 MB, the longest unused first.
#include "line_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

namespace {

const long kUnusedFrames = 120;
const size_t kMaxLines = 1024;
const size_t kMaxBytes = 32u << 20;

struct Strip {
    std::vector<uint8_t> cover; // width x height, row after row
    int width = 0, height = 0, left = 0;
    bool overlapping = false; // painted glyph by glyph
    long lastUsed = 0;
};

std::unordered_map<std::string, Strip> strips;
size_t keptBytes = 0;
long frame = 0;
long hits = 0, misses = 0;

std::string Key(const void* owner, const char* text) {
    std::string key(sizeof owner, '\0');
    std::memcpy(&key[0], &owner, sizeof owner);
    return key + text;
}

QlGlyphMask MaskOf(const Strip& s) {
    return QlGlyphMask{s.cover.data(), s.width, s.width, s.height};
}

// Lays the glyphs' coverage side by side; false at the first pixel two of them cover.
bool Build(const std::vector<QlPlacedGlyph>& glyphs, Strip* s) {
    int right = s->left = glyphs.empty() ? 0 : glyphs[0].x;
    for (const QlPlacedGlyph& g : glyphs) {
        s->left = std::min(s->left, g.x);
        right = std::max(right, g.x + g.mask.width);
        s->height = std::max(s->height, g.mask.height);
    }
    s->width = right - s->left;
    s->cover.assign((size_t)s->width * (size_t)s->height, 0);
    for (const QlPlacedGlyph& g : glyphs)
        for (int y = 0; y < g.mask.height; y++)
            for (int x = 0; x < g.mask.width; x++) {
                uint8_t c = g.mask.data[(long)y * g.mask.stride + x];
                uint8_t& out = s->cover[(size_t)y * s->width + (size_t)(g.x + x - s->left)];
                if (c && out) return false;
                out = (uint8_t)(out | c);
            }
    return true;
}

void Drop(std::unordered_map<std::string, Strip>::iterator it) {
    keptBytes -= it->second.cover.size();
    strips.erase(it);
}

} // namespace

bool LineCache_Find(const void* owner, const char* text, QlGlyphMask* strip, int* left,
                    bool* known) {
    auto it = strips.find(Key(owner, text));
    *known = it != strips.end();
    if (!*known) return false;
    it->second.lastUsed = frame;
    if (it->second.overlapping) return false;
    hits++;
    *strip = MaskOf(it->second);
    *left = it->second.left;
    return true;
}

bool LineCache_Keep(const void* owner, const char* text, const std::vector<QlPlacedGlyph>& glyphs,
                    QlGlyphMask* strip, int* left) {
    misses++;
    Strip s;
    s.lastUsed = frame;
    s.overlapping = !Build(glyphs, &s) || s.width <= 0 || s.height <= 0;
    if (s.overlapping) std::vector<uint8_t>().swap(s.cover);
    Strip& kept = strips[Key(owner, text)] = std::move(s);
    keptBytes += kept.cover.size();
    if (kept.overlapping) return false;
    *strip = MaskOf(kept);
    *left = kept.left;
    return true;
}

void LineCache_EndFrame() {
    frame++;
    for (auto it = strips.begin(); it != strips.end();)
        if (frame - it->second.lastUsed > kUnusedFrames)
            Drop(it++);
        else
            ++it;
    while (strips.size() > kMaxLines || keptBytes > kMaxBytes) {
        auto oldest =
            std::min_element(strips.begin(), strips.end(), [](const auto& a, const auto& b) {
                return a.second.lastUsed < b.second.lastUsed;
            });
        Drop(oldest);
    }
}

void LineCache_Clear() {
    strips.clear();
    keptBytes = 0;
}

void LineCache_Counts(long* h, long* m) {
    *h = hits;
    *m = misses;
}
