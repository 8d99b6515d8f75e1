#include "settings/game_language.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_file.h"

namespace zelk {
namespace {

INIFile SystemInfo(const std::string& text, TextEncoding encoding) {
    INIFile file;
    file.Encoding(encoding);
    file.Text(text);
    return file;
}

TEST(GameLanguage, TagsHaveTheFormOfALanguageTag) {
    for (const char* good : {"ja", "en", "fr", "ar", "zh-Hans", "pt-BR", "yue", "sr-Latn-RS",
                             "de-CH-1996", "es-419", "en-x-sylvie"}) {
        EXPECT_TRUE(IsLanguageTag(good)) << good;
    }
    for (const char* bad :
         {"", "j", "japanese", "1a", "ja_JP", "ja-", "-ja", "ja--JP", "ja JP", "日本語",
          "en-abcdefghi", "zh-Hans.UTF-8", "en-aaaaaaaa-bbbbbbbb-cccccccc-dddddd"}) {
        EXPECT_FALSE(IsLanguageTag(bad)) << bad;
    }
}

TEST(GameLanguage, AbsentIsJapaneseForCp932AndUndeclaredForUtf8) {
    const GameLanguage old = ReadGameLanguage(SystemInfo("[Game]\r\nTitle=x\r\n", TextEncoding()));
    EXPECT_EQ(old.tag, "ja");
    EXPECT_FALSE(old.written);
    EXPECT_TRUE(old.problem.empty());

    const GameLanguage utf8 =
        ReadGameLanguage(SystemInfo("[Game]\r\nEncoding=UTF-8\r\n", TextEncoding::Utf8()));
    EXPECT_EQ(utf8.tag, "");
    EXPECT_FALSE(utf8.written);
    EXPECT_TRUE(utf8.problem.empty());

    // An empty value is no declaration either.
    EXPECT_EQ(ReadGameLanguage(SystemInfo("[Game]\r\nLanguage= \r\n", TextEncoding::Utf8())).tag,
              "");
    EXPECT_EQ(ReadGameLanguage(SystemInfo("[Game]\r\nLanguage=\r\n", TextEncoding())).tag, "ja");
}

TEST(GameLanguage, ADeclaredTagIsTakenAsWritten) {
    const GameLanguage english = ReadGameLanguage(
        SystemInfo("[Game]\r\nEncoding=UTF-8\r\nlanguage = zh-Hans \r\n", TextEncoding::Utf8()));
    EXPECT_EQ(english.tag, "zh-Hans");
    EXPECT_TRUE(english.written);
    EXPECT_TRUE(english.problem.empty());
    // A CP932 game may say another language (a Chinese game in code page 932
    // would be unreadable, but a Latin-only one is not).
    EXPECT_EQ(ReadGameLanguage(SystemInfo("[Game]\r\nLanguage=en\r\n", TextEncoding())).tag, "en");
    // Only the first [Game] counts, as for every other key.
    EXPECT_EQ(ReadGameLanguage(SystemInfo("[Game]\r\nLanguage=fr\r\n[Game]\r\nLanguage=de\r\n",
                                          TextEncoding::Utf8()))
                  .tag,
              "fr");
}

TEST(GameLanguage, AMalformedTagIsIgnoredAndSaid) {
    const GameLanguage utf8 =
        ReadGameLanguage(SystemInfo("[Game]\r\nLanguage=English\r\n", TextEncoding::Utf8()));
    EXPECT_EQ(utf8.tag, "");
    EXPECT_TRUE(utf8.written);
    EXPECT_NE(utf8.problem.find("Language=English"), std::string::npos) << utf8.problem;
    EXPECT_NE(utf8.problem.find("ignored"), std::string::npos) << utf8.problem;

    const GameLanguage old =
        ReadGameLanguage(SystemInfo("[Game]\r\nLanguage=ja_JP\r\n", TextEncoding()));
    EXPECT_EQ(old.tag, "ja");
    EXPECT_FALSE(old.problem.empty());

    // A long value is cut where a character starts, so the line stays text.
    std::string lengthy = "ab";
    for (int i = 0; i < 30; ++i)
        lengthy += "語";
    const GameLanguage cut = ReadGameLanguage(
        SystemInfo("[Game]\r\nLanguage=" + lengthy + "\r\n", TextEncoding::Utf8()));
    EXPECT_NE(cut.problem.find("ab語語語語語語..."), std::string::npos) << cut.problem;
}

}  // namespace
}  // namespace zelk
