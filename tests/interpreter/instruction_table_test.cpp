#include "interpreter/instruction_table.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

std::vector<std::string> Prepared(const InstructionTable& table, const std::string& line,
                                  std::string* error = nullptr) {
    std::vector<std::string> args;
    std::string message;
    const bool ok = table.Prepare(line, args, message);
    if (error != nullptr) *error = message;
    if (!ok) args.push_back("<failed>");
    return args;
}

TEST(InstructionTable, DefaultsAreCutToTheirFirstCharacter) {
    InstructionTable table;
    table.Load("  Bgm\t%\ttrue \r\n\u3000// comment\r\n\r\n\tIF\t*\t%\t%\u3000");
    EXPECT_EQ(table.Size(), 2u);
    EXPECT_TRUE(table.Contains("BGM"));
    EXPECT_EQ(Prepared(table, "bgm"), (std::vector<std::string>{"bgm", "%", "t"}));
    EXPECT_EQ(Prepared(table, "If\tA==1\t\tNULL"),
              (std::vector<std::string>{"if", "A==1", "%", "%"}));
}

TEST(InstructionTable, GivenArgumentsReplaceDefaults) {
    InstructionTable table;
    table.Load("put\t*\t0\t%");
    EXPECT_EQ(Prepared(table, "put\t\"x\"\t\t5"),
              (std::vector<std::string>{"put", "\"x\"", "0", "5"}));
}

TEST(InstructionTable, ErrorsNameTheWordAndTheArgument) {
    InstructionTable table;
    table.Load("go\t*\r\nnop");
    std::string error;
    Prepared(table, "jump\tx", &error);
    EXPECT_EQ(error, "未定義命令'jump'を実行しようとしました。");
    Prepared(table, "nop\tx", &error);
    EXPECT_EQ(error, "nop命令の引数は0個までです。");
    Prepared(table, "go", &error);
    EXPECT_EQ(error, "go命令の第1引数は省略できません。");
    Prepared(table, "GO\tnull", &error);
    EXPECT_EQ(error, "go命令の第1引数は省略できません。");
}

}  // namespace
}  // namespace zelk
