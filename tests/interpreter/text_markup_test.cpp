#include "interpreter/text_markup.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zelk {
namespace {

class RecordingMarkupHost : public MarkupHost {
public:
    void TextSpeedSetting(long speed) override { speeds.push_back(speed); }
    void WindowNameFlip(long plate) override { plates.push_back(plate); }
    std::string NameplateText(long plate) override { return plate == 1 ? "湊" : "千鶴"; }
    std::optional<long> CharacterTextColor(const std::string& cid) override {
        const auto found = colors.find(cid);
        if (found == colors.end()) return std::nullopt;
        return found->second;
    }

    bool EngineReadsUtf8() override { return utf8; }

    std::vector<long> speeds;
    std::vector<long> plates;
    std::map<std::string, long> colors;
    bool utf8 = false;
};

struct Case {
    const char* source;
    const char* compiled;
};

class Markup : public ::testing::Test {
protected:
    CompiledText Compile(const std::string& source, MarkupStyle style = kMarkupWindow,
                         MarkupScale scale = {}) {
        return CompileMarkup(source, style, scale, host);
    }
    RecordingMarkupHost host;
};

TEST_F(Markup, EveryEscapeCompilesToItsCode) {
    const Case cases[] = {
        {"あい", "あい"},
        {"あ\\nい", "あ\nい"},
        {"あ\\pause(500)い", "あB000001F4い"},
        {"\\color(255)あ", "D0000FFあ"},
        {"\\color(&hFF8000)あ", "DFF8000あ"},
        {"\\size(24)あ", "F018あ"},
        {"\\width(2)\\height(30)あ", "G002H01Eあ"},
        {"\\xpos(10)あ", "I+00Aあ"},
        {"\\xpos(-10)あ", "I-00Aあ"},
        {"\\ypos(-1)\\xoffset(0)\\yoffset(255)あ", "J-001K+000L+0FFあ"},
        {"\\unknown(3)あ\\zzz", "あ"},
        {"\\NOWAIT\\Nあ", "\nあ"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Compile(c.source).text, c.compiled) << c.source;
    }
}

TEST_F(Markup, AnEscapeEndsAtParenthesisBackslashOrFullWidth) {
    const Case cases[] = {
        // The next "\" ends a parameter that was never closed.
        {"\\pause(10\\nあ", "B0000000A\nあ"},
        // The first full-width character ends the name and the parameter.
        {"\\nあい", "\nあい"},
        {"\\pause(16あ", "B00000010あ"},
        // Half-width text after a closed escape is text again.
        {"\\n(x)abc", "\nabc"},
        // A lone backslash at the end is an empty escape: dropped.
        {"あ\\", "あ"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Compile(c.source).text, c.compiled) << c.source;
    }
}

TEST_F(Markup, CodesScaleFromScriptToScreen) {
    const MarkupScale half{0.5, 2.0};
    EXPECT_EQ(Compile("\\size(26)\\height(8)\\xpos(-3)", kMarkupWindow, half).text,
              "F00DH010I-002");
}

TEST_F(Markup, PageBreakLeavesTheRestAndTheWaitFlag) {
    CompiledText page = Compile("一\\w二\\w三");
    EXPECT_EQ(page.text, "一");
    EXPECT_EQ(page.rest, "二\\w三");
    EXPECT_TRUE(page.click);

    page = Compile("一\\nowait");
    EXPECT_EQ(page.text, "一");
    EXPECT_TRUE(page.rest.empty());
    EXPECT_FALSE(page.click);

    // The rest is everything after the two characters, even a parameter.
    EXPECT_EQ(Compile("一\\w(1)二").rest, "(1)二");
}

TEST_F(Markup, VoicesPlayOnePerPageAndAllGoToTheLog) {
    EXPECT_EQ(Compile("\\v(a01_001)「あ」").voice, "a01_001");
    EXPECT_EQ(Compile("\\v(a01_001)「あ」\\v(b01_002)", kMarkupLog).voice, "a01_001,b01_002");
    EXPECT_EQ(Compile("\\v(a01_001)「あ」", kMarkupLog).text, "「あ」");
}

TEST_F(Markup, SizeIsDroppedForTheLog) {
    EXPECT_EQ(Compile("\\size(20)あ", kMarkupLog).text, "あ");
    EXPECT_EQ(Compile("\\size(20)あ", kMarkupNovel).text, "F014あ");
}

TEST_F(Markup, SpeedReachesTheWindowAtOnce) {
    EXPECT_EQ(Compile("\\speed(30)あ").text, "あ");
    EXPECT_EQ(host.speeds, std::vector<long>{30});
}

TEST_F(Markup, CharacterColourPrintsAsChosen) {
    // Stored blue-green-red: blue 0x12, green 0x34, red 0x56, plus a stray
    // high byte.
    host.colors["a01"] = 0x7F123456;
    EXPECT_EQ(Compile("\\c(CID_A01)「あ」").text, "D563412「あ」");
    // Unknown characters and the other styles print no mark.
    EXPECT_EQ(Compile("\\c(zzz)「あ」").text, "「あ」");
    EXPECT_EQ(Compile("\\c(a01)「あ」", kMarkupNovel).text, "「あ」");
}

TEST_F(Markup, NameplatesFlipInTheWindowAndPrintElsewhere) {
    EXPECT_EQ(Compile("\\np(2)「あ」").text, "「あ」");
    EXPECT_EQ(host.plates, std::vector<long>{2});
    EXPECT_EQ(Compile("\\np(1)「あ」", kMarkupNovel).text, "湊\n「あ」");
    EXPECT_EQ(Compile("\\np(1)「あ」", kMarkupLog).text, "湊\n「あ」");
}

TEST_F(Markup, ThePlainTextKeepsCharactersAndLineBreaksOnly) {
    const CompiledText page = CompilePlainText(
        "\\c(a01)\\v(a01_001)\\np(1)\\size(24)「あ\\color(255)い\\nう\\pause(500)え」"
        "\\xpos(10)\\speed(3)お\\wか",
        host);
    EXPECT_EQ(page.text, "「あい\nうえ」お");
    EXPECT_EQ(page.nameplate, "湊");
    EXPECT_EQ(page.rest, "か");
    // Only the window's typing speed is a setting; the plain text sets none.
    EXPECT_TRUE(host.speeds.empty());
    EXPECT_TRUE(host.plates.empty());
    EXPECT_EQ(PlainPageText("\\np(2)「あ」", host), "【千鶴】「あ」");
    EXPECT_EQ(PlainPageText("【灯里】「あ」", host), "【灯里】「あ」");
}

TEST_F(Markup, TheOtherFilmSetsKeepTheirMarks) {
    // The title and the other screens show pages under set 1: marks print,
    // a plate is a line of its own, and the size is the window's and the
    // novel's alone.
    const CompiledText page =
        Compile("\\np(1)\\size(24)\\color(255)「あ\\pause(16)い」\\v(a01_001)",
                static_cast<MarkupStyle>(1));
    EXPECT_EQ(page.text, "湊\nD0000FF「あB00000010い」");
    EXPECT_EQ(page.voice, "a01_001");
    EXPECT_TRUE(page.nameplate.empty());
    EXPECT_TRUE(host.plates.empty());
}

TEST_F(Markup, MalformedBytesAreCopiedNotLost) {
    const std::string broken = std::string("あ\xff\\n") + "\xe3\x81";
    EXPECT_EQ(Compile(broken).text, std::string("あ\xff\n") + "\xe3\x81");
}

// A UTF-8 engine reads the capital letters A to T as marks: "Sylvie" would
// be the mark S and its digits. The story's own letters reach it escaped,
// the marks the escapes make do not, and the plain text keeps its letters.
TEST_F(Markup, AUtf8EngineGetsTheStorysMarkLettersEscaped) {
    host.utf8 = true;
    host.colors["a01"] = 0x00FF00;
    const std::string page = Compile("\\c(a01)Sylvie: \"Go!\"\\pause(500) OK\\n\\()Zoë").text;
    EXPECT_EQ(page, "D00FF00\x1BSylvie: \"\x1BGo!\"B000001F4 \x1BO\x1BK\nZoë");
    EXPECT_EQ(UnescapeEngineText(page), "D00FF00Sylvie: \"Go!\"B000001F4 OK\nZoë");
    EXPECT_EQ(CompilePlainText("Sylvie \\np(1)", host).text, "Sylvie ");

    // A plate printed as text is story text too; an ESC or LF in it as well.
    EXPECT_EQ(CompileMarkup("\\np(2)Hi", kMarkupNovel, {}, host).text, "千鶴\n\x1BHi");
    EXPECT_EQ(EscapeEngineText("A\x1B\nz"),
              "\x1B"
              "A\x1B\x1B\x1B\nz");

    host.utf8 = false;
    EXPECT_EQ(Compile("Sylvie").text, "Sylvie");
}

}  // namespace
}  // namespace zelk
