// Quillon: the small 2D engine the game draws, hears and reads input through.
// Window and frame loop with game states, a persistent canvas, shapes, images, text,
// keyboard and mouse, a float sound mixer, seeded random numbers and colour helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// ---- Handles -------------------------------------------------------------------------------
// Opaque handles; the empty handle (nullptr) draws, plays and frees as a no-op.
struct QL_ImageData;
struct QL_SoundData;
struct QL_FontData;
typedef QL_ImageData* QL_Image;
typedef QL_SoundData* QL_Sound;
typedef QL_FontData* QL_Font;

typedef void (*QL_Callback)();

// ---- Colour --------------------------------------------------------------------------------
struct QL_Color {
    int r, g, b, a;
};
struct QL_ColorHSV {
    float h, s, v; // hue 0..360 degrees, saturation and value 0..100
    int a;
};

QL_Color QL_Color_Create(int r, int g, int b, int a); // channels clamped to 0..255
QL_ColorHSV QL_ColorHSV_Create(float h, float s, float v, int a);
QL_Color QL_Color_FromColorHSV(QL_ColorHSV hsv);
QL_Color QL_Color_Lerp(QL_Color a, QL_Color b, float t); // t clamped to 0..1

// ---- Loop ----------------------------------------------------------------------------------
// The state change takes effect after the current frame: old exit, then new init.
void QL_Engine_SetNextGameState(QL_Callback init, QL_Callback update, QL_Callback exit);
// Runs frames until QL_Engine_Terminate. Returns 0 after a normal shutdown, non-zero when the
// window or renderer could not be opened, or the display connection was lost while running
// (QL_System_LastError then says why; the current state's exit has run).
int QL_Engine_Run();
void QL_Engine_Terminate();

// ---- System --------------------------------------------------------------------------------
void QL_System_Fullscreen();
void QL_System_SetWindowSize(int w, int h);
void QL_System_SetFrameRate(double fps);
void QL_System_SetWindowTitle(const char* text);
void QL_System_ShowCursor(bool show);
int QL_System_GetWindowWidth();
int QL_System_GetWindowHeight();
int QL_System_GetDisplayWidth();
int QL_System_GetDisplayHeight();
// The displays, by name and bounds: SDL numbers them by index, and the numbers shift as monitors
// come and go, so a display is chosen by its description. The window opens on the display chosen
// (where it is not there, on the primary, index 0), and full screen covers the window's display.
struct QL_Display {
    char name[64];
    int x, y, w, h;
};
int QL_System_GetDisplayCount();
bool QL_System_GetDisplay(int index, QL_Display* out);
// The display the window is on (before it opens, the one it will open on).
int QL_System_GetWindowDisplay();
void QL_System_ChooseDisplay(const QL_Display& wanted);
// Moves the window to a display, in full screen or centred there.
void QL_System_MoveToDisplay(int index);
// The longest time step a frame reports: a slower frame plays in slow motion.
const float QL_MAX_DT = 0.05f;
// Time steps are whole steps of this many a second (2^20, about a microsecond each), so that a
// recorded run keeps one in two or three bytes.
const double QL_DT_STEPS_A_SECOND = 1048576.0;
// Pointer positions are held within this many pixels of the window's corner, either way.
const float QL_POINTER_BOUND = 1e5f;
float QL_System_GetDt(); // seconds, never more than QL_MAX_DT
float QL_System_GetFrameRate();
// The rate the frame's work alone allows: 1 / the seconds from the frame's start to its picture
// handed over, without the wait for the cap. What the cap is (QL_System_SetFrameRate).
float QL_System_GetWorkRate();
double QL_System_GetFrameCap();
// How many pictures have been handed to the display: a frame that changes nothing on the canvas
// presents nothing (unless the window has to be drawn again).
long QL_System_GetPresentCount();
// The window is minimised or hidden: frames run idle, nothing painted or presented.
bool QL_System_IsHidden();
// The latencies of the frames handed to the display since the last call (from each frame's input
// being gathered to its picture being handed over), in seconds, up to max into seconds; their
// count. For measuring: they are kept until read.
int QL_System_TakeFrameLatencies(float* seconds, int max);
// Where the window is drawn through a GPU's renderer, has it wait for the display's refresh at
// each present (on) or not; true when it now does. Without a renderer (the CPU's path to the
// window, or headless) false: a cap at the display's rate is then slept to.
bool QL_System_SetVSync(bool on);
// The display's refresh rate as SDL knows it, in frames a second; 0 when it is not known.
int QL_System_GetDisplayRefreshRate();
void* QL_System_GetWindowHandle(); // native window (the SDL_Window here)
bool QL_System_HasFocus();         // the window has keyboard focus
bool QL_System_IsHeadless();       // running on the headless driver, without a window
// The window's position and size on the desktop, in window pixels.
void QL_System_GetWindowRect(int* x, int* y, int* w, int* h);
const char* QL_System_LastError(); // why the window could not be opened
// The folder of the running program, ending in a separator ("" when it cannot be told).
const char* QL_System_GetBasePath();
// The player's own folder for what a game writes, made if missing, ending in a separator:
// $XDG_DATA_HOME/app/ (else ~/.local/share/app/) on Linux, %APPDATA%\org\app\ on Windows.
// "" when there is none.
const char* QL_System_GetPrefPath(const char* org, const char* app);

