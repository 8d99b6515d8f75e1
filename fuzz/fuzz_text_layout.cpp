// UTF-8 text of any content through a text film, as the player's text window
// uses one: the first two bytes choose the film's width and the text size,
// the rest is the text, its NUL bytes cutting it into separate appends. The
// text is decoded, its marks read, each paragraph shaped, broken into lines
// and set, and every cluster printed; the film is then cleared and printed
// again one cluster at a time, as typing does. Printing must reach the
// length the film reports, and the cursor must stay a coordinate.

#include <cstddef>
#include <cstdint>
#include <string>

#include "lumo.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

int32_t Get(int32_t film, int32_t property) {
    int32_t value[2] = {0, 0};
    Check(GetFilmProp(film, property, value) == 0);
    return value[0];
}

void Set(int32_t film, int32_t property, int32_t a, int32_t b = 0) {
    const int32_t value[2] = {a, b};
    SetFilmProp(film, property, value);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const int32_t utf8 = LUMO_TEXT_UTF8;
    const int32_t rate = 1;
    SetLumoSetting(LS_TEXT_ENCODING, &utf8);
    SetLumoSetting(LS_FRAME_RATE, &rate);
    Check(InitializeLumo() == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = data[0] * 3;
    const int textSize = data[1] % 48 + 1;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    const int32_t film = AddFilm(FT_TEXT);
    Check(film >= 0);
    Set(film, FP_SIZE, width, 120);
    Set(film, FP_IMAGE_SIZE, width, 120);
    Set(film, FP_TEXT_SIZE, textSize);
    Set(film, FP_TEXT_LINE_PITCH, textSize + 4);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find('\0', start), text.size());
            SetFilmProp(film, FP_TEXT_APPEND, text.substr(start, end - start).c_str());
            start = end + 1;
        }
        const int32_t length = Get(film, FP_TEXT_LENGTH);
        Check(length >= 0 && static_cast<std::size_t>(length) <= text.size());
        if (pass == 0) {
            Set(film, FP_TEXT_SHOWN, length);
        } else {
            for (int32_t shown = 1; shown <= length; ++shown)
                Set(film, FP_TEXT_SHOWN, shown);
        }
        // A reset mark empties the buffer on the way; otherwise all is shown.
        const int32_t after = Get(film, FP_TEXT_LENGTH);
        Check(Get(film, FP_TEXT_SHOWN) <= after);
        const int32_t x = Get(film, FP_TEXT_X);
        const int32_t y = Get(film, FP_TEXT_Y);
        Check(x >= -(1 << 24) && x <= (1 << 24) && y >= -(1 << 24) && y <= (1 << 24));
        CallFilmMethod(film, FM_TEXT_CLEAR, nullptr);
    }
    RemoveFilm(film);
    ExeQueue();
    return 0;
}
