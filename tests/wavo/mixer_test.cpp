// The mixer and its sound buffers, driven by hand: formats, looping,
// notifications, volume and pan, saturation, locking a region.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "mixer.h"

namespace wavo {
namespace {

constexpr uint32_t kRate = 44100;

// Fills the whole buffer with one 16-bit stereo frame value.
void FillConstant(SoundBuffer& buffer, int16_t left, int16_t right) {
    auto region = buffer.Lock(0, buffer.Size());
    ASSERT_TRUE(region);
    for (size_t i = 0; i + 4 <= region->first.size(); i += 4) {
        std::memcpy(&region->first[i], &left, 2);
        std::memcpy(&region->first[i + 2], &right, 2);
    }
    ASSERT_TRUE(buffer.Unlock());
}

std::vector<float> MixFrames(Mixer& mixer, int frames) {
    std::vector<float> out(frames * 2);
    mixer.Mix(out.data(), frames);
    return out;
}

TEST(Mixer, RefusesFormatsItCannotPlay) {
    Mixer mixer(kRate);
    EXPECT_EQ(mixer.CreateBuffer({3, kRate, 16}, 600), nullptr);
    EXPECT_EQ(mixer.CreateBuffer({2, kRate, 24}, 600), nullptr);
    EXPECT_EQ(mixer.CreateBuffer({2, 0, 16}, 600), nullptr);
    EXPECT_EQ(mixer.CreateBuffer({2, kRate, 16}, 6), nullptr) << "not whole frames";
    EXPECT_EQ(mixer.CreateBuffer({2, kRate, 16}, 0), nullptr);
    EXPECT_NE(mixer.CreateBuffer({1, 8000, 8}, 800), nullptr);
}

TEST(Mixer, NothingPlayingGivesSilence) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 4000);
    FillConstant(*buffer, 10000, 10000);
    for (float sample : MixFrames(mixer, 256))
        EXPECT_EQ(sample, 0.0f);
}

TEST(Mixer, SixteenBitStereoPassesAtFullVolume) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 4000);
    FillConstant(*buffer, 16384, -8192);
    buffer->Play(true);
    const auto out = MixFrames(mixer, 100);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], -0.25f);
    EXPECT_EQ(buffer->PlayPosition(), 400u);
}

TEST(Mixer, EightBitMonoIsCentredOn128AndFeedsBothSides) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({1, kRate, 8}, 100);
    auto region = buffer->Lock(0, 100);
    std::memset(region->first.data(), 192, 100);
    buffer->Unlock();
    buffer->Play(true);
    const auto out = MixFrames(mixer, 10);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
}

TEST(Mixer, AOnceBufferStopsAtItsEndAndALoopingOneWraps) {
    Mixer mixer(kRate);
    auto once = mixer.CreateBuffer({2, kRate, 16}, 400);  // 100 frames
    FillConstant(*once, 1000, 1000);
    once->Play(false);
    const auto out = MixFrames(mixer, 150);
    EXPECT_NE(out[2 * 99], 0.0f);
    EXPECT_EQ(out[2 * 100], 0.0f);
    EXPECT_FALSE(once->IsPlaying());

    auto loop = mixer.CreateBuffer({2, kRate, 16}, 400);
    FillConstant(*loop, 1000, 1000);
    loop->Play(true);
    MixFrames(mixer, 150);
    EXPECT_TRUE(loop->IsPlaying());
    EXPECT_EQ(loop->PlayPosition(), 50u * 4);
}

TEST(Mixer, NotificationsSignalAtTheStartTheMiddleAndTheWrap) {
    Mixer mixer(kRate);
    int wakes = 0;
    mixer.SetWakeHandler([&] { ++wakes; });
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 800);  // 200 frames
    NotifyEvent event;
    const uint32_t positions[] = {0, 400};
    ASSERT_TRUE(buffer->SetNotifications(positions, &event));
    buffer->Play(true);
    EXPECT_TRUE(event.IsSet()) << "play starts on offset 0";
    event.Reset();
    MixFrames(mixer, 99);
    EXPECT_FALSE(event.IsSet());
    MixFrames(mixer, 1);
    EXPECT_TRUE(event.IsSet()) << "the middle";
    event.Reset();
    MixFrames(mixer, 100);
    EXPECT_TRUE(event.IsSet()) << "back at offset 0";
    EXPECT_EQ(wakes, 3);
}

TEST(Mixer, AStopPositionEndsPlayThereAndSignals) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 800);  // 200 frames
    NotifyEvent event;
    const uint32_t positions[] = {0};
    ASSERT_TRUE(buffer->SetNotifications(positions, &event));
    FillConstant(*buffer, 1000, 1000);
    buffer->Play(true);
    event.Reset();
    buffer->StopAt(120);  // frame 30
    const auto out = MixFrames(mixer, 50);
    EXPECT_NE(out[2 * 29], 0.0f);
    EXPECT_EQ(out[2 * 30], 0.0f);
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_TRUE(event.IsSet());
    EXPECT_EQ(buffer->PlayPosition(), 120u);
    // A new start forgets it.
    buffer->SetPlayPosition(0);
    buffer->Play(true);
    MixFrames(mixer, 50);
    EXPECT_TRUE(buffer->IsPlaying());
}

