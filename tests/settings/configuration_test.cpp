#include "settings/configuration.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>

#include "common/file_io.h"
#include "common/process.h"
#include "common/temp_folder.h"
#include "settings/font_list.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

const char* const kSystemInfo =
    "[Game]\r\n"
    "InvalidFont=IPAMincho,Other\r\n"
    "[Config]\r\n"
    "TextSpeed=3\r\n"
    "TextAutoClick=False\r\n"
    "BGMVolume=80\r\n"
    "BGMMute=False\r\n"
    "Font=IPAGothic\r\n"
    "Char:0=True,16777215\r\n"
    "Char:1=True,255\r\n"
    "[CharConfig]\r\n"
    "ListCount=3\r\n"
    "Item:0=Hero, taro / TARO2 ,x\r\n"
    "Item:1=Heroine,hana/taro,x\r\n"
    "Item:2=two items,only\r\n"
    "MaleCID=Taro,Jiro\r\n";

class ConfigurationTest : public ::testing::Test {
protected:
    ConfigurationTest() {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder.Path();
        system.Text(kSystemInfo);
    }
    ~ConfigurationTest() override { Process().ResetFolders(""); }

    std::unique_ptr<Configuration> Make() {
        Reporter reporter;
        reporter.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        reporter.WriteLog = [this](const std::string& text) { log.push_back(text); };
        auto cfg = std::make_unique<Configuration>(reporter);
        cfg->ChangeSetting = [this](const std::string& key) { events.push_back(key); };
        return cfg;
    }

    INIFile UserFile() {
        INIFile file;
        ReadIniFile(file, folder / "config.ini");
        return file;
    }

    testing::TempFolder folder;
    INIFile system;
    std::vector<std::string> messages;
    std::vector<std::string> log;
    std::vector<std::string> events;
};

TEST_F(ConfigurationTest, AMissingUserFileIsCreatedFromTheDefaults) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(UserFile().KeySection("Config").KeyValue("TextSpeed"), "3");
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 3);
    EXPECT_TRUE(cfg->ChangeEventEnabled());
}

TEST_F(ConfigurationTest, UserValuesWinOverDefaults) {
    INIFile user;
    user.Text("[Config]\r\nTextSpeed=1\r\nUnknown=1");
    ASSERT_TRUE(WriteIniFile(user, folder / "config.ini"));
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 1);
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 80);  // absent from the user file
}

TEST_F(ConfigurationTest, KeysAbsentFromTheDefaultsAreRefused) {
    INIFile user;
    user.Text("[Config]\r\nUnknown=1");
    ASSERT_TRUE(WriteIniFile(user, folder / "config.ini"));
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->StringVal("Unknown"), "");
    cfg->StringVal("Another", "x");
    EXPECT_EQ(messages,
              (std::vector<std::string>{"不正な設定項目 'Unknown' を読み込もうとしました。",
                                        "不正な設定項目 'Another' に書き込もうとしました。"}));
    EXPECT_TRUE(events.empty());
}

TEST_F(ConfigurationTest, WritingTheSameValueTwiceRaisesOneEvent) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    cfg->LongVal("TextSpeed", 5);
    cfg->LongVal("TextSpeed", 5);
    EXPECT_EQ(events, std::vector<std::string>{"TextSpeed"});
    EXPECT_EQ(cfg->StringVal("TEXTSPEED"), "5");
}

TEST_F(ConfigurationTest, NoEventsBeforeInitAndNoStoreWithoutDefaults) {
    auto cfg = Make();
    cfg->StringVal("TextSpeed", "9");
    EXPECT_EQ(log, std::vector<std::string>{"設定保存先が作成されていません。"});
    EXPECT_TRUE(events.empty());
}

TEST_F(ConfigurationTest, BooleansReadTrueOnlyForTrue) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
             {"TRUE", true}, {"true", true}, {"1", false}, {"yes", false}, {"", false}}) {
        cfg->StringVal("BGMMute", text);
        EXPECT_EQ(cfg->BoolVal("BGMMute"), expected) << text;
    }
    cfg->BoolVal("BGMMute", true);
    EXPECT_EQ(cfg->StringVal("BGMMute"), "True");
    cfg->BoolValChk("BGMMute", 2);
    EXPECT_EQ(cfg->StringVal("BGMMute"), "False");
    EXPECT_EQ(cfg->BoolValChk("BGMMute"), 0);
}

