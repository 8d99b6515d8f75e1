// One section of an INI text: its header line and its body lines. Every line
// keeps its text as read and is split into parts only when a caller asks for
// a key, so a line nobody changed is written back byte for byte.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zelk {

class INISection {
public:
    // What of a line is valid: its raw text, its parts, or both.
    enum class LineState { TextOnly = 0, ParsedOnly = 1, Both = 2 };

    INISection();

    // [SECTION] Header
    // `Name` is the text between the brackets without surrounding blanks;
    // writing it changes nothing else.
    const std::string& Name() const { return mNameContent; }
    void Name(const std::string& name) { mNameContent = name; }
    std::string NameFullText() const { return mNamePrefix + mNameContent + mNameSuffix; }
    // Parses a header line; returns whether it was one. A line that is not a
    // header leaves all three parts empty.
    bool NameFullText(const std::string& line);
    const std::string& NamePrefix() const { return mNamePrefix; }
    const std::string& NameContent() const { return mNameContent; }
    const std::string& NameSuffix() const { return mNameSuffix; }

    // [SECTION] Body
    // The body: lines joined with CR LF, nothing after the last one. Writing
    // splits at CR LF only; a lone CR or LF stays inside its line.
    std::string Text() const;
    void Text(const std::string& text);
    int Count() const { return static_cast<int>(mLines.size()); }

    // [SECTION] Keys (compared without regard to ASCII case)
    std::string KeyValue(const std::string& key) const;
    // Sets the value of the first line with the key, or appends key=value.
    void KeyValue(const std::string& key, const std::string& value);
    int KeyIndex(const std::string& key) const;
    bool KeyExists(const std::string& key) const { return KeyIndex(key) >= 0; }
    void UpdateIndex();
    void ParseAllLines();

    // [SECTION] Lines by index
    // Writers take -1 for "append"; an index past the end grows the body with
    // empty lines. Readers give an empty text for a bad index.
    bool LineExists(int index) const { return index >= 0 && index < Count(); }
    std::string LineText(int index) const;
    void LineText(int index, const std::string& text);
    std::string LineKey(int index) const;
    void LineKey(int index, const std::string& key);
    std::string LineValue(int index) const;
    void LineValue(int index, const std::string& value);
    void LineRemove(int index);
    LineState LineCondition(int index) const;

    // [SECTION] Maintenance and diagnostics
    // Keeps only key lines, as Key=Value, and a plain "[Name]" header.
    void Optimize();
    std::string DebugCondition() const;
    std::string DebugNameAry() const;

    // [SECTION] Key tracing
    // The system file this section was read from, while key tracing is on
    // (settings/key_trace.h): its key lookups are then recorded.
    const std::string& TraceFile() const { return mTraceFile; }
    void TraceFile(const std::string& file) { mTraceFile = file; }

private:
    struct Line {
        std::string text;
        std::string indent, key, equal, value, comment;
        LineState state = LineState::Both;
    };

    // Lines are parsed and rebuilt lazily, from const readers too: the parts
    // and the key index are caches of the text, not state of their own.
    static void Parse(Line& line);
    static void Rebuild(Line& line);
    Line& Parsed(int index) const;
    Line& LineForWrite(int index);
    void DropIndex() const { mIndex.reset(); }
    const std::unordered_map<std::string, int>& Index() const;

    std::string mNamePrefix, mNameContent, mNameSuffix;
    std::string mTraceFile;
    mutable std::vector<Line> mLines;
    // Lower-cased key -> index of its first line; absent until first needed.
    mutable std::optional<std::unordered_map<std::string, int>> mIndex;
};

}  // namespace zelk
