// A compiled message catalogue (the .mo files msgfmt writes): the player's
// own texts in one language, looked up by the text the program carries.
// The bytes come from a file on disk that may be damaged or hostile, so
// every offset is checked before it is followed; what cannot be read is
// refused as a whole rather than half used.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zelk {

class MessageCatalogue {
public:
    // The catalogue the bytes hold, or nothing (with the reason in `error`
    // when given) for bytes that are no catalogue or point outside
    // themselves. The header entry and untranslated entries are left out;
    // of a plural entry the first forms are kept.
    static std::optional<MessageCatalogue> Parse(std::string_view bytes,
                                                 std::string* error = nullptr);

    // The translation of `original`, or null when the catalogue has none.
    const std::string* Find(std::string_view original) const;
    std::size_t Size() const { return mTexts.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> mTexts;
};

}  // namespace zelk
