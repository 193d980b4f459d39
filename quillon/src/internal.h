// Quillon's shared inner state and the hooks its source files use to talk to each other.
// Only the engine's own sources include this header.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "quillon/engine_records.h"
#include "quillon/quillon.h"

// The two ways the engine runs, chosen once: in a window, with a sound card and pads, or headless
// for the test driver, with a fixed time step and scripted input. What differs between them is
// reached through this table only; the rest of the engine never asks which one it runs on. The one
// call that runs back, from the headless back end into the engine's frame, is the driver stepping
// the loop that a window's back end runs for itself.
struct QlBackend {
    bool (*openVideo)();   // the window and its way to the screen (nothing headless)
    void (*closeVideo)();  // what openVideo made
    void (*openDevices)(); // the sound card and the pads; closeDevices frees them and all else
    void (*closeDevices)();
    void (*gatherInput)(); // this frame's events: the window's, or the driver's virtual pads
    void (*measureDt)();   // the frame's time step and rate: the clock's, or the fixed one
    void (*present)(const uint32_t* pixels); // the finished canvas to the screen
    void (*waitForFrame)();                  // holds the frame rate to its cap
    void (*waitForEvents)(); // while hidden: until the next event, or a short timeout
    void* (*windowHandle)();
};
const QlBackend* Ql_WindowBackend();
const QlBackend* Ql_HeadlessBackend();

// Everything the engine holds between calls. One instance, g_ql.
struct QlEngine {
    // Mode and devices.
    const QlBackend* backend = Ql_WindowBackend();
    bool headless = false; // what QL_System_IsHeadless tells the game
    bool videoReady = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr; // only on the texture path to the window
    SDL_Texture* stream = nullptr;    // the canvas's copy on that path

    // Window.
    int width = 1280, height = 720; // canvas and drawable size in pixels
    float pointScale = 1.0f;        // drawable pixels per window point, for the mouse
    int displayW = 1280, displayH = 720;
    bool fullscreen = false;
    bool cursorShown = true;
    std::string title = "Quillon";
    std::string lastError;

    // Loop.
    QL_Callback init = nullptr, update = nullptr, exit = nullptr;
    QL_Callback nextInit = nullptr, nextUpdate = nullptr, nextExit = nullptr;
    bool changePending = false;
    bool terminated = false;
    bool displayLost = false; // the display connection went away: the loop ends, and the run fails
    double frameCap = 60.0;
    float dt = 0.0f;
    float fixedDt = 1.0f / 60.0f; // headless only
    float frameRate = 0.0f;
    long frame = 0;
    long presents = 0;    // pictures handed to the display
    bool exposed = false; // the window must be shown again, changed or not
    bool vsync = false;   // the renderer waits for the display's refresh at each present
    uint64_t lastTick = 0;
    double deadline = 0.0;     // when the frame is due, in seconds on the window's frame clock
    double spunSeconds = 0.0;  // the last wait's spin, at its end
    float workRate = 0.0f;     // 1 / the seconds from a frame's start to its picture handed over
    double inputSeconds = 0.0; // when the frame's input was gathered (FrameLatency_Now's clock)
    bool focus = true;
    bool hidden = false;     // the window is minimised or hidden: nothing is painted or presented
    bool hiddenSeen = false; // a whole frame has run since it was hidden (for the game to see it)

    // Drawing state.
    QL_Color fill{255, 255, 255, 255};
    QL_Color stroke{0, 0, 0, 255};
    bool strokeOn = true;
    int rectMode = 1;
    int imageMode = 0;
    int filterMode = 0;
    float textSize = 16.0f;
    int alignH = QL_ALIGN_LEFT, alignV = QL_ALIGN_TOP;
    bool countOnly = false;
};

extern QlEngine g_ql;

// engine.cpp
void Ql_Engine_Frame();
void Ql_Engine_StartStates(); // applies the first state change before the first frame

// window.cpp: the window backend
bool Ql_Video_Open(); // the backend's video (the window), then the canvas
void Ql_Video_Close();
// Whether a video driver shows a window: SDL's offscreen and dummy drivers only when requested.
bool Ql_Video_DriverShows(const char* driver, const char* requested);
void Ql_Video_Present();
void Ql_Video_HandleWindowEvent(const SDL_Event& e);

// input.cpp
void Ql_Input_BeginFrame(); // clears this frame's edges
void Ql_Input_HandleEvent(const SDL_Event& e);
void Ql_Input_Reset();
void Ql_Input_InjectKey(int place, int letter, bool down);
void Ql_Input_InjectMouseMove(float x, float y);
void Ql_Input_InjectButton(int button, bool down);
void Ql_Input_InjectWheel(int steps);
void Ql_Input_FocusLost();
void Ql_Input_EndFrame(); // leaves relative mouse mode when the game stopped re-centring
// After the frame's events: reads the pads and lets them drive the pointer on the screens.
void Ql_Input_AfterEvents();

// text.cpp
void Ql_Text_Shutdown();

// window.cpp: the window moved to a display, in full screen or centred there.
void Ql_Video_MoveToDisplay(int index);

// sound.cpp
void Ql_Sound_Open(bool withDevice);
void Ql_Sound_Close();
void Ql_Sound_Advance(float seconds); // mixes silently when there is no device
// A sound device added or removed: a lost device is closed and tried again.
void Ql_Sound_HandleEvent(const SDL_Event& e);
void Ql_Sound_PumpEvents(); // headless: reads the queue's audio events
// The rate the mixer puts out, with a device or without.
const int kQlOutputRate = 48000;
// Hands every later block mixed without a device to the sink; null stops.
void Ql_Sound_Capture(QLH_AudioSink sink, void* user);
int Ql_Sound_ActiveVoices();
float Ql_Sound_GroupVolume(int group);

// draw.cpp
void Ql_Draw_ResetState();
uint32_t Ql_Draw_Pack(QL_Color c); // the colour as a canvas pixel, channels clamped

int Ql_ClampChannel(int v);
