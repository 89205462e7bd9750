// How long a program takes to show its complete first frame, as the X server sees it: starts the
// program, notes when its first window is created and mapped, and follows every drawing on the
// screen (XDamage on the root window) until none has come for QUIET ms. Then ends the program.
//
//   firstframe QUIET_MS PROGRAM [ARGUMENT...]
//
// Prints "START_TO_DONE CREATED_TO_DONE" in milliseconds: from starting the program, and from the
// creation of its first top-level window, to the last drawing of the first frame.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>

namespace {
double now()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: firstframe QUIET_MS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const double quiet = std::atof(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    int damageEvent = 0, damageError = 0;
    if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "firstframe: no display with the DAMAGE extension\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XDamageCreate(display, root, XDamageReportRawRectangles);
    XSync(display, False);
    while (XPending(display)) { // whatever was drawn before the program starts
        XEvent event;
        XNextEvent(display, &event);
    }

    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double created = -1, mapped = -1, last = -1;
    const double limit = start + 60000;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && created < 0)
                created = now();
            else if (event.type == MapNotify && mapped < 0)
                mapped = now();
            else if (event.type == damageEvent + XDamageNotify && mapped >= 0)
                last = now();
        }
        const double t = now();
        if ((last >= 0 && t - last >= quiet) || t > limit)
            break;
        pollfd fd {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 5);
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (last < 0) {
        std::fprintf(stderr, "firstframe: %s drew nothing within a minute\n", argv[2]);
        return 1;
    }
    std::printf("%.0f %.0f\n", last - start, last - created);
    return 0;
}
