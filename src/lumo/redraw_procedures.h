// The redraw procedures of the screen transitions and the engine-wide
// storage they keep their working pictures in.
#pragma once

#include <cstdint>

#include "lumo.h"
#include "pixel_buffer.h"

namespace lumo {

struct Film;

class RedrawProcedures {
public:
    // The shared table for a set, overwritten by each call; null for an
    // unknown set.
    const LumoRedrawFuncs* lookup(std::int32_t set);
    void release();

    // Working pictures. One procedure of a kind at a time: `owner` is the
    // film that has it installed.
    struct Fade {
        const Film* owner = nullptr;
        PixelStore old;
    } fade;
    struct Smooth {
        const Film* owner = nullptr;
        PixelStore saved;
        PixelStore spare;
    } smooth;
    struct Rule {
        const Film* owner = nullptr;
        PixelStore old;
        PixelStore map;
    } rule;

private:
    LumoRedrawFuncs mTable{};
};

}  // namespace lumo
