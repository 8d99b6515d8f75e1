#include "platform/picture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zelk {
namespace {

// The pattern every test picture but the JPEG carries (see make_pictures.sh).
constexpr int kWidth = 6;
constexpr int kHeight = 3;
struct Rgb {
    int r, g, b;
};
constexpr std::array<Rgb, kWidth* kHeight> kColours = {{
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {255, 255, 255},
    {0, 0, 0},
    {12, 34, 56},
    {10, 20, 30},
    {200, 100, 50},
    {128, 128, 128},
    {255, 255, 0},
    {0, 255, 255},
    {99, 88, 77},
    {60, 70, 80},
    {250, 240, 230},
    {17, 34, 51},
    {90, 0, 90},
    {33, 66, 99},
    {240, 15, 160},
}};
constexpr std::array<int, kWidth* kHeight> kGreys = {
    0, 64, 128, 192, 255, 32, 255, 192, 128, 64, 0, 16, 255, 255, 0, 0, 255, 100,
};

std::string PicturePath(const std::string& name) {
    return std::string(ZELK_TEST_DATA) + "/pictures/" + name;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Picture LoadOrFail(const std::string& name) {
    std::string error;
    std::optional<Picture> picture = Picture::Load(PicturePath(name), error);
    if (!picture) ADD_FAILURE() << name << ": " << error;
    return picture ? std::move(*picture) : *Picture::Load(PicturePath("rgb.png"), error);
}

// A caller-owned surface with a guard byte pattern around the picture.
struct Surface {
    Surface(int width, int height, int bytesPerPixel, std::uint8_t fill = 0xAA)
        : stride(bytesPerPixel == 3 ? ColorStride(width) : width * bytesPerPixel),
          bytes(static_cast<std::size_t>(stride) * height, fill),
          target{bytes.data(), width, height, stride, bytesPerPixel} {}
    int stride;
    std::vector<std::uint8_t> bytes;
    PixelTarget target;

    Rgb ColourAt(int x, int y) const {
        const std::uint8_t* p = &bytes[static_cast<std::size_t>(y) * stride + x * 3];
        return {p[2], p[1], p[0]};
    }
    int ByteAt(int x, int y) const { return bytes[static_cast<std::size_t>(y) * stride + x]; }
};

void ExpectColourPattern(const std::string& name) {
    SCOPED_TRACE(name);
    const Picture picture = LoadOrFail(name);
    ASSERT_EQ(picture.Width(), kWidth);
    ASSERT_EQ(picture.Height(), kHeight);
    Surface surface(kWidth, kHeight, 3);
    ASSERT_TRUE(picture.DrawColor(surface.target, 0, 0));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb want = kColours[y * kWidth + x];
            const Rgb got = surface.ColourAt(x, y);
            EXPECT_EQ(got.r, want.r) << "x " << x << " y " << y;
            EXPECT_EQ(got.g, want.g) << "x " << x << " y " << y;
            EXPECT_EQ(got.b, want.b) << "x " << x << " y " << y;
        }
        // Row padding is the surface's own and stays untouched.
        EXPECT_EQ(surface.bytes[y * surface.stride + kWidth * 3], 0xAA);
    }
}

void ExpectMask(const std::string& name, bool hasAlpha) {
    SCOPED_TRACE(name);
    const Picture picture = LoadOrFail(name);
    EXPECT_EQ(picture.HasAlpha(), hasAlpha);
    Surface mask(kWidth, kHeight, 1);
    ASSERT_TRUE(picture.DrawMask(mask.target, 0, 0));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            EXPECT_EQ(mask.ByteAt(x, y), kGreys[y * kWidth + x]) << "x " << x << " y " << y;
        }
    }
}

TEST(Picture, PngsOfEveryColourTypeAndDepthDecodeToTheirPixels) {
    for (const char* name : {"rgb.png", "rgb16.png", "rgba.png", "rgba16.png", "palette.png"}) {
        ExpectColourPattern(name);
    }
}

TEST(Picture, BmpsOfEveryDepthDecodeToTheirPixels) {
    for (const char* name : {"rgb24.bmp", "palette8.bmp", "palette8_rle.bmp", "rgba32.bmp"}) {
        ExpectColourPattern(name);
    }
}

