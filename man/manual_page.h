// A manual page kept as one small structured text, from which the build
// makes both the roff page that `man` shows and the text that `--help`
// prints, so that the two never tell different stories.
//
// The text: the first line is NAME SECTION SUMMARY. Lines "@ ..." before the
// first heading are the synopsis. "# HEADING" starts a section; a heading
// ending in " !" is also printed by --help. Inside a section, "* TERM" starts
// a described term (an option, a variable, a file), "| ..." is a line shown
// as it stands (an example), a blank line ends a paragraph, and any other
// line is running text.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelk::manual {

struct Block {
    enum class Kind { Paragraph, Term, Literal };
    Kind kind = Kind::Paragraph;
    std::string term;                // a Term's own words
    std::vector<std::string> lines;  // running text, or literal lines
};

struct Section {
    std::string heading;
    bool inHelp = false;
    std::vector<Block> blocks;
};

struct Page {
    std::string name;
    std::string section;
    std::string summary;
    std::vector<std::string> synopsis;
    std::vector<Section> sections;
};

// The page, or nothing with `error` naming the line at fault.
std::optional<Page> ParsePage(const std::string& text, std::string& error);

// The roff (man macro) form; `version` and `date` go into its title line.
std::string RoffPage(const Page& page, const std::string& version, const std::string& date);

// The text --help prints: the synopsis, the description's first paragraph
// and the sections marked for it, wrapped to 80 columns.
std::string HelpText(const Page& page);

// A header holding `text` as the constant `identifier` in namespace zelk;
// nothing when the text cannot be held in a raw string literal.
std::optional<std::string> HeaderFor(const std::string& text, const std::string& identifier,
                                     const std::string& sourceName);

}  // namespace zelk::manual
