// A whole INI text: an ordered list of sections, the first always the
// nameless one holding the lines before the first header. Reading back the
// text of an unchanged file gives the text that was read, less a final line
// end.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/text_encoding.h"
#include "settings/ini_section.h"

namespace zelk {

class INIFile {
public:
    INIFile();
    INIFile(const INIFile& other);
    INIFile& operator=(const INIFile& other);
    INIFile(INIFile&&) noexcept = default;
    INIFile& operator=(INIFile&&) noexcept = default;
    ~INIFile() = default;

    // The whole text. Writing it replaces every section, so references to
    // the old sections end there.
    std::string Text() const;
    void Text(const std::string& text);
    void Clear() { Text(std::string()); }

    int Count() const { return static_cast<int>(mSections.size()); }
    const std::string& Path() const { return mPath; }
    void Path(const std::string& path) { mPath = path; }
    // The encoding the file's bytes are read and written in: its game's
    // (CP932 unless the game says UTF-8). Text set never depends on it.
    TextEncoding Encoding() const { return mEncoding; }
    void Encoding(TextEncoding encoding) { mEncoding = encoding; }

    // The first section of that name (without regard to ASCII case); a
    // missing one is appended as "[name]" and returned, so readers always
    // get a section. The reference stays valid until `Text` is written.
    INISection& KeySection(const std::string& name);
    // Copies the given section's body into the named one; its header stays.
    void KeySection(const std::string& name, const INISection& section);
    bool KeyExists(const std::string& name) const;
    // The registered section of that name, or null; never creates one.
    const INISection* FindSection(const std::string& name) const;

    // Every section in file order, duplicates included.
    const std::vector<std::unique_ptr<INISection>>& Sections() const { return mSections; }

    // Reads the file as plain text (in `Encoding`); false when it is
    // missing or unreadable. Saves `Text` to `path` (empty: `Path`).
    bool Load(const std::string& path);
    bool Save(const std::string& path = std::string());

    void Optimize();

    // The system file this is, while key tracing is on (settings/key_trace.h):
    // its sections, present and to come, record their lookups.
    void TraceFile(const std::string& file);

private:
    void Append(std::unique_ptr<INISection> section);

    std::string mPath;
    TextEncoding mEncoding;
    std::string mTraceFile;
    std::vector<std::unique_ptr<INISection>> mSections;
    // Lower-cased name -> first section of that name.
    std::unordered_map<std::string, INISection*> mRegistry;
};

}  // namespace zelk
