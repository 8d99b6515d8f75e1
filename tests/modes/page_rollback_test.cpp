// The pages a reader may go back to: how they are kept, given back and cut,
// and the save document's in-memory image each page holds.
#include "modes/page_rollback.h"

#include <gtest/gtest.h>

#include "modes/save_data.h"

namespace zelk {
namespace {

PageRollback::Page PageOf(long key, long entry = -1) {
    return PageRollback::Page{
        {"[IntprtStatus]\r\nAddress=s." + std::to_string(key), 0}, entry, key};
}

TEST(PageRollback, GoingBackGivesTheNewestPagesAndForgetsThoseAfter) {
    PageRollback pages;
    for (long key = 1; key <= 6; ++key)
        pages.Record(PageOf(key));
    ASSERT_EQ(pages.Count(), 6u);
    const auto third = pages.Back(3);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->pageKey, 4);
    EXPECT_EQ(pages.Count(), 3u);
    // Reading on from there records again, even the page just left.
    EXPECT_TRUE(pages.IsNewPage(3));
    pages.Record(PageOf(4));
    EXPECT_EQ(pages.Count(), 4u);
    EXPECT_FALSE(pages.Back(5));
    EXPECT_FALSE(pages.Back(0));
    EXPECT_EQ(pages.Count(), 4u);
    EXPECT_EQ(pages.Back(4)->pageKey, 1);
    EXPECT_EQ(pages.Count(), 0u);
}

TEST(PageRollback, TheWaitsOfOnePageAreOnePage) {
    PageRollback pages;
    EXPECT_TRUE(pages.IsNewPage(2));
    pages.Record(PageOf(2));
    EXPECT_FALSE(pages.IsNewPage(2));
    EXPECT_TRUE(pages.IsNewPage(3));
}

TEST(PageRollback, OnlyTheNewestPagesUpToTheLimitAreKept) {
    PageRollback pages(3);
    for (long key = 1; key <= 5; ++key)
        pages.Record(PageOf(key));
    EXPECT_EQ(pages.Count(), 3u);
    EXPECT_EQ(pages.Back(3)->pageKey, 3);
    for (long key = 1; key <= 3; ++key)
        pages.Record(PageOf(key));
    pages.Limit(1);
    EXPECT_EQ(pages.Count(), 1u);
    pages.Limit(0);
    pages.Record(PageOf(9));
    EXPECT_EQ(pages.Count(), 0u);
    // Off, it still tells pages apart, so turning it on needs no restart.
    EXPECT_FALSE(pages.IsNewPage(9));
}

TEST(PageRollback, ALogEntryLeadsToItsNewestPage) {
    PageRollback pages;
    pages.Record(PageOf(1, 0));
    pages.Record(PageOf(2, -1));  // a choice: no entry of its own
    pages.Record(PageOf(3, 1));
    pages.Record(PageOf(4, 2));
    EXPECT_EQ(pages.StepsToEntry(2), 1u);
    EXPECT_EQ(pages.StepsToEntry(0), 4u);
    EXPECT_EQ(pages.StepsToEntry(-1), 0u);
    EXPECT_EQ(pages.StepsToEntry(7), 0u);
    EXPECT_GT(pages.Bytes(), 4 * sizeof(PageRollback::Page));
    pages.Clear();
    EXPECT_EQ(pages.StepsToEntry(0), 0u);
    EXPECT_TRUE(pages.IsNewPage(4));
}

TEST(SaveImage, RestoringAnImageBringsBackTheSectionsAndCutsTheHistory) {
    clsSaveData data;
    data.Var().Text("flag=1");
    data.IntprtStatus().KeyValue("Address", "s01.10");
    data.AddHistory("s01", 3);
    data.AddHistory("s01", 5);
    const clsSaveData::Image image = data.MakeImage();
    EXPECT_EQ(image.historyCount, 2);
    EXPECT_EQ(image.document.find("[History]\r\ns01"), std::string::npos);

    data.Var().Text("flag=2");
    data.IntprtStatus().KeyValue("Address", "s02.4");
    data.AddHistory("s01", 8);
    data.AddHistory("s02", 1);
    data.AddHistory("s02", 2);
    ASSERT_TRUE(data.RestoreImage(image));
    EXPECT_EQ(data.Var().Text(), "flag=1");
    EXPECT_EQ(data.IntprtStatus().KeyValue("Address"), "s01.10");
    EXPECT_EQ(data.HistoryCount(), 2);
    EXPECT_EQ(data.HistorySection(), "s01:3,5");
    // The history grows on from the cut as if the later pages never were.
    data.AddHistory("s03", 1);
    EXPECT_EQ(data.HistorySection(), "s01:3,5\r\ns03:1");
}

TEST(SaveImage, AnImageOfALongerHistoryIsRefused) {
    clsSaveData data;
    data.AddHistory("s01", 1);
    data.AddHistory("s01", 2);
    data.Var().Text("flag=1");
    const clsSaveData::Image image = data.MakeImage();
    data.Clear();
    data.Var().Text("flag=3");
    EXPECT_FALSE(data.RestoreImage(image));
    EXPECT_EQ(data.Var().Text(), "flag=3");
    EXPECT_FALSE(data.RestoreImage(clsSaveData::Image{"", -1}));
}

}  // namespace
}  // namespace zelk