TEST_F(ConfigurationTest, DefaultModeReadsDefaultsButWritesTheUserFile) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    cfg->LongVal("TextSpeed", 1);
    cfg->DefaultMode(true);
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 3);
    cfg->LongVal("BGMVolume", 10);
    cfg->DefaultMode(false);
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 1);
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 10);
}

TEST_F(ConfigurationTest, RestoreWritesBackupValuesAndRaisesTheirEvents) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    cfg->Backup();
    cfg->LongVal("TextSpeed", 1);
    cfg->LongVal("BGMVolume", 2);
    events.clear();
    cfg->Restore("TextSpeed");
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 3);
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 2);
    cfg->Restore();
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 80);
    EXPECT_EQ(events, (std::vector<std::string>{"TextSpeed", "BGMVolume"}));
}

TEST_F(ConfigurationTest, RaiseChangeEventRaisesEachKeyInOrder) {
    auto cfg = Make();
    cfg->RaiseChangeEvent("CustomCursor,TextSpeed,TextAutoClick");
    EXPECT_EQ(events, (std::vector<std::string>{"CustomCursor", "TextSpeed", "TextAutoClick"}));
}

TEST_F(ConfigurationTest, ReleaseWritesTheUserFile) {
    {
        auto cfg = Make();
        ASSERT_TRUE(cfg->Init(system));
        cfg->LongVal("TextSpeed", 4);
    }
    EXPECT_EQ(UserFile().KeySection("Config").KeyValue("TextSpeed"), "4");
    EXPECT_EQ(log.back(), "Config-Terminate");
}

TEST_F(ConfigurationTest, ReleaseBeforeInitLeavesTheUserFileAlone) {
    INIFile user;
    user.Text("[Config]\r\nTextSpeed=7");
    ASSERT_TRUE(WriteIniFile(user, folder / "config.ini"));
    Make().reset();
    EXPECT_EQ(UserFile().KeySection("Config").KeyValue("TextSpeed"), "7");
}

TEST_F(ConfigurationTest, FontsAreJapaneseFixedPitchMinusTheExcluded) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    for (long i = 0; i < cfg->FontCount(); ++i) {
        EXPECT_NE(cfg->FontName(i).front(), '@');
        EXPECT_EQ(std::string("IPAMincho,Other").find(cfg->FontName(i)), std::string::npos);
    }
    EXPECT_NE(cfg->GetFontIndex("IPAGothic"), -1) << "dual spacing counts as fixed";
    EXPECT_EQ(cfg->GetFontIndex("IPAPGothic"), -1) << "proportional";
    EXPECT_EQ(cfg->GetFontIndex("IPAMincho"), -1) << "excluded";
    if (cfg->FontCount() > 0) {
        EXPECT_EQ(cfg->GetFontIndex(cfg->FontName(0)), 0);
    }
    EXPECT_EQ(cfg->FontName(-1), "");
    EXPECT_EQ(cfg->FontName(cfg->FontCount()), "");
}

// A UTF-8 game's engine sets text by width: its reader may choose any
// outline font that covers the game's language, proportional ones included.
TEST_F(ConfigurationTest, AUtf8GameOffersTheFontsOfItsLanguageOfAnySpacing) {
    const bool arabic = !FamiliesForLanguage("ar").empty();
    system.Encoding(TextEncoding::Utf8());
    system.KeySection("Game").KeyValue("Language", "ar-EG");
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    if (!arabic) GTEST_SKIP() << "no font for Arabic is installed";
    EXPECT_EQ(cfg->GetFontIndex("IPAGothic"), -1) << "it holds no Arabic";
    bool proportional = false;
    for (long i = 0; i < cfg->FontCount(); ++i)
        proportional |= cfg->FontName(i).find("Arabic") != std::string::npos;
    EXPECT_TRUE(proportional);

    // Japanese in UTF-8: the proportional faces too.
    system.KeySection("Game").KeyValue("Language", "ja");
    cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_NE(cfg->GetFontIndex("IPAPGothic"), -1);
    EXPECT_EQ(cfg->GetFontIndex("IPAMincho"), -1) << "excluded";

    // No language, or none that is one: every outline font.
    for (const char* tag : {"", "x", "12", "日本"}) {
        system.KeySection("Game").KeyValue("Language", tag);
        cfg = Make();
        ASSERT_TRUE(cfg->Init(system));
        EXPECT_NE(cfg->GetFontIndex("IPAGothic"), -1) << tag;
        EXPECT_GT(cfg->FontCount(), static_cast<long>(FamiliesForLanguage("ar").size())) << tag;
    }
}