// ---- Files ---------------------------------------------------------------------------------
// How a bounded read of a file went.
enum QL_FileRead {
    QL_FILE_OK,          // the bytes of a regular file
    QL_FILE_MISSING,     // no file at all
    QL_FILE_NOT_REGULAR, // a folder, FIFO or device: never read, and opening it never blocks
    QL_FILE_TOO_LARGE,   // a regular file above the bound: refused before anything is read
    QL_FILE_FAILED       // there but unreadable
};
// Reads a whole regular file of at most maxBytes into bytes (left empty unless QL_FILE_OK).
QL_FileRead QL_File_Read(const char* path, size_t maxBytes, std::vector<unsigned char>* bytes);

// ---- Drawing state -------------------------------------------------------------------------
void QL_Settings_Fill(QL_Color c);
void QL_Settings_Stroke(QL_Color c);
void QL_Settings_NoStroke();
void QL_Settings_Background(QL_Color c); // clears the canvas; nothing else does
// Where a rectangle's or an image's position is: its centre or its top-left corner.
enum { QL_MODE_CENTRE = 0, QL_MODE_TOP_LEFT = 1 };
void QL_Settings_RectMode(int mode);        // QL_MODE_TOP_LEFT by default
void QL_Settings_ImageMode(int mode);       // QL_MODE_CENTRE by default
void QL_Settings_ImageFilterMode(int mode); // 0 nearest, 1 smooth
void QL_Settings_TextSize(float size);
void QL_Settings_TextAlignment(int h, int v);

enum {
    QL_ALIGN_LEFT = 1,
    QL_ALIGN_CENTER = 2,
    QL_ALIGN_RIGHT = 4,
    QL_ALIGN_TOP = 8,
    QL_ALIGN_MIDDLE = 16,
    QL_ALIGN_BOTTOM = 32,
    QL_ALIGN_BASELINE = 64,
};

// ---- Shapes and text -----------------------------------------------------------------------
void QL_Graphics_DrawRect(float x, float y, float w, float h);
void QL_Graphics_DrawQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                          float y4);
QL_Font QL_Font_Load(const char* path);
void QL_Font_Set(QL_Font font);
void QL_Font_Free(QL_Font* font);
void QL_Font_DrawText(const char* text, float x, float y);
// Width and height in pixels that QL_Font_DrawText would cover at the current size.
void QL_Font_MeasureText(const char* text, int* w, int* h);

