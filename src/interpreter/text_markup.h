// TextMarkup: compiles the escapes of story text ("\n", "\pause(500)",
// "\v(a01_001)"...) into the text marks the film engine's text films print,
// and collects what the escapes ask of the page: where it breaks, whether it
// waits for a click, which voice it plays. One pass, no allocation beyond
// the output, since a reader's skip compiles every page it passes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// The style a text is compiled for: the graphics driver's base film set,
// or the page log. Every number is a set a page may be shown under (the
// title and the other screens use 1); only these have rules of their own.
enum MarkupStyle : long {
    kMarkupLog = 0,
    kMarkupWindow = 2,
    kMarkupNovel = 3,
};

// What the escapes reach outside the text.
class MarkupHost {
public:
    virtual ~MarkupHost() = default;
    // "\speed": the text window's typing delay, set at once.
    virtual void TextSpeedSetting(long speed) = 0;
    // "\np" in the window style: the name plate's row.
    virtual void WindowNameFlip(long plate) = 0;
    // "\np" in the other styles: the plate's name as text.
    virtual std::string NameplateText(long plate) = 0;
    // "\c": the character's colour as the configuration stores it
    // (blue-green-red); none for an unknown character or when original text
    // colours are off.
    virtual std::optional<long> CharacterTextColor(const std::string& cid) = 0;
    // Whether the film engine reads the game's text as UTF-8. There the
    // story's own letters A to T would read as the engine's marks, so the
    // compiled text escapes them (EscapeEngineText).
    virtual bool EngineReadsUtf8() { return false; }
};

// Story characters as UTF-8 engine text: an ESC before every byte the engine
// would read as a mark (the letters A to T, LF) and before ESC itself.
std::string EscapeEngineText(std::string_view text);
// The text with those escapes taken out again: what the reader sees.
std::string UnescapeEngineText(std::string_view text);

struct CompiledText {
    std::string text;
    // The part after "\w", shown on the next click; empty when none.
    std::string rest;
    // False when the page runs on without a click ("\nowait").
    bool click = true;
    // The voice to play; for the log, every voice of the page joined by ",".
    std::string voice;
    // The plain text's name plate ("\np"); empty when none.
    std::string nameplate;
};

// The characters alone, for the clipboard and the speech service: no marks,
// the name plate apart. Kept apart from the styles, since a film set may
// carry any number.
CompiledText CompilePlainText(std::string_view source, MarkupHost& host);

// A page as the reader's tools get it: the plain text, after its name plate
// in 【】 when it has one (a plate written with them keeps its own).
std::string PlainPageText(std::string_view source, MarkupHost& host);

struct MarkupScale {
    // Screen pixels per script unit, across and down.
    double x = 1.0;
    double y = 1.0;
};

CompiledText CompileMarkup(std::string_view source, MarkupStyle style, const MarkupScale& scale,
                           MarkupHost& host);

}  // namespace zelk