TEST(Picture, WebpsDecodeToTheirPixelsAndKeepTheirAlpha) {
    ExpectColourPattern("rgb.webp");
    EXPECT_FALSE(LoadOrFail("rgb.webp").HasAlpha());
    // The alpha channel of rgba.png is the grey pattern (its encoder keeps
    // no colour under alpha 0, so colours are not compared).
    ExpectMask("rgba.webp", true);
}

// Cut short or damaged inside, a WebP is refused with a message or decodes
// without harm.
TEST(Picture, DamagedWebpsAreRefusedWithAMessage) {
    const std::vector<std::uint8_t> bytes = ReadBytes(PicturePath("rgba.webp"));
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string error;
        if (!Picture::Decode(std::span(bytes.data(), size), error)) {
            EXPECT_FALSE(error.empty()) << size;
        }
    }
    std::vector<std::uint8_t> broken = bytes;
    for (std::size_t i = 20; i < broken.size(); ++i)
        broken[i] = static_cast<std::uint8_t>(i * 53);
    std::string error;
    EXPECT_FALSE(Picture::Decode(broken, error));
    EXPECT_FALSE(error.empty());
}

// A header may claim any size; the decoders would allocate by it before
// reading a pixel, so such a picture is refused first, whatever data follow.
TEST(Picture, PicturesWhoseHeadersClaimHugeSizesAreRefusedBeforeDecoding) {
    const auto put = [](std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value,
                        int count, bool bigEndian) {
        for (int k = 0; k < count; ++k) {
            const int shift = 8 * (bigEndian ? count - 1 - k : k);
            bytes[at + k] = static_cast<std::uint8_t>(value >> shift);
        }
    };
    struct Lie {
        const char* file;
        std::size_t widthAt, heightAt;
        int count;
        bool bigEndian;
        std::uint32_t width, height;
        const char* claim;
    };
    const Lie lies[] = {
        {"rgba.png", 16, 20, 4, true, 60000, 60000, "60000 x 60000"},
        {"rgb.png", 16, 20, 4, true, 4, 0xFFFFFFF0, "4 x 4294967280"},
        {"rgb24.bmp", 18, 22, 4, false, 20000, 20000, "20000 x 20000"},
        {"rgb24.bmp", 18, 22, 4, false, 10000, 0xFFFF0000, "10000 x 65536"},  // top-down
        {"blocks.jpg", 165, 163, 2, true, 65000, 65000, "65000 x 65000"},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.file);
        std::vector<std::uint8_t> bytes = ReadBytes(PicturePath(lie.file));
        put(bytes, lie.widthAt, lie.width, lie.count, lie.bigEndian);
        put(bytes, lie.heightAt, lie.height, lie.count, lie.bigEndian);
        std::string error;
        EXPECT_FALSE(Picture::Decode(bytes, error));
        EXPECT_NE(error.find(std::string("claims ") + lie.claim), std::string::npos) << error;
    }
    // A lossless WebP states its size in 14 bits a side: 16384 x 16384 is
    // within each side's limit, not within the pixels a picture may have.
    std::vector<std::uint8_t> webp = ReadBytes(PicturePath("rgb.webp"));
    put(webp, 21, 0x0FFFFFFF, 4, false);
    std::string error;
    EXPECT_FALSE(Picture::Decode(webp, error));
    EXPECT_NE(error.find("claims 16384 x 16384"), std::string::npos) << error;
}

TEST(Picture, GreyPicturesDecodeToGreyPixels) {
    for (const char* name : {"grey.png", "grey16.png", "grey4.bmp"}) {
        SCOPED_TRACE(name);
        const Picture picture = LoadOrFail(name);
        Surface surface(kWidth, kHeight, 3);
        ASSERT_TRUE(picture.DrawColor(surface.target, 0, 0));
        for (int i = 0; i < kWidth * kHeight; ++i) {
            const Rgb got = surface.ColourAt(i % kWidth, i / kWidth);
            EXPECT_EQ(got.r, kGreys[i]);
            EXPECT_EQ(got.g, kGreys[i]);
            EXPECT_EQ(got.b, kGreys[i]);
        }
    }
}

