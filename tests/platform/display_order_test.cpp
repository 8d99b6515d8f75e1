// Game text in the interface's windows: right-to-left lines in the order
// they are seen, Arabic joined.
#include "platform/display_order.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk {
namespace {

TEST(DisplayOrder, LeftToRightTextComesBackAsItIs) {
    for (const std::string text : {"", "Akari", "灯里「PC」", "Zoë\nÉcoute", "\xFF\xFE broken"})
        EXPECT_EQ(DisplayOrder(text), text);
}

TEST(DisplayOrder, ArabicIsReversedAndJoinedLineByLine) {
    // يوكي: yeh, waw, kaf, yeh. Seen from the left: the last yeh in its
    // final form, kaf in its initial form (waw joins nothing after it), waw
    // in its final form, the first yeh in its initial form.
    EXPECT_EQ(DisplayOrder("يوكي"), "\uFEF2\uFEDB\uFEEE\uFEF3");
    // Each line on its own; digits keep their order inside.
    EXPECT_EQ(DisplayOrder("يوكي\nيوكي"), "\uFEF2\uFEDB\uFEEE\uFEF3\n\uFEF2\uFEDB\uFEEE\uFEF3");
    EXPECT_EQ(DisplayOrder("ب 12"), "12 \uFE8F");
    // A Latin line with an Arabic word stays a Latin line.
    EXPECT_EQ(DisplayOrder("Hi يوكي!"), "Hi \uFEF2\uFEDB\uFEEE\uFEF3!");
    // Hebrew joins nothing: reversed only.
    EXPECT_EQ(DisplayOrder("אבג"), "גבא");
}

// A right-to-left line with bytes that are no UTF-8, or a sequence cut
// short at its end, shows them as U+FFFD.
TEST(DisplayOrder, DamagedTextShowsReplacementCharacters) {
    EXPECT_EQ(DisplayOrder("\xD8\xA8\xFF"), "\uFFFD\uFE8F");
    EXPECT_EQ(DisplayOrder("\xD8\xA8 \xF0\x9F"), "\uFFFD \uFE8F");
    EXPECT_EQ(DisplayOrder("\xD8\xA8 \xC0\x80"), "\uFFFD\uFFFD \uFE8F") << "overlong";
    EXPECT_EQ(DisplayOrder("\xD8\xA8 \xED\xA0\x80"), "\uFFFD \uFE8F") << "a surrogate";
    EXPECT_EQ(DisplayOrder("\xD8"), "\uFFFD");
    std::string arabic;
    for (int i = 0; i < 5000; ++i)
        arabic += "\xD8\xA8";
    EXPECT_EQ(DisplayOrder(arabic).size(), 5000u * 3);
}

}  // namespace
}  // namespace zelk
