#include "platform/message_catalogue.h"

#include <cstdint>

namespace zelk {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kMagicSwapped = 0xde120495;
constexpr std::size_t kHeaderBytes = 28;
constexpr std::size_t kEntryBytes = 8;

class Reader {
public:
    Reader(std::string_view bytes, bool swapped) : mBytes(bytes), mSwapped(swapped) {}

    // The word at `at`; nothing past the end.
    std::optional<std::uint32_t> Word(std::uint64_t at) const {
        if (at > mBytes.size() || mBytes.size() - at < 4) return std::nullopt;
        const auto* p = reinterpret_cast<const unsigned char*>(mBytes.data() + at);
        if (mSwapped)
            return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                   std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
        return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 |
               std::uint32_t{p[0]};
    }

    // Entry `index` of the table at `table`: a length and an offset.
    std::optional<std::string_view> Text(std::uint64_t table, std::uint64_t index) const {
        const auto length = Word(table + index * kEntryBytes);
        const auto offset = Word(table + index * kEntryBytes + 4);
        if (!length || !offset) return std::nullopt;
        const std::uint64_t end = std::uint64_t{*offset} + *length;
        if (end > mBytes.size()) return std::nullopt;
        return mBytes.substr(*offset, *length);
    }

private:
    std::string_view mBytes;
    bool mSwapped;
};

std::string_view FirstForm(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

std::optional<MessageCatalogue> MessageCatalogue::Parse(std::string_view bytes,
                                                        std::string* error) {
    const auto refused = [error](const char* why) -> std::optional<MessageCatalogue> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (bytes.size() < kHeaderBytes) return refused("too short for a message catalogue");
    const std::optional<std::uint32_t> magic = Reader(bytes, false).Word(0);
    if (magic != kMagic && magic != kMagicSwapped) return refused("not a message catalogue");
    const Reader reader(bytes, magic == kMagicSwapped);
    // Only the major revision changes the layout.
    if (*reader.Word(4) >> 16 > 1) return refused("a message catalogue of an unknown revision");
    const std::uint64_t count = *reader.Word(8);
    const std::uint64_t originals = *reader.Word(12);
    const std::uint64_t translations = *reader.Word(16);
    // Both tables must lie inside the bytes before a single entry is read,
    // so a count from a damaged header cannot make the loop run for long.
    for (const std::uint64_t table : {originals, translations}) {
        if (table > bytes.size() || (bytes.size() - table) / kEntryBytes < count)
            return refused("a message catalogue whose tables run past its end");
    }
    MessageCatalogue catalogue;
    for (std::uint64_t k = 0; k < count; ++k) {
        const auto original = reader.Text(originals, k);
        const auto translation = reader.Text(translations, k);
        if (!original || !translation)
            return refused("a message catalogue whose texts run past its end");
        const std::string_view key = FirstForm(*original);
        const std::string_view text = FirstForm(*translation);
        if (key.empty() || text.empty()) continue;
        catalogue.mTexts.emplace(std::string(key), std::string(text));
    }
    return catalogue;
}

const std::string* MessageCatalogue::Find(std::string_view original) const {
    const auto found = mTexts.find(original);
    return found == mTexts.end() ? nullptr : &found->second;
}

}  // namespace zelk
