// What the engine keeps a log of, for the headless driver to hand to tests and tools: the sounds
// started, the assets loaded and freed, the drawing calls counted, and the mixer's output. The
// engine writes these records; the driver (quillon/headless.h) reads them.
#pragma once

#include <string>

// One sound started through QL_Sound_PlayAdvanced.
struct QLH_PlayEntry {
    std::string path; // file the sound was loaded from; empty for the empty handle
    float volume;
    float pitch;
    bool looping;
    int group;
    long frame; // frame number at which it was played
};

// One asset loaded or freed.
struct QLH_AssetEntry {
    enum Kind { Load, Free } kind;
    std::string type; // "image", "sound" or "font"
    std::string path; // empty for an empty handle
};

// Counters of the drawing calls issued since the last reset.
struct QLH_DrawStats {
    long quads, rects, images, texts;
    long atlasBuilds; // glyph atlases built (or found impossible) for a font size
};

// Where the mixer's output goes as it is made: blocks of `frames` interleaved stereo samples.
typedef void (*QLH_AudioSink)(const float* samples, int frames, void* user);
