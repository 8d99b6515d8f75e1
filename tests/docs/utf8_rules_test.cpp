// The rules of a UTF-8 game's story text are whole in the reference: every
// escape the converter knows is listed where the rules are, and every
// example the reference gives there converts as it says.
#include <gtest/gtest.h>

#include <string>

#include "docs/reference_text.h"
#include "scenario/scenario_converter.h"
#include "scenario/story_text.h"

namespace zelk {
namespace {

std::string Utf8Section() {
    const std::string scenario = testing::ReadReference("scenario.md");
    const std::size_t start = scenario.find("## UTF-8 games");
    if (start == std::string::npos) return {};
    const std::size_t end = scenario.find("\n## ", start + 1);
    return scenario.substr(start, end == std::string::npos ? end : end - start);
}

TEST(Utf8Rules, EveryEscapeIsListedWithTheRules) {
    const std::string section = Utf8Section();
    ASSERT_FALSE(section.empty()) << "docs/scenario.md has no section on UTF-8 games";
    for (const StoryEscapeName& escape : StoryEscapeNames()) {
        const std::string written =
            "`\\" + std::string(escape.name) + (escape.takesArgument ? "(" : "`");
        EXPECT_NE(section.find(written), std::string::npos) << written;
    }
}

TEST(Utf8Rules, TheExamplesConvertAsTheReferenceSays) {
    const std::string section = Utf8Section();
    ScenarioConverter converter;
    ASSERT_TRUE(converter.Init(22, 3, {""}, TextEncoding::Utf8()));
    // Each row of the table: what is written, and whether it is an error.
    for (const std::string line : {"> Hi.\\nHow are you?", "> Hi.\\n;how are you?",
                                   "> 今日は\\n3日目だ。", "> Il faut partir.\\nÉcoute !\\b",
                                   "> \\v(a01_004)Yes.\\pause(500) Of course.", "> \\n;(laughs)"}) {
        EXPECT_NE(section.find("`" + line + "`"), std::string::npos) << line;
        EXPECT_TRUE(converter.Assemble(line + (line.ends_with("\\b") ? "" : "\\b")))
            << line << ": " << converter.ErrMsg();
    }
    for (const std::string line : {"> Hi.\\nhow are you?", "> A backslash: \\\\"}) {
        EXPECT_NE(section.find("`" + line + "`"), std::string::npos) << line;
        EXPECT_FALSE(converter.Assemble(line + "\\b")) << line;
    }
}

}  // namespace
}  // namespace zelk