TEST(Picture, JpegBlocksDecodeCloseToTheirColours) {
    const Picture picture = LoadOrFail("blocks.jpg");
    ASSERT_EQ(picture.Width(), 16);
    ASSERT_EQ(picture.Height(), 16);
    EXPECT_FALSE(picture.HasAlpha());
    Surface surface(16, 16, 3);
    ASSERT_TRUE(picture.DrawColor(surface.target, 0, 0));
    const struct {
        int x, y;
        Rgb colour;
    } blocks[] = {
        {3, 3, {255, 0, 0}}, {12, 3, {0, 255, 0}}, {3, 12, {0, 0, 255}}, {12, 12, {255, 255, 255}}};
    for (const auto& block : blocks) {
        const Rgb got = surface.ColourAt(block.x, block.y);
        EXPECT_NEAR(got.r, block.colour.r, 8) << block.x << "," << block.y;
        EXPECT_NEAR(got.g, block.colour.g, 8) << block.x << "," << block.y;
        EXPECT_NEAR(got.b, block.colour.b, 8) << block.x << "," << block.y;
    }
}

TEST(Picture, MaskOfAPngWithAlphaIsItsAlphaChannel) {
    ExpectMask("rgba.png", true);
    ExpectMask("rgba16.png", true);
    ExpectMask("grey_alpha.png", true);
}

TEST(Picture, MaskOfAPaletteWithTransparentEntriesIsTheirAlpha) {
    ExpectMask("palette_alpha.png", true);
    ExpectColourPattern("palette_alpha.png");
}

TEST(Picture, MaskOfAPaletteWithOneTransparentEntryHidesOnlyThatColour) {
    const Picture picture = LoadOrFail("palette_key.png");
    EXPECT_TRUE(picture.HasAlpha());
    Surface mask(kWidth, kHeight, 1);
    ASSERT_TRUE(picture.DrawMask(mask.target, 0, 0));
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const Rgb colour = kColours[i];
        const bool black = colour.r == 0 && colour.g == 0 && colour.b == 0;
        EXPECT_EQ(mask.ByteAt(i % kWidth, i / kWidth), black ? 0 : 255) << i;
    }
    ExpectColourPattern("palette_key.png");
}

TEST(Picture, MaskOfAPictureWithoutAlphaIsItsGreyLevel) {
    ExpectMask("grey.png", false);
    ExpectMask("grey16.png", false);
    ExpectMask("grey4.bmp", false);
}

TEST(Picture, MaskOfA32BitBmpIsItsGreyLevelNotItsFourthByte) {
    const Picture picture = LoadOrFail("rgba32.bmp");
    EXPECT_FALSE(picture.HasAlpha());
    Surface mask(kWidth, kHeight, 1);
    ASSERT_TRUE(picture.DrawMask(mask.target, 0, 0));
    // Pure red, green and blue give their luma weights.
    EXPECT_EQ(mask.ByteAt(0, 0), (255 * 77) >> 8);
    EXPECT_EQ(mask.ByteAt(1, 0), (255 * 150) >> 8);
    EXPECT_EQ(mask.ByteAt(2, 0), (255 * 29) >> 8);
    EXPECT_EQ(mask.ByteAt(3, 0), 255);
}

TEST(Picture, DecodesFromMemoryAsFromAFile) {
    const std::vector<std::uint8_t> bytes = ReadBytes(PicturePath("rgba.png"));
    std::string error;
    const std::optional<Picture> picture = Picture::Decode(bytes, error);
    ASSERT_TRUE(picture) << error;
    EXPECT_EQ(picture->Width(), kWidth);
    EXPECT_TRUE(picture->HasAlpha());
}

TEST(Picture, TruncatedPngIsRefusedWithAMessage) {
    std::string error;
    EXPECT_FALSE(Picture::Load(PicturePath("truncated.png"), error));
    EXPECT_FALSE(error.empty());
}

TEST(Picture, EveryPrefixOfAPngIsRefusedOrDecodedWithoutHarm) {
    const std::vector<std::uint8_t> bytes = ReadBytes(PicturePath("rgba.png"));
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string error;
        const std::optional<Picture> picture =
            Picture::Decode(std::span(bytes.data(), size), error);
        if (!picture) {
            EXPECT_FALSE(error.empty()) << size;
        }
    }
}

