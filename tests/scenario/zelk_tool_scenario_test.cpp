// The scenario commands of zelk-tool, run as the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/codepage.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ZelkToolScenarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zelk-tool-scn-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        game = root / "game";
        fs::create_directories(game / "scenario");
        Write(game / "SystemInfo.ini",
              "[TextBlock]\r\nCharCount=4\r\nLineCount=2\r\n[Nameplate]\r\nCount=2\r\n"
              "item:1=ゆき");
    }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << Utf8ToCp932(text).value();
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    ToolRun Tool(const std::string& arguments) {
        const fs::path out = root / "out.txt";
        const fs::path err = root / "err.txt";
        const std::string command = std::string(ZELK_BIN_DIR) + "/zelk-tool " + arguments + " >" +
                                    out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(out), Read(err)};
    }

    fs::path root;
    fs::path game;
};

TEST_F(ZelkToolScenarioTest, ConvertPrintsTheRegularFormInUtf8) {
    Write(game / "scenario" / "main.txt", "Start:\r\nゆき\r\n\\b\r\nif a\r\ngo Start\r\nendif");
    const ToolRun run = Tool("convert " + (game / "scenario" / "main.txt").string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "start:put\t\"\\np(1)\"\r\nif\ta\t\t3\r\ngo\tstart\r\nnop");
    EXPECT_EQ(run.err, "");
}

TEST_F(ZelkToolScenarioTest, ConvertWritesCp932OnRequest) {
    Write(game / "scenario" / "main.txt", "あい\r\n\\b");
    const ToolRun run = Tool("convert " + (game / "scenario" / "main.txt").string() + " --cp932");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Utf8ToCp932("put\t\"あい\"").value());
}

TEST_F(ZelkToolScenarioTest, ConvertShowsTheErrorAsThePlayerDoes) {
    Write(game / "scenario" / "bad.txt", "if a\r\nelse x // here\r\nendif");
    const ToolRun run = Tool("convert " + (game / "scenario" / "bad.txt").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "シナリオアセンブルエラー  bad . 2\nelse x // here\nＥＬＳＥの構文エラーです。\n");
}

TEST_F(ZelkToolScenarioTest, ConvertFindsTheGameThroughItsDebugFolders) {
    fs::remove(game / "SystemInfo.ini");
    Write(root / "other" / "debug.ini", "[Folder]\r\nWorkspace=data\r\nini=ini");
    Write(root / "other" / "data" / "ini" / "systeminfo.ini",
          "[TextBlock]\r\nCharCount=2\r\nLineCount=2");
    Write(root / "loose.txt", "\\あいう\\b");
    ToolRun run =
        Tool("convert " + (root / "loose.txt").string() + " --game " + (root / "other").string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "put\t\"\\あい\\nう\"");

    run = Tool("convert " + (root / "loose.txt").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no SystemInfo.ini"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace zelk
