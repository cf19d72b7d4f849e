#include "platform/sdl/x11_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>

#include <algorithm>
#include <vector>

namespace platform::sdl {

namespace {

struct Watched {
    ::Window xid;
    uint32_t sdlId;
    bool gone;
};

// Xlib's error handler takes no context: the watched windows are the process's.
std::vector<Watched>& watched() {
    static std::vector<Watched> windows;
    return windows;
}

XErrorHandler previousHandler = nullptr;

Watched* Find(::Window xid) {
    auto& all = watched();
    const auto found =
        std::find_if(all.begin(), all.end(), [xid](const Watched& w) { return w.xid == xid; });
    return found == all.end() ? nullptr : &*found;
}

int OnXError(Display* display, XErrorEvent* error) {
    // A request about a window another client destroyed: expected, and the sign that it is
    // gone even before its DestroyNotify is read.
    Watched* window = Find(error->resourceid);
    if (window &&
        (window->gone || error->error_code == BadWindow || error->error_code == BadDrawable)) {
        window->gone = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

bool XidOf(SDL_Window* window, ::Window& xid) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    xid = info.info.x11.window;
    return true;
}

}  // namespace

void WatchXWindow(SDL_Window* window) {
    ::Window xid = 0;
    if (!XidOf(window, xid)) {
        return;
    }
    // Put over SDL's own, again whenever SDL's video started anew; SDL's passing handlers
    // around its GLX calls come and go above it.
    const XErrorHandler current = XSetErrorHandler(OnXError);
    if (current != OnXError) {
        previousHandler = current;
    }
    // The event that reports it destroyed is passed on to the game as well.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    watched().push_back({xid, SDL_GetWindowID(window), false});
}

void DestroyWatchedWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    Display* display = nullptr;
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        display = info.info.x11.display;
    }
    const bool gone = XWindowGone(window);
    const uint32_t id = SDL_GetWindowID(window);
    SDL_DestroyWindow(window);
    if (gone && display) {
        XSync(display, False);
    }
    std::erase_if(watched(), [id](const Watched& w) { return w.sdlId == id; });
}

bool XWindowGone(SDL_Window* window) {
    const uint32_t id = SDL_GetWindowID(window);
    return std::any_of(watched().begin(), watched().end(),
                       [id](const Watched& w) { return w.sdlId == id && w.gone; });
}

uint32_t XWindowDestroyedBy(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg ||
        event.syswm.msg->subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type != DestroyNotify) {
        return 0;
    }
    Watched* window = Find(x.xdestroywindow.window);
    if (!window) {
        return 0;
    }
    window->gone = true;
    return window->sdlId;
}

bool FrameExtentsReported(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return true;
    }
    // A manager after the EWMH names its check window on the root; only such a one sets
    // the frame extents.
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool named =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        type == XA_WINDOW && count == 1;
    if (data) {
        XFree(data);
    }
    return named;
}

}  // namespace platform::sdl
