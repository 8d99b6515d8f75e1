// Speech: the desktop's speech service as the player uses it for
// self-voicing. One thing is said at a time: whatever is said next cancels
// what is still being said or waiting to be said.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace zelk {

class Speech {
public:
    virtual ~Speech() = default;
    // Whether the service answers. The first call (and, while it does not
    // answer, a call some seconds after the last try) connects, which may
    // take a moment.
    virtual bool Available() = 0;
    // Why it is not available, in the reader's language; empty when it is.
    virtual std::string Problem() const = 0;
    // Cancels what is being said and says the text in `language` (a BCP 47
    // tag; empty: the service's own default) once `delay` has passed (a
    // cancelled delay says nothing). Nothing happens while the service is
    // not available.
    virtual void Say(const std::string& text, const std::string& language,
                     std::chrono::milliseconds delay = std::chrono::milliseconds(0)) = 0;
    virtual void Cancel() = 0;
};

// Speech Dispatcher, reached through libspeechd, which is opened on the
// first connection so that a player that never speaks never loads it. The
// service is never started by the player: only a running one is used.
std::unique_ptr<Speech> MakeSpeechDispatcher(const std::string& clientName);

// Every text Problem() can give, so that a window can have their glyphs at
// hand before a tooltip shows one.
std::string SpeechProblemTexts();

}  // namespace zelk
