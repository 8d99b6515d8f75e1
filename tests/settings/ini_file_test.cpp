#include "settings/ini_file.h"

#include <gtest/gtest.h>

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

TEST(INIFileText, RealWorldTextsRoundTripUnchanged) {
    const char* texts[] = {
        "; Game settings\r\n\r\n[Game]\r\nTitle = 星の降る夜に   ; window title\r\n"
        "ScreenSizeX=800\r\n\r\n  [ Config ]  ; defaults\r\n\tTextSpeed\t=\t3\r\n"
        "weird line without equal\r\n=novalue\r\n[Config]\r\nTextSpeed=9\r\n",
        "[A]\r\nx=1\r\n[a]\r\nx=2",
        "[A]\r\n\r\n\r\n[B]\r\n\r\nk=v\r\n\r\n",
        "top=1\r\n[]\r\n[ ]\r\nstill=top",
        "[A]\nk=v\n[B]\nlone line feeds stay inside one line",
        "\r\n\r\n",
        "[Only]\r\nk=v",
    };
    for (const char* text : texts) {
        INIFile ini = Parse(text);
        EXPECT_EQ(ini.Text(), text);
        INIFile again = Parse(ini.Text());
        EXPECT_EQ(again.Text(), text);
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
    for (int i = 0; i < 100; ++i)
        ini.KeySection("S" + std::to_string(i));
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
