#include "modes/mode_saveload_preview.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <mutex>
#include <optional>
#include <vector>

#include "common/codepage.h"
#include "common/utf8.h"
#include "platform/picture.h"
#include "platform/screen_surface.h"
#include "settings/ini_file.h"

namespace zelk {

namespace {

struct Tap {
    int source;
    float weight;
};

// For each output position, the source positions it draws from with their
// weights (summing to 1). Reducing: the source pixels the output pixel's
// footprint covers, by covered length. Enlarging: linear between the two
// nearest source pixels.
std::vector<std::vector<Tap>> Taps(int sourceSize, int outSize) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(outSize));
    const double scale = static_cast<double>(sourceSize) / outSize;
    for (int o = 0; o < outSize; ++o) {
        auto& list = taps[static_cast<std::size_t>(o)];
        if (scale >= 1.0) {
            const double start = o * scale;
            const double end = start + scale;
            for (int s = static_cast<int>(start); s < sourceSize && s < end; ++s) {
                const double covered = std::min<double>(s + 1, end) - std::max<double>(s, start);
                if (covered > 1e-9) list.push_back({s, static_cast<float>(covered / scale)});
            }
        } else {
            const double centre = std::clamp((o + 0.5) * scale - 0.5, 0.0, sourceSize - 1.0);
            const int low = static_cast<int>(centre);
            const int high = std::min(low + 1, sourceSize - 1);
            const float part = static_cast<float>(centre - low);
            list.push_back({low, 1.0f - part});
            if (high != low) list.push_back({high, part});
        }
    }
    return taps;
}

// Half-width katakana U+FF61..U+FF9F in their full-width forms.
constexpr char32_t kFullWidthKana[] =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    U"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(std::size(kFullWidthKana) == 0xFF9F - 0xFF61 + 2);

}  // namespace

SavePreviewImage ScalePreview(const std::uint8_t* bgr, int width, int height, int stride,
                              int outWidth, int outHeight) {
    if (!bgr || width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0) return {};
    const auto columns = Taps(width, outWidth);
    const auto rows = Taps(height, outHeight);

    // Across first, into one float row per source row.
    std::vector<float> across(static_cast<std::size_t>(height) * outWidth * 3);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = bgr + static_cast<std::size_t>(y) * stride;
        float* out = &across[static_cast<std::size_t>(y) * outWidth * 3];
        for (int x = 0; x < outWidth; ++x) {
            float b = 0, g = 0, r = 0;
            for (const Tap& tap : columns[static_cast<std::size_t>(x)]) {
                const std::uint8_t* p = in + tap.source * 3;
                b += p[0] * tap.weight;
                g += p[1] * tap.weight;
                r += p[2] * tap.weight;
            }
            out[x * 3] = b;
            out[x * 3 + 1] = g;
            out[x * 3 + 2] = r;
        }
    }

    SavePreviewImage image{outWidth, outHeight, ColorStride(outWidth), {}};
    image.pixels.assign(static_cast<std::size_t>(image.stride) * outHeight, 0);
    for (int y = 0; y < outHeight; ++y) {
        std::uint8_t* out = &image.pixels[static_cast<std::size_t>(y) * image.stride];
        for (int i = 0; i < outWidth * 3; ++i) {
            float sum = 0;
            for (const Tap& tap : rows[static_cast<std::size_t>(y)])
                sum += across[static_cast<std::size_t>(tap.source) * outWidth * 3 + i] * tap.weight;
            out[i] = static_cast<std::uint8_t>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
    return image;
}

SavePreviewImage TakeScreenPreview(ScreenSurface& screen, int outWidth, int outHeight) {
    std::lock_guard lock(screen.Mutex());
    return ScalePreview(screen.Pixels(), screen.Width(), screen.Height(), screen.Stride(), outWidth,
                        outHeight);
}

std::string SlotSummaryText(const INIFile& document) {
    auto value = [&](const char* section, const char* key) {
        const INISection* s = document.FindSection(section);
        return s ? s->KeyValue(key) : std::string();
    };
    std::u32string site = DecodeUtf8(value("GameViewStatus", "SiteName"));
    if (site.size() > kSlotSiteNameLength) site.resize(kSlotSiteNameLength);
    return value("VellStatus", "DateString") + "\n" + value("VellStatus", "TimeString") + "\n" +
           EncodeUtf8(site);
}

std::string SlotTextForEngine(const std::string& utf8, TextEncoding encoding) {
    std::string out;
    for (char32_t c : DecodeUtf8(utf8)) {
        if (c == U'\n') {
            out += '\n';
            continue;
        }
        if (c < 0x20 || c == 0x7F) continue;
        // A UTF-8 game's engine sets text by width: every character as it
        // is, the letters it reads as marks escaped.
        if (encoding.IsUtf8()) {
            if (c >= U'A' && c <= U'T') out += '\x1B';
            AppendUtf8(out, c);
            continue;
        }
        if (c == U' ')
            c = U'\u3000';
        else if (c < 0x7F)
            c += 0xFEE0;
        else if (c >= 0xFF61 && c <= 0xFF9F)
            c = kFullWidthKana[c - 0xFF61];
        std::string one;
        AppendUtf8(one, c);
        const std::optional<std::string> bytes = Utf8ToCp932(one);
        out += bytes && bytes->size() == 2 ? *bytes : *Utf8ToCp932("？");
    }
    return out;
}

}  // namespace zelk
