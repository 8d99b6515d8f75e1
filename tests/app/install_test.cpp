// The build installed as a distribution would: the programs, the engines,
// the demo game, the desktop entry, metadata, icons and manual pages in
// their Linux places, and
// the installed player starting the installed demo with no argument, and
// its English edition named, while the reader's files go under the XDG data
// folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/user_folder.h"
#include "app/zelk_process.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

TEST(Install, TheInstalledPlayerStartsTheInstalledDemo) {
    if (!fs::exists(fs::path(ZELK_BUILD_DIR) / "games" / "demo" / "scenario.quor"))
        GTEST_SKIP() << "the demo game is not packed";
    const fs::path root = fs::path(::testing::TempDir()) / "install_test";
    fs::remove_all(root);
    const fs::path prefix = root / "prefix";
    const std::string install = "'" ZELK_CMAKE "' --install '" ZELK_BUILD_DIR "' --prefix '" +
                                prefix.string() + "' >'" + (root / "install.txt").string() +
                                "' 2>&1";
    fs::create_directories(root);
    ASSERT_EQ(std::system(install.c_str()), 0) << testing::ReadAll(root / "install.txt");

    for (const char* file :
         {ZELK_GAMES_DIR "/zelk", "bin/zelk-tool", "share/zelk/games/demo/scenario.quor",
          "share/zelk/games/demo/image.quor", "share/zelk/games/demo/sound.quor",
          "share/zelk/games/demo/opening.mpg", "share/applications/org.zelk.Zelk.desktop",
          "share/metainfo/org.zelk.Zelk.metainfo.xml", "share/mime/packages/zelk.xml",
          "share/icons/hicolor/scalable/apps/org.zelk.Zelk.svg",
          "share/icons/hicolor/48x48/apps/org.zelk.Zelk.png", "share/man/man6/zelk.6.gz",
          "share/man/man1/zelk-tool.1.gz", "share/doc/zelk/copyright"})
        EXPECT_TRUE(fs::exists(prefix / file)) << file;
    // The message catalogues, where the build made them.
    for (const char* language : {"ja", "en"}) {
        const std::string catalogue =
            std::string("share/locale/") + language + "/LC_MESSAGES/zelk.mo";
        if (fs::exists(fs::path(ZELK_BUILD_DIR) / catalogue)) {
            EXPECT_TRUE(fs::exists(prefix / catalogue)) << catalogue;
        }
    }
    bool engines = false;
    for (const auto& entry : fs::recursive_directory_iterator(prefix))
        if (entry.path().filename() == "libwavo.so")
            engines = fs::exists(entry.path().parent_path() / "liblumo.so");
    EXPECT_TRUE(engines);

    // Started from its own place, with the build moved out of reach of its
    // search: no argument, so the installed demo.
    const fs::path script = root / "input.txt";
    {
        std::FILE* file = std::fopen(script.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("idle\nstate\nquit\n", file);
        std::fclose(file);
    }
    const fs::path xdg = root / "xdg";
    const auto play = [&](const std::string& argument) {
        const std::string run =
            "cd / && env -u ZELK_SAVE_DIR SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
            "ZELK_ANSWERS= XDG_DATA_HOME='" +
            xdg.string() + "' ZELK_INPUT='" + script.string() + "' timeout 60 '" +
            (prefix / ZELK_GAMES_DIR / "zelk").string() + "' " + argument + " >'" +
            (root / "out.txt").string() + "' 2>'" + (root / "err.txt").string() + "'";
        const int status = std::system(run.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << testing::ReadAll(root / "err.txt");
        return testing::ReadAll(root / "out.txt");
    };
    std::string out = play("");
    EXPECT_NE(out.find("state mode=1 "), std::string::npos) << out;
    // The reader's files are kept under the game's title.
    EXPECT_TRUE(fs::exists(xdg / "zelk" / GameKey("ひかりの手紙", "") / "config.ini"));
    EXPECT_FALSE(fs::exists(prefix / "share" / "zelk" / "games" / "demo" / "savedata"));

    // The English edition beside it, played by naming its folder.
    const fs::path english = prefix / "share" / "zelk" / "games" / "demo-en";
    if (!fs::exists(fs::path(ZELK_BUILD_DIR) / "games" / "demo-en" / "scenario.quor")) return;
    for (const char* file :
         {"scenario.quor", "image.quor", "sound.quor", "opening.mpg", "mouse.png"})
        EXPECT_TRUE(fs::exists(english / file)) << file;
    out = play("'" + english.string() + "'");
    EXPECT_NE(out.find("state mode=1 "), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(xdg / "zelk" / GameKey("Letter of Light", "") / "config.ini"));
    EXPECT_FALSE(fs::exists(english / "savedata"));
}

}  // namespace
}  // namespace zelk
