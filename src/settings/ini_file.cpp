#include "settings/ini_file.h"

#include "common/text.h"
#include "settings/ini_io.h"
#include "settings/key_trace.h"

namespace zelk {

INIFile::INIFile() {
    Text(std::string());
}

INIFile::INIFile(const INIFile& other)
    : mPath(other.mPath), mEncoding(other.mEncoding), mTraceFile(other.mTraceFile) {
    for (const auto& section : other.mSections)
        Append(std::make_unique<INISection>(*section));
}

INIFile& INIFile::operator=(const INIFile& other) {
    if (this != &other) *this = INIFile(other);
    return *this;
}

void INIFile::Append(std::unique_ptr<INISection> section) {
    section->TraceFile(mTraceFile);
    mRegistry.try_emplace(ToLowerAscii(section->Name()), section.get());
    mSections.push_back(std::move(section));
}

std::string INIFile::Text() const {
    std::string text;
    const std::size_t n = mSections.size();
    for (std::size_t k = 0; k < n; ++k) {
        const INISection& section = *mSections[k];
        const std::string body = section.Text();
        text += section.NameFullText();
        if (k > 0 && (k < n - 1 || !body.empty())) text += "\r\n";
        text += body;
        if (k < n - 1 && !body.empty()) text += "\r\n";
    }
    return text;
}

void INIFile::Text(const std::string& text) {
    mSections.clear();
    mRegistry.clear();
    auto current = std::make_unique<INISection>();
    // A final line end ends the last line; it does not begin another, so the
    // text reads back without it.
    std::string_view content = text;
    if (content.ends_with("\r\n")) content.remove_suffix(2);
    if (content.empty()) {
        Append(std::move(current));
        return;
    }
    // The appended line end makes the last element always empty; it only
    // marks the end and is never stored.
    const std::vector<std::string> elements = SplitText(std::string(content) + "\r\n", "\r\n");
    std::size_t start = 0;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const bool last = i + 1 == elements.size();
        INISection header;
        const bool isHeader = !last && header.NameFullText(elements[i]) && !header.Name().empty();
        if (!isHeader && !last) continue;
        std::string body;
        for (std::size_t j = start; j < i; ++j) {
            if (j > start) body += "\r\n";
            body += elements[j];
        }
        // A body of lines joined is split back at the same places, except
        // that one empty line and no line are the same empty body.
        current->Text(body);
        Append(std::move(current));
        current = std::make_unique<INISection>(std::move(header));
        start = i + 1;
    }
}

INISection& INIFile::KeySection(const std::string& name) {
    if (!mTraceFile.empty()) TraceKeyRead(mTraceFile, name, "");
    const auto found = mRegistry.find(ToLowerAscii(name));
    if (found != mRegistry.end()) return *found->second;
    auto section = std::make_unique<INISection>();
    section->NameFullText("[" + name + "]");
    section->TraceFile(mTraceFile);
    INISection& added = *section;
    mSections.push_back(std::move(section));
    mRegistry.emplace(ToLowerAscii(name), &added);
    return added;
}

void INIFile::KeySection(const std::string& name, const INISection& section) {
    KeySection(name).Text(section.Text());
}

bool INIFile::KeyExists(const std::string& name) const {
    if (!mTraceFile.empty()) TraceKeyRead(mTraceFile, name, "");
    return mRegistry.contains(ToLowerAscii(name));
}

const INISection* INIFile::FindSection(const std::string& name) const {
    if (!mTraceFile.empty()) TraceKeyRead(mTraceFile, name, "");
    const auto found = mRegistry.find(ToLowerAscii(name));
    return found == mRegistry.end() ? nullptr : found->second;
}

bool INIFile::Load(const std::string& path) {
    std::string text;
    if (!ReadTextFile(path, text, mEncoding)) return false;
    Text(text);
    mPath = path;
    return true;
}

bool INIFile::Save(const std::string& path) {
    const std::string target = path.empty() ? mPath : path;
    if (target.empty() || !WriteTextFile(target, Text(), mEncoding)) return false;
    mPath = target;
    return true;
}

void INIFile::TraceFile(const std::string& file) {
    mTraceFile = file;
    for (const auto& section : mSections)
        section->TraceFile(file);
}

void INIFile::Optimize() {
    for (const auto& section : mSections)
        section->Optimize();
}

}  // namespace zelk
