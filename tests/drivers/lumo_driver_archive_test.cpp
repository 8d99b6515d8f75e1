// Pictures packed as a shipped game packs them, the picture under its name
// and its "-m" mask beside it, loaded through the archive driver into films:
// the films must hold the pixels that the loose files give.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "drivers/lumo_driver_fixture.h"
#include "drivers/quor_driver.h"
#include "platform/picture.h"
#include "zelk-tool/quor_writer.h"

namespace zelk {
namespace {

using testing::DemoDir;
using testing::LumoDriverTest;
using testing::TempFolder;
namespace fs = std::filesystem;

// A character of the demo (transparent margins) and a picture of 6 x 3
// pixels, whose rows need padding in a colour image.
const std::array<std::string, 2> kPictures = {"st_a01_normal", "rgba"};

std::string SourceOf(const std::string& name) {
    return name == "rgba" ? std::string(ZELK_TEST_DATA) + "/pictures/rgba.png"
                          : DemoDir() + "/image/" + name + ".png";
}

// The image and alpha map of a film as bytes, rows without padding; `width`
// and `height` pick the top-left block.
struct Pixels {
    std::vector<std::uint8_t> image;
    std::vector<std::uint8_t> alpha;
    bool operator==(const Pixels&) const = default;
};

Pixels PixelsOf(int32_t film, int width, int height) {
    Pixels out;
    LumoSurface* image = nullptr;
    LumoSurface* alpha = nullptr;
    if (GetFilmProp(film, FP_IMAGE_OBJECT, &image) != 0 ||
        GetFilmProp(film, FP_ALPHA_OBJECT, &alpha) != 0) {
        return out;
    }
    for (int y = 0; y < height && y < image->height; ++y) {
        const std::uint8_t* row = image->pixels + y * image->stride;
        out.image.insert(out.image.end(), row, row + 3 * std::min(width, image->width));
        const std::uint8_t* mask = alpha->pixels + y * alpha->stride;
        out.alpha.insert(out.alpha.end(), mask, mask + std::min(width, alpha->width));
    }
    return out;
}

std::array<int32_t, 2> SizeOf(int32_t film, int32_t property) {
    int32_t words[2] = {0, 0};
    GetFilmProp(film, property, words);
    return {words[0], words[1]};
}

class LumoArchiveTest : public LumoDriverTest {
protected:
    void SetUp() override {
        LumoDriverTest::SetUp();
        const fs::path loose = fs::path(mFolder.Path()) / "image";
        fs::create_directories(loose);
        QuorWriter writer;
        std::string error;
        for (const std::string& name : kPictures) {
            fs::copy_file(SourceOf(name), loose / (name + ".png"));
            // The packer's way: the picture as it is, its transparency as a
            // grey "-m" picture.
            const std::optional<Picture> picture = Picture::Load(SourceOf(name), error);
            ASSERT_TRUE(picture) << error;
            ASSERT_TRUE(picture->HasAlpha()) << name;
            std::optional<std::string> mask = EncodeMaskBmp(*picture, error);
            ASSERT_TRUE(mask) << error;
            ASSERT_TRUE(writer.AddFile(name, name + ".png", SourceOf(name), true, error)) << error;
            ASSERT_TRUE(
                writer.AddBytes(name + "-m", name + "-m.bmp", std::move(*mask), true, error))
                << error;
        }
        mArchive = mFolder / "image.quor";
        ASSERT_TRUE(writer.Write(mArchive, error)) << error;
        mLooseDir = loose.string();
    }

    // The pixels of each picture loaded from the loose files, fitted.
    std::vector<Pixels> LoadLoose() {
        Make([&](LumoDriverHooks& hooks) { hooks.ImageDir = mLooseDir; });
        std::vector<Pixels> pictures;
        for (const std::string& name : kPictures) {
            const int32_t film = mDriver->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
            EXPECT_TRUE(mDriver->LoadPng(film, name, true, true)) << name;
            EXPECT_TRUE(Logged("lumo loadpicture '" + name + "' from png file"));
            const auto [w, h] = SizeOf(film, FP_IMAGE_SIZE);
            pictures.push_back(PixelsOf(film, w, h));
            EXPECT_FALSE(pictures.back().image.empty()) << name;
        }
        return pictures;
    }

    // A driver that finds pictures only in the archive, as a shipped game.
    void MakeArchived() {
        mQuor.reset();
        mQuor = std::make_unique<clsQuorDriver>();
        ASSERT_TRUE(mQuor->Init(1));
        ASSERT_TRUE(mQuor->LoadArchive(mArchive, 0));
        std::string list;
        ASSERT_TRUE(mQuor->LoadTextFile(0, list));
        ASSERT_TRUE(mQuor->LoadArchiveList(list, 0));
        Make([&](LumoDriverHooks& hooks) {
            hooks.CGFileMode = false;
            hooks.ImageDir.clear();
            hooks.Quor = mQuor.get();
        });
    }

