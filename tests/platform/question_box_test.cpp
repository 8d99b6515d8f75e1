#include <gtest/gtest.h>

#include "platform/question_box.h"

namespace zelk {
namespace {

class QuestionBoxTest : public ::testing::Test {
protected:
    void SetUp() override { QuestionBox::Instance().ClearAsked(); }
};

TEST_F(QuestionBoxTest, ScriptedAnswersAreTakenInOrderThenOkAndYes) {
    QuestionBox& box = QuestionBox::Instance();
    box.ScriptAnswers({"no", "YES", "ok"});
    EXPECT_EQ(box.Ask("一つ目", kButtonsYesNo, "t"), kAnswerNo);
    EXPECT_EQ(box.Ask("二つ目", kButtonsYesNo, "t"), kAnswerYes);
    // Any word answers a box with only OK.
    EXPECT_EQ(box.Ask("三つ目", kButtonsOK, "t"), kAnswerOK);
    EXPECT_EQ(box.Ask("四つ目", kButtonsYesNo, "t"), kAnswerYes);
    EXPECT_EQ(box.Ask("五つ目", kButtonsOK, "t"), kAnswerOK);
}

TEST_F(QuestionBoxTest, EveryQuestionIsRecordedWithItsExactText) {
    QuestionBox& box = QuestionBox::Instance();
    box.ScriptAnswers({"no"});
    box.Ask("クイックロードを行いますか。", kButtonsYesNo, "デモ");
    ASSERT_EQ(box.Asked().size(), 1u);
    EXPECT_EQ(box.Asked()[0].Prompt, "クイックロードを行いますか。");
    EXPECT_EQ(box.Asked()[0].Title, "デモ");
    EXPECT_EQ(box.Asked()[0].Buttons, kButtonsYesNo);
    EXPECT_EQ(box.Asked()[0].Answer, kAnswerNo);
}

TEST(EscapeLineBreaks, ShowsEachLineBreakAsBackslashN) {
    EXPECT_EQ(EscapeLineBreaks("a\r\nb"), "a\\nb");
    EXPECT_EQ(EscapeLineBreaks("a\nb\rc"), "a\\nb\\nc");
    EXPECT_EQ(EscapeLineBreaks("\r\n\r\n"), "\\n\\n");
    EXPECT_EQ(EscapeLineBreaks("plain"), "plain");
}

}  // namespace
}  // namespace zelk
