// The vector variants behind blendPiece, fadeVector and smoothPass, named so that
// tests can hold each one against the scalar reference where the processor runs it.
#pragma once

#include <cstdint>

#include "composition.h"
#include "pixel_buffer.h"

// The variants exist on x86 processors; elsewhere the scalar code serves.
#if defined(__x86_64__) || defined(__i386__)
#define LUMO_X86 1
#include <immintrin.h>

namespace lumo::vector {

// Which variants this processor runs (SSE4.1 is part of the build's baseline).
bool hasAvx2();

// The plain pixel function of the blend (parent without bits 0x80 and 0x08) with
// a source alpha map; opacity already within 0..256.
void blendPlainSse(const Piece& piece, int opacity);
void blendPlainAvx2(const Piece& piece, int opacity);

// The keeps-alpha pixel function (parent with bit 0x80 and an alpha map).
void blendKeepAlphaSse(const Piece& piece, int opacity);

// fadeBytes with vectors; p already within 0..256.
void fadeSse(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
             int p);
void fadeAvx2(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
              int p);

// The inner channel values of one row of a smoothing pass: `count` bytes from
// each pointer, the left and right neighbours `step` bytes away.
void smoothRowSse(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* centre,
                  const std::uint8_t* down, int count, int step);

}  // namespace lumo::vector

#endif
