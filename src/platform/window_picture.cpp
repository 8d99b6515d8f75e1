#include "platform/window_picture.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace zelk {

namespace {

bool EndsWithNoCase(const std::string& text, const char* suffix) {
    const size_t length = std::char_traits<char>::length(suffix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        const char a = text[text.size() - length + i];
        const char lower = (a >= 'A' && a <= 'Z') ? static_cast<char>(a - 'A' + 'a') : a;
        if (lower != suffix[i]) return false;
    }
    return true;
}

}  // namespace

std::string ScreenshotPathFromEnvironment() {
    const char* path = std::getenv("ZELK_SCREENSHOT");
    return path ? path : "";
}

bool SaveWindowPicture(SDL_Renderer* renderer, const std::string& path) {
    if (!renderer || path.empty()) return false;
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0 || width <= 0 || height <= 0) {
        return false;
    }
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24),
        SDL_FreeSurface);
    if (!surface) return false;
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB24, surface->pixels,
                             surface->pitch) != 0) {
        return false;
    }
    // Written beside the target and renamed, so a reader never sees half a file.
    const std::string temporary = path + ".tmp";
    const int saved = EndsWithNoCase(path, ".png") ? IMG_SavePNG(surface.get(), temporary.c_str())
                                                   : SDL_SaveBMP(surface.get(), temporary.c_str());
    if (saved != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace zelk
