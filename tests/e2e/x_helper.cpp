// Another X client for the end-to-end tests: a plain window that covers the game's or dies
// right before the game starts, and a destroyer of someone else's window.
//   tavorin_x_helper window NAME X Y WIDTH HEIGHT   maps the window, then waits to be killed
//   tavorin_x_helper destroy WINDOW-ID              destroys that window and returns

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "destroy" && argc == 3) {
        XDestroyWindow(display, std::strtoul(argv[2], nullptr, 0));
        XSync(display, False);
        XCloseDisplay(display);
        return 0;
    }
    if (command != "window" || argc != 7) {
        std::fprintf(stderr, "usage: window NAME X Y WIDTH HEIGHT | destroy WINDOW-ID\n");
        return 2;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(
        display, RootWindow(display, screen), std::atoi(argv[3]), std::atoi(argv[4]),
        static_cast<unsigned>(std::atoi(argv[5])), static_cast<unsigned>(std::atoi(argv[6])), 0,
        BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, argv[2]);
    // Placed where asked, whatever a window manager would prefer.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    XSetWMNormalHints(display, window, &hints);
    XMapRaised(display, window);
    XSync(display, False);
    for (;;) {
        pause();
    }
}
