// ReaderAids: what the reader may have copied to the clipboard or read
// aloud, each by its own setting of the reader's: the pages and choices of
// the story, the names of the screens that open and the captions the keys
// move to. The parts that know the text call it; it knows the settings.
#pragma once

#include <memory>
#include <string>

#include "platform/clipboard.h"
#include "platform/speech.h"

namespace zelk {

class Configuration;

// The reader's settings of the aids (config.ini, section [Config]).
inline constexpr const char* kTextToClipboardKey = "TextToClipboard";
inline constexpr const char* kSelfVoicingKey = "SelfVoicing";

class ReaderAids {
public:
    ReaderAids(Configuration& cfg, std::unique_ptr<Speech> speech,
               std::unique_ptr<Clipboard> clipboard);

    // A page's plain text once it is shown: copied, and said after the
    // character's voice of `voiceMs` milliseconds.
    void Page(const std::string& text, long voiceMs);
    // The items of a choice that opens, one a line.
    void Choices(const std::string& items);
    // A screen's name, a button's caption: said only.
    void Announce(const std::string& words);
    // The language the game's text is written in (a BCP 47 tag), which the
    // pages are read in; empty when the game declares none, and then each
    // text's script tells it where the script has one main language.
    void GameLanguage(const std::string& tag) { mGameLanguage = tag; }
    // Stops what is being said.
    void Silence();

    bool ClipboardOn() const;
    bool VoiceOn() const;
    // Whether the speech service answers (see Speech::Available), and why
    // not.
    bool VoiceAvailable();
    std::string VoiceProblem() const;

private:
    Configuration& mCfg;
    std::string mGameLanguage;
    std::unique_ptr<Speech> mSpeech;
    std::unique_ptr<Clipboard> mClipboard;
};

// The language a text's letters are most written in, where their script has
// one: kana "ja", Hangul "ko", Arabic "ar", Hebrew "he", Thai "th", Greek
// "el". Empty for the rest (Latin, Cyrillic, Han alone and others name no
// one language) and for a text without letters.
std::string LanguageOfScript(const std::string& text);

}  // namespace zelk
