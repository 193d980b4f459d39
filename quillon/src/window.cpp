// The window and the way the canvas reaches it, and the system calls that change its size.
// The canvas is the engine's own picture in memory; once a frame it is copied to the window:
// through a streaming texture where the renderer has a GPU behind it, or straight into the
// window's surface where it has not (a renderer on a software GL would only add copies). On X11
// without a GPU the canvas paints into pictures shared with the X server instead, and the copy
// is the server's alone. QUILLON_PRESENT=texture or =surface forces either path.
#include <SDL.h>

#include <SDL_image.h>
#include <SDL_ttf.h>
#include <cmath>
#ifdef _WIN32
#include <SDL_syswm.h>
#endif

#include <cstdio>
#include <cstring>

#include "canvas.h"
#include "display_watch.h"
#include "displays.h"
#include "frame_latency.h"
#include "internal.h"
#include "pacing.h"
#include "pad.h"
#include "presenter.h"
#include "resample_cache.h"
#include "shm_pictures.h"

static void StartPresentThread();
static void PresentToWindow(const uint32_t* pixels);
static void LendShmPictures();

// The display's desktop size, which full screen covers; and its origin.
static void ReadDisplaySize(int display, int* x = nullptr, int* y = nullptr) {
    int w = 0, h = 0, left = 0, top = 0;
    if (!Displays_Read(display, &w, &h, &left, &top)) return;
    g_ql.displayW = w;
    g_ql.displayH = h;
    if (x) *x = left, *y = top;
}

static int WindowDisplay() {
    int display = g_ql.window ? SDL_GetWindowDisplayIndex(g_ql.window) : 0;
    return display >= 0 ? display : 0;
}

// Drawable pixels per window point, for a drawable this wide: mouse positions arrive in points.
static float PointScale(int drawableW) {
    int w = 0, h = 0;
    if (g_ql.window) SDL_GetWindowSize(g_ql.window, &w, &h);
    return w > 0 ? (float)drawableW / (float)w : 1.0f;
}

// A new canvas of the size, black. Only a canvas that could be made changes the size that the
// game, the present and the mouse see; a refused one leaves all three at the last good size.
static bool ResizeCanvas(int w, int h) {
    if (!Canvas_Resize(w, h)) return false;
    g_ql.width = w;
    g_ql.height = h;
    g_ql.pointScale = PointScale(w);
    if (ShmPictures_On()) LendShmPictures(); // made again at the new size
    return true;
}

// The window manager may apply a size change after the call that asked for it, or without an
// event reaching us, so the size is read again every frame: canvas, window size and mouse agree.
// A size whose canvas was refused is not asked for again until the window changes once more.
static void ReadDrawableSize() {
    static int refusedW = 0, refusedH = 0;
    if (!g_ql.window) return;
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(g_ql.window, &w, &h);
    if (w <= 0 || h <= 0 || (w == g_ql.width && h == g_ql.height)) return;
    if ((w == refusedW && h == refusedH) || ResizeCanvas(w, h)) return;
    if (refusedW == 0)
        std::fprintf(stderr,
                     "Quillon: no canvas of %d x %d pixels can be made; drawing stays at "
                     "%d x %d\n",
                     w, h, g_ql.width, g_ql.height);
    refusedW = w;
    refusedH = h;
}

// SDL falls back to drivers that show nothing when no display is reachable; a game window there
// would run unseen for ever. They count only when the user asked for them by name.
bool Ql_Video_DriverShows(const char* driver, const char* requested) {
    if (!driver) return false;
    bool invisible =
        SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
    return !invisible || (requested && SDL_strcasecmp(requested, driver) == 0);
}

// Whether the renderer's GL is a software one (Mesa's llvmpipe and the like).
static bool SoftwareGl(const SDL_RendererInfo& info) {
    if (SDL_strncmp(info.name, "opengl", 6) != 0) return false;
    typedef const unsigned char*(SDLCALL * GetString)(unsigned);
    GetString getString = (GetString)SDL_GL_GetProcAddress("glGetString");
    const char* name = getString ? (const char*)getString(0x1F01 /* GL_RENDERER */) : nullptr;
    return !name || SDL_strstr(name, "llvmpipe") || SDL_strstr(name, "softpipe") ||
           SDL_strstr(name, "Software") || SDL_strstr(name, "SWR");
}

