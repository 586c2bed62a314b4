#include "platform/window_manager_hints.h"

#include <allegro.h>
// After allegro.h, as it asks.
#include <xalleg.h>

namespace {

// The window manager's frame, through the Motif hints most of them read.
void setDecorations(Display* display, Window window, bool decorated) {
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } hints{2, 0, decorated ? 1UL : 0UL, 0, 0};  // flags 2: the decorations field is set
    const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
}

// The window's _NET_WM_STATE_FULLSCREEN, asked of the window manager as the desktop rules say
// for a window already shown: a message to the root window.
void setFullScreenState(Display* display, Window window, bool fullScreen) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = fullScreen ? 1 : 0;  // add or remove
    event.xclient.data.l[1] =
        static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;  // from an ordinary application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

void askFullScreen(bool fullScreen) {
    XLOCK();
    Display* display = _xwin.display;
    const Window window = _xwin.wm_window ? _xwin.wm_window : _xwin.window;
    if (display && window) {
        setDecorations(display, window, !fullScreen);
        setFullScreenState(display, window, fullScreen);
        if (fullScreen) XMoveWindow(display, window, 0, 0);
        XFlush(display);
    }
    XUNLOCK();
}
