// The manual text's grammar, and the two forms made of it: roff that man
// shows as written, and help text that fits a terminal.
#include "manual_page.h"

#include <gtest/gtest.h>

namespace zelk::manual {
namespace {

const char* const kSource =
    "demo 6 play a demo\n"
    "@ demo [--fast] [FOLDER]\n"
    "@ demo --help\n"
    "\n"
    "# DESCRIPTION\n"
    "Plays the demo\n"
    "in FOLDER.\n"
    "\n"
    "More text.\n"
    "# OPTIONS !\n"
    "* --fast\n"
    "go fast\n"
    "* --a-very-long-option-name=VALUE\n"
    "described below the term\n"
    "# EXAMPLES\n"
    "| demo --fast\n"
    "|\n"
    "| demo\n"
    "Then a paragraph.\n";

TEST(ManualPage, ReadsHeadingsTermsLiteralsAndParagraphs) {
    std::string error;
    const auto page = ParsePage(kSource, error);
    ASSERT_TRUE(page) << error;
    EXPECT_EQ(page->name, "demo");
    EXPECT_EQ(page->section, "6");
    EXPECT_EQ(page->summary, "play a demo");
    EXPECT_EQ(page->synopsis, (std::vector<std::string>{"demo [--fast] [FOLDER]", "demo --help"}));
    ASSERT_EQ(page->sections.size(), 3u);
    EXPECT_EQ(page->sections[0].heading, "DESCRIPTION");
    EXPECT_FALSE(page->sections[0].inHelp);
    ASSERT_EQ(page->sections[0].blocks.size(), 2u);
    EXPECT_EQ(page->sections[0].blocks[0].lines,
              (std::vector<std::string>{"Plays the demo", "in FOLDER."}));
    EXPECT_EQ(page->sections[1].heading, "OPTIONS");
    EXPECT_TRUE(page->sections[1].inHelp);
    ASSERT_EQ(page->sections[1].blocks.size(), 2u);
    EXPECT_EQ(page->sections[1].blocks[0].kind, Block::Kind::Term);
    EXPECT_EQ(page->sections[1].blocks[0].term, "--fast");
    const auto& examples = page->sections[2].blocks;
    ASSERT_EQ(examples.size(), 2u);
    EXPECT_EQ(examples[0].kind, Block::Kind::Literal);
    EXPECT_EQ(examples[0].lines, (std::vector<std::string>{"demo --fast", "", "demo"}));
    EXPECT_EQ(examples[1].kind, Block::Kind::Paragraph);
}

TEST(ManualPage, AMalformedTextNamesItsLine) {
    std::string error;
    EXPECT_FALSE(ParsePage("", error));
    EXPECT_FALSE(ParsePage("demo\n@ demo\n", error));
    EXPECT_EQ(error, "line 1: the first line is NAME SECTION SUMMARY");
    EXPECT_FALSE(ParsePage("demo six words\n@ demo\n", error));
    EXPECT_FALSE(ParsePage("demo 6 x\n@ demo\ntext\n", error));
    EXPECT_EQ(error, "line 3: text before the first heading");
    EXPECT_FALSE(ParsePage("demo 6 x\n@ demo\n# A\n@ late\n", error));
    EXPECT_EQ(error, "line 4: a synopsis line after a heading");
    EXPECT_FALSE(ParsePage("demo 6 x\n# A\ntext\n", error));
    EXPECT_EQ(error, "line 2: no synopsis (\"@ ...\" lines)");
    EXPECT_FALSE(ParsePage("demo 6 x\n@ demo\n#  !\n", error));
    // Windows line ends read as Unix ones.
    EXPECT_TRUE(ParsePage("demo 6 x\r\n@ demo\r\n# A\r\ntext\r\n", error)) << error;
}

TEST(ManualPage, RoffNeverMistakesTextForRequestsOrEscapes) {
    std::string error;
    const auto page = ParsePage(
        "demo 1 x\n@ demo -v\n# FILES\n.hidden is a file\n'quoted' too\na \\ back-slash\n"
        "* --term\n.dot in a term's text\n",
        error);
    ASSERT_TRUE(page) << error;
    const std::string roff = RoffPage(*page, "1.2.3", "2026-01-02");
    EXPECT_NE(roff.find(".TH DEMO 1 \"2026\\-01\\-02\" \"demo 1.2.3\" \"User Commands\"\n"),
              std::string::npos)
        << roff;
    EXPECT_NE(roff.find("\\fBdemo\\fR \\-v\n"), std::string::npos) << roff;
    EXPECT_NE(roff.find("\n\\&.hidden is a file\n"), std::string::npos) << roff;
    EXPECT_NE(roff.find("\n\\&'quoted' too\n"), std::string::npos) << roff;
    EXPECT_NE(roff.find("\na \\e back\\-slash\n"), std::string::npos) << roff;
    EXPECT_NE(roff.find(".TP\n\\fB\\-\\-term\\fR\n\\&.dot"), std::string::npos) << roff;
    // Every line that begins with a dot is one of the requests we meant.
    size_t start = 0;
    while (start < roff.size()) {
        const size_t end = roff.find('\n', start);
        const std::string line = roff.substr(start, end - start);
        if (!line.empty() && line[0] == '.') {
            const std::string request = line.substr(0, line.find(' '));
            EXPECT_TRUE(request == ".TH" || request == ".SH" || request == ".PP" ||
                        request == ".TP" || request == ".nf" || request == ".fi" ||
                        request == ".RS" || request == ".RE" || request == ".sp" ||
                        request == ".nh" || request == ".ad" || request == ".\\\"")
                << line;
        }
        start = end + 1;
    }
}

TEST(ManualPage, LiteralLinesKeepTheirSpacingAndBlankLines) {
    std::string error;
    const auto page = ParsePage(kSource, error);
    ASSERT_TRUE(page) << error;
    const std::string roff = RoffPage(*page, "1", "d");
    EXPECT_NE(roff.find(".SH EXAMPLES\n.PP\n.RS 4\n.nf\ndemo \\-\\-fast\n.sp\ndemo\n.fi\n.RE\n"
                        ".PP\nThen a paragraph.\n"),
              std::string::npos)
        << roff;
    EXPECT_NE(roff.find(".SH NAME\ndemo \\- play a demo\n"), std::string::npos);
    EXPECT_NE(roff.find("\"Games\""), std::string::npos) << "section 6 is the games manual";
}

TEST(ManualPage, HelpHoldsTheSynopsisTheFirstParagraphAndTheMarkedSections) {
    std::string error;
    const auto page = ParsePage(kSource, error);
    ASSERT_TRUE(page) << error;
    EXPECT_EQ(HelpText(*page),
              "usage: demo [--fast] [FOLDER]\n"
              "       demo --help\n"
              "Plays the demo in FOLDER.\n"
              "\n"
              "Options:\n"
              "  --fast          go fast\n"
              "  --a-very-long-option-name=VALUE\n"
              "                  described below the term\n");
}

TEST(ManualPage, HelpWrapsLongTextUnderItsTerm) {
    std::string text = "demo 1 x\n@ demo\n# OPTIONS !\n* -x\n";
    for (int i = 0; i < 40; ++i)
        text += "word ";
    text += "\n";
    std::string error;
    const auto page = ParsePage(text, error);
    ASSERT_TRUE(page) << error;
    const std::string help = HelpText(*page);
    size_t start = 0;
    int lines = 0;
    while (start < help.size()) {
        const size_t end = help.find('\n', start);
        const std::string line = help.substr(start, end - start);
        EXPECT_LE(line.size(), 79u) << line;
        if (lines > 3) {
            EXPECT_EQ(line.rfind(std::string(18, ' ') + "word", 0), 0u) << line;
        }
        ++lines;
        start = end + 1;
    }
    EXPECT_GE(lines, 5);
}

TEST(ManualPage, AHeaderRefusesTextThatWouldEndItsLiteral) {
    const auto header = HeaderFor("usage: x\n", "kUsage", "x.1.manual");
    ASSERT_TRUE(header);
    EXPECT_NE(header->find("inline constexpr char kUsage[] = R\"manual(usage: x\n)manual\";"),
              std::string::npos)
        << *header;
    EXPECT_FALSE(HeaderFor("a )manual\" b", "kUsage", "x.1.manual"));
}

}  // namespace
}  // namespace zelk::manual
