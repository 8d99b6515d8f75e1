// clsModeEnding: the staff roll. A background, a tall credits picture that
// scrolls up the screen in exactly the roll's duration, and an optional
// overlay whose four half-screen cells rise one after another. Clicks during
// the roll do not end it; once the time is over the next click (or the
// automatic one) returns to the game, which reads on after the ending; a
// right click ends it at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "modes/mode.h"

namespace zelk {

class clsModeEnding : public clsModeBase {
public:
    // Start arguments.
    static constexpr long kStaffRoll = 14;
    static constexpr long kNothing = 15;
    // The longest wait of the automatic click.
    static constexpr long kAutoClickLimit = 10000;

    using Clock = std::function<std::uint32_t()>;

    // `clock` gives milliseconds; the system's monotonic clock by default.
    explicit clsModeEnding(PlayerRoot& root, Clock clock = {});

    bool ModeStart(long eSub, const std::any& vParam) override;

    std::int32_t CreditsFilm() const { return mCreditsFilm; }
    std::int32_t OverlayFilm() const { return mOverlayFilm; }
    std::int32_t Duration() const { return mDuration; }

protected:
    void OnScreenCmd(long eEvent, clsEventRect* er) override;

private:
    void StartEnding(std::int32_t duration, const std::string& background,
                     const std::string& credits, const std::string& overlay);
    void FinishEnding();

    Clock mClock;
    std::int32_t mDuration = 0;
    std::int32_t mCreditsFilm = -1;
    std::int32_t mCreditsAction = -1;
    std::int32_t mOverlayFilm = -1;
    std::int32_t mOverlayAction = -1;
    std::uint32_t mStart = 0;
    bool mFinished = false;
};

}  // namespace zelk
