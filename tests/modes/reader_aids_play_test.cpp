// The reader's tools on the demo game: the page text on a real X server's
// clipboard, and self-voicing through a Speech Dispatcher the test starts
// with an output module that writes what it is given to a file.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::Decoded;
using testing::ReadAll;
using testing::Reader;
namespace fs = std::filesystem;

constexpr const char* kPage1 =
    "夏休みも、残りあと一週間。\n僕は祖母の家がある小さな港町に来ていた。";
constexpr const char* kPage2 =
    "坂の上からは、岬の白い灯台がよく見える。\n毎朝ここを通るたび、なんとなく足が止まる。";
constexpr const char* kPage3 = "【灯里】「おはよう！　今日も早いね」";
// The scenario's own line breaks are kept, those the game's converter put in
// to fit the window too: the text as the window shows it.
constexpr const char* kPage4 =
    "灯里は祖母の家の隣に住む、同い年の女の子だ。\n"
    "町に来て三日目には、もう普通に話すようになっ\nた。";

bool Found(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// What a command printed, without its last line end.
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, got);
        pclose(pipe);
    }
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

void NewGame(Reader& reader) {
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Click(reader.Rects("main_menu")[0]));
    ASSERT_TRUE(reader.Do("click 320 240"));  // the opening movie
    ASSERT_TRUE(reader.Do("idle"));
}

// [SECTION] Clipboard

std::string Selection(const char* which) {
    return Output(std::string("timeout 5 xclip -o -selection ") + which + " 2>/dev/null");
}

