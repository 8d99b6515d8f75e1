#include <gtest/gtest.h>

#include <set>

#include "interpreter/demo_player.h"

namespace zelk::testing {
namespace {

TEST(DemoScenarios, EveryScenarioRunsThroughInSkipModeWithoutARuntimeError) {
    DemoPlayer player;
    const long run = player.PlayEverything();
    EXPECT_GT(run, 100);
    for (const std::string& line : player.host.log) {
        EXPECT_EQ(line.find("実行時エラー"), std::string::npos);
    }
    for (const std::string& message : player.host.messages) {
        ADD_FAILURE() << message;
    }

    // Every instruction of every scenario ran.
    std::set<std::pair<std::string, long>> executed(player.host.executed.begin(),
                                                    player.host.executed.end());
    for (const auto& [name, text] : player.host.archive) {
        long count = 0;
        for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 2)
            ++count;
        for (long address = 0; address < count; ++address) {
            EXPECT_TRUE(executed.contains({name, address})) << name << "." << address;
        }
    }
    EXPECT_EQ(player.host.story.titleRestarts, 2);
    EXPECT_FALSE(player.host.story.history.empty());
    EXPECT_FALSE(player.host.story.cgHistory.empty());
    Process().ShutdownRequested = false;
}

}  // namespace
}  // namespace zelk::testing
