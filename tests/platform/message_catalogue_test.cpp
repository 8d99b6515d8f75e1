// Compiled message catalogues as msgfmt writes them, read back; and the
// same bytes damaged every way a file on disk can be, which must never be
// read past their end nor make the player crash or loop.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_catalogue.h"
#include "platform/mo_writer.h"

namespace zelk {
namespace {

using testing::MoBytes;
using testing::PutWord;

const std::vector<std::pair<std::string, std::string>> kTexts = {
    {"", "Content-Type: text/plain; charset=UTF-8\n"},
    {"ファイル", "File"},
    {"ヘルプ", "Help"},
    {"untranslated", ""},
    {std::string("one\0many", 8), std::string("an item\0items", 13)},
    {std::string("menu\x04open"), "Open"},
};

TEST(MessageCatalogue, TextsReadBackInEitherByteOrder) {
    for (const bool bigEndian : {false, true}) {
        const auto catalogue = MessageCatalogue::Parse(MoBytes(kTexts, bigEndian));
        ASSERT_TRUE(catalogue);
        ASSERT_NE(catalogue->Find("ファイル"), nullptr);
        EXPECT_EQ(*catalogue->Find("ファイル"), "File");
        EXPECT_EQ(*catalogue->Find("ヘルプ"), "Help");
        // A plural entry gives its first forms; a context stays part of the key.
        EXPECT_EQ(*catalogue->Find("one"), "an item");
        EXPECT_EQ(*catalogue->Find("menu\x04open"), "Open");
        // Neither the header nor an empty translation is a text.
        EXPECT_EQ(catalogue->Find(""), nullptr);
        EXPECT_EQ(catalogue->Find("untranslated"), nullptr);
        EXPECT_EQ(catalogue->Find("ファイ"), nullptr);
        EXPECT_EQ(catalogue->Size(), 4u);
    }
}

TEST(MessageCatalogue, WhatIsNoCatalogueIsRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(MessageCatalogue::Parse("", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(MessageCatalogue::Parse(std::string(64, 'x'), &error));
    EXPECT_NE(error.find("not a message catalogue"), std::string::npos) << error;
    std::string future = MoBytes(kTexts, false);
    PutWord(future, 4, 0x00020000);  // a major revision not known
    EXPECT_FALSE(MessageCatalogue::Parse(future, &error));
    EXPECT_NE(error.find("revision"), std::string::npos) << error;
}

TEST(MessageCatalogue, EveryTruncationIsRefusedOrReadWithinTheBytes) {
    const std::string whole = MoBytes(kTexts, false);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        // The copy is exactly as long as the file would be, so a read past
        // its end shows under the sanitizers.
        const std::string cut = whole.substr(0, length);
        const auto catalogue = MessageCatalogue::Parse(cut);
        if (catalogue) {
            EXPECT_LE(catalogue->Size(), 4u) << length;
        }
    }
}

TEST(MessageCatalogue, HostileTablesAreRefused) {
    const std::string whole = MoBytes(kTexts, false);
    struct Damage {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Damage damages[] = {
        {"a count far beyond the bytes", 8, 0xFFFFFFFF},
        {"the originals' table past the end", 12, 0xFFFFFFF0},
        {"the translations' table past the end", 16, static_cast<std::uint32_t>(whole.size())},
        {"a text's offset past the end", 28 + 4, 0xFFFFFFFF},
        {"a text's length past the end", 28, 0xFFFFFFF0},
        {"a translation's offset and length wrapping round", 28 + 8 * 6 + 8 + 4, 0xFFFFFFF8},
    };
    for (const Damage& damage : damages) {
        std::string bytes = whole;
        PutWord(bytes, damage.at, damage.value);
        std::string error;
        EXPECT_FALSE(MessageCatalogue::Parse(bytes, &error)) << damage.what;
        EXPECT_FALSE(error.empty()) << damage.what;
    }
}

TEST(MessageCatalogue, FlippedBytesNeverCrash) {
    // Every byte of a small catalogue through a few values: a cheap stand-in
    // for the fuzzer that runs in every build.
    const std::string whole = MoBytes(kTexts, false);
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (const unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::string bytes = whole;
            bytes[at] = static_cast<char>(value);
            const auto catalogue = MessageCatalogue::Parse(bytes);
            if (catalogue) {
                EXPECT_LE(catalogue->Size(), kTexts.size());
            }
        }
    }
}

}  // namespace
}  // namespace zelk
