#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zelk
