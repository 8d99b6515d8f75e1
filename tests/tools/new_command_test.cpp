// zelk-tool new: the game it writes passes the check and plays to its
// ending, loose as written and packed as shipped.
#include <gtest/gtest.h>

#include <cstdlib>

#include "modes/play_support.h"
#include "platform/picture.h"
#include "tools/tool_process.h"

namespace zelk::testing {
namespace {

// Reads the game from its title to its ending as a reader would: a click a
// page, the first item of the choice. Returns the pages' texts; the first
// page is shot to FIRST.
std::vector<std::string> ReadToTheEnding(Reader& reader, const std::string& middle,
                                         const fs::path& first) {
    std::vector<std::string> pages;
    for (int step = 0; step < 40 && reader.Get("mode") == "2"; ++step) {
        const std::string state = reader.State();
        if (Field(state, "wait") == "5") {
            EXPECT_TRUE(reader.Choose(0)) << state;
            continue;
        }
        if (const std::string text = Field(state, "text"); !text.empty()) {
            if (pages.empty()) {
                EXPECT_TRUE(reader.Do("shot " + first.string()));
            }
            pages.push_back(text);
        }
        EXPECT_TRUE(reader.Do("click " + middle)) << state;
        EXPECT_TRUE(reader.Do("idle")) << state;
    }
    return pages;
}

// The README's pictures of other scripts come from these plays:
// ZELK_SCREENSHOTS=FOLDER keeps a game's first page there as NAME.png.
void KeepFirstPage(const fs::path& game, const std::string& name) {
    if (const char* keep = std::getenv("ZELK_SCREENSHOTS")) {
        fs::copy_file(game / "first.png", fs::path(keep) / (name + ".png"),
                      fs::copy_options::overwrite_existing);
    }
}

bool Contains(const std::vector<std::string>& pages, const std::string& text) {
    for (const std::string& page : pages)
        if (page.find(text) != std::string::npos) return true;
    return false;
}

// The title with its buttons at the size the layout gave them, the story to
// its ending, and the extras it opens.
const std::vector<std::string> kJapanesePages = {"はじめまして", "海の上には", "また、海で会おうね",
                                                 "おわり"};

void PlayToTheEnding(const fs::path& game, int width, int height,
                     const std::vector<std::string>& expected = kJapanesePages) {
    fs::create_directories(game / "savedata");
    Reader reader(game);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    const std::vector<EventRect> menu = reader.Rects("main_menu");
    ASSERT_EQ(menu.size(), 5u);
    const double scale = height / 480.0;
    EXPECT_EQ(menu[0].x2 - menu[0].x1, static_cast<int>(180 * scale + 0.5));
    EXPECT_EQ(menu[0].y2 - menu[0].y1, static_cast<int>(36 * scale + 0.5));
    EXPECT_FALSE(menu[3].enabled);  // the extras wait for an ending
    const std::string title = (game / "title.png").string();
    ASSERT_TRUE(reader.Do("shot " + title));
    EXPECT_GT(Colours(title, 0, 0, width, height), 20u);

    ASSERT_TRUE(reader.Click(menu[0]));
    const std::vector<std::string> pages = ReadToTheEnding(
        reader, std::to_string(width / 2) + " " + std::to_string(height / 3), game / "first.png");
    for (const std::string& text : expected)
        EXPECT_TRUE(Contains(pages, text)) << text << ": " << ::testing::PrintToString(pages);

    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    const std::vector<EventRect> after = reader.Rects("main_menu");
    ASSERT_EQ(after.size(), 5u);
    ASSERT_TRUE(after[3].enabled);
    ASSERT_TRUE(reader.Click(after[3]));
    EXPECT_EQ(reader.Get("mode"), "5") << reader.State();
    // Both pictures of the story were seen; the third panel has none.
    EXPECT_EQ(Open(reader.Rects("panel")), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(reader.Quit(), 0);
}

TEST(NewCommand, TheNewGameChecksCleanAndPlaysToItsEndingLooseAndPacked) {
    const fs::path root = FreshFolder("new-game-play");
    const ToolResult made =
        RunTool(root, {"new", "mine", "--title", "はじめてのゲーム", "--size", "800x600"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out,
              "mine: a new game of 59 files, 800x600, titled はじめてのゲーム\n"
              "next: zelk-tool check mine, then zelk mine\n");
    EXPECT_NE(ReadAll(root / "mine" / "SystemInfo.ini").find("Language=ja\r\n"), std::string::npos);

    const ToolResult check = RunTool(root, {"check", "mine"});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out, "1 scenarios: 0 errors, 0 warnings\n");

    PlayToTheEnding(root / "mine", 800, 600);

    // Shipped: one archive of the whole folder, the saves of the loose runs
    // left out.
    fs::create_directories(root / "shipped");
    const ToolResult pack = RunTool(root, {"pack", "mine", "shipped/scenario.quor"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_NE(pack.out.find("savedata: left out, the author's own"), std::string::npos) << pack.out;
    EXPECT_EQ(RunTool(root, {"check", "shipped"}).status, 0);
    PlayToTheEnding(root / "shipped", 800, 600);
}

// The English edition is a UTF-8 game: its story text holds Latin letters,
// quotes and "\n" before letters, and its title any character.
TEST(NewCommand, TheEnglishGameChecksCleanAndPlaysToItsEndingLooseAndPacked) {
    const fs::path root = FreshFolder("new-game-english");
    const ToolResult made = RunTool(root, {"new", "mine", "--lang", "en", "--title",
                                           "Zoë — 日本語 — 한국어", "--size", "800x600"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(ReadAll(root / "mine" / "SystemInfo.ini").find("Encoding=UTF-8\r\n"),
              std::string::npos);
    EXPECT_NE(ReadAll(root / "mine" / "SystemInfo.ini").find("Language=en\r\n"), std::string::npos);
    EXPECT_EQ(ReadAll(root / "mine" / "SystemInfo.ini").find("Language=ja"), std::string::npos);
    const ToolResult check = RunTool(root, {"check", "mine"});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out, "1 scenarios: 0 errors, 0 warnings\n");

    const std::vector<std::string> english = {
        // The state writes a break as "\n" and a quote as \".
        "Nice to meet you.\\nYour story starts here.", "Above the sea, the sky went on forever.",
        "Let's meet by the sea again.", "The End"};
    PlayToTheEnding(root / "mine", 800, 600, english);

    fs::create_directories(root / "shipped");
    const ToolResult pack = RunTool(root, {"pack", "mine", "shipped/scenario.quor"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(RunTool(root, {"check", "shipped"}).status, 0);
    PlayToTheEnding(root / "shipped", 800, 600, english);
}

// The English game's story retold: each line of its text, whole, for another.
void Retell(const fs::path& game, const std::vector<std::pair<std::string, std::string>>& lines) {
    std::string story = ReadAll(game / "scenario" / "main.txt");
    for (const auto& [from, to] : lines) {
        const size_t at = story.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        story.replace(at, from.size(), to);
    }
    WriteBytes(game / "scenario" / "main.txt", story);
}

// The game declares the language it is now written in.
void Declare(const fs::path& game, const std::string& tag) {
    std::string system = ReadAll(game / "SystemInfo.ini");
    const size_t at = system.find("Language=en\r\n");
    ASSERT_NE(at, std::string::npos);
    system.replace(at, 11, "Language=" + tag);
    WriteBytes(game / "SystemInfo.ini", system);
}

// The leftmost and rightmost columns of the text window's white letters.
std::pair<int, int> InkColumns(const fs::path& shot) {
    const Rgb picture = LoadRgb(shot.string());
    int left = picture.w, right = -1;
    for (int y = picture.h * 74 / 100; y < picture.h * 90 / 100; ++y)
        for (int x = 0; x < picture.w; ++x)
            if (const std::uint8_t* p = picture.At(x, y); p[0] > 230 && p[1] > 230 && p[2] > 230) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

// A new English game told again in another language.
struct Retelling {
    std::string name;      // its folder, and its kept first page's name
    std::string language;  // the tag it declares
    std::vector<std::pair<std::string, std::string>> lines;  // English, retold
    std::vector<std::string> pages;                          // what the state shows of its pages
};

// The retold game checks clean and reads to its ending. Returns how far the
// first page's letters stand from the screen's left and right edges.
std::pair<int, int> ReadRetold(const Retelling& story) {
    const fs::path root = FreshFolder("new-game-" + story.name);
    const fs::path game = root / "mine";
    EXPECT_EQ(RunTool(root, {"new", "mine", "--lang", "en", "--size", "800x600"}).status, 0);
    Retell(game, story.lines);
    Declare(game, story.language);
    EXPECT_EQ(RunTool(root, {"check", "mine"}).out, "1 scenarios: 0 errors, 0 warnings\n");
    PlayToTheEnding(game, 800, 600, story.pages);
    KeepFirstPage(game, story.name);
    const auto [left, right] = InkColumns(game / "first.png");
    EXPECT_GE(right, 0) << "no letters in the text window";
    return {left, 800 - 1 - right};
}

// A right-to-left game: Arabic story text with numbers and Latin letters in
// its lines is set from the text window's right edge, and read to its end.
TEST(NewCommand, AnArabicGameReadsToItsEndingSetFromTheRight) {
    const auto [left, right] = ReadRetold(
        {"arabic",
         "ar",
         {{"\"Go to the sea\"", "\"إلى البحر\""},
          {"\"Stay in town\"", "\"البقاء في المدينة\""},
          {"\"Nice to meet you.\r\n> \\nYour story starts here.\"",
           "«أهلاً بك. تبدأ قصتك هنا،\r\n> \\nفي اليوم 3 من شهر 12 عام 2026، مع PC قديم.»"},
          {"Above the sea, the sky went on forever.", "فوق البحر، امتدت السماء بلا نهاية."},
          {"\"Let's meet by the sea again.\"", "«لنلتقِ عند البحر مرة أخرى.»"},
          {"The End", "النهاية"}},
         {"«أهلاً بك. تبدأ قصتك هنا،\\nفي اليوم 3 من شهر 12 عام 2026، مع PC قديم.»",
          "فوق البحر، امتدت السماء بلا نهاية.", "«لنلتقِ عند البحر مرة أخرى.»", "النهاية"}});
    EXPECT_LT(right, left / 2) << left << " " << right;
}

// A Japanese story in a UTF-8 game holds Latin letters and digits as they
// are typed, and its lines start from the left.
TEST(NewCommand, AJapaneseGameWritesPcAndDigitsAsTyped) {
    const auto [left, right] = ReadRetold(
        {"japanese-utf8",
         "ja",
         {{"\"Go to the sea\"", "\"海へ行く\""},
          {"\"Nice to meet you.\r\n> \\nYour story starts here.\"",
           "「はじめまして。PCでできることは、\r\n> \\n3日目にわかるよ。Wi-Fiもある!」"},
          {"Above the sea, the sky went on forever.", "海の上には、どこまでも空が続いていた。"},
          {"\"Let's meet by the sea again.\"", "「また、海で会おうね。」"},
          {"The End", "おわり"}},
         {"「はじめまして。PCでできることは、\\n3日目にわかるよ。Wi-Fiもある!」",
          "海の上には、どこまでも空が続いていた。", "「また、海で会おうね。」", "おわり"}});
    EXPECT_LT(left, right / 2) << left << " " << right;
}

// Every placeholder decodes with the player's own decoder, at the size its
// film spec gives it, transparent only where a film shows what lies behind.
TEST(NewCommand, ThePicturesFitTheirSpecs) {
    const fs::path root = FreshFolder("new-game-pictures");
    ASSERT_EQ(RunTool(root, {"new", "g", "--size", "1280x720"}).status, 0);
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(root / "g" / "image")) {
        std::string error;
        EXPECT_TRUE(Picture::Load(entry.path().string(), error)) << entry.path() << error;
        ++count;
    }
    EXPECT_EQ(count, 53u);
    const auto load = [&](const std::string& name) {
        std::string error;
        return Picture::Load((root / "g" / "image" / (name + ".png")).string(), error).value();
    };
    // title_mode.ini: start=tb_start,90,366,270,54 - four rows of 54.
    EXPECT_EQ(load("tb_start").Width(), 270);
    EXPECT_EQ(load("tb_start").Height(), 4 * 54);
    EXPECT_TRUE(load("tb_start").HasAlpha());
    EXPECT_EQ(load("bg_room").Width(), 1280);
    EXPECT_EQ(load("bg_room").Height(), 720);
    EXPECT_FALSE(load("bg_room").HasAlpha());
    EXPECT_TRUE(load("st_y01_normal").HasAlpha());
    // The wait cursor: eight cells across.
    EXPECT_EQ(load("cursor").Width(), 8 * load("cursor").Height());
    const std::string title = ReadAll(root / "g" / "title_mode.ini");
    EXPECT_NE(title.find("start=tb_start,90,366,270,54\r\n"), std::string::npos) << title;
}

TEST(NewCommand, EverySizeItAcceptsChecksClean) {
    const fs::path root = FreshFolder("new-game-sizes");
    for (const char* size : {"640x480", "1280x720", "1920x1080", "2560x1080"}) {
        const std::string name = std::string("game-") + size;
        const ToolResult made = RunTool(root, {"new", name, "--size", size});
        ASSERT_EQ(made.status, 0) << size << ": " << made.err;
        const ToolResult check = RunTool(root, {"check", name});
        EXPECT_EQ(check.status, 0) << size << ": " << check.out;
        EXPECT_EQ(check.out, "1 scenarios: 0 errors, 0 warnings\n") << size;
    }
}

TEST(NewCommand, AFolderThatHoldsAnythingIsRefusedAndKept) {
    const fs::path root = FreshFolder("new-game-refused");
    WriteBytes(root / "busy" / "notes.txt", "mine");
    const ToolResult run = RunTool(root, {"new", "busy"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zelk-tool: busy exists and is not empty: name a new folder\n");
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(root / "busy"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(ReadAll(root / "busy" / "notes.txt"), "mine");

    // An empty folder is as good as none.
    fs::create_directories(root / "empty");
    EXPECT_EQ(RunTool(root, {"new", "empty"}).status, 0);
    EXPECT_TRUE(fs::exists(root / "empty" / "SystemInfo.ini"));
    // Nothing of the building is left beside it.
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

TEST(NewCommand, SizesAndTitlesItCannotUseAreRefused) {
    const fs::path root = FreshFolder("new-game-bad-input");
    const auto refused = [&](const std::vector<std::string>& args) {
        const ToolResult run = RunTool(root, args);
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_FALSE(fs::exists(root / "g")) << ::testing::PrintToString(args);
        return run.err;
    };
    EXPECT_EQ(refused({"new", "g", "--size", "big"}),
              "zelk-tool: the size \"big\" is not WIDTHxHEIGHT, as in 1280x720\n");
    EXPECT_EQ(refused({"new", "g", "--size", "100x80"}),
              "zelk-tool: the size must lie between 320x240 and 7680x4320\n");
    EXPECT_EQ(refused({"new", "g", "--size", "600x800"}),
              "zelk-tool: the size 600x800 is too narrow for the save screen: use a landscape "
              "size such as 1280x720\n");
    EXPECT_EQ(refused({"new", "g", "--title", "🎮"}),
              "zelk-tool: the title has characters the game's files (CP932) cannot hold: make "
              "an English game (--lang en), whose files are UTF-8\n");
    EXPECT_EQ(refused({"new", "g", "--lang", "fr"}),
              "zelk-tool: the language \"fr\" is not ja (Japanese) or en (English)\n");
    EXPECT_EQ(RunTool(root, {"new"}).status, 2);
    // A UTF-8 game holds any title.
    EXPECT_EQ(RunTool(root, {"new", "g", "--lang", "en", "--title", "🎮"}).status, 0);
}

}  // namespace
}  // namespace zelk::testing
