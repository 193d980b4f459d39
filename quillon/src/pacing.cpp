// The frame's wait: an absolute sleep (clock_nanosleep with TIMER_ABSTIME on Linux, a
// high-resolution waitable timer on Windows), then a bounded spin to the deadline itself.
#include "pacing.h"

#ifdef _WIN32
#include <windows.h>
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION // Windows 10 1803 on; older ones refuse the flag
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif
#else
#include <errno.h>
#include <time.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#endif

double Pacing_NextDeadline(double lastDeadline, double now, double interval) {
    double next = lastDeadline + interval;
    if (lastDeadline <= 0.0) return now + interval;
    if (now - next >= interval) return now; // a stall: the next frame starts at once, due from now
    return next;
}

namespace {

#ifdef _WIN32
// Sleeps for the seconds given on a high-resolution waitable timer, where Windows has one.
void SleepFor(double seconds) {
    static HANDLE timer = CreateWaitableTimerExW(
        nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!timer) timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -(LONGLONG)(seconds * 1e7); // relative, in 100 ns
    if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
        WaitForSingleObject(timer, INFINITE);
    else
        Sleep((DWORD)(seconds * 1000.0));
}
#else
// The kernel may wake a sleeper up to its timer slack late (50 us by default); the frame's
// thread asks for none, so that the spin after the sleep stays short.
void SleepUntilMonotonic(double seconds) {
#ifdef __linux__
    static const bool slackSet = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)slackSet;
#endif
    timespec at{};
    at.tv_sec = (time_t)seconds;
    at.tv_nsec = (long)((seconds - (double)at.tv_sec) * 1e9);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}
#endif

} // namespace

double Pacing_SleepUntil(double deadline, double (*now)(), double spinSeconds) {
    double left = deadline - now();
    if (left > spinSeconds) {
#ifdef _WIN32
        SleepFor(left - spinSeconds);
#else
        // The frame clock is CLOCK_MONOTONIC's time shifted: the deadline goes over as such.
        timespec at{};
        clock_gettime(CLOCK_MONOTONIC, &at);
        SleepUntilMonotonic((double)at.tv_sec + (double)at.tv_nsec * 1e-9 + left - spinSeconds);
#endif
    }
    double spinStart = now(), t = spinStart;
    while (t < deadline && t - spinStart < spinSeconds * 2.0)
        t = now();
    return t - spinStart;
}
