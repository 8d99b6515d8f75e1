// What a save slot shows of itself: the thumbnail taken from the game screen
// and the text of its date, time and place.
//
// The thumbnail is the screen reduced to the slot's picture size. Every
// source pixel contributes to the thumbnail pixels it covers, weighted by
// the covered area, so a line of small text or a face turns into a faithful
// smaller picture instead of a sample of scattered pixels.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_encoding.h"

#include "modes/save_data.h"

namespace zelk {

class INIFile;
class ScreenSurface;

// The picture (blue, green, red rows top-down, `stride` bytes apart) scaled
// to width x height. Nothing (an empty image) when either size is not
// positive or the source is empty.
SavePreviewImage ScalePreview(const std::uint8_t* bgr, int width, int height, int stride,
                              int outWidth, int outHeight);
// The screen as last presented, scaled; read under the surface's lock.
SavePreviewImage TakeScreenPreview(ScreenSurface& screen, int outWidth, int outHeight);

// The slot's text: the save's date, its time and the first 14 characters of
// the place it was made in, on three lines (LF).
std::string SlotSummaryText(const INIFile& document);
inline constexpr std::size_t kSlotSiteNameLength = 14;

// The text as the film engine's text film prints it (CP932, its marks kept
// out): line feeds stay line breaks; half-width letters, digits and kana
// become their full-width forms, since the engine reads most single bytes as
// marks; anything CP932 cannot write becomes a full-width question mark.
std::string SlotTextForEngine(const std::string& utf8, TextEncoding encoding = TextEncoding());

}  // namespace zelk
