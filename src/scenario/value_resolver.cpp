#include "scenario/value_resolver.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "common/numbers.h"
#include "platform/translate.h"
#include "scenario/scenario_host.h"
#include "settings/ini_file.h"

namespace zelk {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Tried in this order; the first one found anywhere in the expression is the
// comparison, so ">=" wins over ">" and "<>" over "<".
constexpr std::array<std::string_view, 9> kOperators = {"==", "<>", "><", ">=", "=>",
                                                        "<=", "=<", ">",  "<"};

}  // namespace

bool ReadWholeNumber(std::string_view text, double& value) {
    const std::string_view number = TrimBlanks(text);
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < number.size() ? number[k] : '\0'; };

    if (at(0) == '&' && (at(1) == 'h' || at(1) == 'H')) {
        i = 2;
        while (IsHexDigit(at(i)))
            ++i;
        if (i == 2 || i != number.size()) return false;
        value = ReadNumber(number);
        return true;
    }
    if (at(i) == '+' || at(i) == '-') ++i;
    std::size_t digits = 0;
    while (IsDigit(at(i)))
        ++i, ++digits;
    if (at(i) == '.') {
        ++i;
        while (IsDigit(at(i)))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    const char mark = at(i);
    if (mark == 'e' || mark == 'E' || mark == 'd' || mark == 'D') {
        ++i;
        if (at(i) == '+' || at(i) == '-') ++i;
        std::size_t exponentDigits = 0;
        while (IsDigit(at(i)))
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != number.size()) return false;
    value = ReadNumber(number);
    return true;
}

std::string FormatNumber(double value) {
    if (value == 0) return "0";
    // Whole numbers of up to 15 digits print the same as below, much faster.
    if (value > -1e15 && value < 1e15 && value == std::trunc(value)) {
        return std::to_string(static_cast<long long>(value));
    }
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.15G", value);
    return buffer.data();
}

ValueResolver::ValueResolver(ScenarioHost& host) : mHost(host) {}

ValueResolver& ValueResolver::SetSymbol(std::string expression) {
    mSymbol = std::move(expression);
    mErrMsg.clear();
    return *this;
}

INISection* ValueResolver::ConstSection() {
    INIFile* systemInfo = mHost.SystemInfo();
    return systemInfo == nullptr ? nullptr : &systemInfo->KeySection("const");
}

std::string ValueResolver::Value() {
    mErrMsg.clear();
    mValue = Evaluate(mSymbol, mErrMsg);
    if (!mErrMsg.empty()) mValue.clear();
    return mValue;
}

std::string ValueResolver::Evaluate(std::string_view expression, std::string& error) {
    double number = 0;
    if (ReadWholeNumber(expression, number)) return FormatNumber(number);

    if (expression.starts_with('"')) {
        // A lone quote both begins and ends the text, but encloses nothing.
        if (expression.size() >= 2 && expression.ends_with('"')) {
            return std::string(expression.substr(1, expression.size() - 2));
        }
        error = Tr("引用符が不正です");
        return {};
    }

    const std::string name(expression);
    for (INISection* section : {ConstSection(), mHost.GameVariables(), mHost.SharedVariables()}) {
        if (section != nullptr && section->KeyExists(name)) return section->KeyValue(name);
    }
    return Compare(expression, error);
}

std::string ValueResolver::Compare(std::string_view expression, std::string& error) {
    for (std::string_view op : kOperators) {
        const std::size_t at = expression.find(op);
        if (at == std::string_view::npos) continue;

        const std::string left = Evaluate(TrimBlanks(expression.substr(0, at)), error);
        if (!error.empty()) return {};
        const std::string right = Evaluate(TrimBlanks(expression.substr(at + op.size())), error);
        if (!error.empty()) return {};

        const double a = ReadNumber(left);
        const double b = ReadNumber(right);
        bool holds = false;
        if (op == "==") {
            holds = a == b;
        } else if (op == "<>" || op == "><") {
            holds = a != b;
        } else if (op == ">=" || op == "=>") {
            holds = a >= b;
        } else if (op == "<=" || op == "=<") {
            holds = a <= b;
        } else if (op == ">") {
            holds = a > b;
        } else {
            holds = a < b;
        }
        return holds ? "1" : "0";
    }
    error = Tr("値表現が不正です");
    return {};
}

void ValueResolver::Value(const std::string& text) {
    mErrMsg.clear();
    for (INISection* section : {mHost.GameVariables(), mHost.SharedVariables()}) {
        if (section != nullptr && section->KeyExists(mSymbol)) {
            section->KeyValue(mSymbol, text);
            mValue = text;
            return;
        }
    }
    mErrMsg = Tr("値表現が設定対象として不正です。");
}

std::int32_t ValueResolver::NumVal() {
    return ReadLong(Value());
}

void ValueResolver::NumVal(std::int32_t number) {
    Value(std::to_string(number));
}

bool ValueResolver::BoolVal() {
    return ReadNumber(Value()) != 0;
}

void ValueResolver::BoolVal(bool value) {
    Value(value ? "1" : "0");
}

}  // namespace zelk
