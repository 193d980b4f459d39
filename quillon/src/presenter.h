// Presenting on a thread of its own: while the last frame goes to the window, the next one is
// simulated and painted into the canvas's other picture. Used where presenting is a copy the CPU
// and the display server make (a window without a GPU); a GPU's present stays on the main thread.
#pragma once

#include <cstdint>

typedef void (*QlPresentFn)(const uint32_t* pixels);

// Starts the thread that presents with present. Stops one already running first.
void Presenter_Start(QlPresentFn present);
// Waits for the frame in hand, then ends the thread.
void Presenter_Stop();
bool Presenter_On();
// Hands a finished picture over to be presented; it must not change until Presenter_Wait returns.
// inputSeconds (on FrameLatency_Now's clock) is when its frame's input was gathered: the frame's
// latency is taken once the picture has been presented.
void Presenter_Hand(const uint32_t* pixels, double inputSeconds);
// Returns once no picture is being presented (at once when the thread is off).
void Presenter_Wait();
