// The player's first moments and its window, as a reader sees them through
// the scripted input: the game's empty screen before the title, and the
// picture filling the screen in full screen.
#include <gtest/gtest.h>

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/zelk_process.h"
#include "modes/play_support.h"

namespace zelk::testing {
namespace {

// The demo game's own system file with one line changed, loose beside the
// archives (a loose file is read before the packed one).
void SetSystemValue(const fs::path& folder, const std::string& key, const std::string& value) {
    std::ifstream in(fs::path(ZELK_SOURCE_DIR) / "games" / "demo" / "SystemInfo.ini",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string system = text.str();
    const size_t at = system.find("\n" + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    const size_t end = system.find_first_of("\r\n", at + 1);
    system.replace(at + 1, end - at - 1, key + "=" + value);
    std::ofstream(folder / "SystemInfo.ini", std::ios::binary) << system;
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        folder = CopyOfDemoGame(std::string("start-up-") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    }
    void TearDown() override {
        if (!folder.empty() && !HasFailure()) fs::remove_all(folder);
    }
    std::string Shot(const std::string& name) const { return (folder / name).string(); }

    fs::path folder;
};

// The title starts 600 ms after the window: until then the screen is the
// game's own colour, written red-green-blue in its settings. Each shot is
// followed by a state line, so a machine too busy to take the later shot
// within those 600 ms shows as a title already begun, not as a wrong colour.
TEST_F(StartUp, TheGamesInitialScreenColourShowsBeforeTheTitle) {
    SetSystemValue(folder, "InitialScreenColor", "&hFF0000");
    const PlayerRun run =
        RunScript(folder, "shot " + Shot("early.png") + "\nstate\nwait 230\nshot " +
                              Shot("later.png") + "\nstate\nquit\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 2u);
    ASSERT_EQ(Field(states[0], "mode"), "0") << "the first shot came after the title";
    for (size_t i = 0; i < 2; ++i) {
        const char* name = i == 0 ? "early.png" : "later.png";
        SCOPED_TRACE(name);
        if (Field(states[i], "mode") != "0") continue;
        const Rgb shot = LoadRgb(Shot(name));
        ASSERT_EQ(shot.w, 640);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{320, 240}, std::pair{639, 479}}) {
            const std::uint8_t* pixel = shot.At(x, y);
            EXPECT_EQ(pixel[0], 255) << x << "," << y;
            EXPECT_EQ(pixel[1], 0) << x << "," << y;
            EXPECT_EQ(pixel[2], 0) << x << "," << y;
        }
    }
}

// An X server with no window manager, for as long as the test runs; none
// when the machine has no Xvfb.
class BareXServer {
public:
    BareXServer() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        mNumber = 200 + getpid() % 500;
        mServer = fork();
        if (mServer == 0) {
            const std::string display = ":" + std::to_string(mNumber);
            execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24",
                  "-nolisten", "tcp", nullptr);
            _exit(127);
        }
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(mNumber);
        for (int i = 0; i < 500 && access(socket.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (access(socket.c_str(), F_OK) != 0) Stop();
    }
    ~BareXServer() { Stop(); }
    bool Up() const { return mServer > 0; }
    std::string Display() const { return ":" + std::to_string(mNumber); }

private:
    void Stop() {
        if (mServer > 0) {
            kill(mServer, SIGTERM);
            waitpid(mServer, nullptr, 0);
        }
        mServer = -1;
    }
    int mNumber = 0;
    pid_t mServer = -1;
};

// What the display shows, as RGB rows.
Rgb GrabDisplay(const std::string& name) {
    Rgb grab;
    // libX11 as SDL itself loads it: the tests link no X library.
    void* library = SDL_LoadObject("libX11.so.6");
    if (!library) return grab;
    auto open =
        reinterpret_cast<::Display* (*)(const char*)>(SDL_LoadFunction(library, "XOpenDisplay"));
    auto close = reinterpret_cast<int (*)(::Display*)>(SDL_LoadFunction(library, "XCloseDisplay"));
    auto root =
        reinterpret_cast<Window (*)(::Display*)>(SDL_LoadFunction(library, "XDefaultRootWindow"));
    auto image =
        reinterpret_cast<XImage* (*)(::Display*, Drawable, int, int, unsigned, unsigned,
                                     unsigned long, int)>(SDL_LoadFunction(library, "XGetImage"));
    ::Display* display = open && close && root && image ? open(name.c_str()) : nullptr;
    if (!display) return grab;
    if (XImage* picture = image(display, root(display), 0, 0, 1280, 1024, AllPlanes, ZPixmap)) {
        grab.w = 1280;
        grab.h = 1024;
        grab.pixels.resize(size_t(grab.w) * grab.h * 3);
        for (int y = 0; y < grab.h; ++y) {
            for (int x = 0; x < grab.w; ++x) {
                const unsigned long pixel = XGetPixel(picture, x, y);
                std::uint8_t* out = &grab.pixels[(size_t(y) * grab.w + x) * 3];
                out[0] = static_cast<std::uint8_t>(pixel >> 16);
                out[1] = static_cast<std::uint8_t>(pixel >> 8);
                out[2] = static_cast<std::uint8_t>(pixel);
            }
        }
        XDestroyImage(picture);
    }
    close(display);
    return grab;
}

// A kiosk or a bare X server: nobody carries out the request for the whole
// screen. The picture still fills the display, scaled, and `shotwin` shows
// what the display shows.
TEST_F(StartUp, FullScreenWithoutAWindowManagerFillsTheDisplay) {
    BareXServer server;
    if (!server.Up()) GTEST_SKIP() << "no Xvfb here";
    Conversation player(folder, {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", server.Display()}});
    ASSERT_EQ(player.Say("idle").back(), "ok");
    ASSERT_EQ(player.Say("menu screen!full").back(), "ok");
    ASSERT_EQ(player.Say("wait 500").back(), "ok");
    ASSERT_EQ(player.Say("idle").back(), "ok");
    ASSERT_EQ(player.Say("shotwin " + Shot("full.png")).back(), "ok");
    const Rgb display = GrabDisplay(server.Display());
    ASSERT_EQ(player.Say("quit").back(), "ok");
    player.Wait();
    const Rgb shot = LoadRgb(Shot("full.png"));
    ASSERT_EQ(display.w, 1280);
    ASSERT_EQ(shot.w, 1280);
    ASSERT_EQ(shot.h, 1024);
    // The 4:3 picture fills the width: black bands above and below it only.
    EXPECT_EQ(shot.At(640, 10)[0] + shot.At(640, 10)[1] + shot.At(640, 10)[2], 0);
    EXPECT_GT(shot.At(10, 512)[0] + shot.At(10, 512)[1] + shot.At(10, 512)[2], 0);
    EXPECT_GT(shot.At(1270, 980)[0] + shot.At(1270, 980)[1] + shot.At(1270, 980)[2], 0);
    int differing = 0;
    for (int y = 0; y < 1024; y += 16) {
        for (int x = 0; x < 1280; x += 16) {
            for (int c = 0; c < 3; ++c)
                differing += shot.At(x, y)[c] != display.At(x, y)[c];
        }
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace zelk::testing
