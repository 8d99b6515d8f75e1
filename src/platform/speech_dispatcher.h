// The speech service's client as the dispatcher's worker uses it: one
// connection, opened and closed by the dispatcher. libspeechd's is made by
// MakeSpeechDispatcher(clientName); a test gives its own.
#pragma once

#include <memory>
#include <string>

#include "platform/speech.h"

namespace zelk {

class SpeechClient {
public:
    enum class Opened { kConnected, kNoLibrary, kNoService };

    virtual ~SpeechClient() = default;
    virtual Opened Open(const std::string& clientName) = 0;
    virtual void Close() = 0;
    // False when the service did not take the call.
    virtual bool Say(const std::string& text) = 0;
    virtual bool Cancel() = 0;
    virtual bool SetLanguage(const std::string& language) = 0;
    // The language a new connection speaks in; empty when it is not told.
    virtual std::string Language() = 0;
};

std::unique_ptr<Speech> MakeSpeechDispatcher(const std::string& clientName,
                                             std::unique_ptr<SpeechClient> client);

}  // namespace zelk
