// A graphics driver on the real film engine with the demo game's pictures
// and "game_mode", presenting into a screen surface the test can read.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "platform/screen_surface.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk::testing {

inline std::string DemoDir() {
    return std::string(ZELK_SOURCE_DIR) + "/games/demo";
}

class LumoDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        ASSERT_TRUE(ReadTextFile(DemoDir() + "/game_mode.ini", text));
        mGameMode.Text(text);
        mScreen.OnPresented([this] {
            {
                std::lock_guard lock(mMutex);
                ++mPresents;
            }
            mCv.notify_all();
        });
        Make();
    }

    // A new driver (the old one's engine ends first); `adjust` changes the
    // hooks before it starts.
    void Make(const std::function<void(LumoDriverHooks&)>& adjust = {}) {
        mDriver.reset();
        LumoDriverHooks hooks;
        hooks.EvRects = &mRects;
        hooks.GamemodeInfo = &mGameMode;
        hooks.ImageDir = DemoDir() + "/image";
        hooks.CGFileMode = true;
        hooks.DebugLog = true;
        hooks.Log = [this](const std::string& line) { mLog.push_back(line); };
        hooks.ConfigBool = [](const std::string&) { return true; };
        if (adjust) adjust(hooks);
        mDriver = std::make_unique<clsLumoDriver>(std::move(hooks));
        ASSERT_TRUE(mDriver->Init());
        mDriver->ScreenDC(&mScreen);
    }

    // A live scene shows the last change once it is presented; a frozen one
    // presents nothing, so a short wait shows that nothing came.
    void Settle() {
        if (mDriver->DrawActivity()) {
            mDriver->WaitOnScreen();
            return;
        }
        ExeQueue();
        WaitBlt();
        std::unique_lock lock(mMutex);
        const unsigned long seen = mPresents;
        mCv.wait_for(lock, std::chrono::milliseconds(300), [&] { return mPresents > seen; });
    }

    // Blue, green, red at a screen point.
    std::array<int, 3> Pixel(int x, int y) {
        std::lock_guard lock(mScreen.Mutex());
        const std::uint8_t* p = mScreen.Pixels() + y * mScreen.Stride() + x * 3;
        return {p[0], p[1], p[2]};
    }

    std::vector<std::uint8_t> Snapshot() {
        std::lock_guard lock(mScreen.Mutex());
        return {mScreen.Pixels(), mScreen.Pixels() + mScreen.Stride() * mScreen.Height()};
    }

    bool Logged(const std::string& line) const {
        for (const std::string& l : mLog)
            if (l.find(line) != std::string::npos) return true;
        return false;
    }

    INIFile mGameMode;
    clsEventRects mRects;
    ScreenSurface mScreen{640, 480};
    std::vector<std::string> mLog;
    std::unique_ptr<clsLumoDriver> mDriver;
    std::mutex mMutex;
    std::condition_variable mCv;
    unsigned long mPresents = 0;
};

}  // namespace zelk::testing
