#include "window_watch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

bool OwnedBy(Display* display, Atom pidAtom, Window window, pid_t pid) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type,
                                         &format, &items, &left, &data) == Success;
    const bool owned = read && data && format == 32 && items == 1 &&
                       static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
    if (data) XFree(data);
    return owned;
}

bool Viewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

bool Search(Display* display, Atom pidAtom, Window parent, pid_t pid, int depth) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        found = (OwnedBy(display, pidAtom, children[i], pid) && Viewable(display, children[i])) ||
                (depth > 1 && Search(display, pidAtom, children[i], pid, depth - 1));
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

struct WindowWatch::Connection {
    Display* display = nullptr;
    Atom pidAtom = None;
};

WindowWatch::WindowWatch() : mConnection(std::make_unique<Connection>()) {
    mConnection->display = XOpenDisplay(nullptr);
}

WindowWatch::~WindowWatch() {
    if (mConnection->display) XCloseDisplay(mConnection->display);
}

bool WindowWatch::Usable() const {
    return mConnection->display != nullptr;
}

bool WindowWatch::Shown(pid_t pid) {
    Display* display = mConnection->display;
    if (!display) return false;
    // The atom exists once the first window has named its process.
    if (mConnection->pidAtom == None)
        mConnection->pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (mConnection->pidAtom == None) return false;
    return Search(display, mConnection->pidAtom, DefaultRootWindow(display), pid, 2);
}
