// MIT-SHM images on the display connection SDL opened for the window. SDL makes Xlib safe for
// threads, so the present thread may put an image while the main thread reads events.
#include "shm_pictures.h"

#ifdef QUILLON_X11_SHM

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

namespace {

struct Picture {
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
};

Display* display = nullptr;
Window window = 0;
GC gc = nullptr;
Picture pictures[2];
int pictureW = 0, pictureH = 0;
bool attachRefused = false;

int RefuseAttach(Display*, XErrorEvent*) {
    attachRefused = true;
    return 0;
}

// The canvas's 0xAARRGGBB words are the window's pixels as they are.
bool SameLayout(const XWindowAttributes& attrs) {
    const Visual* v = attrs.visual;
    return (attrs.depth == 24 || attrs.depth == 32) && v->red_mask == 0xFF0000 &&
           v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
}

void Free(Picture* p) {
    if (!p->image) return;
    if (p->segment.shmaddr) {
        XShmDetach(display, &p->segment);
        XSync(display, False);
        shmdt(p->segment.shmaddr);
    }
    p->image->data = nullptr; // the segment's, not Xlib's to free
    XDestroyImage(p->image);
    *p = Picture{};
}

// The server attaches the segment too; a remote server cannot, and says so with an error.
bool Attach(Picture* p) {
    attachRefused = false;
    XErrorHandler before = XSetErrorHandler(RefuseAttach);
    Status made = XShmAttach(display, &p->segment);
    XSync(display, False);
    XSetErrorHandler(before);
    return made && !attachRefused;
}

bool Make(Picture* p, const XWindowAttributes& attrs) {
    p->image = XShmCreateImage(display, attrs.visual, (unsigned)attrs.depth, ZPixmap, nullptr,
                               &p->segment, (unsigned)pictureW, (unsigned)pictureH);
    if (!p->image) return false;
    if (p->image->bits_per_pixel != 32 || p->image->bytes_per_line != pictureW * 4 ||
        p->image->byte_order != LSBFirst) {
        Free(p);
        return false;
    }
    size_t bytes = (size_t)pictureW * (size_t)pictureH * 4;
    p->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* at = p->segment.shmid < 0 ? (void*)-1 : shmat(p->segment.shmid, nullptr, 0);
    if (p->segment.shmid >= 0) shmctl(p->segment.shmid, IPC_RMID, nullptr); // gone with its users
    if (at == (void*)-1) {
        Free(p);
        return false;
    }
    p->segment.shmaddr = p->image->data = (char*)at;
    p->segment.readOnly = False;
    if (!Attach(p)) {
        shmdt(at);
        p->segment.shmaddr = nullptr;
        Free(p);
        return false;
    }
    std::memset(at, 0, bytes);
    return true;
}

bool Connect(SDL_Window* sdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    window = info.info.x11.window;
    int major, minor;
    Bool sharedPixmaps;
    return XShmQueryVersion(display, &major, &minor, &sharedPixmaps);
}

} // namespace

bool ShmPictures_Open(SDL_Window* sdlWindow, int width, int height) {
    ShmPictures_Close();
    const char* wanted = SDL_getenv("QUILLON_SHM");
    if ((wanted && SDL_strcmp(wanted, "0") == 0) || !Connect(sdlWindow)) return false;
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(display, window, &attrs) || !SameLayout(attrs)) return false;
    pictureW = width;
    pictureH = height;
    gc = XCreateGC(display, window, 0, nullptr);
    if (gc && Make(&pictures[0], attrs) && Make(&pictures[1], attrs)) return true;
    ShmPictures_Close();
    return false;
}

void ShmPictures_Close() {
    if (!display) return;
    Free(&pictures[0]);
    Free(&pictures[1]);
    if (gc) XFreeGC(display, gc);
    gc = nullptr;
    display = nullptr;
}

bool ShmPictures_On() {
    return pictures[1].image != nullptr;
}

uint32_t* ShmPictures_Picture(int i) {
    return pictures[i & 1].image ? (uint32_t*)pictures[i & 1].image->data : nullptr;
}

bool ShmPictures_Present(const uint32_t* pixels) {
    for (Picture& p : pictures)
        if (p.image && (const uint32_t*)p.image->data == pixels) {
            XShmPutImage(display, window, gc, p.image, 0, 0, 0, 0, (unsigned)pictureW,
                         (unsigned)pictureH, False);
            XSync(display, False);
            return true;
        }
    return false;
}

#else // no X11 here: the window's surface serves

bool ShmPictures_Open(SDL_Window*, int, int) {
    return false;
}
void ShmPictures_Close() {}
bool ShmPictures_On() {
    return false;
}
uint32_t* ShmPictures_Picture(int) {
    return nullptr;
}
bool ShmPictures_Present(const uint32_t*) {
    return false;
}

#endif
