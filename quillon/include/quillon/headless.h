// The headless driver: runs the engine without a display or sound device, with a fixed time
// step and scripted input, so tests and tools can step the real program frame by frame.
#pragma once

#include <string>
#include <vector>

#include "quillon/engine_records.h"
#include "quillon/quillon.h"

// Switches the engine to headless mode: a software canvas of width x height, a fixed dt,
// no audio device. Must be called before anything else touches the engine. False when the canvas
// cannot be made (a side above 16384 pixels, or no memory for it).
bool QLH_Start(int width, int height, float dt);
// Frees every engine resource and returns to the state before QLH_Start.
void QLH_Shutdown();
void QLH_SetDt(float dt);
// So many displays of the canvas's size side by side, "HEADLESS 1" first; the window on the first.
void QLH_SetDisplayCount(int count);
void QLH_SetFocus(bool focused);
// As a window minimised (which also loses the focus) or restored.
void QLH_SetHidden(bool hidden);

// Scripted input, taking effect at the next frame's start.
void QLH_KeyDown(int key);
void QLH_KeyUp(int key);
void QLH_KeyTap(int key); // down and up between two frames
// These type as a US layout does. A key of another layout has a place and a letter of its own:
// on AZERTY, the key at W's place types Z (QLH_KeyDownAs('W', 'Z')).
void QLH_KeyDownAs(int place, int letter);
void QLH_KeyUpAs(int place, int letter);
void QLH_MouseMove(float x, float y);
// A virtual pad plugged in (false when SDL cannot make one), and unplugged; buttons and axes
// (QL_PAD_...; sticks -1 to 1, triggers 0 to 1) go to the last one plugged in. Seen at the next
// frame, through SDL's own controller events and mapping.
bool QLH_PadConnect();
void QLH_PadDisconnect();
void QLH_PadButton(int button, bool down);
void QLH_PadAxis(int axis, float value);
void QLH_MouseButton(bool down);               // the left button
void QLH_MouseButtonOf(int button, bool down); // QL_MOUSE_...
void QLH_Wheel(int steps);                     // +: away from the player

// Runs n frames of the current state. Returns false once the loop has been terminated.
bool QLH_Step(int n);
bool QLH_Terminated();
long QLH_FrameCount();

// Canvas reads.
void QLH_ReadPixel(int x, int y, int* r, int* g, int* b, int* a);
// The canvas as a PNG file's bytes, in memory; false when it cannot be encoded.
bool QLH_EncodePng(std::vector<unsigned char>* png);
// Saves the canvas as a PNG; false when any part of the write failed.
bool QLH_SavePng(const char* path);

// While on, everything the mixer puts out is kept: interleaved stereo float at
// QLH_AudioRate() frames a second, what a sound device would have received (switching clears).
void QLH_SetAudioCapture(bool on);
const std::vector<float>& QLH_AudioCapture();
int QLH_AudioRate();
// Instead of keeping it, hands the mixer's output to a sink as it is made: blocks of `frames`
// interleaved stereo samples. Null stops. Replaces QLH_SetAudioCapture's keeping.
void QLH_SetAudioSink(QLH_AudioSink sink, void* user);

// The number of voices the mixer is playing (paused ones included).
int QLH_ActiveVoices();
// A real sound device headless (through SDL_AUDIODRIVER, "dummy" in the tests), as the window
// has one: opened, its removal posted as the system would, whether it is open, the frames its
// callback has mixed, and a number of opens made to fail.
bool QLH_OpenSoundDevice();
void QLH_PostSoundDeviceRemoved();
bool QLH_SoundDeviceOpen();
long QLH_SoundDeviceFrames();
void QLH_FailSoundOpens(int count);
// The volume of a sound group, as QL_Sound_SetGroupVolume left it (1.0 by default).
float QLH_GroupVolume(int group);

const std::vector<QLH_PlayEntry>& QLH_PlayLog();
const std::vector<QLH_AssetEntry>& QLH_AssetLog();
void QLH_ClearLogs();

// Counters of the drawing calls issued since the last reset.
QLH_DrawStats QLH_GetDrawStats();
// While on, every string handed to QL_Font_DrawText is kept, in order (cleared when switched).
void QLH_SetTextLog(bool on);
const std::vector<std::string>& QLH_TextLog();
void QLH_ResetDrawStats();
// When set, draw calls are counted but not rasterised (to measure the game's own cost).
void QLH_SetCountOnly(bool countOnly);
// Presents every frame on a thread of its own, as a window without a GPU does, through present
// (which sees each finished picture, of the canvas's size); null presents on the main thread.
void QLH_SetPresentThread(void (*present)(const uint32_t* pixels));

// The update callback of the state now running (to tell which state the program is in).
QL_Callback QLH_CurrentUpdate();

// Makes every later QL_Random_Seed use this seed instead of its argument (repeatable runs).
void QLH_ForceSeed(unsigned seed);
void QLH_ReleaseSeed();
