// The scene renderer and its state.
#pragma once

#include <cstdint>

#include "world/projection.h"

const int32_t kMaxRenderDistance = 64;

extern int32_t renderDistance; // farthest ring drawn, 0 to 64; adapts to the frame rate
// Where set (0 to 64), the render distance stays there instead of adapting: zorb-headless draws
// the whole arena this way, since its frame rate is its time step's, not a machine's. -1: adapts.
extern int32_t renderDistancePinned;
extern int32_t facesRendered;   // faces drawn since the debug overlay last cleared it
extern int32_t spritesRendered; // sprites drawn since then
extern float skyStepTimer;      // seconds to the sky colour's next step toward its target
extern float waveTime;          // the liquid wave's clock, 10 s a period

// Draws one frame of the arena and its sprites seen from the view, after the camera passes have
// set this frame's rings and visibility.
void Render_Scene(const View& view);
// The renderer's state as at program start: distance 0, the sky's and the wave's clocks.
void Render_Reset();
enum Face { kEast, kNorth, kWest, kSouth };

// Whether a side face can be seen, on the view angle v alone (all comparisons strict).
bool Render_FacePasses(Face face, float v, float half);
// Far faces first: the face on the dominant axis that looks away from the camera, then the two
// across, then the near one. dx, dy: the cell's centre relative to the camera.
void Render_FaceOrder(float dx, float dy, Face order[4]);
// One ring less below 60 frames per second, one more above 75, between 0 and 64.
void Render_AdaptDistance(float fps);
// The rate that rule reads: the frame rate, unless a cap below the default holds the frames back
// (a display at 60 Hz reads 59.9 half the time): then the rate the frames' work allows.
float Render_RateForDistance(float frameRate, float workRate, double frameCap);
