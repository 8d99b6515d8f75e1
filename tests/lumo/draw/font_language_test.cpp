// A text's language as fontconfig knows its writings.
#include <gtest/gtest.h>

#include "font_set.h"

namespace lumo {
namespace {

TEST(FontconfigLanguage, ChineseIsNamedByItsWriting) {
    EXPECT_EQ(fontconfigLanguage("zh-Hans"), "zh-cn");
    EXPECT_EQ(fontconfigLanguage("zh-Hans-SG"), "zh-sg");
    EXPECT_EQ(fontconfigLanguage("zh-Hant"), "zh-tw");
    EXPECT_EQ(fontconfigLanguage("zh-Hant-HK"), "zh-hk");
    EXPECT_EQ(fontconfigLanguage("zh-Hant-MO"), "zh-mo");
    EXPECT_EQ(fontconfigLanguage("zh-TW"), "zh-tw");
    EXPECT_EQ(fontconfigLanguage("zh-CN"), "zh-cn");
    EXPECT_EQ(fontconfigLanguage("zh"), "zh");
    EXPECT_EQ(fontconfigLanguage("zh-US"), "zh");
}

TEST(FontconfigLanguage, OtherTagsAreLowerCased) {
    EXPECT_EQ(fontconfigLanguage("ja"), "ja");
    EXPECT_EQ(fontconfigLanguage("pt-BR"), "pt-br");
    EXPECT_EQ(fontconfigLanguage("zha"), "zha") << "Zhuang is not Chinese";
    EXPECT_EQ(fontconfigLanguage(""), "");
}

}  // namespace
}  // namespace lumo
