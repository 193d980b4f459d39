// The window, the renderer and the persistent canvas, and the system calls that change them.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#ifdef _WIN32
#include <SDL_syswm.h>
#endif

#include "internal.h"

static void ReadDisplaySize() {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        g_ql.displayW = mode.w;
        g_ql.displayH = mode.h;
    }
}

// The canvas is a render target of the drawable's size; it starts transparent, so clear it.
void Ql_Canvas_Recreate() {
    if (!g_ql.renderer) return;
    if (g_ql.canvas) SDL_DestroyTexture(g_ql.canvas);
    g_ql.canvas = SDL_CreateTexture(g_ql.renderer, SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_TARGET, g_ql.width, g_ql.height);
    SDL_SetRenderTarget(g_ql.renderer, g_ql.canvas);
    SDL_SetRenderDrawBlendMode(g_ql.renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(g_ql.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_ql.renderer);
}

void Ql_Canvas_Bind() {
    if (g_ql.renderer && SDL_GetRenderTarget(g_ql.renderer) != g_ql.canvas)
        SDL_SetRenderTarget(g_ql.renderer, g_ql.canvas);
}

// The window manager may apply a size change after the call that asked for it, or without an event
// reaching us, so the size is read again every frame: canvas, window size and mouse agree.
// (The renderer's output size is no use here: while the canvas is the render target, SDL reports
// the canvas's own size.)
static void ReadDrawableSize() {
    if (g_ql.headless || !g_ql.renderer || !g_ql.window) return;
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(g_ql.window, &w, &h);
    if (w > 0 && h > 0 && (w != g_ql.width || h != g_ql.height)) {
        g_ql.width = w;
        g_ql.height = h;
        Ql_Canvas_Recreate();
    }
}

static bool OpenHeadless() {
    g_ql.headlessSurface =
        SDL_CreateRGBSurfaceWithFormat(0, g_ql.width, g_ql.height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!g_ql.headlessSurface) return false;
    g_ql.renderer = SDL_CreateSoftwareRenderer(g_ql.headlessSurface);
    g_ql.softwareRenderer = true;
    return g_ql.renderer != nullptr;
}

// SDL falls back to drivers that show nothing when no display is reachable; a game window there
// would run unseen for ever. They count only when the user asked for them by name.
bool Ql_Video_DriverShows(const char* driver, const char* requested) {
    if (!driver) return false;
    bool invisible =
        SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
    return !invisible || (requested && SDL_strcasecmp(requested, driver) == 0);
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
    ReadDisplaySize();
    SDL_SetHint(SDL_HINT_RENDER_LINE_METHOD, "2");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI;
    if (g_ql.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    int w = g_ql.fullscreen ? g_ql.displayW : g_ql.width;
    int h = g_ql.fullscreen ? g_ql.displayH : g_ql.height;
    g_ql.window = SDL_CreateWindow(g_ql.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, w, h, flags);
    if (!g_ql.window) {
        g_ql.lastError = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    g_ql.renderer = SDL_CreateRenderer(g_ql.window, -1, SDL_RENDERER_TARGETTEXTURE);
    if (!g_ql.renderer) {
        g_ql.lastError = std::string("cannot create a renderer: ") + SDL_GetError();
        return false;
    }
    SDL_RendererInfo info;
    SDL_GetRendererInfo(g_ql.renderer, &info);
    g_ql.softwareRenderer = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    SDL_ShowCursor(g_ql.cursorShown ? SDL_ENABLE : SDL_DISABLE);
    SDL_GetRendererOutputSize(g_ql.renderer, &g_ql.width, &g_ql.height);
    return true;
}

bool Ql_Video_Open() {
    if (g_ql.videoReady) return true;
    if (!TTF_WasInit()) TTF_Init();
    IMG_Init(IMG_INIT_PNG);
    bool ok = g_ql.headless ? OpenHeadless() : OpenWindow();
    if (!ok) {
        Ql_Video_Close();
        return false;
    }
    Ql_Canvas_Recreate();
    g_ql.videoReady = true;
    return true;
}

void Ql_Video_Close() {
    Ql_Text_DropTextures();
    Ql_Image_DestroyAll();
    if (g_ql.canvas) SDL_DestroyTexture(g_ql.canvas);
    if (g_ql.renderer) SDL_DestroyRenderer(g_ql.renderer);
    if (g_ql.window) SDL_DestroyWindow(g_ql.window);
    if (g_ql.headlessSurface) SDL_FreeSurface(g_ql.headlessSurface);
    g_ql.canvas = nullptr;
    g_ql.renderer = nullptr;
    g_ql.window = nullptr;
    g_ql.headlessSurface = nullptr;
    g_ql.videoReady = false;
    if (!g_ql.headless) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Copies the canvas to the window. Headless keeps the canvas as the picture itself.
void Ql_Video_SyncSize() {
    ReadDrawableSize();
}

void Ql_Video_Present() {
    if (g_ql.headless || !g_ql.renderer) return;
    SDL_SetRenderTarget(g_ql.renderer, nullptr);
    SDL_SetTextureBlendMode(g_ql.canvas, SDL_BLENDMODE_NONE);
    SDL_RenderCopy(g_ql.renderer, g_ql.canvas, nullptr, nullptr);
    SDL_RenderPresent(g_ql.renderer);
    SDL_SetRenderTarget(g_ql.renderer, g_ql.canvas);
}

void Ql_Video_HandleWindowEvent(const SDL_Event& e) {
    if (e.type == SDL_RENDER_TARGETS_RESET) Ql_Canvas_Recreate();
    if (e.type == SDL_RENDER_DEVICE_RESET) {
        Ql_Canvas_Recreate();
        Ql_Text_DropTextures();
        Ql_Image_RebuildTextures();
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
    default:
        break;
    }
}

static void ResizeHeadless(int w, int h) {
    if (w == g_ql.width && h == g_ql.height && g_ql.headlessSurface) return;
    g_ql.width = w;
    g_ql.height = h;
    if (!g_ql.videoReady) return;
    Ql_Text_DropTextures();
    Ql_Image_DestroyAll();
    SDL_DestroyTexture(g_ql.canvas);
    g_ql.canvas = nullptr;
    SDL_DestroyRenderer(g_ql.renderer);
    SDL_FreeSurface(g_ql.headlessSurface);
    OpenHeadless();
    Ql_Canvas_Recreate();
    Ql_Image_RebuildTextures();
}

// Full screen is the desktop's own resolution, so no video mode changes.
void QL_System_Fullscreen() {
    g_ql.fullscreen = true;
    if (g_ql.headless) {
        ResizeHeadless(g_ql.displayW, g_ql.displayH);
        return;
    }
    if (!g_ql.window) return;
    // The window takes the desktop's size first, so that it covers the screen even where no
    // window manager acts on the full-screen request.
    SDL_SetWindowSize(g_ql.window, g_ql.displayW, g_ql.displayH);
    SDL_SetWindowPosition(g_ql.window, 0, 0);
    SDL_SetWindowFullscreen(g_ql.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    ReadDrawableSize();
}

// Leave full screen first, then set the size and centre the window.
void QL_System_SetWindowSize(int w, int h) {
    if (w <= 0 || h <= 0) return;
    g_ql.fullscreen = false;
    if (g_ql.headless) {
        ResizeHeadless(w, h);
        return;
    }
    if (!g_ql.window) {
        g_ql.width = w;
        g_ql.height = h;
        return;
    }
    SDL_SetWindowFullscreen(g_ql.window, 0);
    SDL_SetWindowSize(g_ql.window, w, h);
    SDL_SetWindowPosition(g_ql.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
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

// The native window: on Windows the HWND that the system's GetFocus reports, elsewhere the SDL
// window. Headless has none; a fixed non-null token stands in for it.
void* QL_System_GetWindowHandle() {
    static int headlessToken;
    if (g_ql.headless) return &headlessToken;
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
