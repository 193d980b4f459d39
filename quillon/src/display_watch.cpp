// Xlib's answer to a lost connection is to print a line and call exit(), from whatever thread
// met the loss, while the frame loop and the present thread are in the middle of their work. Here
// the loss only raises a flag: Xlib then marks the connection dead and every further call on it
// returns at once, and the frame loop ends the program in order.
#include "display_watch.h"

#include <atomic>
#include <cstring>

#include <signal.h>
#include <unistd.h>

#ifdef QUILLON_X11_SHM

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace {

std::atomic<bool> lost{false};
std::atomic<bool> closing{false};

int QuietIOError(Display*) {
    return 0;
}

// Called where Xlib would exit, on the thread that met the loss, with the display's user lock
// taken for the exit: it is given back, or the other thread's next call would wait for ever.
void Lost(Display* display, void*) {
    lost = true;
    if (closing) {
        const char* line = "Quillon: the display connection was lost while the window closed\n";
        ssize_t written = write(2, line, std::strlen(line));
        (void)written;
        _exit(1);
    }
    XUnlockDisplay(display);
}

} // namespace

void DisplayWatch_Start(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    // A write to a display server that has gone would otherwise end the program with SIGPIPE
    // before Xlib sees the loss; ignored, the write fails and the loss is met as above.
    signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(QuietIOError);
    XSetIOErrorExitHandler(info.info.x11.display, Lost, nullptr);
}

bool DisplayWatch_Lost() {
    return lost;
}

void DisplayWatch_Closing() {
    closing = true;
}

#else

void DisplayWatch_Start(SDL_Window*) {}

bool DisplayWatch_Lost() {
    return false;
}

void DisplayWatch_Closing() {}

#endif