// ---- Images --------------------------------------------------------------------------------
QL_Image QL_Image_Load(const char* path);
void QL_Image_Free(QL_Image* image);
void QL_Image_Draw(QL_Image image, float x, float y, float w, float h, int alpha);
void QL_Image_DrawSubImage(QL_Image image, float x, float y, float w, float h, float s0, float t0,
                           float s1, float t1, int alpha);
int QL_Image_GetWidth(QL_Image image);
int QL_Image_GetHeight(QL_Image image);

// ---- Input ---------------------------------------------------------------------------------
// The keyboard has two views. Keys by letter (QL_Input_Key...) are what the player's layout
// types: for screens that ask for a letter. Keys by place (QL_Input_Place...) are where the key
// sits, named by what it types on a US layout: for play, so that W A S D and 1 2 3 keep their
// places on AZERTY, Dvorak or any other layout.
// Both name keys by their upper-case character code (letters, digits), Enter 13, Space 32, and
// these.
enum {
    QL_KEY_ESCAPE = 256,
    QL_KEY_UP = 257,
    QL_KEY_DOWN = 258,
    QL_KEY_LEFT = 259,
    QL_KEY_RIGHT = 260,
    QL_KEY_F1 = 261, // F1 to F12 follow in order
    // Every other key has a place too (Shift, Tab, the keypad...), for the controls a player
    // binds: QL_KEY_OTHER plus its scancode.
    QL_KEY_OTHER = 320,
    QL_KEY_COUNT = 320 + 512
};
// Held, triggered (pressed this frame: the engine's one word for it; the mouse's left button says
// Clicked) and released this frame.
bool QL_Input_KeyDown(int key);
bool QL_Input_KeyTriggered(int key);
bool QL_Input_KeyReleased(int key);
bool QL_Input_PlaceDown(int key);
bool QL_Input_PlaceTriggered(int key);
bool QL_Input_PlaceReleased(int key);
// The place of a key that went down this frame (the lowest, if several did); -1 when none did.
int QL_Input_PlaceTriggeredAny();
// What the key at a place types on the player's layout, for texts that name play keys ("Z" for
// the place of W on AZERTY). Upper case; the US name where the layout is not known (headless).
// The text stays valid until the next call.
const char* QL_Input_PlaceName(int key);
// A place by SDL's name of its scancode ("W", "Left Shift", "Keypad 5"), and back: what a
// settings file keeps, the same on every layout. -1 and "" where there is no such key.
int QL_Input_PlaceFromScancodeName(const char* name);
const char* QL_Input_PlaceScancodeName(int key);
// The mouse's buttons; the wheel's two ways count as buttons pressed and let go in one frame.
enum {
    QL_MOUSE_LEFT = 0,
    QL_MOUSE_RIGHT = 1,
    QL_MOUSE_MIDDLE = 2,
    QL_MOUSE_X1 = 3,
    QL_MOUSE_X2 = 4,
    QL_MOUSE_WHEEL_UP = 5,
    QL_MOUSE_WHEEL_DOWN = 6,
    QL_MOUSE_BUTTON_COUNT = 7
};
// The button pressed this frame (the lowest, if several were); -1 when none was.
int QL_Input_MouseTriggeredAny();
bool QL_Input_MouseTriggered(int button);
bool QL_Input_MouseDown(int button);
bool QL_Input_MouseClicked();
bool QL_Input_MouseReleased(int button);
float QL_Input_GetMouseX();
float QL_Input_GetMouseY();
float QL_Input_GetMouseWorldX();
float QL_Input_GetMouseWorldY();
// The pointer's offset from the window's centre (whole pixels of the canvas): what mouse look
// reads.
float QL_Input_GetMouseFromCentreX();
float QL_Input_GetMouseFromCentreY();
// Puts the pointer at (x, y) in window pixels. While this is called every frame the engine
// reads the mouse relatively: the position reported next frame is (x, y) plus all motion since.
// While it is not (the screens), a pad's left stick and D-pad move the pointer and its A button
// is the left mouse button.
void QL_Input_WarpMouse(float x, float y);
// Says that the game holds the pointer this frame, as WarpMouse does, where the game puts the
// pointer back by the system's own call: the pads then neither move it nor click with it.
void QL_Input_HoldPointer();

