// Says which cursor the X server shows at the pointer: "WIDTH HEIGHT XHOT YHOT", from XFixes.
// The end-to-end tests tell the chalk cursor from the eraser's by their hotspots.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cursorimage: cannot open display\n");
        return 1;
    }
    int event = 0, error = 0;
    XFixesCursorImage *image = XFixesQueryExtension(display, &event, &error) ? XFixesGetCursorImage(display) : nullptr;
    if (!image) {
        std::fprintf(stderr, "cursorimage: no cursor image from XFixes\n");
        return 1;
    }
    std::printf("%u %u %u %u\n", image->width, image->height, image->xhot, image->yhot);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
