#include "manual_page.h"

#include <cctype>
#include <initializer_list>
#include <string_view>

namespace zelk::manual {

namespace {

// Pieces appended one by one: a chain that starts with a literal prepends
// into a temporary, which GCC 12 at -O3 misreads as an overlapping copy.
void Append(std::string& out, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts)
        out += part;
}

std::string Trimmed(const std::string& text) {
    size_t start = 0;
    size_t end = text.size();
    while (start < end && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(start, end - start);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// roff reads a backslash as an escape, a dash as a hyphen it may break at,
// and a line starting with a dot or an apostrophe as a request.
std::string Escaped(const std::string& text) {
    std::string out;
    if (!text.empty() && (text[0] == '.' || text[0] == '\'')) out += "\\&";
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

// Columns as a terminal counts them: a code point each, East Asian wide
// characters two.
size_t Columns(const std::string& text) {
    size_t columns = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;
        columns += byte >= 0xE3 && byte <= 0xEF ? 2 : 1;
    }
    return columns;
}

// Words filled into lines of at most `width` columns, each line after the
// first starting with `indent` spaces.
std::string Wrapped(const std::string& text, size_t width, size_t firstColumn, size_t indent) {
    std::string out;
    size_t column = firstColumn;
    bool lineEmpty = true;
    size_t start = 0;
    while (start < text.size()) {
        while (start < text.size() && text[start] == ' ')
            ++start;
        if (start >= text.size()) break;
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const size_t wordColumns = Columns(word);
        if (!lineEmpty && column + 1 + wordColumns > width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += wordColumns;
        lineEmpty = false;
        start = end;
    }
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += ' ';
        text += Trimmed(line);
    }
    return text;
}

std::string TitleCase(const std::string& heading) {
    std::string out;
    for (size_t i = 0; i < heading.size(); ++i) {
        const auto c = static_cast<unsigned char>(heading[i]);
        out += static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
    }
    return out;
}

}  // namespace

std::optional<Page> ParsePage(const std::string& text, std::string& error) {
    const std::vector<std::string> lines = Lines(text);
    Page page;
    auto fail = [&error](size_t number, const std::string& why) {
        error.clear();
        Append(error, {"line ", std::to_string(number + 1), ": ", why});
        return std::nullopt;
    };
    if (lines.empty()) return fail(0, "empty page: the first line is NAME SECTION SUMMARY");
    {
        const std::string& first = lines[0];
        const size_t nameEnd = first.find(' ');
        const size_t sectionEnd =
            nameEnd == std::string::npos ? std::string::npos : first.find(' ', nameEnd + 1);
        if (sectionEnd == std::string::npos)
            return fail(0, "the first line is NAME SECTION SUMMARY");
        page.name = first.substr(0, nameEnd);
        page.section = first.substr(nameEnd + 1, sectionEnd - nameEnd - 1);
        page.summary = Trimmed(first.substr(sectionEnd + 1));
        if (page.section.empty() || !std::isdigit(static_cast<unsigned char>(page.section[0])) ||
            page.summary.empty())
            return fail(0, "the first line is NAME SECTION SUMMARY");
    }
    Block* open = nullptr;  // the block that running text continues
    for (size_t number = 1; number < lines.size(); ++number) {
        const std::string& line = lines[number];
        if (StartsWith(line, "@ ")) {
            if (!page.sections.empty()) return fail(number, "a synopsis line after a heading");
            page.synopsis.push_back(Trimmed(line.substr(2)));
            continue;
        }
        if (StartsWith(line, "# ")) {
            Section section;
            section.heading = Trimmed(line.substr(2));
            const size_t size = section.heading.size();
            if (size > 0 && section.heading.back() == '!' &&
                (size == 1 || section.heading[size - 2] == ' ')) {
                section.inHelp = true;
                section.heading = Trimmed(section.heading.substr(0, size - 1));
            }
            if (section.heading.empty()) return fail(number, "a heading without words");
            page.sections.push_back(section);
            open = nullptr;
            continue;
        }
        if (Trimmed(line).empty()) {
            open = nullptr;
            continue;
        }
        if (page.sections.empty()) return fail(number, "text before the first heading");
        std::vector<Block>& blocks = page.sections.back().blocks;
        if (StartsWith(line, "* ")) {
            Block term;
            term.kind = Block::Kind::Term;
            term.term = Trimmed(line.substr(2));
            blocks.push_back(term);
            open = &blocks.back();
        } else if (line == "|" || StartsWith(line, "| ")) {
            const std::string shown = line.size() > 2 ? line.substr(2) : std::string();
            if (blocks.empty() || blocks.back().kind != Block::Kind::Literal) {
                blocks.push_back(Block{Block::Kind::Literal, {}, {}});
            }
            blocks.back().lines.push_back(shown);
            open = nullptr;
        } else if (open) {
            open->lines.push_back(line);
        } else {
            blocks.push_back(Block{Block::Kind::Paragraph, {}, {line}});
            open = &blocks.back();
        }
    }
    if (page.synopsis.empty()) return fail(1, "no synopsis (\"@ ...\" lines)");
    return page;
}

std::string RoffPage(const Page& page, const std::string& version, const std::string& date) {
    std::string upper;
    for (const char c : page.name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string manual = page.section == "6" ? "Games" : "User Commands";
    std::string out = ".\\\" Made by the build from " + page.name + "." + page.section +
                      ".manual; edit that file, not this one.\n";
    Append(out, {".TH ", Escaped(upper), " ", page.section, " \"", Escaped(date), "\" \"",
                 Escaped(page.name + " " + version), "\" \"", manual, "\"\n"});
    // File names and options read badly broken across lines.
    out += ".nh\n.ad l\n";
    Append(out, {".SH NAME\n", Escaped(page.name), " \\- ", Escaped(page.summary), "\n"});
    out += ".SH SYNOPSIS\n.nf\n";
    for (const std::string& line : page.synopsis) {
        const size_t space = line.find(' ');
        const std::string program = line.substr(0, space);
        Append(out, {"\\fB", Escaped(program), "\\fR"});
        if (space != std::string::npos) out += Escaped(line.substr(space));
        out += '\n';
    }
    out += ".fi\n";
    for (const Section& section : page.sections) {
        Append(out, {".SH ", Escaped(section.heading), "\n"});
        for (const Block& block : section.blocks) {
            switch (block.kind) {
                case Block::Kind::Paragraph:
                    out += ".PP\n";
                    for (const std::string& line : block.lines)
                        out += Escaped(Trimmed(line)) + "\n";
                    break;
                case Block::Kind::Term:
                    Append(out, {".TP\n\\fB", Escaped(block.term), "\\fR\n"});
                    for (const std::string& line : block.lines)
                        out += Escaped(Trimmed(line)) + "\n";
                    break;
                case Block::Kind::Literal:
                    out += ".PP\n.RS 4\n.nf\n";
                    for (const std::string& line : block.lines)
                        out += line.empty() ? std::string(".sp\n") : Escaped(line) + "\n";
                    out += ".fi\n.RE\n";
                    break;
            }
        }
    }
    return out;
}

std::string HelpText(const Page& page) {
    constexpr size_t kWidth = 79;
    constexpr size_t kTermColumn = 18;
    std::string out;
    for (size_t i = 0; i < page.synopsis.size(); ++i)
        out += (i == 0 ? "usage: " : "       ") + page.synopsis[i] + "\n";
    for (const Section& section : page.sections) {
        if (section.heading == "DESCRIPTION" && !section.blocks.empty() &&
            section.blocks.front().kind == Block::Kind::Paragraph) {
            out += Wrapped(Joined(section.blocks.front().lines), kWidth, 0, 0) + "\n";
        }
    }
    for (const Section& section : page.sections) {
        if (!section.inHelp) continue;
        Append(out, {"\n", TitleCase(section.heading), ":\n"});
        for (const Block& block : section.blocks) {
            std::string text = Joined(block.lines);
            if (block.kind == Block::Kind::Literal) {
                for (const std::string& line : block.lines)
                    out += "  " + line + "\n";
            } else if (block.kind == Block::Kind::Paragraph) {
                Append(out, {"  ", Wrapped(text, kWidth, 2, 2), "\n"});
            } else if (2 + Columns(block.term) + 2 <= kTermColumn) {
                out += "  " + block.term;
                out.append(kTermColumn - 2 - Columns(block.term), ' ');
                out += Wrapped(text, kWidth, kTermColumn, kTermColumn) + "\n";
            } else {
                out += "  " + block.term + "\n";
                out.append(kTermColumn, ' ');
                out += Wrapped(text, kWidth, kTermColumn, kTermColumn) + "\n";
            }
        }
    }
    return out;
}

std::optional<std::string> HeaderFor(const std::string& text, const std::string& identifier,
                                     const std::string& sourceName) {
    static const std::string kDelimiter = "manual";
    if (text.find(")" + kDelimiter + "\"") != std::string::npos) return std::nullopt;
    return "// Made by the build from " + sourceName +
           "; edit that file, not this one.\n#pragma once\n\nnamespace zelk {\n\n" +
           "inline constexpr char " + identifier + "[] = R\"" + kDelimiter + "(" + text + ")" +
           kDelimiter + "\";\n\n}  // namespace zelk\n";
}

}  // namespace zelk::manual
