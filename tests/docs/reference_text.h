// The authors' reference as the tests read it: the Markdown files in docs/,
// their headings and the names written between backticks under them.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace zelk::testing {

// The whole text of docs/<name>; empty when it cannot be read.
std::string ReadReference(const std::string& name);

// The names between backticks in a piece of Markdown, in order.
std::vector<std::string> CodeSpans(const std::string& text);

// Whether some heading (a line that starts with "#") holds `word` as one of
// its code spans, letters compared without regard to case.
bool HasHeadingFor(const std::string& text, const std::string& word);

// A name as the reference writes it, as a pattern: "<name>" stands for any
// text and any other "<...>" for a number, so that `Item:<n>` covers
// "Item:0", "Item:1"...; letters match without regard to case.
std::regex NamePattern(const std::string& written);

// The system files' reference: for each file heading ("## `SystemInfo.ini`")
// its section headings ("### `[Game]`", several on one heading allowed) and
// the code spans written under each (a span "Key=value" counts as "Key").
struct DocumentedSection {
    std::vector<std::string> names;  // as written, without the brackets
    std::vector<std::string> keys;
};
struct DocumentedFile {
    std::string name;  // without ".ini"
    std::vector<DocumentedSection> sections;
};
std::vector<DocumentedFile> DocumentedFiles(const std::string& text);

// Whether the reference documents the key of that section of that file; an
// empty key asks for the section alone.
bool Documents(const std::vector<DocumentedFile>& files, const std::string& file,
               const std::string& section, const std::string& key);

}  // namespace zelk::testing
