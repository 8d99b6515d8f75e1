// A small host for the engine tests: starts and stops the engine, builds
// films, reads pixels and collects notifications.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "lumo.h"

namespace lumo_test {

inline int32_t filmProp(int32_t film, int32_t property) {
    int32_t value[2] = {-99, -99};
    EXPECT_EQ(GetFilmProp(film, property, value), 0) << std::hex << property;
    return value[0];
}

inline void setProp(int32_t film, int32_t property, int32_t a, int32_t b = 0) {
    const int32_t value[2] = {a, b};
    ASSERT_EQ(SetFilmProp(film, property, value), 0);
}

inline void call(int32_t film, int32_t method, int32_t argument = 0) {
    ASSERT_EQ(CallFilmMethod(film, method, &argument), 0);
}

inline LumoSurface* surfaceOf(int32_t film, int32_t property) {
    LumoSurface* surface = nullptr;
    EXPECT_EQ(GetFilmProp(film, property, &surface), 0);
    return surface;
}

// Blue, green, red of a colour pixel.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

inline Bgr pixel(int32_t film, int x, int y) {
    const LumoSurface* s = surfaceOf(film, FP_IMAGE_OBJECT);
    const uint8_t* p = s->pixels + y * s->stride + x * 3;
    return {p[0], p[1], p[2]};
}

inline int alphaAt(int32_t film, int x, int y) {
    const LumoSurface* s = surfaceOf(film, FP_ALPHA_OBJECT);
    return s->pixels[y * s->stride + x];
}

inline std::ostream& operator<<(std::ostream& out, const Bgr& p) {
    return out << "(b " << p.b << ", g " << p.g << ", r " << p.r << ")";
}

// A film with a picture of its own size at (x, y), filled with one colour.
inline int32_t makeFilm(int32_t type, int32_t parent, int x, int y, int w, int h,
                        uint32_t colour = 0) {
    const int32_t film = AddFilm(type);
    EXPECT_GE(film, 0);
    setProp(film, FP_POS, x, y);
    setProp(film, FP_SIZE, w, h);
    setProp(film, FP_IMAGE_SIZE, w, h);
    call(film, FM_FILL, static_cast<int32_t>(colour));
    if (parent >= 0) setProp(film, FP_PARENT, parent, 0);
    return film;
}

// Collects notifications; waits on them with a timeout.
class Notifications {
public:
    Notifications() {
        const LumoNotifyWindow window{&Notifications::receive, this};
        EXPECT_EQ(SetLumoSetting(LS_NOTIFY_WINDOW, &window), 0);
    }
    ~Notifications() { SetLumoSetting(LS_NOTIFY_WINDOW, nullptr); }

    struct Message {
        uint32_t message;
        int32_t wparam;
        int32_t lparam;
    };

    // True once `count` messages have arrived.
    bool waitFor(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock lock(mMutex);
        return mArrived.wait_for(lock, timeout, [&] { return mMessages.size() >= count; });
    }
    std::vector<Message> messages() {
        std::lock_guard lock(mMutex);
        return mMessages;
    }

private:
    static void receive(void* context, uint32_t message, int32_t wparam, int32_t lparam) {
        auto* self = static_cast<Notifications*>(context);
        std::lock_guard lock(self->mMutex);
        self->mMessages.push_back({message, wparam, lparam});
        self->mArrived.notify_all();
    }

    std::mutex mMutex;
    std::condition_variable mArrived;
    std::vector<Message> mMessages;
};

// The engine runs for each test. Frames come once a second, so that tests
// that advance actions by hand are not disturbed by the frame loop.
class LumoTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int32_t rate = 1;
        ASSERT_EQ(SetLumoSetting(LS_FRAME_RATE, &rate), 0);
        ASSERT_EQ(InitializeLumo(), 0);
    }
    void TearDown() override { EXPECT_EQ(TerminateLumo(), 0); }
};

}  // namespace lumo_test
