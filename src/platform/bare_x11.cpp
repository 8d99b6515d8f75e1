#include "platform/bare_x11.h"

#include <SDL_syswm.h>

#include <type_traits>

namespace zelk {

namespace {

// The few Xlib calls, from the library SDL itself has loaded: the program
// links no X library, so that it runs on a Wayland-only system too.
struct Xlib {
    using InternAtom = Atom (*)(Display*, const char*, Bool);
    using GetWindowProperty = int (*)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*,
                                      unsigned long*, unsigned long*, unsigned char**);
    using Free = int (*)(void*);
    using MoveResizeWindow = int (*)(Display*, Window, int, int, unsigned, unsigned);
    using Sync = int (*)(Display*, Bool);
    using DefaultRootWindow = Window (*)(Display*);

    InternAtom internAtom = nullptr;
    GetWindowProperty getWindowProperty = nullptr;
    Free free = nullptr;
    MoveResizeWindow moveResizeWindow = nullptr;
    Sync sync = nullptr;
    DefaultRootWindow defaultRootWindow = nullptr;

    bool Ok() const {
        return internAtom && getWindowProperty && free && moveResizeWindow && sync &&
               defaultRootWindow;
    }
};

const Xlib& LoadXlib() {
    static const Xlib xlib = [] {
        Xlib loaded;
        void* library = SDL_LoadObject("libX11.so.6");
        if (!library) return loaded;
        auto get = [library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                SDL_LoadFunction(library, name));
        };
        get(loaded.internAtom, "XInternAtom");
        get(loaded.getWindowProperty, "XGetWindowProperty");
        get(loaded.free, "XFree");
        get(loaded.moveResizeWindow, "XMoveResizeWindow");
        get(loaded.sync, "XSync");
        get(loaded.defaultRootWindow, "XDefaultRootWindow");
        return loaded;
    }();
    return xlib;
}

// A window manager that follows the desktop conventions names itself on
// the root window.
bool WindowManagerRuns(const Xlib& x, Display* display) {
    const Atom check = x.internAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status =
        x.getWindowProperty(display, x.defaultRootWindow(display), check, 0, 1, False,
                            AnyPropertyType, &type, &format, &count, &after, &data);
    if (data) x.free(data);
    return status == Success && type != None && count > 0;
}

}  // namespace

bool PlaceBareX11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    const Xlib& x = LoadXlib();
    Display* display = info.info.x11.display;
    if (!x.Ok() || !display || WindowManagerRuns(x, display)) return false;
    SDL_Rect place{};
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
        if (SDL_GetDisplayBounds(SDL_max(0, SDL_GetWindowDisplayIndex(window)), &place) != 0) {
            return false;
        }
    } else {
        SDL_GetWindowPosition(window, &place.x, &place.y);
        SDL_GetWindowSize(window, &place.w, &place.h);
    }
    if (place.w <= 0 || place.h <= 0) return false;
    x.moveResizeWindow(display, info.info.x11.window, place.x, place.y,
                       static_cast<unsigned>(place.w), static_cast<unsigned>(place.h));
    x.sync(display, False);
    return true;
}

}  // namespace zelk