TEST(Mixer, NotificationsOutsideTheBufferAreRefused) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 800);
    NotifyEvent event;
    const uint32_t positions[] = {800};
    EXPECT_FALSE(buffer->SetNotifications(positions, &event));
}

TEST(Mixer, VolumeIsInHundredthsOfADecibel) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 4000);
    FillConstant(*buffer, 16384, 16384);
    buffer->Play(true);
    ASSERT_TRUE(buffer->SetVolume(-600));
    auto out = MixFrames(mixer, 10);
    EXPECT_NEAR(out[0], 0.5 * std::pow(10.0, -0.3), 1e-6);
    ASSERT_TRUE(buffer->SetVolume(kVolumeSilent));
    out = MixFrames(mixer, 10);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_FALSE(buffer->SetVolume(1));
    EXPECT_FALSE(buffer->SetVolume(-10001));
    EXPECT_EQ(buffer->Volume(), kVolumeSilent);
}

TEST(Mixer, PanAttenuatesTheFarSideOnly) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 4000);
    FillConstant(*buffer, 16384, 16384);
    buffer->Play(true);
    ASSERT_TRUE(buffer->SetPan(-2000));
    auto out = MixFrames(mixer, 10);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_NEAR(out[1], 0.05, 1e-6);
    ASSERT_TRUE(buffer->SetPan(kPanRight));
    out = MixFrames(mixer, 10);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    EXPECT_FALSE(buffer->SetPan(10001));
}

TEST(Mixer, AnOverloadedSumSaturates) {
    Mixer mixer(kRate);
    auto a = mixer.CreateBuffer({2, kRate, 16}, 4000);
    auto b = mixer.CreateBuffer({2, kRate, 16}, 4000);
    FillConstant(*a, 30000, -30000);
    FillConstant(*b, 30000, -30000);
    a->Play(true);
    b->Play(true);
    const auto out = MixFrames(mixer, 10);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], -1.0f);
}

TEST(Mixer, ALockedRegionReachesTheBufferOnlyAtUnlock) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 400);
    auto region = buffer->Lock(300, 200);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->first.size(), 100u);
    EXPECT_EQ(region->second.size(), 100u) << "the region wraps";
    EXPECT_FALSE(buffer->Lock(0, 4)) << "one lock at a time";
    std::memset(region->first.data(), 0x40, 100);
    std::memset(region->second.data(), 0x40, 100);
    buffer->Play(true);
    EXPECT_EQ(MixFrames(mixer, 1)[0], 0.0f) << "not yet unlocked";
    ASSERT_TRUE(buffer->Unlock());
    EXPECT_NE(MixFrames(mixer, 1)[0], 0.0f) << "frame 1 lies in the wrapped part";
    EXPECT_FALSE(buffer->Unlock());
    EXPECT_FALSE(buffer->Lock(400, 4));
    EXPECT_FALSE(buffer->Lock(0, 401));
}

TEST(Mixer, ABufferLeavesTheMixWhenDestroyed) {
    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, kRate, 16}, 400);
    FillConstant(*buffer, 10000, 10000);
    buffer->Play(true);
    buffer.reset();
    for (float sample : MixFrames(mixer, 10))
        EXPECT_EQ(sample, 0.0f);
}

// Two buffers of one rate share one converter: what comes out is the sum of
// what each gives alone, with their own volumes and pans, and a start after
// the rate has fallen silent sounds as the very first one did.
TEST(Mixer, BuffersOfAnotherRateAreConvertedTogetherAsTheirSum) {
    const auto mixAlone = [](bool first, bool second) {
        Mixer mixer(kRate);
        auto a = mixer.CreateBuffer({2, 22050, 16}, 22050 * 4);
        auto b = mixer.CreateBuffer({1, 22050, 8}, 22050);
        FillConstant(*a, 8000, -4000);
        auto region = b->Lock(0, b->Size());
        for (size_t i = 0; i < region->first.size(); ++i)
            region->first[i] = static_cast<uint8_t>(128 + 60 * ((i / 25) % 2 ? 1 : -1));
        b->Unlock();
        a->SetVolume(-600);
        b->SetPan(-3000);
        if (first) a->Play(true);
        if (second) b->Play(true);
        return MixFrames(mixer, 4096);
    };
    const auto both = mixAlone(true, true);
    const auto onlyA = mixAlone(true, false);
    const auto onlyB = mixAlone(false, true);
    double largest = 0.0;
    for (size_t i = 0; i < both.size(); ++i) {
        EXPECT_NEAR(both[i], onlyA[i] + onlyB[i], 1e-5) << i;
        largest = std::max(largest, double(std::abs(both[i])));
    }
    EXPECT_GT(largest, 0.2);

    Mixer mixer(kRate);
    auto buffer = mixer.CreateBuffer({2, 22050, 16}, 22050 * 4);
    FillConstant(*buffer, 8000, 8000);
    buffer->Play(false);
    const auto firstStart = MixFrames(mixer, 256);
    buffer->Stop();
    MixFrames(mixer, 256);  // the rate falls silent
    buffer->SetPlayPosition(0);
    buffer->Play(false);
    const auto secondStart = MixFrames(mixer, 256);
    for (size_t i = 0; i < firstStart.size(); ++i)
        EXPECT_FLOAT_EQ(secondStart[i], firstStart[i]) << i;
}

}  // namespace
}  // namespace wavo