    void TearDown() override {
        mDriver.reset();
        mQuor.reset();
    }

    TempFolder mFolder;
    std::string mArchive;
    std::string mLooseDir;
    std::unique_ptr<clsQuorDriver> mQuor;
};

TEST_F(LumoArchiveTest, APictureAndItsMaskFromAnArchiveMatchTheLooseFile) {
    const std::vector<Pixels> loose = LoadLoose();
    MakeArchived();
    for (size_t i = 0; i < kPictures.size(); ++i) {
        const std::string& name = kPictures[i];
        const int32_t film = mDriver->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
        ASSERT_TRUE(mDriver->LoadPng(film, name, true, true)) << name;
        EXPECT_TRUE(Logged("lumo loadpicture fast '" + name + "' from archive"));
        EXPECT_TRUE(Logged("lumo loadmask slow '" + name + "-m' from archive"));
        const auto [w, h] = SizeOf(film, FP_IMAGE_SIZE);
        EXPECT_EQ(SizeOf(film, FP_SIZE), (std::array<int32_t, 2>{w, h}));
        EXPECT_TRUE(PixelsOf(film, w, h) == loose[i]) << name;
    }
}

// Without fitting, the picture lands at the top-left of the film's own
// image, clipped to it; the rest of a larger image stays empty.
TEST_F(LumoArchiveTest, AnArchivedPictureDrawnIntoAnotherSizeIsClipped) {
    const std::vector<Pixels> loose = LoadLoose();
    MakeArchived();
    const Pixels& rgba = loose[1];
    const int32_t large = mDriver->MakeFilm(FT_ALPHA, 0, 0, 9, 5);
    ASSERT_TRUE(mDriver->LoadPng(large, "rgba", true, false));
    EXPECT_TRUE(Logged("lumo loadpicture slow 'rgba' from archive"));
    EXPECT_EQ(SizeOf(large, FP_IMAGE_SIZE), (std::array<int32_t, 2>{9, 5}));
    EXPECT_TRUE(PixelsOf(large, 6, 3) == rgba);
    const Pixels whole = PixelsOf(large, 9, 5);
    EXPECT_EQ(whole.image[3 * 8], 0) << "beside the picture";
    EXPECT_EQ(whole.alpha[9 * 4 + 2], 0) << "below the picture";

    const int32_t small = mDriver->MakeFilm(FT_ALPHA, 0, 0, 4, 2);
    ASSERT_TRUE(mDriver->LoadPng(small, "rgba", true, false));
    const Pixels cut = PixelsOf(small, 4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(cut.alpha[y * 4 + x], rgba.alpha[y * 6 + x]) << x << "," << y;
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(cut.image[(y * 4 + x) * 3 + c], rgba.image[(y * 6 + x) * 3 + c]);
        }
}

// An author's loose WebP is found under its key like a PNG, its
// transparency with it, by the picture commands of both kinds.
TEST_F(LumoArchiveTest, ALooseWebpIsFoundAndKeepsItsTransparency) {
    const Pixels png = LoadLoose()[1];
    fs::copy_file(std::string(ZELK_TEST_DATA) + "/pictures/rgba.webp",
                  fs::path(mLooseDir) / "Leaf.webp");
    const int32_t film = mDriver->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    ASSERT_TRUE(mDriver->LoadPng(film, "leaf", true, true));
    EXPECT_EQ(SizeOf(film, FP_IMAGE_SIZE), (std::array<int32_t, 2>{6, 3}));
    const Pixels webp = PixelsOf(film, 6, 3);
    EXPECT_EQ(webp.alpha, png.alpha);
    // The encoder keeps no colour under full transparency.
    for (size_t i = 0; i < png.alpha.size(); ++i) {
        if (png.alpha[i] == 0) continue;
        for (size_t c = 0; c < 3; ++c)
            EXPECT_EQ(webp.image[3 * i + c], png.image[3 * i + c]) << i;
    }

    const int32_t plain = mDriver->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    ASSERT_TRUE(mDriver->LoadBmp(plain, "leaf", "", true));
    EXPECT_TRUE(PixelsOf(plain, 6, 3).image == webp.image);
}

TEST_F(LumoArchiveTest, ANameTheArchiveDoesNotHoldLeavesTheFilmAsItWas) {
    MakeArchived();
    const int32_t film = mDriver->MakeFilm(FT_ALPHA, 0, 0, 5, 5);
    EXPECT_FALSE(mDriver->LoadPng(film, "st_a01_nromal", true, true));
    EXPECT_TRUE(Logged("lumo loadpicture not found 'st_a01_nromal'"));
    EXPECT_EQ(SizeOf(film, FP_IMAGE_SIZE), (std::array<int32_t, 2>{5, 5}));
}

}  // namespace
}  // namespace zelk
