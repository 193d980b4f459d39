// The program's start: default settings, full screen, the frame cap and the first state.
#pragma once

// Everything the entry point does before running the engine loop.
void App_Start();
