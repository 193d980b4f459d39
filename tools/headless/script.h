// The command line of zorb-headless: run settings and the scripted actions at given frames.
#pragma once

#include <string>
#include <vector>

struct HeadlessAction {
    long frame;
    enum Kind {
        KeyTap,
        KeyDown,
        KeyUp,
        Click,
        ButtonUp,
        Mouse,
        Focus,
        PadConnect,
        PadDisconnect,
        PadButton,
        PadAxis,
        Wait // a pause in real time before the frame (a server's answer to come)
    } kind;
    int key;    // engine key code; the pad's button or axis
    float x, y; // mouse position; x is the focus flag for Focus, the value for PadButton/PadAxis,
                // the milliseconds for Wait
};

struct HeadlessShot {
    long frame;
    std::string path;
};

// Without --frames, the bot plays to its run's end, bounded by this many frames (an hour at the
// usual time step of 1/60 s, and runs end long before).
const long kAutoplayMostFrames = 216000;

struct HeadlessConfig {
    int width = 1280, height = 720;
    float dt = 1.0f / 60.0f;
    long frames = 600;
    unsigned seed = 1;
    bool seedGiven = false;
    bool autoplay = false;
    bool countOnly = false; // count draw calls without rasterising (fast soak runs)
    bool help = false;
    std::string report;
    std::string audio;    // where the mixer's output goes, as a WAV file
    std::string lastShot; // a shot of the last frame drawn
    std::string scores;   // the leaderboard's file, instead of the game's own
    std::string settings; // a settings file to play with (read only)
    std::string record;   // where the run is recorded (unrecorded without it)
    std::string play;     // a recording played instead of scripted input
    std::string verify;   // a recording played without drawing, its checkpoints checked
    std::string server;   // the world board's address
    std::string send;     // a recording sent to the board, its verdict awaited
    int speed = 1;        // recorded frames played a frame
    bool framesGiven = false;
    int renderDistance =
        64; // rings drawn, or -1 to adapt to the (fixed) frame rate as the game does
    std::vector<HeadlessAction> actions;
    std::vector<HeadlessShot> shots;
};

// Parses argv into config; returns false and fills error on a malformed argument.
bool Headless_ParseArgs(int argc, char** argv, HeadlessConfig* config, std::string* error);
// An engine key code from a key name (case-insensitive), or -1.
int Headless_ParseKey(const std::string& name);
// The usage text printed for --help and after a bad argument.
extern const char* const kHeadlessUsage;
// Parses one "FRAME:ACTION" string.
bool Headless_ParseAction(const std::string& text, HeadlessAction* action);
