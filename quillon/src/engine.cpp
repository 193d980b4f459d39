// The frame loop: events, edges, time step, the current state's update, presenting, the frame
// cap, and state changes applied between frames.
#include <SDL.h>

#include <cstdio>

#include "internal.h"
#include "pad.h"

QlEngine g_ql;

// A slower frame plays in slow motion instead. The game's decays (v - dt * v * 10) overshoot past
// a tenth of a second and reach exactly nothing at it, which would leave mouse look dead on a
// machine that draws 10 frames a second; at 0.05 they still keep half.
static const float kMaxDt = 0.05f;

void QL_Engine_SetNextGameState(QL_Callback init, QL_Callback update, QL_Callback exit) {
    g_ql.nextInit = init;
    g_ql.nextUpdate = update;
    g_ql.nextExit = exit;
    g_ql.changePending = true;
}

void QL_Engine_Terminate() {
    g_ql.terminated = true;
}

// Runs the old state's exit, then the new state's init.
static void ApplyStateChange() {
    if (!g_ql.changePending) return;
    g_ql.changePending = false;
    if (g_ql.exit) g_ql.exit();
    g_ql.init = g_ql.nextInit;
    g_ql.update = g_ql.nextUpdate;
    g_ql.exit = g_ql.nextExit;
    if (g_ql.init) g_ql.init();
}

static void PollEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) g_ql.terminated = true;
        Ql_Video_HandleWindowEvent(e);
        Ql_Input_HandleEvent(e);
    }
}

static double Seconds(uint64_t ticks) {
    return (double)ticks / (double)SDL_GetPerformanceFrequency();
}

static void MeasureDt() {
    if (g_ql.headless) {
        g_ql.dt = g_ql.fixedDt > kMaxDt ? kMaxDt : g_ql.fixedDt;
        g_ql.frameRate = g_ql.fixedDt > 0.0f ? 1.0f / g_ql.fixedDt : 0.0f;
        return;
    }
    uint64_t now = SDL_GetPerformanceCounter();
    double elapsed = g_ql.lastTick ? Seconds(now - g_ql.lastTick) : 1.0 / g_ql.frameCap;
    g_ql.lastTick = now;
    g_ql.frameRate = elapsed > 0.0 ? (float)(1.0 / elapsed) : 0.0f;
    g_ql.dt = elapsed > kMaxDt ? kMaxDt : (float)elapsed;
}

// SDL_Delay alone overshoots; sleep to about a millisecond before the deadline, then spin.
static void WaitForFrameCap() {
    if (g_ql.headless || g_ql.frameCap <= 0.0) return;
    double deadline = Seconds(g_ql.lastTick) + 1.0 / g_ql.frameCap;
    for (;;) {
        double left = deadline - Seconds(SDL_GetPerformanceCounter());
        if (left <= 0.0) return;
        if (left > 0.002) SDL_Delay((uint32_t)((left - 0.001) * 1000.0));
    }
}

// One frame of the loop. Used by QL_Engine_Run and by the headless driver.
void Ql_Engine_Frame() {
    Ql_Input_BeginFrame();
    if (!g_ql.headless) {
        PollEvents();
        Ql_Video_SyncSize();
    } else {
        Pad_PumpHeadless(Ql_Input_HandleEvent);
    }
    MeasureDt();
    Ql_Input_AfterEvents();
    if (g_ql.update) g_ql.update();
    Ql_Input_EndFrame();
    Ql_Sound_Advance(g_ql.dt);
    Ql_Video_Present();
    WaitForFrameCap();
    ApplyStateChange();
    g_ql.frame++;
}

void Ql_Engine_StartStates() {
    ApplyStateChange();
}

int QL_Engine_Run() {
    if (!g_ql.videoReady && !Ql_Video_Open()) return 1;
    Ql_Sound_Open(!g_ql.headless);
    if (!g_ql.headless) Pad_Open(false);
    ApplyStateChange();
    g_ql.lastTick = 0;
    while (!g_ql.terminated)
        Ql_Engine_Frame();
    if (g_ql.exit) g_ql.exit();
    g_ql.exit = g_ql.update = g_ql.init = nullptr;
    if (!g_ql.headless) {
        Ql_Sound_Close();
        Pad_Close();
        Ql_Text_Shutdown(); // the font stays loaded for the program's life: it goes here
        Ql_Video_Close();
        SDL_Quit();
    }
    return 0;
}

float QL_System_GetDt() {
    return g_ql.dt;
}
float QL_System_GetFrameRate() {
    return g_ql.frameRate;
}
void QL_System_SetFrameRate(double fps) {
    g_ql.frameCap = fps;
}
