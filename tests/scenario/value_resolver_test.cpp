#include "scenario/value_resolver.h"

#include <gtest/gtest.h>

#include "scenario/fake_scenario_host.h"

namespace zelk {
namespace {

class ValueResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.systemInfo.KeySection("const").Text("MAX=10\r\nboth=const");
        host.saveData.KeySection("Var").Text("flag=1\r\nzero=01\r\nword=abc\r\nboth=game\r\nn=3");
        host.sharedData.KeySection("Var").Text("seen=5\r\nflag=shared");
    }

    std::string Eval(const std::string& expression) {
        return resolver.SetSymbol(expression).Value();
    }

    testing::FakeScenarioHost host;
    ValueResolver resolver{host};
};

// [SECTION] Plain values

TEST_F(ValueResolverTest, NumbersAreRewrittenAsDecimalText) {
    EXPECT_EQ(Eval("3"), "3");
    EXPECT_EQ(Eval("  3 "), "3");
    EXPECT_EQ(Eval("1e2"), "100");
    EXPECT_EQ(Eval("007"), "7");
    EXPECT_EQ(Eval("1.50"), "1.5");
    EXPECT_EQ(Eval("-0"), "0");
    EXPECT_EQ(Eval("&h10"), "16");
    EXPECT_FALSE(resolver.IsError());
}

TEST_F(ValueResolverTest, QuotedTextLosesItsQuotes) {
    EXPECT_EQ(Eval("\"Hello, World\""), "Hello, World");
    EXPECT_EQ(Eval("\"\""), "");
    EXPECT_FALSE(resolver.IsError());
    EXPECT_EQ(Eval("\"open"), "");
    EXPECT_EQ(resolver.ErrMsg(), "引用符が不正です");
    Eval("\"");
    EXPECT_EQ(resolver.ErrMsg(), "引用符が不正です");
}

TEST_F(ValueResolverTest, NamesAreLookedUpConstantsFirst) {
    EXPECT_EQ(Eval("max"), "10");
    EXPECT_EQ(Eval("both"), "const");
    EXPECT_EQ(Eval("flag"), "1");
    EXPECT_EQ(Eval("seen"), "5");
    EXPECT_EQ(Eval("unknown"), "");
    EXPECT_EQ(resolver.ErrMsg(), "値表現が不正です");
}

TEST_F(ValueResolverTest, SetSymbolClearsTheLastError) {
    Eval("unknown");
    ASSERT_TRUE(resolver.IsError());
    resolver.SetSymbol("3");
    EXPECT_FALSE(resolver.IsError());
    EXPECT_EQ(resolver.SymbolExpression(), "3");
}

// [SECTION] Comparisons

TEST_F(ValueResolverTest, ComparisonsReadBothSidesAsNumbers) {
    EXPECT_EQ(Eval("flag == zero"), "1");
    EXPECT_EQ(Eval("word == 0"), "1");
    EXPECT_EQ(Eval("n <> 3"), "0");
    EXPECT_EQ(Eval("n >< 4"), "1");
    EXPECT_EQ(Eval("n >= 3"), "1");
    EXPECT_EQ(Eval("n => 4"), "0");
    EXPECT_EQ(Eval("n <= 2"), "0");
    EXPECT_EQ(Eval("n =< 3"), "1");
    EXPECT_EQ(Eval("n > 2"), "1");
    EXPECT_EQ(Eval("n < 2"), "0");
    EXPECT_EQ(Eval("12 == \"12abc\""), "1");
}

TEST_F(ValueResolverTest, OperatorsAreTriedInTheirFixedOrder) {
    // ">=" is found before ">", so the right side is "3", not "=3".
    EXPECT_EQ(Eval("n>=3"), "1");
    EXPECT_FALSE(resolver.IsError());
    // "==" comes first: the left side "1 < 2" is a comparison of its own.
    EXPECT_EQ(Eval("1 < 2 == 1"), "1");
    EXPECT_EQ(Eval("2 < 1 == 1"), "0");
}

