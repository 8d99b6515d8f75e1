// The demo game's English edition, packed as it ships: a UTF-8 game built
// from the Japanese edition's pictures (with its own lettered ones in their
// place) and sounds. It checks clean and a reader plays both routes to their
// endings and opens the extras.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "modes/play_support.h"
#include "tools/tool_process.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using testing::Field;
using testing::Reader;

fs::path CopyOfEnglishDemo(const std::string& name) {
    const fs::path packed = fs::path(ZELK_BIN_DIR) / ".." / "games" / "demo-en";
    if (!fs::exists(packed / "scenario.quor")) return {};
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder / "savedata");
    for (const auto& entry : fs::directory_iterator(packed))
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    return folder;
}

// The width and height a PNG file's header gives; zero when it is no PNG.
std::pair<std::uint32_t, std::uint32_t> PngSize(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char head[24] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head) || head[1] != 'P' || head[12] != 'I')
        return {0, 0};
    const auto word = [&](int at) {
        return std::uint32_t{head[at]} << 24 | std::uint32_t{head[at + 1]} << 16 |
               std::uint32_t{head[at + 2]} << 8 | std::uint32_t{head[at + 3]};
    };
    return {word(16), word(20)};
}

TEST(EnglishDemoGame, ItsLetteredPicturesTakeTheJapaneseOnesPlacesAndSizes) {
    // The mode files place every button and plate by the Japanese pictures'
    // sizes and rows: an English one that differed would be cut or stretched.
    const fs::path source = fs::path(ZELK_SOURCE_DIR) / "games";
    int count = 0;
    for (const auto& entry : fs::directory_iterator(source / "demo-en" / "image")) {
        const fs::path japanese = source / "demo" / "image" / entry.path().filename();
        ASSERT_TRUE(fs::exists(japanese)) << entry.path().filename() << " replaces nothing";
        EXPECT_EQ(PngSize(entry.path()), PngSize(japanese)) << entry.path().filename();
        EXPECT_NE(PngSize(entry.path()).first, 0u) << entry.path().filename();
        ++count;
    }
    // The logo and title, their buttons, the name plates, the text window's
    // buttons, the log, save/load, extras and staff roll lettering, and the
    // completion display's 101 steps.
    EXPECT_EQ(count, 153);
}

TEST(EnglishDemoGame, TheLooseSourcesCheckClean) {
    // The sources hold the scenarios, the system files, the lettered pictures
    // and the movie; the other pictures and the sounds are the Japanese
    // edition's.
    const fs::path folder = testing::FreshFolder("demo-en-loose");
    const fs::path source = fs::path(ZELK_SOURCE_DIR) / "games";
    for (const auto& entry : fs::directory_iterator(source / "demo-en"))
        if (entry.path().extension() == ".ini")
            fs::copy_file(entry.path(), folder / entry.path().filename());
    fs::copy(source / "demo-en" / "scenario", folder / "scenario");
    fs::copy(source / "demo" / "image", folder / "image");
    fs::copy(source / "demo-en" / "image", folder / "image", fs::copy_options::overwrite_existing);
    fs::create_directory_symlink(source / "demo" / "sound", folder / "sound");
    fs::copy_file(source / "demo-en" / "movie" / "opening.mpg", folder / "opening.mpg");
    fs::copy_file(source / "demo" / "mouse.png", folder / "mouse.png");
    const testing::ToolResult check =
        testing::RunTool(folder.parent_path(), {"check", folder.filename().string()});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out, "8 scenarios: 0 errors, 0 warnings\n");
}

class EnglishDemo : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = CopyOfEnglishDemo("demo_en_play");
        if (mFolder.empty()) GTEST_SKIP() << "the English demo game is not packed";
        mReader = std::make_unique<Reader>(mFolder);
    }

    Reader& R() { return *mReader; }

    // Reads every page to the staff roll, taking the choice's item `choice`
    // and the first clickable area; the pages' texts in order.
    std::vector<std::string> ReadRoute(std::size_t choice) {
        std::vector<std::string> pages;
        for (int i = 0; i < 400 && R().Get("mode") == "2"; ++i) {
            if (R().Choose(choice)) continue;
            const std::string text = R().Get("text");
            if (!text.empty() && (pages.empty() || pages.back() != text)) pages.push_back(text);
            // The README's English page comes from this play:
            // ZELK_SCREENSHOTS=FOLDER keeps it.
            const char* keep = std::getenv("ZELK_SCREENSHOTS");
            if (keep != nullptr && text.find("Morning! You're early again.") != std::string::npos) {
                EXPECT_TRUE(R().Do("shot " + (fs::path(keep) / "english.png").string()));
            }
            EXPECT_TRUE(R().Do("click 320 240"));
            EXPECT_TRUE(R().Do("idle"));
        }
        return pages;
    }

    static bool Seen(const std::vector<std::string>& pages, const std::string& text) {
        for (const std::string& page : pages)
            if (page.find(text) != std::string::npos) return true;
        return false;
    }

    fs::path mFolder;
    std::unique_ptr<Reader> mReader;
};