TEST_F(ConfigurationTest, AddEffectiveFontSkipsNamesInsideTheExcludedText) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    const long count = cfg->FontCount();
    cfg->AddEffectiveFont("Oth");  // occurs inside "Other"
    cfg->AddEffectiveFont("ＭＳ ゴシック");
    EXPECT_EQ(cfg->FontCount(), count + 1);
    EXPECT_EQ(cfg->GetFontIndex("ＭＳ ゴシック"), count);
    EXPECT_EQ(cfg->GetFontIndex("ｍｓ ゴシック"), -1);
}

TEST_F(ConfigurationTest, CharacterIdentifiersMapToTheirFirstItem) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->GetIndexByCID("TARO"), 0);
    EXPECT_EQ(cfg->GetIndexByCID("taro2"), 0);
    EXPECT_EQ(cfg->GetIndexByCID("Hana"), 1);
    EXPECT_EQ(cfg->GetIndexByCID("only"), -1) << "an item of two parts is ignored";
    EXPECT_EQ(cfg->GetIndexByCID("nobody"), -1);
}

TEST_F(ConfigurationTest, CharacterSettings) {
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->CharColor(-1), 0xFFFFFF);
    EXPECT_EQ(cfg->CharColor(1), 255);
    EXPECT_TRUE(cfg->CharVoiceEnabled(-1));
    EXPECT_TRUE(cfg->CharVoiceEnabled(0));
    cfg->CharValue(0, "FALSE,12");
    EXPECT_FALSE(cfg->CharVoiceEnabled(0));
    EXPECT_EQ(cfg->CharColor(0), 12);
    EXPECT_TRUE(cfg->CharIsMale("TARO"));
    EXPECT_TRUE(cfg->CharIsMale("jir"));  // any part of the text
    EXPECT_FALSE(cfg->CharIsMale("hana"));
    EXPECT_FALSE(cfg->CharIsMale(""));
}

TEST_F(ConfigurationTest, AGarbageUserFileIsReplacedByTheDefaults) {
    Process().Debug.INIEncript = true;
    ASSERT_TRUE(WriteTextFile(folder / "config.ini", "x"));  // odd length: not scrambled text
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 3);
    EXPECT_EQ(UserFile().KeySection("Config").KeyValue("BGMVolume"), "80");
    EXPECT_EQ(ReadFileBytes(folder / "config.ini.broken"), "x") << "kept for rescue";
}

// A damaged system file has no defaults to check keys against: Init fails
// (one message from the root) rather than every read showing one, and the
// reader's own file stays as it was.
TEST_F(ConfigurationTest, ASystemFileWithoutDefaultsFailsInitAndKeepsTheUserFile) {
    INIFile user;
    user.Text("[Config]\r\nTextSpeed=7");
    ASSERT_TRUE(WriteIniFile(user, folder / "config.ini"));
    const auto before = ReadFileBytes(folder / "config.ini");
    system.Text("[Game]\r\nTitle=t\r\n[CharConfig]\r\nListCount=0");
    {
        auto cfg = Make();
        EXPECT_FALSE(cfg->Init(system));
        EXPECT_FALSE(cfg->ChangeEventEnabled());
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadFileBytes(folder / "config.ini"), before);
}

// A hand-edited or hostile file: a text speed of 999 would type a character
// every 15 seconds, a volume of 1000 would be louder than the engine
// allows. The program uses the nearest valid value and writes it back.
TEST_F(ConfigurationTest, NumbersOutOfRangeAreHeldToItAndWrittenBack) {
    INIFile user;
    user.Text("[Config]\r\nTextSpeed=999\r\nBGMVolume=-1000\r\nRollbackPages=99999999\r\n");
    ASSERT_TRUE(WriteIniFile(user, folder / "config.ini"));
    {
        auto cfg = Make();
        ASSERT_TRUE(cfg->Init(system));
        EXPECT_EQ(cfg->LongVal("TextSpeed"), 4);
        EXPECT_EQ(cfg->LongVal("BGMVolume"), 0);
        EXPECT_EQ(cfg->LongVal("RollbackPages"), 10000);
        // A value set while playing is held too.
        cfg->StringVal("TextSpeed", "-3");
        EXPECT_EQ(cfg->LongVal("TextSpeed"), 0);
    }
    INIFile written = UserFile();
    EXPECT_EQ(written.KeySection("Config").KeyValue("BGMVolume"), "0");
    EXPECT_EQ(written.KeySection("Config").KeyValue("RollbackPages"), "10000");
    EXPECT_TRUE(messages.empty());
}

