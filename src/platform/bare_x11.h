// A full-screen switch on an X server without a window manager (a bare
// server, a kiosk session): SDL asks the window manager to resize the
// window, nobody answers, and SDL goes on believing the window covers the
// display while it keeps its old size and place. The picture, drawn for the
// display, then shows cut in a corner.
#pragma once

#include <SDL.h>

namespace zelk {

// Where the window is an X11 one and no window manager runs, moves and
// sizes it to what SDL believes it is (the display's bounds in full screen).
// True when it did. Elsewhere, the window manager's business: false.
bool PlaceBareX11Window(SDL_Window* window);

}  // namespace zelk
