#include "docs/reference_text.h"

#include <fstream>
#include <sstream>

#include "common/text.h"

namespace zelk::testing {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The heading's level (number of leading "#"), 0 for any other line.
std::size_t HeadingLevel(const std::string& line) {
    std::size_t level = 0;
    while (level < line.size() && line[level] == '#')
        ++level;
    return level < line.size() && line[level] == ' ' ? level : 0;
}

bool Matches(const std::string& written, const std::string& name) {
    return std::regex_match(name, NamePattern(written));
}

}  // namespace

std::string ReadReference(const std::string& name) {
    std::ifstream in(std::string(ZELK_SOURCE_DIR) + "/docs/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> CodeSpans(const std::string& text) {
    std::vector<std::string> spans;
    std::size_t at = 0;
    while (true) {
        const std::size_t open = text.find('`', at);
        if (open == std::string::npos) break;
        const std::size_t close = text.find('`', open + 1);
        if (close == std::string::npos) break;
        spans.push_back(text.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return spans;
}

bool HasHeadingFor(const std::string& text, const std::string& word) {
    for (const std::string& line : Lines(text)) {
        if (HeadingLevel(line) == 0) continue;
        for (const std::string& span : CodeSpans(line))
            if (EqualsNoCase(span, word)) return true;
    }
    return false;
}

std::regex NamePattern(const std::string& written) {
    std::string pattern;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        const std::size_t close = c == '<' ? written.find('>', i) : std::string::npos;
        if (close != std::string::npos && close > i + 1) {
            pattern += written.compare(i, close - i + 1, "<name>") == 0 ? ".+" : "[0-9]+";
            i = close;
        } else if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) {
            pattern += '\\';
            pattern += c;
        } else {
            pattern += c;
        }
    }
    return std::regex(pattern, std::regex::icase);
}

std::vector<DocumentedFile> DocumentedFiles(const std::string& text) {
    std::vector<DocumentedFile> files;
    DocumentedSection* section = nullptr;
    for (const std::string& line : Lines(text)) {
        const std::size_t level = HeadingLevel(line);
        if (level == 1 || level == 2) {
            section = nullptr;
            for (const std::string& span : CodeSpans(line)) {
                if (span.size() > 4 && EqualsNoCase(span.substr(span.size() - 4), ".ini")) {
                    files.push_back({span.substr(0, span.size() - 4), {}});
                    break;
                }
            }
            continue;
        }
        if (level >= 3 && !files.empty()) {
            DocumentedSection found;
            for (const std::string& span : CodeSpans(line)) {
                if (span.size() > 2 && span.front() == '[' && span.back() == ']')
                    found.names.push_back(span.substr(1, span.size() - 2));
            }
            if (!found.names.empty()) {
                files.back().sections.push_back(std::move(found));
                section = &files.back().sections.back();
                continue;
            }
        }
        if (section == nullptr) continue;
        for (std::string span : CodeSpans(line)) {
            const std::size_t equal = span.find('=');
            if (equal != std::string::npos && equal > 0) span.erase(equal);
            section->keys.push_back(span);
        }
    }
    return files;
}

bool Documents(const std::vector<DocumentedFile>& files, const std::string& file,
               const std::string& section, const std::string& key) {
    for (const DocumentedFile& documented : files) {
        if (!EqualsNoCase(documented.name, file)) continue;
        for (const DocumentedSection& part : documented.sections) {
            bool named = false;
            for (const std::string& name : part.names)
                named = named || Matches(name, section);
            if (!named) continue;
            if (key.empty()) return true;
            for (const std::string& written : part.keys)
                if (Matches(written, key)) return true;
        }
    }
    return false;
}

}  // namespace zelk::testing
