#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>

#include "platform/window_picture.h"

namespace zelk {
namespace {

// Under the dummy video driver the software renderer still reads back, so a
// picture of the window can be saved without any display.
TEST(WindowPicture, SavesWhatTheRendererShowsAsPngOrBmp) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("t", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    SDL_SetRenderDrawColor(renderer, 200, 100, 50, 255);
    SDL_RenderClear(renderer);

    for (const char* name : {"/shot.png", "/shot.bmp"}) {
        const std::string path = ::testing::TempDir() + name;
        ASSERT_TRUE(SaveWindowPicture(renderer, path));
        SDL_Surface* loaded = IMG_Load(path.c_str());
        ASSERT_NE(loaded, nullptr) << path;
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
        ASSERT_NE(rgb, nullptr);
        EXPECT_EQ(rgb->w, 64);
        EXPECT_EQ(rgb->h, 48);
        const auto* pixel = static_cast<const unsigned char*>(rgb->pixels) + rgb->pitch * 10 + 30;
        EXPECT_EQ(pixel[0], 200);
        EXPECT_EQ(pixel[1], 100);
        EXPECT_EQ(pixel[2], 50);
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(loaded);
        std::remove(path.c_str());
    }
    EXPECT_FALSE(SaveWindowPicture(renderer, ""));
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

}  // namespace
}  // namespace zelk
