// Whatever a host sends, the engine neither crashes nor corrupts memory: a
// long run of random calls with hostile values (checked hardest under the
// sanitizers).
#include <random>
#include <string>
#include <vector>

#include "lumo_host.h"

using namespace lumo_test;

namespace {

const int32_t kProperties[] = {
    FP_PARENT,
    FP_POS,
    FP_X,
    FP_Y,
    FP_SIZE,
    FP_WIDTH,
    FP_HEIGHT,
    FP_INSERT_BEFORE,
    FP_INSERT_AFTER,
    FP_SRC_POS,
    FP_SRC_X,
    FP_SRC_Y,
    FP_IMAGE_SIZE,
    FP_BLEND_MODE,
    FP_MASK_POS,
    FP_MASK_X,
    FP_MASK_Y,
    FP_MASK_SIZE,
    FP_IMAGE_MASK_SIZE,
    FP_SRC_MASK_POS,
    FP_TEXT_SHOWN,
    FP_TEXT_SIZE,
    FP_TEXT_PITCH,
    FP_TEXT_LINE_PITCH,
    FP_TEXT_COLOR,
    FP_TEXT_DELAY,
    FP_TEXT_X,
    FP_TEXT_Y,
    FP_TEXT_POS,
    FP_ALPHA,
    FP_BRIGHTNESS,
    FP_SATURATION,
    FP_SOFTNESS,
    FP_PARAM1,
    FP_PARAM2,
    FP_PARAM3,
    FP_DIRTY_RECT,
    FP_INVERT_RECT,
    FP_LIVE,
    FP_SHARE_IMAGE,
    FP_SHARE_MASK,
    FP_CELL_X,
    FP_CELL_Y,
    0x10000009,
};

const int32_t kMethods[] = {
    FM_REDRAW,        FM_CLEAR,         FM_TEXT_CLEAR,   FM_STOP_ACTIONS, FM_RESUME_ACTIONS,
    FM_COPY_IMAGE_TO, FM_COPY_ALPHA_TO, FM_COPY_MASK_TO, FM_TAKE_SIZE,    FM_MOVE_CHILDREN,
    FM_FILL_ALPHA,    FM_INVALIDATE,    FM_FILL,         FM_TRIM,         FM_RESET_BOUNDS,
    FM_CELL_X_STEP,   FM_CELL_Y_STEP,   FM_TINT,         0x11000099,
};

const int32_t kTypes[] = {FT_IMAGE, FT_SCREEN, FT_TONED, FT_ALPHA, FT_TEXT, FT_LAYER, 0x10070012};

const int32_t kOpcodes[] = {AC_NOP,      AC_WAIT,    AC_JUMP,     AC_LOOP,    AC_END,
                            AC_RETARGET, AC_MOVE_TO, AC_MOVE2_TO, AC_MOVE_BY, AC_MOVE2_BY,
                            AC_CELL_X,   AC_CELL_Y,  AC_PRINT,    AC_METHOD,  0x20029999};

const int32_t kRedrawSets[] = {RF_SMOOTH,   RF_SMOOTH2, RF_FADE, RF_FADE_FAST,
                               RF_FADE_MMX, RF_LEVEL,   RF_RULE};

class Random {
public:
    int32_t below(std::size_t n) { return static_cast<int32_t>(mEngine() % n); }
    template <typename T, std::size_t N>
    T pick(const T (&items)[N]) {
        return items[below(N)];
    }
    int32_t value() {
        static const int32_t kEdges[] = {0,
                                         1,
                                         -1,
                                         2,
                                         255,
                                         256,
                                         257,
                                         65535,
                                         65536,
                                         0x7FFFFFFF,
                                         static_cast<int32_t>(0x80000000),
                                         -256,
                                         20,
                                         40};
        return below(3) == 0 ? below(64) - 8 : pick(kEdges);
    }

private:
    std::mt19937 mEngine{20261208};
};

}  // namespace

TEST_F(LumoTest, RandomCallsWithHostileValuesKeepTheEngineWhole) {
    Random random;
    std::vector<uint8_t> hostBytes(64 * 3 * 48);
    LumoSurface host{};
    host.width = 64;
    host.height = 48;
    host.stride = 64 * 3;
    host.bytes_per_pixel = 3;
    host.pixels = hostBytes.data();
    const std::string texts[] = {"\x82\xa0\x82\xa2",
                                 "B00000010\x82\xa0",
                                 "O\nN\x82\xa0"
                                 "A",
                                 "M000000010010E02ab",
                                 "I-7ffK+fffF400\x82\xa0",
                                 "B",
                                 "\x82"};

    for (int round = 0; round < 4000; ++round) {
        const int32_t film = random.below(12);
        switch (random.below(10)) {
            case 0:
                AddFilm(random.pick(kTypes));
                break;
            case 1: {
                const int32_t value[2] = {random.value(), random.value()};
                SetFilmProp(film, random.pick(kProperties), value);
                if (random.below(4) == 0) SetFilmProp(film, random.pick(kProperties), nullptr);
                break;
            }
            case 2: {
                const int32_t argument = random.below(2) ? random.value() : random.below(12);
                CallFilmMethod(film, random.pick(kMethods), &argument);
                break;
            }
            case 3: {
                const std::string& text = texts[random.below(std::size(texts))];
                SetFilmProp(film, random.below(2) ? FP_TEXT_APPEND : FP_TEXT_FONT, text.c_str());
                break;
            }
            case 4: {
                LumoSurface* target = random.below(2) ? &host : nullptr;
                SetFilmProp(film, FP_SCREEN_DC, &target);
                const LumoRedrawFuncs* table =
                    random.below(3) ? GetRedrawFuncs(random.pick(kRedrawSets)) : nullptr;
                SetFilmProp(film, FP_REDRAW_PROC, &table);
                break;
            }
            case 5: {
                const int32_t action = random.below(3) ? random.below(6) : AddAction();
                const int32_t word = random.below(2) ? random.pick(kOpcodes) : random.value();
                CallActMethod(action, AM_APPEND, &word);
                SetActProp(action, AP_TARGET, &film);
                const int32_t speed = random.value();
                if (random.below(8) == 0) SetActProp(action, AP_SPEED, &speed);
                CallActMethod(action, random.below(2) ? AM_START : AM_FINISH, nullptr);
                break;
            }
            case 6:
                ProgressAction(random.below(200));
                break;
            case 7:
                if (random.below(20) == 0) RemoveFilmChildren(random.below(3) ? film : -1);
                if (random.below(10) == 0) RemoveAction(random.below(6));
                break;
            case 8: {
                LumoSurface* surface = nullptr;
                static const int32_t kHandles[] = {FP_IMAGE_OBJECT, FP_ALPHA_OBJECT, FP_MASK_OBJECT,
                                                   FP_IMAGE_DC};
                const int32_t which = random.pick(kHandles);
                if (GetFilmProp(film, which, &surface) == 0) {
                    BitBltMask(surface, random.value(), random.value(), random.value(),
                               random.value(), &host, random.value(), random.value());
                }
                break;
            }
            default:
                CallFilmMethod(film, FM_REDRAW, nullptr);
                break;
        }
    }
    ExeQueue();
    SUCCEED();
}
