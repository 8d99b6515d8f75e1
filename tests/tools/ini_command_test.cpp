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

// [SECTION] Adding a key

// A variable added to the demo's [var] joins its fellows, before the
// comment that belongs to the next section; everything else stays byte for
// byte.
TEST_F(IniCommand, AddPutsTheKeyAfterTheLastKeyOfItsSection) {
    const std::string before =
        "[var]\r\nfound=0 ; a clue\r\n\r\n; the commands\r\n[Instruction]\r\nput\t*\r\n";
    ASSERT_TRUE(WriteFileAtomic(folder / "s.ini", before));
    const ToolRun run = Tool(folder, "ini add " + Quoted("s.ini") + " VAR 名前 '\"値\"'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "s.ini"),
              "[var]\r\nfound=0 ; a clue\r\n\x96\xBC\x91\x4F=\"\x92\x6C\"\r\n\r\n; the "
              "commands\r\n[Instruction]\r\nput\t*\r\n");
}

TEST_F(IniCommand, AddMakesAMissingSectionAtTheEnd) {
    ASSERT_TRUE(WriteFileAtomic(folder / "s.ini", "[Game]\r\nTitle=t\r\n"));
    const ToolRun run = Tool(folder, "ini add " + Quoted("s.ini") + " shared seen 0");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "s.ini"), "[Game]\r\nTitle=t\r\n[shared]\r\nseen=0\r\n");
}

// add refuses a key the file has; set refuses one it lacks; set --add does
// either. A refused change leaves the file as it was.
TEST_F(IniCommand, AddAndSetEachRefuseWhatTheOtherDoes) {
    ASSERT_TRUE(WriteFileAtomic(folder / "c.ini", kConfig));
    ToolRun run = Tool(folder, "ini add " + Quoted("c.ini") + " Config textspeed 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("has the key \"textspeed\" already; change it with ini set"),
              std::string::npos)
        << run.err;
    run = Tool(folder, "ini set " + Quoted("c.ini") + " Config Volume 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("(ini add, or ini set --add, adds it)"), std::string::npos) << run.err;
    run = Tool(folder, "ini add " + Quoted("c.ini") + " Config 'a=b' 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFileBytes(folder / "c.ini"), kConfig);

    run = Tool(folder, "ini set --add " + Quoted("c.ini") + " Config Volume 1");
    EXPECT_EQ(run.status, 0) << run.err;
    run = Tool(folder, "ini set " + Quoted("c.ini") + " Config TextSpeed 4 --add");
    EXPECT_EQ(run.status, 0) << run.err;
    std::string expected = kConfig;
    expected.replace(expected.find("= 3 "), 4, "= 4 ");
    expected.insert(expected.find("[Other]"), "Volume=1\r\n");
    EXPECT_EQ(ReadFileBytes(folder / "c.ini"), expected);
}

// A file saved with LF line ends, or as UTF-8, is written back so.
TEST_F(IniCommand, AChangeKeepsTheFilesLineEndsAndEncoding) {
    ASSERT_TRUE(WriteFileAtomic(folder / "lf.ini", "[a]\nx=1\n\n[b]\ny=2\n"));
    ToolRun run = Tool(folder, "ini add " + Quoted("lf.ini") + " a z 3");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "lf.ini"), "[a]\nx=1\nz=3\n\n[b]\ny=2\n");

    ASSERT_TRUE(WriteFileAtomic(folder / "u.ini", "\xEF\xBB\xBF[a]\r\nx=ü\r\n"));
    run = Tool(folder, "ini set --add " + Quoted("u.ini") + " a k é");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "u.ini"), "\xEF\xBB\xBF[a]\r\nx=ü\r\nk=é\r\n");
}

}  // namespace
}  // namespace zelk
