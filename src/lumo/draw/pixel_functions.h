// The reference formulas, one pixel or one run at a time: shared by the scalar
// routines and by the row ends of the vector ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "composition.h"

namespace lumo::pixel {

// Parent keeps alpha (bit 0x80): a clear parent pixel takes the child as it is;
// otherwise the colour moves toward the source and alpha accumulates toward 255
// (the shift rounds toward minus infinity).
inline void keepAlpha(std::uint8_t* c, const std::uint8_t* s, std::uint8_t* alpha, int e) {
    const int d = *alpha;
    if (d == 0) {
        std::memcpy(c, s, 3);
        *alpha = static_cast<std::uint8_t>(e);
        return;
    }
    for (int i = 0; i < 3; ++i)
        c[i] = static_cast<std::uint8_t>(c[i] + e * (s[i] - c[i]) / 256);
    *alpha = static_cast<std::uint8_t>(d - ((e * (d - 255) + 255) >> 8));
}

// Parent tones (bit 0x08): the source is toned, then blended even when opaque.
inline void toned(std::uint8_t* c, const std::uint8_t* s, int e, const Tone& tone) {
    std::uint8_t t[3] = {s[0], s[1], s[2]};
    applyTone(t, tone);
    for (int i = 0; i < 3; ++i)
        c[i] = static_cast<std::uint8_t>(c[i] + e * (t[i] - c[i]) / 256);
}

// Any other parent: opaque pixels are copied, the rest weighted.
inline void plain(std::uint8_t* c, const std::uint8_t* s, int e) {
    if (e == 255) {
        std::memcpy(c, s, 3);
        return;
    }
    for (int i = 0; i < 3; ++i)
        c[i] = static_cast<std::uint8_t>(c[i] + (s[i] - c[i]) * e / 256);
}

// The cross-fade of `count` bytes: new + p × (old - new) / 256, truncating.
inline void fade(std::uint8_t* out, const std::uint8_t* before, const std::uint8_t* after,
                 std::ptrdiff_t count, int p) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::uint8_t>(after[i] + p * (before[i] - after[i]) / 256);
    }
}

// One row's inner channel values of a smoothing pass, neighbours `step` bytes
// left and right.
inline void smooth(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* centre,
                   const std::uint8_t* down, int count, int step) {
    for (int i = 0; i < count; ++i) {
        const int around = up[i] + down[i] + centre[i - step] + centre[i + step];
        out[i] = static_cast<std::uint8_t>((around * 115 + centre[i] * 51) / 512);
    }
}

}  // namespace lumo::pixel
