#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/file_io.h"
#include "common/temp_folder.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs zelk-tool with arguments that need no quoting beyond single quotes.
ToolRun Tool(const testing::TempFolder& folder, const std::string& arguments) {
    const std::string errPath = folder / "stderr.txt";
    const std::string command =
        std::string(ZELK_BIN_DIR) + "/zelk-tool " + arguments + " 2>'" + errPath + "'";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFileBytes(errPath).value_or("");
    return run;
}

class IniCommand : public ::testing::Test {
protected:
    std::string Quoted(const std::string& name) const {
        std::string quoted = "'";
        quoted += folder / name;
        quoted += '\'';
        return quoted;
    }
    testing::TempFolder folder;
};

const std::string kConfig =
    "; user settings\r\n[Config]\r\n  TextSpeed = 3 ; fast\r\nFont=\x82l\x82r "
    "\x83S\x83V\x83\x62\x83N\r\n[Other]\r\nk=v\r\n";

TEST_F(IniCommand, GetPrintsTheValue) {
    ASSERT_TRUE(WriteFileAtomic(folder / "c.ini", kConfig));
    ToolRun run = Tool(folder, "ini get " + Quoted("c.ini") + " config textspeed");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3\n");
    run = Tool(folder, "ini get " + Quoted("c.ini") + " Config Font");
    EXPECT_EQ(run.out, "ＭＳ ゴシック\n");
}

TEST_F(IniCommand, SetChangesThatOneValueAndNothingElse) {
    ASSERT_TRUE(WriteFileAtomic(folder / "c.ini", kConfig));
    const ToolRun run = Tool(folder, "ini set " + Quoted("c.ini") + " CONFIG textspeed 7");
    EXPECT_EQ(run.status, 0) << run.err;
    std::string expected = kConfig;
    expected.replace(expected.find("= 3 "), 4, "= 7 ");
    EXPECT_EQ(ReadFileBytes(folder / "c.ini"), expected);
}

TEST_F(IniCommand, MissingFileSectionOrKeyFailsClearly) {
    ASSERT_TRUE(WriteFileAtomic(folder / "c.ini", kConfig));
    ToolRun run = Tool(folder, "ini get " + Quoted("none.ini") + " Config TextSpeed");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
    run = Tool(folder, "ini get " + Quoted("c.ini") + " Nope TextSpeed");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no section [Nope]"), std::string::npos) << run.err;
    run = Tool(folder, "ini set " + Quoted("c.ini") + " Config Nope 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no key \"Nope\""), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "c.ini"), kConfig);
}

TEST_F(IniCommand, BadUsageShowsTheUsage) {
    ToolRun run = Tool(folder, "ini");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("standard output"), std::string::npos);
    run = Tool(folder, "ini get onlyfile");
    EXPECT_EQ(run.status, 2);
}

TEST_F(IniCommand, ScrambledFilesAreReadAndWrittenScrambled) {
    ASSERT_TRUE(WriteScrambledFile(folder / "s.ini", "[Config]\r\nBGMVolume=80\r\n"));
    ToolRun run = Tool(folder, "ini get --scrambled " + Quoted("s.ini") + " Config BGMVolume");
    EXPECT_EQ(run.out, "80\n");
    run = Tool(folder, "ini set " + Quoted("s.ini") + " Config BGMVolume 55 --scrambled");
    EXPECT_EQ(run.status, 0) << run.err;
    std::string text;
    ASSERT_TRUE(ReadScrambledFile(folder / "s.ini", text));
    EXPECT_EQ(text, "[Config]\r\nBGMVolume=55\r\n");
    run = Tool(folder, "ini get " + Quoted("s.ini") + " Config BGMVolume");
    EXPECT_EQ(run.status, 1) << "a scrambled file is not plain text";
}

TEST_F(IniCommand, DecodeAndEncodeRoundTrip) {
    const std::string text = "[Var]\r\n名前=値\r\n";
    ASSERT_TRUE(WriteScrambledFile(folder / "sd00.ini", text));
    const ToolRun decoded = Tool(folder, "ini decode " + Quoted("sd00.ini"));
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    EXPECT_EQ(decoded.out, text);
    ASSERT_TRUE(WriteFileAtomic(folder / "plain.ini", decoded.out));
    const ToolRun encoded = Tool(folder, "ini encode " + Quoted("plain.ini"));
    EXPECT_EQ(encoded.status, 0) << encoded.err;
    EXPECT_EQ(encoded.out, ReadFileBytes(folder / "sd00.ini"));
}

TEST_F(IniCommand, EncodeAcceptsTheGamesCp932Text) {
    ASSERT_TRUE(WriteTextFile(folder / "plain.ini", "[Var]\r\n名前=値"));
    const ToolRun encoded = Tool(folder, "ini encode " + Quoted("plain.ini"));
    EXPECT_EQ(encoded.out, ScrambleText("[Var]\r\n名前=値"));
}

TEST_F(IniCommand, DecodeRefusesGarbage) {
    ASSERT_TRUE(WriteFileAtomic(folder / "bad.ini", "\x51"));
    const ToolRun run = Tool(folder, "ini decode " + Quoted("bad.ini"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not a scrambled settings file"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace zelk
