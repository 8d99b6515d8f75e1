// Saves what a renderer currently shows as a PNG or BMP file (by the file's
// extension), so the picture can be checked by eye without an X server: under
// SDL's dummy video driver the software renderer still reads back.
#pragma once

#include <SDL.h>

#include <string>

namespace zelk {

bool SaveWindowPicture(SDL_Renderer* renderer, const std::string& path);

// The file named by ZELK_SCREENSHOT, or "".
std::string ScreenshotPathFromEnvironment();

}  // namespace zelk
