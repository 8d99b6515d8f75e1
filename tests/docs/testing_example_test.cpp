// The example of docs/testing.md plays as the page says: the script, as it
// is written there, takes the game `zelk-tool new` makes from its title
// through a route to its ending and back, with its pictures taken.
#include <gtest/gtest.h>

#include <string>

#include "app/zelk_process.h"
#include "docs/reference_text.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using testing::ReadReference;
using testing::RunScript;
using testing::States;

// The text of the page's one "```input" block; empty when there is none.
std::string ExampleScript(const std::string& page) {
    const std::string open = "```input\n";
    const std::size_t start = page.find(open);
    if (start == std::string::npos) return {};
    const std::size_t end = page.find("\n```", start + open.size());
    if (end == std::string::npos) return {};
    return page.substr(start + open.size(), end + 1 - start - open.size());
}

TEST(TestingPage, TheExampleScriptPlaysARouteOfANewGameAndTakesItsPictures) {
    std::string script = ExampleScript(ReadReference("testing.md"));
    ASSERT_FALSE(script.empty()) << "docs/testing.md has no ```input block";
    const fs::path folder = fs::path(::testing::TempDir()) / "testing-page-example";
    fs::remove_all(folder);
    fs::create_directories(folder / "shots");
    const std::string make =
        "cd '" + folder.string() + "' && " ZELK_BIN_DIR "/zelk-tool new mygame >/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);

    // The pictures go where the page's reader would find them: shots/ of
    // the folder the player was started in.
    for (std::size_t at = 0; (at = script.find("shot shots/", at)) != std::string::npos;)
        script.replace(at + 5, 0, folder.string() + "/");
    const testing::PlayerRun run =
        RunScript(folder / "mygame", script, "ZELK_SAVE_DIR='" + (folder / "saves").string() + "'");
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 2u) << run.errors;
    EXPECT_NE(states[0].find("mode=2 "), std::string::npos) << states[0];
    EXPECT_NE(states[0].find(" wait=5 "), std::string::npos) << states[0];
    EXPECT_NE(states[1].find("mode=1 "), std::string::npos) << states[1];
    for (const char* shot : {"01-title", "02-opening", "03-choice", "04-sea", "05-title-again"}) {
        const std::string png = testing::ReadAll(folder / "shots" / (std::string(shot) + ".png"));
        EXPECT_TRUE(png.starts_with("\x89PNG")) << shot;
    }
    // Every page of the route was shown: no error reached the terminal.
    EXPECT_EQ(run.errors.find("scenario error"), std::string::npos) << run.errors;
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zelk
