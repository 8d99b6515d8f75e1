// The text of a mode's start parameter, whatever form its caller gave it.
#pragma once

#include <any>
#include <string>

namespace zelk {

inline std::string AnyText(const std::any& value) {
    if (const auto* text = std::any_cast<std::string>(&value)) return *text;
    if (const auto* chars = std::any_cast<const char*>(&value)) return *chars ? *chars : "";
    if (const auto* number = std::any_cast<long>(&value)) return std::to_string(*number);
    if (const auto* number = std::any_cast<int>(&value)) return std::to_string(*number);
    if (const auto* truth = std::any_cast<bool>(&value)) return *truth ? "True" : "False";
    return {};
}

}  // namespace zelk
