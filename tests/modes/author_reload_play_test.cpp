// Writing a game as an author does: the demo game played from loose
// scenario files in debug mode, a page edited while it is shown and brought
// back with F5, and the scenario errors named by file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::Field;
using testing::Reader;
namespace fs = std::filesystem;

// The author's scenario, line by line (the numbers matter to the tests).
std::string Scenario(const std::string& secondPage, const std::string& extraLine = "") {
    std::vector<std::string> lines = {
        "start:",                // 1
        "site 作者の頁",         // 2
        "let daysleft, 7",       // 3
        "bgfill 0",              // 4
        "da",                    // 5
        "一頁目です。",          // 6
        "\\b",                   // 7
        extraLine,               // 8
        secondPage,              // 9
        "\\b",                   // 10
        "if daysleft == 7",      // 11
        "変数が残っています。",  // 12
        "\\b",                   // 13
        "else",                  // 14
        "変数が消えました。",    // 15
        "\\b",                   // 16
        "endif",                 // 17
        "go nowhere",            // 18
        "wait",                  // 19
    };
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

class AuthorPlay : public ::testing::Test {
protected:
    void SetUp() override {
        folder = CopyOfDemoGame(::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
        fs::create_directories(folder / "scenario");
        fs::create_directories(folder / "log");
        std::ofstream(folder / "debug.ini", std::ios::binary)
            << "[debug]\r\nScenarioFileMode=True\r\nTitleSkip=True\r\n"
               "EntryPoint=author.start\r\n";
        Write(Scenario("二頁目です。"));
    }

    void Write(const std::string& text) {
        std::ofstream(folder / "scenario" / "author.txt", std::ios::binary | std::ios::trunc)
            << Utf8ToCp932(text).value();
    }

    // The debug log as the player wrote it, in UTF-8.
    std::string Log() const {
        std::string text;
        for (const auto& entry : fs::directory_iterator(folder / "log"))
            text += Cp932ToUtf8Lossy(testing::ReadAll(entry.path()));
        return text;
    }

    static bool Shows(Reader& reader, const std::string& text, int tries = 50) {
        for (int i = 0; i < tries; ++i) {
            if (!reader.Do("idle")) return false;
            if (reader.Get("text").find(text) != std::string::npos) return true;
            reader.Do("wait 100");
        }
        return false;
    }

    fs::path folder;
};

TEST_F(AuthorPlay, F5ShowsTheEditedPageWithTheVariablesKept) {
    Reader reader(folder);
    ASSERT_TRUE(Shows(reader, "一頁目です。")) << reader.State();
    ASSERT_TRUE(reader.Do("click 320 240"));
    ASSERT_TRUE(Shows(reader, "二頁目です。")) << reader.State();
    const std::string before = reader.State();
    EXPECT_EQ(Field(before, "script"), "author");

    // A line more above the page moves it on by one address.
    Write(Scenario("書き直した二頁目です。", "let found, 2"));
    ASSERT_TRUE(reader.Do("key F5"));
    ASSERT_TRUE(reader.Do("idle"));
    const std::string after = reader.State();
    EXPECT_NE(Field(after, "text").find("書き直した二頁目です。"), std::string::npos) << after;
    EXPECT_EQ(Field(after, "wait"), "4");
    EXPECT_EQ(Field(after, "mode"), "2");
    EXPECT_EQ(std::stol(Field(after, "addr")), std::stol(Field(before, "addr")) + 1);

    // The variable set before the reload still holds.
    ASSERT_TRUE(reader.Do("click 320 240"));
    ASSERT_TRUE(Shows(reader, "変数が")) << reader.State();
    EXPECT_NE(reader.Get("text").find("変数が残っています。"), std::string::npos) << reader.State();
    EXPECT_EQ(reader.Quit(), 0);
}

TEST_F(AuthorPlay, ScenarioErrorsNameTheFileAndTheLine) {
    Reader reader(folder);
    ASSERT_TRUE(Shows(reader, "一頁目です。")) << reader.State();
    ASSERT_TRUE(reader.Do("click 320 240"));
    ASSERT_TRUE(Shows(reader, "二頁目です。")) << reader.State();

    // An edit that no longer converts: the error is shown, the old script
    // runs on with its page.
    Write(Scenario("二頁目です。", "endif"));
    ASSERT_TRUE(reader.Do("key F5"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_NE(reader.Get("text").find("二頁目です。"), std::string::npos) << reader.State();
    EXPECT_EQ(reader.Get("wait"), "4");

    // Mended, the page comes back; on the next page a jump to nowhere is a
    // run-time error (its question to quit answered no).
    Write(Scenario("二頁目です。"));
    ASSERT_TRUE(reader.Do("key F5"));
    ASSERT_TRUE(Shows(reader, "二頁目です。")) << reader.State();
    ASSERT_TRUE(reader.Do("click 320 240"));
    ASSERT_TRUE(Shows(reader, "変数が残っています。")) << reader.State();
    // Message boxes take any answer: two noes make sure the question to
    // quit gets one, whatever answers were queued before.
    ASSERT_TRUE(reader.Do("answer no"));
    ASSERT_TRUE(reader.Do("answer no"));
    ASSERT_TRUE(reader.Do("click 320 240"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(reader.Get("mode"), "2") << reader.State();
    EXPECT_EQ(reader.Quit(), 0);

    const std::string log = Log();
    EXPECT_NE(log.find("author.txt:8: endif without if"), std::string::npos) << log;
    EXPECT_NE(log.find("実行時エラー : 第"), std::string::npos) << log;
    EXPECT_NE(log.find("author.txt:18: ラベル表現'nowhere'が不正です。"), std::string::npos) << log;
}

// Without a debug file F5 is just a key.
TEST(AuthorKeys, F5DoesNothingForAReader) {
    const auto folder = CopyOfDemoGame("author_keys_reader");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Click(reader.Rects("main_menu")[0]));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(reader.Do("click 320 240"));
        ASSERT_TRUE(reader.Do("idle"));
    }
    const std::string before = reader.State();
    ASSERT_EQ(Field(before, "wait"), "4") << before;
    ASSERT_TRUE(reader.Do("key F5"));
    ASSERT_TRUE(reader.Do("idle"));
    const std::string after = reader.State();
    EXPECT_EQ(Field(after, "addr"), Field(before, "addr"));
    EXPECT_EQ(Field(after, "text"), Field(before, "text"));
    EXPECT_EQ(Field(after, "wait"), "4");
    EXPECT_EQ(reader.Quit(), 0);
}

}  // namespace
}  // namespace zelk
