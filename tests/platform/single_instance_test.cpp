#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/single_instance.h"

namespace zelk {
namespace {

TEST(SingleInstanceLock, ASecondLockOnTheSameFolderIsRefused) {
    const std::string folder = ::testing::TempDir();
    SingleInstanceLock first, second, other;
    ASSERT_TRUE(first.Acquire(folder));
    EXPECT_FALSE(second.Acquire(folder));
    // Another spelling of the same folder is the same game.
    EXPECT_FALSE(second.Acquire(folder + "/."));
    EXPECT_TRUE(other.Acquire("/"));
}

TEST(SingleInstanceLock, TheLockIsFreedWithItsHolder) {
    const std::string folder = ::testing::TempDir() + "/..";
    {
        SingleInstanceLock held;
        ASSERT_TRUE(held.Acquire(folder));
    }
    SingleInstanceLock again;
    EXPECT_TRUE(again.Acquire(folder));
}

// Two copies of one game in different folders share the reader's folder:
// the second player's lock on it is refused, and its lock on its own game
// folder goes with it.
TEST(SingleInstanceLock, ALockHoldsEveryFolderItWasGiven) {
    const std::string gameA = ::testing::TempDir() + "/game-a";
    const std::string gameB = ::testing::TempDir() + "/game-b";
    const std::string saves = ::testing::TempDir() + "/saves";
    for (const std::string& folder : {gameA, gameB, saves})
        ::mkdir(folder.c_str(), 0755);
    SingleInstanceLock first;
    ASSERT_TRUE(first.Acquire(gameA));
    ASSERT_TRUE(first.Acquire(saves));
    EXPECT_TRUE(first.Acquire(saves + "/.")) << "its own folder is no obstacle";
    {
        SingleInstanceLock second;
        ASSERT_TRUE(second.Acquire(gameB));
        EXPECT_FALSE(second.Acquire(saves));
    }
    SingleInstanceLock third;
    EXPECT_FALSE(third.Acquire(gameA));
    EXPECT_TRUE(third.Acquire(gameB)) << "freed with the second";
}

}  // namespace
}  // namespace zelk