TEST_F(EnglishDemo, BothRoutesReachTheirEndingsAndOpenTheExtras) {
    ASSERT_TRUE(R().AtTitle()) << R().State();
    std::vector<testing::EventRect> menu = R().Rects("main_menu");
    ASSERT_EQ(menu.size(), 5u);
    ASSERT_TRUE(R().Click(menu[0]));
    // Past the opening movie, a quick save dates its slot in the digits
    // the game's readers write, not the full-width ones of a Japanese game.
    ASSERT_TRUE(R().Do("click 320 240"));
    ASSERT_TRUE(R().Do("idle"));
    ASSERT_TRUE(R().Do("answer yes"));
    ASSERT_TRUE(R().Do("menu file!qsave"));
    ASSERT_TRUE(R().Do("idle"));
    const std::string quick = testing::Decoded(mFolder / "savedata" / "sd05-00.ini");
    const std::size_t date = quick.find("DateString=");
    ASSERT_NE(date, std::string::npos) << quick;
    EXPECT_TRUE(std::regex_search(
        quick.substr(date),
        std::regex("^DateString=\\d\\d/\\d\\d/\\d\\d\r\nTimeString=\\d\\d:\\d\\d\r\n")))
        << quick.substr(date, 60);
    const std::vector<std::string> first = ReadRoute(0);
    for (const char* text :
         {"Only one week of the summer holidays was left.",
          "Where Akari pointed, something small was glinting.", "Dear whoever finds this letter,",
          // Letters right after a line break are the story's, not an escape's.
          "wherever you may be.", "I will never forget this summer."}) {
        EXPECT_TRUE(Seen(first, text)) << text << ": " << ::testing::PrintToString(first);
    }
    ASSERT_EQ(R().Get("mode"), "4") << R().State();
    ASSERT_TRUE(R().Do("rclick 320 240"));
    ASSERT_TRUE(R().AtTitle()) << R().State();

    // The second route skips what was read (the reader answering the
    // choices on the way, the last one with its second item) and reads on
    // from the first unread page.
    menu = R().Rects("main_menu");
    ASSERT_TRUE(R().Click(menu[0]));
    for (int i = 0; i < 300; ++i) {
        const std::string state = R().State();
        if (Field(state, "mode") != "2") break;
        if (Field(state, "script") == "end_b" && Field(state, "skip") == "0") break;
        if (R().Choose(Field(state, "script") == "main" ? 1 : 0)) continue;
        if (Field(state, "skip") == "0" && Field(state, "wait") == "4") {
            ASSERT_TRUE(
                R().Do(Field(state, "movie") == "1" ? "click 320 240" : "menu message!skip"));
        }
        ASSERT_TRUE(R().Do("wait 200"));
    }
    ASSERT_EQ(R().Get("script"), "end_b") << R().State();
    const std::vector<std::string> second = ReadRoute(1);
    EXPECT_TRUE(Seen(second, "Last night we gave that letter back to Chizuru."))
        << ::testing::PrintToString(second);
    ASSERT_EQ(R().Get("mode"), "4") << R().State();
    ASSERT_TRUE(R().Do("rclick 320 240"));
    ASSERT_TRUE(R().AtTitle()) << R().State();

    // Both endings open the extras.
    menu = R().Rects("main_menu");
    bool extras = false;
    for (const testing::EventRect& rect : menu)
        if (rect.extension == "omake") extras = rect.enabled;
    EXPECT_TRUE(extras);
    EXPECT_EQ(R().Quit(), 0);
}

}  // namespace
}  // namespace zelk