// ---- Gamepads --------------------------------------------------------------------------------
// Every connected pad, through SDL's game controllers (one layout for Xbox, PlayStation, Switch
// Pro, Steam Deck and hundreds more), taken together. Buttons and axes in SDL's order.
enum {
    QL_PAD_A,
    QL_PAD_B,
    QL_PAD_X,
    QL_PAD_Y,
    QL_PAD_BACK,
    QL_PAD_GUIDE,
    QL_PAD_START,
    QL_PAD_LEFTSTICK,
    QL_PAD_RIGHTSTICK,
    QL_PAD_LEFTSHOULDER,
    QL_PAD_RIGHTSHOULDER,
    QL_PAD_DPUP,
    QL_PAD_DPDOWN,
    QL_PAD_DPLEFT,
    QL_PAD_DPRIGHT,
    QL_PAD_BUTTON_COUNT
};
enum {
    QL_PAD_LEFTX,
    QL_PAD_LEFTY,
    QL_PAD_RIGHTX,
    QL_PAD_RIGHTY,
    QL_PAD_LEFTTRIGGER,
    QL_PAD_RIGHTTRIGGER,
    QL_PAD_AXIS_COUNT
};
// Held (a press during the frame counts), triggered and released this frame, on any pad.
bool QL_Pad_Down(int button);
bool QL_Pad_Triggered(int button);
bool QL_Pad_AnyTriggered(); // any of the pad's buttons went down this frame
bool QL_Pad_Released(int button);
// Past the dead zones: a stick -1 to 1 (right and down positive), radial, 0 within 20 % of
// centre; a trigger 0 to 1, 0 within 8 %. Of several pads, the one deflected most.
float QL_Pad_Axis(int axis);
// The number of pads open.
int QL_Pad_Count();
// Whether a pad was unplugged this frame (a run pauses, as on losing focus).
bool QL_Pad_Lost();
// The button pressed this frame on any pad (the lowest, if several were); -1 when none was.
int QL_Pad_TriggeredAny();
// SDL's names of a pad's buttons and axes ("a", "dpup", "righttrigger"), and back: -1 and ""
// where there is no such button or axis.
const char* QL_Pad_ButtonName(int button);
int QL_Pad_ButtonFromName(const char* name);
const char* QL_Pad_AxisName(int axis);
int QL_Pad_AxisFromName(const char* name);
// Whether a pad was used more recently than the mouse and keyboard.
bool QL_Pad_InUse();
// Adds the pad mappings of an SDL game controller database file, where there is one.
void QL_Pad_AddMappings(const char* path);

// ---- Sound ---------------------------------------------------------------------------------
QL_Sound QL_Sound_Load(const char* path);
void QL_Sound_Free(QL_Sound sound);
// Every sound plays in a group whose volume is set, and which is stopped, as one: the effects in
// one, the music in another.
enum { QL_GROUP_EFFECTS = 0, QL_GROUP_MUSIC = 1 };
void QL_Sound_PlayAdvanced(QL_Sound sound, float volume, float pitch, bool looping, int group);
void QL_Sound_SetGroupVolume(int group, float volume);
void QL_Sound_StopGroup(int group);
void QL_Sound_PauseAll();
void QL_Sound_ResumeAll();
void QL_Sound_StopAll();

// ---- Maths and random ----------------------------------------------------------------------
float QL_Math_Radians(float degrees);
float QL_Math_Degrees(float radians);
void QL_Random_Seed(uint32_t seed);
float QL_Random_GetFloat();                     // 0 <= r < 1
float QL_Random_RangeFloat(float lo, float hi); // lo <= r < hi
int QL_Random_RangeInt(int lo, int hi);         // both bounds included
// The seed last applied (the forced one when a test forces it), and the generator's whole state,
// for hashing a game's state.
uint32_t QL_Random_GetSeed();
uint64_t QL_Random_GetState();
