// The frame loop: events, edges, time step, the current state's update, presenting, the frame
// cap, and state changes applied between frames.
#include <SDL.h>

#include <chrono>
#include <cstdio>

#include "frame_latency.h"
#include "internal.h"
#include "line_cache.h"
#include "pad.h"
#include "resample_cache.h"

QlEngine g_ql;

// A slower frame plays in slow motion instead. The game's decays (v - dt * v * 10) overshoot past
// a tenth of a second and reach exactly nothing at it, which would leave mouse look dead on a
// machine that draws 10 frames a second; at 0.05 they still keep half.

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

// One frame of the loop. Used by QL_Engine_Run and by the headless driver.
// A frame of a hidden window: events only, nothing updated, painted or presented, and no frame
// counted. The first frame after hiding runs whole, so that the game sees the focus go.
static void IdleFrame() {
    g_ql.backend->waitForEvents();
    Ql_Input_BeginFrame();
    g_ql.backend->gatherInput();
    Ql_Input_AfterEvents();
    Ql_Input_EndFrame();
    ApplyStateChange();
}

void Ql_Engine_Frame() {
    if (g_ql.hidden && g_ql.hiddenSeen) return IdleFrame();
    g_ql.hiddenSeen = g_ql.hidden;
    auto start = std::chrono::steady_clock::now();
    Ql_Input_BeginFrame();
    g_ql.backend->gatherInput();
    g_ql.inputSeconds = FrameLatency_Now();
    g_ql.backend->measureDt();
    g_ql.dt = g_ql.dt > QL_MAX_DT ? QL_MAX_DT : g_ql.dt;
    Ql_Input_AfterEvents();
    if (g_ql.update) g_ql.update();
    Ql_Input_EndFrame();
    Ql_Sound_Advance(g_ql.dt);
    Ql_Video_Present();
    // Headless, the step set the work's rate already (see headless.cpp).
    double work = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!g_ql.headless) g_ql.workRate = work > 0.0 ? (float)(1.0 / work) : 0.0f;
    ResampleCache_EndFrame(); // the frame is painted: nothing waits on what it drops
    LineCache_EndFrame();
    g_ql.backend->waitForFrame();
    ApplyStateChange();
    g_ql.frame++;
}

void Ql_Engine_StartStates() {
    ApplyStateChange();
}

int QL_Engine_Run() {
    if (!g_ql.videoReady && !Ql_Video_Open()) return 1;
    g_ql.backend->openDevices();
    ApplyStateChange();
    g_ql.lastTick = 0;
    while (!g_ql.terminated)
        Ql_Engine_Frame();
    if (g_ql.exit) g_ql.exit();
    g_ql.exit = g_ql.update = g_ql.init = nullptr;
    g_ql.backend->closeDevices();
    return g_ql.displayLost ? 1 : 0;
}

float QL_System_GetDt() {
    return g_ql.dt;
}
float QL_System_GetFrameRate() {
    return g_ql.frameRate;
}
float QL_System_GetWorkRate() {
    return g_ql.workRate;
}
double QL_System_GetFrameCap() {
    return g_ql.frameCap;
}
long QL_System_GetPresentCount() {
    return g_ql.presents;
}
bool QL_System_IsHidden() {
    return g_ql.hidden;
}
int QL_System_TakeFrameLatencies(float* seconds, int max) {
    return FrameLatency_Take(seconds, max);
}
void QL_System_SetFrameRate(double fps) {
    g_ql.frameCap = fps;
}
