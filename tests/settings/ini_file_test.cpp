#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <utility>

namespace zelk {
namespace {

INIFile Parse(const std::string& text) {
    INIFile ini;
    ini.Text(text);
    return ini;
}

TEST(INIFileText, AnEmptyTextIsOneNamelessSection) {
    const INIFile ini = Parse("");
    EXPECT_EQ(ini.Count(), 1);
    EXPECT_EQ(ini.Sections()[0]->Count(), 1);
    EXPECT_EQ(ini.Text(), "");
    EXPECT_TRUE(ini.KeyExists(""));
}

TEST(INIFileText, LinesBeforeTheFirstHeaderFormTheNamelessSection) {
    INIFile ini = Parse("a\r\n[S]\r\nk=v");
    ASSERT_EQ(ini.Count(), 2);
    EXPECT_EQ(ini.KeySection("").Text(), "a");
    EXPECT_EQ(ini.KeySection("s").KeyValue("K"), "v");
    EXPECT_EQ(ini.Text(), "a\r\n[S]\r\nk=v");
}

TEST(INIFileText, AFinalLineEndIsDropped) {
    EXPECT_EQ(Parse("a\r\n[S]\r\nk=v\r\n").Text(), "a\r\n[S]\r\nk=v");
    EXPECT_EQ(Parse("k=v\r\n\r\n").Text(), "k=v\r\n");
    EXPECT_EQ(Parse("\r\n").Text(), "");
    INIFile ini = Parse("[S]\r\nk=v\r\n");
    ini.KeySection("S").KeyValue("n", "1");
    EXPECT_EQ(ini.Text(), "[S]\r\nk=v\r\nn=1");
}

TEST(INIFileText, RealWorldTextsRoundTripUnchangedButTheFinalLineEnd) {
    const std::pair<std::string, std::string> cases[] = {
        {"; Game settings\r\n\r\n[Game]\r\nTitle = 星の降る夜に   ; window title\r\n"
         "ScreenSizeX=800\r\n\r\n  [ Config ]  ; defaults\r\n\tTextSpeed\t=\t3\r\n"
         "weird line without equal\r\n=novalue\r\n[Config]\r\nTextSpeed=9\r\n",
         "; Game settings\r\n\r\n[Game]\r\nTitle = 星の降る夜に   ; window title\r\n"
         "ScreenSizeX=800\r\n\r\n  [ Config ]  ; defaults\r\n\tTextSpeed\t=\t3\r\n"
         "weird line without equal\r\n=novalue\r\n[Config]\r\nTextSpeed=9"},
        {"[A]\r\nx=1\r\n[a]\r\nx=2", "[A]\r\nx=1\r\n[a]\r\nx=2"},
        {"[A]\r\n\r\n\r\n[B]\r\n\r\nk=v\r\n\r\n", "[A]\r\n\r\n\r\n[B]\r\n\r\nk=v\r\n"},
        {"top=1\r\n[]\r\n[ ]\r\nstill=top", "top=1\r\n[]\r\n[ ]\r\nstill=top"},
        {"[A]\nk=v\n[B]\nlone line feeds", "[A]\nk=v\n[B]\nlone line feeds"},
        {"\r\n\r\n", "\r\n"},
        {"[Only]\r\nk=v", "[Only]\r\nk=v"},
        // The final line end goes, then the last section's lone empty line.
        {"a=1\r\n\r\n[B]\r\n\r\n", "a=1\r\n\r\n[B]"},
    };
    for (const auto& [text, expected] : cases) {
        INIFile ini = Parse(text);
        EXPECT_EQ(ini.Text(), expected);
        if (!expected.ends_with("\r\n")) {
            EXPECT_EQ(Parse(expected).Text(), expected);
        }
    }
}

TEST(INIFileText, AHeaderAtTheEndLosesItsLineEnd) {
    EXPECT_EQ(Parse("a=1\r\n[S]\r\n").Text(), "a=1\r\n[S]");
    EXPECT_EQ(Parse("[S]").Text(), "[S]");
}

TEST(INIFileText, EmptyBracketsAreABodyLine) {
    INIFile ini = Parse("[]\r\nk=v\r\n[ \t]");
    EXPECT_EQ(ini.Count(), 1);
    EXPECT_EQ(ini.KeySection("").KeyValue("k"), "v");
}

TEST(INIFileSections, DuplicateNamesStayButLookupsReachTheFirst) {
    INIFile ini = Parse("[A]\r\nx=1\r\n[a]\r\nx=2");
    EXPECT_EQ(ini.Count(), 3);
    EXPECT_EQ(ini.KeySection("a").KeyValue("x"), "1");
    EXPECT_EQ(ini.KeySection("A").KeyValue("x"), "1");
    EXPECT_EQ(ini.Sections()[2]->KeyValue("x"), "2");
}

TEST(INIFileSections, ReadingAMissingSectionCreatesIt) {
    INIFile ini = Parse("a=1");
    EXPECT_FALSE(ini.KeyExists("New"));
    EXPECT_EQ(ini.KeySection("New").KeyValue("k"), "");
    EXPECT_TRUE(ini.KeyExists("new"));
    EXPECT_EQ(ini.Text(), "a=1\r\n[New]");
    ini.KeySection("New").KeyValue("k", "v");
    EXPECT_EQ(ini.Text(), "a=1\r\n[New]\r\n\r\nk=v");
}

TEST(INIFileSections, AssigningASectionCopiesTheBodyAndKeepsTheHeader) {
    INIFile ini = Parse("[A] ;first\r\nold=1");
    INISection source;
    source.NameFullText("[Other]");
    source.Text("new=2");
    ini.KeySection("a", source);
    EXPECT_EQ(ini.Text(), "[A] ;first\r\nnew=2");
    ini.KeySection("B", source);
    EXPECT_EQ(ini.KeySection("b").KeyValue("new"), "2");
}

TEST(INIFileSections, ReferencesSurviveAddingSections) {
    INIFile ini;
    INISection& first = ini.KeySection("First");
    for (int i = 0; i < 100; ++i) {
        std::string name = "S";
        ini.KeySection(name += std::to_string(i));
    }
    first.KeyValue("k", "v");
    EXPECT_EQ(ini.KeySection("first").KeyValue("k"), "v");
}

TEST(INIFileOptimize, OptimizesEverySection) {
    INIFile ini = Parse("; c\r\nx = 1\r\n [ S ] ;c\r\n ; c\r\n k = v ; c");
    ini.Optimize();
    EXPECT_EQ(ini.Text(), "x=1\r\n[S]\r\nk=v");
}

TEST(INIFileCopy, CopiesAreDeep) {
    INIFile ini = Parse("[A]\r\nk=1");
    INIFile copy = ini;
    copy.KeySection("A").KeyValue("k", "2");
    EXPECT_EQ(ini.KeySection("A").KeyValue("k"), "1");
    EXPECT_EQ(copy.KeySection("a").KeyValue("k"), "2");
}

}  // namespace
}  // namespace zelk
