#include "common/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace zelk