TEST(Picture, OtherDataIsRefused) {
    std::string error;
    const std::string text = "GIF89a and other things";
    EXPECT_FALSE(Picture::Decode(text, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Picture::Decode(std::string_view(), error));
    EXPECT_FALSE(Picture::Load(PicturePath("no such picture.png"), error));
}

TEST(Picture, DamagedBmpHeaderIsRefused) {
    std::vector<std::uint8_t> bytes = ReadBytes(PicturePath("rgb24.bmp"));
    bytes.resize(30);
    std::string error;
    EXPECT_FALSE(Picture::Decode(bytes, error));
}

TEST(Picture, DrawingAtAnOffsetClipsToTheTarget) {
    const Picture picture = LoadOrFail("rgb.png");
    Surface surface(4, 2, 3);
    ASSERT_TRUE(picture.DrawColor(surface.target, -2, 1));
    // Target row 0 is untouched; row 1 holds picture row 0 from column 2 on.
    EXPECT_EQ(surface.bytes[0], 0xAA);
    for (int x = 0; x < 4; ++x) {
        const Rgb want = kColours[x + 2];
        EXPECT_EQ(surface.ColourAt(x, 1).r, want.r);
        EXPECT_EQ(surface.ColourAt(x, 1).b, want.b);
    }
}

TEST(Picture, DrawingEntirelyOutsideTouchesNothing) {
    const Picture picture = LoadOrFail("rgba.png");
    Surface surface(4, 4, 3);
    Surface mask(4, 4, 1);
    for (const auto& [x, y] : {std::pair{4, 0},
                               {0, 4},
                               {-6, 0},
                               {0, -3},
                               {INT32_MIN, INT32_MIN},
                               {INT32_MAX, INT32_MAX}}) {
        EXPECT_TRUE(picture.DrawColor(surface.target, x, y));
        EXPECT_TRUE(picture.DrawMask(mask.target, x, y));
    }
    for (std::uint8_t byte : surface.bytes)
        EXPECT_EQ(byte, 0xAA);
    for (std::uint8_t byte : mask.bytes)
        EXPECT_EQ(byte, 0xAA);
}

TEST(Picture, MaskDrawsIntoALargerMapAtAnOffset) {
    const Picture picture = LoadOrFail("rgba.png");
    Surface mask(8, 5, 1);
    ASSERT_TRUE(picture.DrawMask(mask.target, 1, 2));
    EXPECT_EQ(mask.ByteAt(0, 2), 0xAA);
    EXPECT_EQ(mask.ByteAt(1, 2), kGreys[0]);
    EXPECT_EQ(mask.ByteAt(5, 2), kGreys[4]);
    EXPECT_EQ(mask.ByteAt(6, 4), kGreys[17]);
    EXPECT_EQ(mask.ByteAt(7, 4), 0xAA);
}

TEST(Picture, WrongKindsOfTargetAreRefused) {
    const Picture picture = LoadOrFail("rgb.png");
    Surface colour(kWidth, kHeight, 3);
    Surface map(kWidth, kHeight, 1);
    EXPECT_FALSE(picture.DrawColor(map.target, 0, 0));
    EXPECT_FALSE(picture.DrawMask(colour.target, 0, 0));
    PixelTarget noPixels{nullptr, 4, 4, 16, 3};
    EXPECT_FALSE(picture.DrawColor(noPixels, 0, 0));
    PixelTarget shortRows{colour.bytes.data(), kWidth, kHeight, kWidth * 3 - 1, 3};
    EXPECT_FALSE(picture.DrawColor(shortRows, 0, 0));
}

TEST(Picture, AMaskWrittenAsBmpReadsBackAsTheSameGreyMask) {
    const Picture picture = LoadOrFail("rgba.png");
    std::string error;
    const std::optional<std::string> bmp = EncodeMaskBmp(picture, error);
    ASSERT_TRUE(bmp) << error;
    const std::optional<Picture> mask = Picture::Decode(*bmp, error);
    ASSERT_TRUE(mask) << error;
    EXPECT_FALSE(mask->HasAlpha());
    Surface fromAlpha(kWidth, kHeight, 1);
    Surface fromGrey(kWidth, kHeight, 1);
    ASSERT_TRUE(picture.DrawMask(fromAlpha.target, 0, 0));
    ASSERT_TRUE(mask->DrawMask(fromGrey.target, 0, 0));
    EXPECT_EQ(fromAlpha.bytes, fromGrey.bytes);
}

}  // namespace
}  // namespace zelk
