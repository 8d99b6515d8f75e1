// The dirty list: rectangles that never overlap and always cover everything
// that was added.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dirty_list.h"

using lumo::DirtyList;
using lumo::Rect;

namespace {

constexpr int kW = 64;
constexpr int kH = 48;

std::vector<Rect> listAfter(std::initializer_list<Rect> added) {
    DirtyList list;
    for (const Rect& r : added)
        list.add(r, kW, kH);
    return list.rects();
}

}  // namespace

TEST(LumoDirtyList, ClipsToTheFilmAndIgnoresEmptyRectangles) {
    EXPECT_EQ(listAfter({{-5, -5, 10, 10}}), (std::vector<Rect>{{0, 0, 10, 10}}));
    EXPECT_TRUE(listAfter({{70, 0, 80, 10}, {5, 5, 5, 9}}).empty());
}

TEST(LumoDirtyList, RectangleInsideAListedOneChangesNothing) {
    EXPECT_EQ(listAfter({{0, 0, 20, 20}, {5, 5, 10, 10}}), (std::vector<Rect>{{0, 0, 20, 20}}));
}

TEST(LumoDirtyList, RectangleCoveringSeveralReplacesThem) {
    EXPECT_EQ(listAfter({{1, 1, 3, 3}, {10, 10, 12, 12}, {0, 0, 20, 20}}),
              (std::vector<Rect>{{0, 0, 20, 20}}));
}

TEST(LumoDirtyList, RectangleStickingOutOnOneSideIsCutDown) {
    EXPECT_EQ(listAfter({{0, 0, 20, 20}, {5, 5, 30, 10}}),
              (std::vector<Rect>{{0, 0, 20, 20}, {20, 5, 30, 10}}));
}

TEST(LumoDirtyList, CrossingRectangleSplitsTheListedOne) {
    EXPECT_EQ(listAfter({{2, 0, 20, 20}, {0, 5, 25, 10}}),
              (std::vector<Rect>{{2, 0, 20, 5}, {2, 10, 20, 20}, {0, 5, 25, 10}}));
    EXPECT_EQ(listAfter({{0, 2, 20, 20}, {5, 0, 10, 25}}),
              (std::vector<Rect>{{0, 2, 5, 20}, {10, 2, 20, 20}, {5, 0, 10, 25}}));
}

TEST(LumoDirtyList, CornerOverlapLeavesBandAndSide) {
    EXPECT_EQ(listAfter({{0, 0, 20, 20}, {10, 10, 30, 30}}),
              (std::vector<Rect>{{0, 0, 20, 10}, {0, 10, 10, 20}, {10, 10, 30, 30}}));
}

TEST(LumoDirtyList, RandomAdditionsNeverOverlapAndCoverExactlyTheirUnion) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        DirtyList list;
        std::vector<int> wanted(kW * kH, 0);
        for (int n = 0; n < 12; ++n) {
            const int x0 = static_cast<int>(random() % (kW + 10)) - 5;
            const int y0 = static_cast<int>(random() % (kH + 10)) - 5;
            const Rect r{x0, y0, x0 + static_cast<int>(random() % 30),
                         y0 + static_cast<int>(random() % 30)};
            list.add(r, kW, kH);
            for (int y = std::max(0, r.top); y < std::min(kH, r.bottom); ++y)
                for (int x = std::max(0, r.left); x < std::min(kW, r.right); ++x)
                    wanted[y * kW + x] = 1;
        }
        std::vector<int> covered(kW * kH, 0);
        for (const Rect& r : list.rects()) {
            ASSERT_FALSE(r.empty());
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    covered[y * kW + x]++;
        }
        ASSERT_EQ(covered, wanted) << "round " << round;
    }
}