TEST_F(ValueResolverTest, ASingleEqualsIsNoOperator) {
    EXPECT_EQ(Eval("flag = seen"), "");
    EXPECT_EQ(resolver.ErrMsg(), "値表現が不正です");
}

TEST_F(ValueResolverTest, AFailingSideGivesItsError) {
    EXPECT_EQ(Eval("\"x == 1"), "");
    EXPECT_EQ(resolver.ErrMsg(), "引用符が不正です");
    // A whole expression that opens with a quote must be one quoted text.
    EXPECT_EQ(Eval("\"1\" == 1"), "");
    EXPECT_EQ(resolver.ErrMsg(), "引用符が不正です");
    EXPECT_EQ(Eval("1 == nothing"), "");
    EXPECT_EQ(resolver.ErrMsg(), "値表現が不正です");
}

// [SECTION] Storing

TEST_F(ValueResolverTest, StoresGoToTheFirstSectionThatHasTheName) {
    resolver.SetSymbol("FLAG").Value("7");
    EXPECT_FALSE(resolver.IsError());
    EXPECT_EQ(host.saveData.KeySection("Var").KeyValue("flag"), "7");
    EXPECT_EQ(host.sharedData.KeySection("Var").KeyValue("flag"), "shared");
    resolver.SetSymbol("seen").NumVal(-4);
    EXPECT_EQ(host.sharedData.KeySection("Var").KeyValue("seen"), "-4");
    resolver.SetSymbol("seen").BoolVal(true);
    EXPECT_EQ(Eval("seen"), "1");
}

TEST_F(ValueResolverTest, ConstantsAndUnknownNamesAreNotStored) {
    const std::string game = host.saveData.Text();
    const std::string shared = host.sharedData.Text();
    for (const char* name : {"max", "unknown", "3"}) {
        resolver.SetSymbol(name).Value("9");
        EXPECT_EQ(resolver.ErrMsg(), "値表現が設定対象として不正です。") << name;
    }
    EXPECT_EQ(host.saveData.Text(), game);
    EXPECT_EQ(host.sharedData.Text(), shared);
    EXPECT_EQ(Eval("max"), "10");
}

// [SECTION] Numbers and truth

TEST_F(ValueResolverTest, NumValRoundsHalvesToEvenAndReadsTextAsZero) {
    EXPECT_EQ(resolver.SetSymbol("2.5").NumVal(), 2);
    EXPECT_EQ(resolver.SetSymbol("3.5").NumVal(), 4);
    EXPECT_EQ(resolver.SetSymbol("word").NumVal(), 0);
    EXPECT_EQ(resolver.SetSymbol("\"12abc\"").NumVal(), 12);
}

TEST_F(ValueResolverTest, AnythingThatReadsAsANonZeroNumberIsTrue) {
    EXPECT_TRUE(resolver.SetSymbol("flag").BoolVal());
    EXPECT_TRUE(resolver.SetSymbol("0.5").BoolVal());
    EXPECT_FALSE(resolver.SetSymbol("word").BoolVal());
    EXPECT_FALSE(resolver.SetSymbol("n < 1").BoolVal());
}

TEST(ReadWholeNumber, AcceptsOnlyAWholeNumber) {
    double value = 0;
    for (const char* text : {"1", "+1", "-1.25", ".5", "5.", "1E+3", "2d2", " 7\t", "&hFF"}) {
        EXPECT_TRUE(ReadWholeNumber(text, value)) << text;
    }
    for (const char* text : {"", " ", "1a", "e5", "1e", "1 2", ".", "&h", "&hG", "--1", "0x10"}) {
        EXPECT_FALSE(ReadWholeNumber(text, value)) << text;
    }
}

TEST(FormatNumber, KeepsFifteenSignificantDigits) {
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(-2147483648.0), "-2147483648");
    EXPECT_EQ(FormatNumber(1e20), "1E+20");
}

}  // namespace
}  // namespace zelk