// The texture path where forced, or where the renderer is accelerated; the surface otherwise.
static void ChoosePresentPath() {
    const char* forced = SDL_getenv("QUILLON_PRESENT");
    bool wantSurface = forced && SDL_strcasecmp(forced, "surface") == 0;
    bool wantTexture = forced && SDL_strcasecmp(forced, "texture") == 0;
    if (!wantSurface) {
        Uint32 flags = wantTexture ? 0 : SDL_RENDERER_ACCELERATED;
        g_ql.renderer = SDL_CreateRenderer(g_ql.window, -1, flags);
        SDL_RendererInfo info;
        if (g_ql.renderer && !wantTexture &&
            (SDL_GetRendererInfo(g_ql.renderer, &info) != 0 || SoftwareGl(info))) {
            SDL_DestroyRenderer(g_ql.renderer);
            g_ql.renderer = nullptr;
        }
    }
    // Without this SDL routes a window surface through a GL texture of its own on Linux.
    if (!g_ql.renderer) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

static bool OpenWindow() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        g_ql.lastError = std::string("cannot open a display: ") + SDL_GetError();
        return false;
    }
    if (!Ql_Video_DriverShows(SDL_GetCurrentVideoDriver(), SDL_getenv("SDL_VIDEODRIVER"))) {
        g_ql.lastError = "cannot open a display: no display is available (set DISPLAY)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    int display = Displays_Chosen();
    ReadDisplaySize(display);
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI;
    if (g_ql.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    int w = g_ql.fullscreen ? g_ql.displayW : g_ql.width;
    int h = g_ql.fullscreen ? g_ql.displayH : g_ql.height;
    g_ql.window = SDL_CreateWindow(g_ql.title.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                   SDL_WINDOWPOS_CENTERED_DISPLAY(display), w, h, flags);
    if (!g_ql.window) {
        g_ql.lastError = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    DisplayWatch_Start(g_ql.window);
    ChoosePresentPath();
    SDL_ShowCursor(g_ql.cursorShown ? SDL_ENABLE : SDL_DISABLE);
    SDL_GetWindowSizeInPixels(g_ql.window, &g_ql.width, &g_ql.height);
    return true;
}

bool Ql_Video_Open() {
    if (g_ql.videoReady) return true;
    if (!TTF_WasInit()) TTF_Init();
    IMG_Init(IMG_INIT_PNG);
    if (!g_ql.backend->openVideo()) {
        Ql_Video_Close();
        return false;
    }
    if (!ResizeCanvas(g_ql.width, g_ql.height)) {
        g_ql.lastError = "cannot make a canvas of " + std::to_string(g_ql.width) + " x " +
                         std::to_string(g_ql.height) + " pixels";
        Ql_Video_Close();
        return false;
    }
    if (g_ql.window) StartPresentThread();
    g_ql.videoReady = true;
    return true;
}

void Ql_Video_Close() {
    Presenter_Stop();
    Canvas_Release();
    ShmPictures_Close();
    ResampleCache_Clear(); // the pictures it was made from may be gone with the engine
    g_ql.backend->closeVideo();
    g_ql.videoReady = false;
}

static void CloseWindow() {
    if (g_ql.stream) SDL_DestroyTexture(g_ql.stream);
    if (g_ql.renderer) SDL_DestroyRenderer(g_ql.renderer);
    if (g_ql.window) SDL_DestroyWindow(g_ql.window);
    g_ql.stream = nullptr;
    g_ql.renderer = nullptr;
    g_ql.window = nullptr;
    g_ql.vsync = false; // a new renderer starts without it
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

static void PresentTexture(const uint32_t* pixels) {
    int tw = 0, th = 0;
    if (g_ql.stream) SDL_QueryTexture(g_ql.stream, nullptr, nullptr, &tw, &th);
    if (!g_ql.stream || tw != g_ql.width || th != g_ql.height) {
        if (g_ql.stream) SDL_DestroyTexture(g_ql.stream);
        g_ql.stream = SDL_CreateTexture(g_ql.renderer, SDL_PIXELFORMAT_ARGB8888,
                                        SDL_TEXTUREACCESS_STREAMING, g_ql.width, g_ql.height);
        if (!g_ql.stream) return;
    }
    SDL_UpdateTexture(g_ql.stream, nullptr, pixels, g_ql.width * 4);
    SDL_RenderCopy(g_ql.renderer, g_ql.stream, nullptr, nullptr);
    SDL_RenderPresent(g_ql.renderer);
}

static void PresentSurface(const uint32_t* pixels) {
    SDL_Surface* s = SDL_GetWindowSurface(g_ql.window);
    if (!s) return;
    int w = s->w < g_ql.width ? s->w : g_ql.width, h = s->h < g_ql.height ? s->h : g_ql.height;
    if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
    Uint32 f = s->format->format;
    if (f == SDL_PIXELFORMAT_ARGB8888 || f == SDL_PIXELFORMAT_RGB888) {
        for (int y = 0; y < h; y++)
            std::memcpy((Uint8*)s->pixels + (long)y * s->pitch, pixels + (long)y * g_ql.width,
                        (size_t)w * 4);
    } else {
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, pixels, g_ql.width * 4, f, s->pixels,
                          s->pitch);
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    SDL_UpdateWindowSurface(g_ql.window);
}

// Paints what is pending and shows the canvas, unless the frame changed nothing and the window
// has not asked to be drawn again. Headless keeps the canvas as the picture itself.
// With a present thread, this frame is painted while the last one is still being presented; it
// is then handed over, and the next frame starts at once.
void Ql_Video_Present() {
    if (!Canvas_TakeChanged() && !g_ql.exposed) return; // the window shows this picture already
    g_ql.exposed = false;
    g_ql.presents++;
    if (!Presenter_On()) {
        const uint32_t* pixels = Canvas_Pixels();
        if (pixels) g_ql.backend->present(pixels);
        FrameLatency_Add(g_ql.inputSeconds);
        return;
    }
    Canvas_Flush();
    Presenter_Wait();
    const uint32_t* pixels = Canvas_Swap();
    if (pixels) Presenter_Hand(pixels, g_ql.inputSeconds);
}

// The window's surface is a copy the CPU and the display server make, which can run beside the
// next frame; QUILLON_PRESENT_THREAD=0 keeps it on the main thread. On X11 only, where it is
// measured and tested (SDL opens Xlib for threads); on Windows the surface stays on one thread.
static void StartPresentThread() {
    const char* wanted = SDL_getenv("QUILLON_PRESENT_THREAD");
    if (g_ql.renderer || (wanted && SDL_strcmp(wanted, "0") == 0)) return;
    if (SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) return;
    LendShmPictures();
    Presenter_Start(PresentToWindow);
}

// The canvas paints into pictures shared with the X server where they can be had, so that a
// frame reaches the window without a copy of ours; into its own two pictures otherwise.
static void LendShmPictures() {
    if (ShmPictures_Open(g_ql.window, g_ql.width, g_ql.height))
        Canvas_UseTwoPictures(true, ShmPictures_Picture(0), ShmPictures_Picture(1));
    else
        Canvas_UseTwoPictures(true);
}

static void PresentToWindow(const uint32_t* pixels) {
    if (!g_ql.window || ShmPictures_Present(pixels)) return;
    if (g_ql.renderer)
        PresentTexture(pixels);
    else
        PresentSurface(pixels);
}

void Ql_Video_HandleWindowEvent(const SDL_Event& e) {
    if (e.type == SDL_RENDER_TARGETS_RESET || e.type == SDL_RENDER_DEVICE_RESET) {
        if (g_ql.stream) SDL_DestroyTexture(g_ql.stream);
        g_ql.stream = nullptr; // made again at the next present
    }
    if (e.type != SDL_WINDOWEVENT) return;
    switch (e.window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        ReadDrawableSize();
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        g_ql.focus = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        g_ql.focus = false;
        Ql_Input_FocusLost();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        g_ql.hidden = true;
        g_ql.focus = false; // a run pauses, as on losing the focus
        Ql_Input_FocusLost();
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        g_ql.hidden = false;
        g_ql.exposed = true; // what the window showed may be gone
        break;
    default:
        break;
    }
}

// Without a window (headless, or before it opens) a size is the canvas's, or remembered for it.
static void ResizeWithoutWindow(int w, int h) {
    if (w == g_ql.width && h == g_ql.height) return;
    if (g_ql.videoReady)
        ResizeCanvas(w, h);
    else {
        g_ql.width = w;
        g_ql.height = h;
    }
}

// Full screen on a display is its desktop's own resolution, so no video mode changes. The window
// takes the desktop's size and place first, so that it covers the display even where no window
// manager acts on the full-screen request.
static void FullscreenOn(int display) {
    int x = 0, y = 0;
    ReadDisplaySize(display, &x, &y);
    Presenter_Wait(); // the window's surface is not remade under a frame being presented
    SDL_SetWindowSize(g_ql.window, g_ql.displayW, g_ql.displayH);
    SDL_SetWindowPosition(g_ql.window, x, y);
    SDL_SetWindowFullscreen(g_ql.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    ReadDrawableSize();
}

void QL_System_Fullscreen() {
    g_ql.fullscreen = true;
    if (!g_ql.window) {
        ResizeWithoutWindow(g_ql.displayW, g_ql.displayH);
        return;
    }
    FullscreenOn(WindowDisplay());
}

void Ql_Video_MoveToDisplay(int display) {
    if (display == WindowDisplay()) return;
    Presenter_Wait();
    if (g_ql.fullscreen) SDL_SetWindowFullscreen(g_ql.window, 0);
    SDL_SetWindowPosition(g_ql.window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    if (g_ql.fullscreen)
        FullscreenOn(display);
    else
        ReadDisplaySize(display);
}

// Leave full screen first, then set the size and centre the window.
void QL_System_SetWindowSize(int w, int h) {
    if (w <= 0 || h <= 0) return;
    g_ql.fullscreen = false;
    if (!g_ql.window) {
        ResizeWithoutWindow(w, h);
        return;
    }
    Presenter_Wait();
    int display = WindowDisplay();
    SDL_SetWindowFullscreen(g_ql.window, 0);
    SDL_SetWindowSize(g_ql.window, w, h);
    SDL_SetWindowPosition(g_ql.window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    ReadDrawableSize();
}

void QL_System_SetWindowTitle(const char* text) {
    g_ql.title = text ? text : "";
    if (g_ql.window) SDL_SetWindowTitle(g_ql.window, g_ql.title.c_str());
}

void QL_System_ShowCursor(bool show) {
    g_ql.cursorShown = show;
    if (g_ql.window) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

int QL_System_GetWindowWidth() {
    return g_ql.width;
}
int QL_System_GetWindowHeight() {
    return g_ql.height;
}
int QL_System_GetDisplayWidth() {
    return g_ql.displayW;
}
int QL_System_GetDisplayHeight() {
    return g_ql.displayH;
}
bool QL_System_HasFocus() {
    return g_ql.focus;
}
bool QL_System_SetVSync(bool on) {
    if (!g_ql.renderer) return g_ql.vsync = false;
    if (on != g_ql.vsync) g_ql.vsync = SDL_RenderSetVSync(g_ql.renderer, on ? 1 : 0) == 0 && on;
    return g_ql.vsync;
}

int QL_System_GetDisplayRefreshRate() {
    SDL_DisplayMode mode;
    if (g_ql.headless || !g_ql.window) return 0;
    int display = SDL_GetWindowDisplayIndex(g_ql.window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate > 0 ? mode.refresh_rate : 0;
}
bool QL_System_IsHeadless() {
    return g_ql.headless;
}

void* QL_System_GetWindowHandle() {
    return g_ql.backend->windowHandle();
}

// The native window: on Windows the HWND that the system's GetFocus reports, elsewhere the SDL
// window.
static void* NativeWindow() {
#ifdef _WIN32
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (g_ql.window && SDL_GetWindowWMInfo(g_ql.window, &info)) return info.info.win.window;
#endif
    return g_ql.window;
}

void QL_System_GetWindowRect(int* x, int* y, int* w, int* h) {
    int px = 0, py = 0;
    if (g_ql.window) SDL_GetWindowPosition(g_ql.window, &px, &py);
    if (x) *x = px;
    if (y) *y = py;
    if (w) *w = g_ql.width;
    if (h) *h = g_ql.height;
}

const char* QL_System_LastError() {
    return g_ql.lastError.c_str();
}

// SDL hands out copies to be freed; the engine keeps one of each for the program's life.
const char* QL_System_GetBasePath() {
    static std::string base;
    if (base.empty()) {
        char* path = SDL_GetBasePath();
        base = path ? path : "";
        SDL_free(path);
    }
    return base.c_str();
}

const char* QL_System_GetPrefPath(const char* org, const char* app) {
    static std::string pref;
    char* path = SDL_GetPrefPath(org, app);
    pref = path ? path : "";
    SDL_free(path);
    return pref.c_str();
}

// ---- The rest of the window backend: events, the clock, devices -------------------------------

static void PollEvents() {
    if (DisplayWatch_Lost()) {
        g_ql.lastError = "the display connection was lost";
        g_ql.displayLost = g_ql.terminated = true;
        return;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) g_ql.terminated = true;
        Ql_Video_HandleWindowEvent(e);
        Ql_Input_HandleEvent(e);
        Ql_Sound_HandleEvent(e);
    }
    ReadDrawableSize();
}

static double Seconds(uint64_t ticks) {
    return (double)ticks / (double)SDL_GetPerformanceFrequency();
}

static void MeasureClock() {
    uint64_t now = SDL_GetPerformanceCounter();
    double elapsed = g_ql.lastTick ? Seconds(now - g_ql.lastTick) : 1.0 / g_ql.frameCap;
    g_ql.lastTick = now;
    g_ql.frameRate = elapsed > 0.0 ? (float)(1.0 / elapsed) : 0.0f;
    // Whole 2^-20 s (about a microsecond): a recorded run keeps such a step in two or three bytes.
    g_ql.dt = (float)(std::floor(elapsed * QL_DT_STEPS_A_SECOND + 0.5) / QL_DT_STEPS_A_SECOND);
}

static double FrameClock() {
    return Seconds(SDL_GetPerformanceCounter());
}

// With the renderer's vsync on, a cap at the display's rate (or above it) is the present's own
// wait; a lower cap is still slept to.
static bool PacedByVSync() {
    return g_ql.vsync && g_ql.frameCap >= (double)QL_System_GetDisplayRefreshRate() - 1.0;
}

// The end of the wait that is spun, for the sleep's wake-up. Linux's clock_nanosleep, asked for no
// timer slack, wakes within tens of microseconds: 0.05 ms keeps the intervals as even as 0.2 ms
// did (sd 0.03 ms at a cap of 144), and spinning 0.2 ms a frame cost 4 % of a core there.
// Windows's high-resolution timer is coarser.
#ifdef _WIN32
static const double kSpinSeconds = 0.0002;
#else
static const double kSpinSeconds = 0.00005;
#endif

// Sleeps to the frame's deadline, an interval after the last one's, so that a cap below what the
// frames could do keeps them evenly spaced; the last moment is spun.
static void WaitForFrameCap() {
    if (g_ql.frameCap <= 0.0 || PacedByVSync()) return;
    double interval = 1.0 / g_ql.frameCap;
    g_ql.deadline = Pacing_NextDeadline(g_ql.deadline, FrameClock(), interval);
    g_ql.spunSeconds = Pacing_SleepUntil(g_ql.deadline, FrameClock, kSpinSeconds);
}

// While the window is hidden the loop sleeps on the event queue, waking at least ten times a
// second.
static void WaitForEvents() {
    SDL_WaitEventTimeout(nullptr, 100);
}

static void OpenDevices() {
    Ql_Sound_Open(true);
    Pad_Open(false);
}

// At the program's end: the font stays loaded for the program's life, so it goes here too. A
// lost display connection (lost in the last frame, say) takes no more calls: the window goes
// with the process, and so does one lost while it closes.
static void CloseDevices() {
    Ql_Sound_Close();
    Pad_Close();
    Ql_Text_Shutdown();
    DisplayWatch_Closing();
    if (g_ql.displayLost || DisplayWatch_Lost()) {
        Presenter_Stop();
        return;
    }
    Ql_Video_Close();
    SDL_Quit();
}

const QlBackend* Ql_WindowBackend() {
    static const QlBackend window = {OpenWindow,    CloseWindow,  OpenDevices,     CloseDevices,
                                     PollEvents,    MeasureClock, PresentToWindow, WaitForFrameCap,
                                     WaitForEvents, NativeWindow};
    return &window;
}
