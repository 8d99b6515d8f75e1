// A 640 x 480 game screen: background, three characters with alpha, a text
// window back at opacity 200 and a text film, recomposed whole; and a
// 400-character page printed at once.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "lumo.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void set(int32_t film, int32_t property, int32_t a, int32_t b = 0) {
    const int32_t value[2] = {a, b};
    SetFilmProp(film, property, value);
}

void call(int32_t film, int32_t method, int32_t argument = 0) {
    CallFilmMethod(film, method, &argument);
}

int32_t film(int32_t type, int32_t parent, int x, int y, int w, int h, uint32_t colour) {
    const int32_t f = AddFilm(type);
    set(f, FP_POS, x, y);
    set(f, FP_SIZE, w, h);
    set(f, FP_IMAGE_SIZE, w, h);
    call(f, FM_FILL, static_cast<int32_t>(colour));
    if (parent >= 0) set(f, FP_PARENT, parent, 0);
    return f;
}

// A character: an opaque ellipse with a soft edge in its alpha map.
void drawCharacterAlpha(int32_t f, int w, int h) {
    LumoSurface* alpha = nullptr;
    GetFilmProp(f, FP_ALPHA_OBJECT, &alpha);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 2.0);
            const double dy = (y - h / 2.0) / (h / 2.0);
            const double d = dx * dx + dy * dy;
            alpha->pixels[y * alpha->stride + x] = d < 0.8 ? 255
                                                   : d < 1.0
                                                       ? static_cast<uint8_t>((1.0 - d) * 1275)
                                                       : 0;
        }
    }
}

// "あいうえお..." rows: 400 two-byte characters in lines of 25.
std::string page() {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += static_cast<char>(0x82);
        text += static_cast<char>(0x9F + i % 83);
        if (i % 25 == 24) text += '\n';
    }
    return text;
}

class Engine {
public:
    Engine() {
        const int32_t rate = 1;  // the frame loop stays out of the measurement
        SetLumoSetting(LS_FRAME_RATE, &rate);
        InitializeLumo();
    }
    ~Engine() {
        TerminateLumo();
        const int32_t rate = 30;
        SetLumoSetting(LS_FRAME_RATE, &rate);
    }
};

void BM_FullScreenRecomposition(benchmark::State& state) {
    Engine engine;
    const int32_t screen = film(FT_SCREEN, -1, 0, 0, kWidth, kHeight, 0);
    const int32_t background = film(FT_IMAGE, screen, 0, 0, kWidth, kHeight, 0x806040);
    for (int i = 0; i < 3; ++i) {
        const int32_t character = film(FT_ALPHA, screen, 40 + i * 200, 40, 200, 440, 0x4080C0);
        drawCharacterAlpha(character, 200, 440);
    }
    const int32_t window = film(FT_ALPHA, screen, 20, 330, 600, 140, 0x201010);
    call(window, FM_FILL_ALPHA, 255);
    set(window, FP_ALPHA, 200);
    const int32_t text = film(FT_TEXT, screen, 40, 340, 560, 120, 0xFFFFFF);
    const std::string words = page().substr(0, 120);
    SetFilmProp(text, FP_TEXT_APPEND, words.c_str());
    set(text, FP_TEXT_SHOWN, 1000);
    call(screen, FM_REDRAW);
    for (auto _ : state) {
        call(background, FM_INVALIDATE);
        call(screen, FM_REDRAW);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_FullScreenRecomposition)->Unit(benchmark::kMillisecond);

void BM_PrintPage400(benchmark::State& state) {
    Engine engine;
    const int32_t screen = film(FT_SCREEN, -1, 0, 0, kWidth, kHeight, 0);
    const int32_t text = film(FT_TEXT, screen, 0, 0, kWidth, kHeight, 0);
    set(text, FP_TEXT_SIZE, 24);
    set(text, FP_TEXT_PITCH, 24);
    const std::string words = page();
    for (auto _ : state) {
        call(text, FM_TEXT_CLEAR);
        SetFilmProp(text, FP_TEXT_APPEND, words.c_str());
        set(text, FP_TEXT_SHOWN, 400);
    }
    state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(BM_PrintPage400)->Unit(benchmark::kMillisecond);

}  // namespace