TEST(TextToClipboard, EachPageIsOnTheClipboardAsItIsShown) {
    if (std::getenv("DISPLAY") == nullptr || !Found("xclip"))
        GTEST_SKIP() << "needs an X server (DISPLAY) and xclip";
    const fs::path folder = CopyOfDemoGame("zelk-clipboard");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Reader reader(folder, {{"SDL_VIDEODRIVER", "x11"}});
    ASSERT_TRUE(reader.AtTitle());
    ASSERT_TRUE(reader.Do("menu message!clipboard"));
    NewGame(reader);
    EXPECT_EQ(Selection("clipboard"), kPage1);
    EXPECT_EQ(Selection("primary"), kPage1);
    for (const char* page : {kPage2, kPage3, kPage4}) {
        ASSERT_TRUE(reader.Do("click 320 240"));
        ASSERT_TRUE(reader.Do("idle"));
        EXPECT_EQ(Selection("clipboard"), page);
    }
    // A page gone back to is shown again.
    ASSERT_TRUE(reader.Do("menu message!back"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(Selection("clipboard"), kPage3);
    // On to the story's choice, skipping, past the clickable areas.
    for (int i = 0; i < 150 && reader.Get("wait") != "5"; ++i) {
        if (reader.Get("wait") == "6") {
            ASSERT_TRUE(reader.Click(reader.Rects("gamemode_button")[0]));
        } else {
            ASSERT_TRUE(reader.Do("hold ctrl 500"));
        }
    }
    ASSERT_TRUE(reader.Do("idle"));
    ASSERT_EQ(reader.Get("wait"), "5") << reader.State();
    EXPECT_EQ(Selection("clipboard"), "灯台に灯りをともす\n夜明けまで待つ");
    EXPECT_EQ(reader.Quit(), 0);
    EXPECT_NE(Decoded(folder / "savedata" / "config.ini").find("TextToClipboard=True"),
              std::string::npos);
}

// [SECTION] Self-voicing

// A Speech Dispatcher of the test's own: its configuration, its socket and
// the file its output module writes each message to, one a line. The
// module takes a moment over each message, as a real voice does, so that
// one cut short is seen never to arrive.
class SpeechService {
public:
    explicit SpeechService(const fs::path& folder) : mFolder(folder) {
        fs::create_directories(folder / "conf" / "modules");
        fs::create_directories(folder / "home");
        fs::create_directories(folder / "log");
        Write(folder / "conf" / "speechd.conf",
              "AddModule \"recorder\" \"sd_generic\" \"recorder.conf\"\n"
              "DefaultModule recorder\nDefaultLanguage \"ja\"\nAudioOutputMethod \"libao\"\n"
              "LogDir \"" +
                  (folder / "log").string() + "\"\n");
        Write(folder / "conf" / "modules" / "recorder.conf",
              "GenericExecuteSynth \"sleep 0.3; printf '%s\\\\n' \\'$DATA\\' >> " +
                  Said().string() +
                  "\"\n"
                  "GenericMaxChunkLength 100000\nGenericDelimiters \"\"\n"
                  "AddVoice \"ja\" \"female1\" \"recorder\"\nDefaultVoice \"recorder\"\n"
                  "GenericLanguage \"ja\" \"ja\" \"utf-8\"\n");
        // The module's sound goes nowhere.
        Write(folder / "home" / ".libao", "default_driver=null\n");
        mPid = fork();
        if (mPid == 0) {
            setenv("HOME", (folder / "home").c_str(), 1);
            const std::string socket = Socket().string();
            execlp("speech-dispatcher", "speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket",
                   "-S", socket.c_str(), "-C", (folder / "conf").c_str(), "-m", kModules, "-P",
                   (folder / "pid").c_str(), nullptr);
            _exit(127);
        }
    }
    ~SpeechService() {
        if (mPid > 0) {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
    }

    static constexpr const char* kModules = "/usr/lib/speech-dispatcher-modules";
    static bool Installed() { return Found("speech-dispatcher") && fs::exists(kModules); }

    fs::path Socket() const { return mFolder / "speechd.sock"; }
    fs::path Said() const { return mFolder / "said.txt"; }
    std::string Address() const { return "unix_socket:" + Socket().string(); }

    // Lets the player run until the socket is there.
    bool Ready(Reader& reader) {
        for (int i = 0; i < 200 && !fs::exists(Socket()); ++i)
            reader.Do("wait 50");
        return fs::exists(Socket());
    }
    // Lets the player run until `text` was said; its place in what was said.
    size_t Heard(Reader& reader, const std::string& text) {
        for (int i = 0; i < 200; ++i) {
            const size_t at = ReadAll(Said()).find(text + "\n");
            if (at != std::string::npos) return at;
            reader.Do("wait 50");
        }
        return std::string::npos;
    }

private:
    static void Write(const fs::path& path, const std::string& text) {
        if (FILE* file = std::fopen(path.c_str(), "w")) {
            std::fputs(text.c_str(), file);
            std::fclose(file);
        }
    }

    fs::path mFolder;
    pid_t mPid = -1;
};

// The player on a fresh demo game beside its own speech service, at the
// title with self-voicing just turned on.
class SelfVoicing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SpeechService::Installed()) GTEST_SKIP() << "Speech Dispatcher is not installed";
        // A folder of each test's own: ctest runs the two at once.
        folder = CopyOfDemoGame(std::string("zelk-speech-") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
        service = std::make_unique<SpeechService>(folder / "speech");
        reader = std::make_unique<Reader>(folder, std::vector<std::pair<std::string, std::string>>{
                                                      {"SPEECHD_ADDRESS", service->Address()}});
        ASSERT_TRUE(service->Ready(*reader));
        ASSERT_TRUE(reader->AtTitle());
        ASSERT_TRUE(reader->Do("menu message!voice"));
        turnedOn = service->Heard(*reader, "読み上げ");
    }
    void ReadOn() {
        ASSERT_TRUE(reader->Do("click 320 240"));
        ASSERT_TRUE(reader->Do("idle"));
    }

    fs::path folder;
    std::unique_ptr<SpeechService> service;
    std::unique_ptr<Reader> reader;
    size_t turnedOn = std::string::npos;
};

TEST_F(SelfVoicing, PagesButtonsAndScreenNamesAreSaidInOrder) {
    ASSERT_TRUE(reader->Do("key Down"));
    const size_t button = service->Heard(*reader, "はじめから");
    NewGame(*reader);
    const size_t page1 = service->Heard(*reader, kPage1);
    ReadOn();
    const size_t page2 = service->Heard(*reader, kPage2);
    ASSERT_TRUE(reader->Do("menu message!log"));
    const size_t log = service->Heard(*reader, "ログ");
    ASSERT_TRUE(reader->Do("rclick 320 240"));
    ASSERT_TRUE(reader->Do("idle"));
    ASSERT_TRUE(reader->Do("menu file!saveload"));
    const size_t saveload = service->Heard(*reader, "セーブ・ロード");
    ASSERT_NE(saveload, std::string::npos) << ReadAll(service->Said());
    EXPECT_LT(turnedOn, button);
    EXPECT_LT(button, page1);
    EXPECT_LT(page1, page2);
    EXPECT_LT(page2, log);
    EXPECT_LT(log, saveload);
    EXPECT_EQ(reader->Quit(), 0);
    EXPECT_NE(Decoded(folder / "savedata" / "config.ini").find("SelfVoicing=True"),
              std::string::npos);
}

// Page 3 waits for its character's voice (three seconds) before it is
// said; the reader clicks on before that, and only page 4 is heard.
TEST_F(SelfVoicing, APageReadOverQuicklyIsNotSaid) {
    NewGame(*reader);
    ReadOn();
    ASSERT_NE(service->Heard(*reader, kPage2), std::string::npos);
    ReadOn();
    ReadOn();
    ASSERT_NE(service->Heard(*reader, kPage4), std::string::npos) << reader->State() << "\n"
                                                                  << ReadAll(service->Said());
    // The module reads "！" and the wide space as their narrow forms.
    EXPECT_EQ(ReadAll(service->Said()).find("今日も早いね"), std::string::npos);
    EXPECT_EQ(reader->Quit(), 0);
}

TEST(NoSpeechService, TheVoiceItemIsDisabled) {
    const fs::path folder = CopyOfDemoGame("zelk-speech-none");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Reader reader(folder, {{"SPEECHD_ADDRESS", "unix_socket:" + (folder / "none.sock").string()}});
    ASSERT_TRUE(reader.AtTitle());
    EXPECT_EQ(reader.Say("menu message!voice").back(), "error menu item disabled");
}

}  // namespace
}  // namespace zelk