// Settings are a few kilobytes: a file of megabytes is treated as a damaged
// one, moved aside unread, not read at every start.
TEST_F(ConfigurationTest, AnOverLargeUserFileIsKeptAsideAndTheDefaultsUsed) {
    INIFile user;
    user.Text("[Config]\r\nTextSpeed=1\r\nPad=" + std::string(2 << 20, 'x'));
    ASSERT_TRUE(WriteIniFile(user, folder / "config.ini"));
    const auto before = ReadFileBytes(folder / "config.ini");
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 3);
    EXPECT_EQ(ReadFileBytes(folder / "config.ini.broken"), before);
    EXPECT_LT(ReadFileBytes(folder / "config.ini")->size(), 4096u);
}

// A FIFO (or a folder) named config.ini would make a start wait for a
// writer for ever: it is refused at once and kept aside.
TEST_F(ConfigurationTest, AFifoInPlaceOfTheUserFileIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo((folder / "config.ini").c_str(), 0644), 0);
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(cfg->LongVal("TextSpeed"), 3);
    struct stat kept {};
    ASSERT_EQ(::lstat((folder / "config.ini.broken").c_str(), &kept), 0);
    EXPECT_TRUE(S_ISFIFO(kept.st_mode));
    EXPECT_EQ(UserFile().KeySection("Config").KeyValue("TextSpeed"), "3");
}

// A full disk (a file-size limit stands in for it, for any user): the
// reader hears once which file and why, however often the program tries,
// the old file stays whole and the values stay in force; the dialog's OK
// is told every time.
TEST_F(ConfigurationTest, AWriteThatFailsIsToldOnceAndLeavesTheOldFile) {
    {
        auto cfg = Make();
        ASSERT_TRUE(cfg->Init(system));
    }
    const auto before = ReadFileBytes(folder / "config.ini");
    // Room for what standard error's capture writes, not for the file.
    ASSERT_TRUE(before && before->size() > 300);
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    cfg->LongVal("TextSpeed", 1);

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = before->size() - 1;
    ::setrlimit(RLIMIT_FSIZE, &small);
    ::testing::internal::CaptureStderr();
    const bool first = cfg->Save();
    const bool second = cfg->Save();
    const bool asked = cfg->Save(true);
    cfg.reset();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_FALSE(asked);
    EXPECT_EQ(ReadFileBytes(folder / "config.ini"), before);
    const std::string line = "zelk: cannot write " + folder / "config.ini" + ": File too large\n";
    EXPECT_EQ(errors, line + line) << "once for the program's writes, once for the OK";
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find(folder / "config.ini"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("File too large"), std::string::npos) << messages[0];
    // The dialog's OK hears that its values are in force all the same.
    EXPECT_NE(messages[1].find("このまま使われます"), std::string::npos) << messages[1];
}

TEST_F(ConfigurationTest, AWriteThatSucceedsAgainIsToldAgainWhenItFailsLater) {
    Process().SaveDir = folder / "missing";
    auto cfg = Make();
    ASSERT_TRUE(cfg->Init(system));
    EXPECT_EQ(messages.size(), 1u) << "the new file could not be made";
    EXPECT_FALSE(cfg->Save());
    EXPECT_EQ(messages.size(), 1u);
    ASSERT_EQ(::mkdir((folder / "missing").c_str(), 0755), 0);
    EXPECT_TRUE(cfg->Save());
    ASSERT_EQ(::rename((folder / "missing").c_str(), (folder / "gone").c_str()), 0);
    EXPECT_FALSE(cfg->Save());
    EXPECT_EQ(messages.size(), 2u);
    ASSERT_EQ(::rename((folder / "gone").c_str(), (folder / "missing").c_str()), 0);
}

}  // namespace
}  // namespace zelk
