#include "common/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/temp_folder.h"

namespace zelk {
namespace {

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

TEST(Paths, FileExistsIsTrueOnlyForFiles) {
    testing::TempFolder folder;
    Touch(folder / "a.ini");
    EXPECT_TRUE(FileExists(folder / "a.ini"));
    EXPECT_FALSE(FileExists(folder / "b.ini"));
    EXPECT_FALSE(FileExists(folder.Path()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FolderExists(folder.Path()));
}

TEST(Paths, JoinPathAddsOneSeparator) {
    EXPECT_EQ(JoinPath("a", "b"), "a/b");
    EXPECT_EQ(JoinPath("a/", "b"), "a/b");
    EXPECT_EQ(JoinPath("a", "/b"), "a/b");
    EXPECT_EQ(JoinPath("", "b"), "b");
    EXPECT_EQ(JoinPath("a", ""), "a");
}

TEST(Paths, ResolvePathIgnoresCaseAndBackslashes) {
    testing::TempFolder folder;
    std::filesystem::create_directories(folder / "Data/BG");
    Touch(folder / "Data/BG/Sky01.PNG");
    EXPECT_EQ(ResolvePath(folder.Path(), "data\\bg\\sky01.png"), folder / "Data/BG/Sky01.PNG");
    EXPECT_EQ(ResolvePath(folder.Path(), "DATA/bg"), folder / "Data/BG");
    EXPECT_EQ(ResolvePath(folder.Path(), "Data\\BG\\.\\..\\BG\\sky01.png"),
              folder / "Data/BG/../BG/Sky01.PNG");
}

TEST(Paths, ResolvePathPrefersTheExactName) {
    testing::TempFolder folder;
    Touch(folder / "a.txt");
    Touch(folder / "A.txt");
    EXPECT_EQ(ResolvePath(folder.Path(), "A.txt"), folder / "A.txt");
    EXPECT_EQ(ResolvePath(folder.Path(), "a.TXT"), folder / "A.txt");  // first in name order
}

TEST(Paths, ResolvePathFindsNothingForMissingNames) {
    testing::TempFolder folder;
    EXPECT_FALSE(ResolvePath(folder.Path(), "none.ini"));
    EXPECT_FALSE(ResolvePath(folder / "missing", "x"));
}

TEST(Paths, ResolvePathSeesFilesCreatedAfterAnEarlierLookup) {
    testing::TempFolder folder;
    EXPECT_FALSE(ResolvePath(folder.Path(), "later.ini"));
    Touch(folder / "Later.ini");
    EXPECT_EQ(ResolvePath(folder.Path(), "later.ini"), folder / "Later.ini");
}

// [SECTION] Names that leave their folder

// Records what the refused-name report is told while it lives.
class RefusedNamesSeen {
public:
    RefusedNamesSeen() {
        mBefore = SetRefusedNameReport([this](const std::string& name, const std::string& why) {
            told.push_back(name + ": " + why);
        });
    }
    ~RefusedNamesSeen() { SetRefusedNameReport(std::move(mBefore)); }
    std::vector<std::string> told;

private:
    RefusedNameReport mBefore;
};

TEST(Paths, NamesThatLeaveTheirFolderAreRefusedAndTold) {
    testing::TempFolder folder;
    std::filesystem::create_directories(folder / "game/movie");
    Touch(folder / "game/movie/a.mpg");
    Touch(folder / "secret.mpg");
    const std::string game = folder / "game";
    RefusedNamesSeen seen;
    for (const std::string& name :
         {folder / "secret.mpg", std::string("\\secret.mpg"), std::string("../secret.mpg"),
          std::string("movie\\..\\..\\secret.mpg"), std::string("./../secret.mpg"),
          std::string("http://127.0.0.1:9/secret.mpg"), std::string("file:secret.mpg"),
          std::string("C:\\secret.mpg"), std::string("concat:a.mpg|b.mpg")}) {
        EXPECT_FALSE(ResolvePath(game, name)) << name;
        EXPECT_FALSE(WhyNameLeavesFolder(name).empty()) << name;
    }
    EXPECT_EQ(seen.told.size(), 9u);
    EXPECT_EQ(seen.told[0], folder / "secret.mpg" + ": is an absolute name");
    EXPECT_EQ(seen.told[2], "../secret.mpg: climbs out of its folder with \"..\"");
    EXPECT_EQ(seen.told[5], "http://127.0.0.1:9/secret.mpg: is a URL");
    EXPECT_EQ(seen.told[6], "file:secret.mpg: names a protocol or a drive");
    // ".." that stay inside are the game's own business.
    EXPECT_EQ(ResolvePath(game, "movie/../movie/A.MPG"), folder / "game/movie/../movie/a.mpg");
    EXPECT_TRUE(WhyNameLeavesFolder("a/b/../../c").empty());
    EXPECT_FALSE(AcceptName("a/../../c"));
    EXPECT_TRUE(AcceptName("movie\\a.mpg"));
    EXPECT_EQ(seen.told.size(), 10u);
}

TEST(Paths, ALinkThatLeadsOutOfTheFolderIsRefused) {
    testing::TempFolder folder;
    std::filesystem::create_directories(folder / "game/image");
    Touch(folder / "secret.png");
    Touch(folder / "game/image/mine.png");
    std::filesystem::create_symlink(folder / "secret.png", folder / "game/image/bg.png");
    std::filesystem::create_symlink(folder.Path(), folder / "game/image/up");
    std::filesystem::create_symlink("mine.png", folder / "game/image/alias.png");
    const std::string game = folder / "game";
    RefusedNamesSeen seen;
    EXPECT_FALSE(ResolvePath(game, "image/bg.png"));
    EXPECT_FALSE(ResolvePath(game, "image/up/secret.png"));
    EXPECT_EQ(seen.told, (std::vector<std::string>{
                             "image/bg.png: leads out of its folder through a link",
                             "image/up/secret.png: leads out of its folder through a link"}));
    // A link that stays inside is followed as before.
    EXPECT_EQ(ResolvePath(game, "image/alias.png"), folder / "game/image/alias.png");
}

}  // namespace
}  // namespace zelk
