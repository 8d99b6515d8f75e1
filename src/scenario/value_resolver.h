// ValueResolver: evaluates one scenario expression (a number, a quoted text,
// a constant or variable name, or one comparison of two such values) to a
// string, and stores values into variables named by an expression.
// Values are strings; numbers travel as decimal text, truth as "1" and "0".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

class INISection;
class ScenarioHost;

class ValueResolver {
public:
    explicit ValueResolver(ScenarioHost& host);

    // Sets the expression and clears the error; returns the resolver so
    // that a call reads as set-then-read.
    ValueResolver& SetSymbol(std::string expression);

    // Evaluates the expression; the empty text and ErrMsg on failure.
    std::string Value();
    // Stores into the variable the expression names. Variables are never
    // created: the name must already be a key of a variable section.
    void Value(const std::string& text);

    std::int32_t NumVal();
    void NumVal(std::int32_t number);
    bool BoolVal();
    void BoolVal(bool value);

    bool IsError() const { return !mErrMsg.empty(); }
    const std::string& ErrMsg() const { return mErrMsg; }
    const std::string& SymbolExpression() const { return mSymbol; }

private:
    std::string Evaluate(std::string_view expression, std::string& error);
    std::string Compare(std::string_view expression, std::string& error);
    INISection* ConstSection();

    ScenarioHost& mHost;
    std::string mSymbol;
    std::string mValue;
    std::string mErrMsg;
};

// Whether the whole text (blanks around it allowed) is one number: decimal
// with an optional exponent, or "&H" hexadecimal. Sets `value` when it is.
bool ReadWholeNumber(std::string_view text, double& value);

// A number as scenario text: at most 15 significant digits, no trailing
// zeros ("1.5", "100", "1E+20").
std::string FormatNumber(double value);

}  // namespace zelk
