#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "util/process_analizer.h"
#include "util/process_data.h"

using namespace kv;

namespace {

struct Win {
    uintptr_t handle;
    uintptr_t topOwner;
    bool titled;
    bool visible;
};

uintptr_t BestOf(const std::vector<Win>& windows) {
    const auto a = std::make_unique<TAnalizer>();
    a->Clear();
    std::vector<TAnalizer::Facts> facts;
    for (const Win& w : windows) {
        a->Add(w.handle);
        facts.push_back({w.topOwner, w.titled, w.visible});
    }
    a->Score(facts);
    return a->Best();
}

TEST(TAnalizer, ScoringTable) {
    struct Case {
        const char* what;
        std::vector<Win> windows;
        uintptr_t best;
    } cases[] = {
        {"nothing collected", {}, 0},
        {"one hidden untitled window", {{10, 10, false, false}}, 10},
        {"hidden untitled, then titled visible owning two dialogs",
         {{10, 10, false, false}, {20, 20, true, true}, {21, 20, true, true}, {22, 20, true, true}},
         20},
        {"the owner wins over a titled visible window",
         {{30, 30, true, true}, {40, 40, false, false}, {41, 40, false, false}},
         40},
        {"titled beats visible", {{10, 10, false, true}, {20, 20, true, false}}, 20},
        {"visible breaks the last tie", {{10, 10, true, false}, {20, 20, true, true}}, 20},
        {"a full tie keeps the first", {{10, 10, true, true}, {20, 20, true, true}}, 10},
        {"owned by another process's window: no points for it",
         {{10, 99, false, false}, {11, 99, false, false}},
         0},
        {"an owned titled window scores its title only", {{10, 99, true, false}, {11, 99, false, true}}, 10},
        {"owner chains count at their top",
         {{10, 10, false, false}, {11, 10, false, false}, {12, 10, false, false}, {20, 20, true, true}},
         10},
    };
    for (const Case& c : cases) EXPECT_EQ(BestOf(c.windows), c.best) << c.what;
}

TEST(TAnalizer, ScoresAreFourPerOwnedWindowPlusTitleAndVisibility) {
    const auto a = std::make_unique<TAnalizer>();
    a->Clear();
    for (uintptr_t h : {1u, 2u, 3u}) a->Add(h);
    a->Score({{1, true, true}, {1, false, true}, {3, true, false}});
    EXPECT_EQ(a->Scores[0], 2 * 4 + 2 + 1);
    EXPECT_EQ(a->Scores[1], 0 * 4 + 1);
    EXPECT_EQ(a->Scores[2], 1 * 4 + 2);
}

TEST(TAnalizer, KeepsAtMost2001Windows) {
    const auto a = std::make_unique<TAnalizer>();
    a->Clear();
    for (uintptr_t h = 1; h <= 2001; ++h) EXPECT_TRUE(a->Add(h));
    EXPECT_FALSE(a->Add(5000));
    EXPECT_EQ(a->Count, 2001);
    EXPECT_EQ(a->Windows[2000], 2001u);
    // Every window owned by the first: its score is the largest possible.
    a->Score(std::vector<TAnalizer::Facts>(2001, TAnalizer::Facts{1, true, true}));
    EXPECT_EQ(a->Scores[0], 2001 * 4 + 3);
    EXPECT_EQ(a->Best(), 1u);
    a->Clear();
    EXPECT_EQ(a->Count, 0);
    EXPECT_EQ(a->Best(), 0u);
}

TopWindowFacts Window(uint32_t pid, const std::string& exe, uintptr_t handle, const std::string& title = "t") {
    TopWindowFacts w;
    w.pid = pid;
    w.exeName = exe;
    w.className = "C" + std::to_string(handle);
    w.handle = handle;
    w.threadId = pid + 1;
    w.title = title;
    w.visible = handle % 2 == 1;
    return w;
}

TEST(TProcessData, CollectAllRecordsEveryWindowInParallelLists) {
    TProcessData d;
    d.Reset(true, "*", uint32_t(-1));
    EXPECT_TRUE(d.Visit(Window(7, "a.exe", 101)));
    EXPECT_TRUE(d.Visit(Window(7, "a.exe", 102, "")));
    EXPECT_TRUE(d.Visit(Window(9, "b.exe", 103)));
    EXPECT_EQ(d.Pids, "|7|7|9|");
    EXPECT_EQ(d.ExeNames, "|a.exe|a.exe|b.exe|");
    EXPECT_EQ(d.ClassNames, "|C101|C102|C103|");
    EXPECT_EQ(d.Handles, "|101|102|103|");
    EXPECT_EQ(d.ThreadIds, "|8|8|10|");
    EXPECT_EQ(d.Titles, "|t||t|");
    EXPECT_EQ(d.Visible, "|1|0|1|");
    d.Reset(false, "", 0);
    EXPECT_EQ(d.Pids, "|");
    EXPECT_EQ(d.Titles, "|");
    EXPECT_FALSE(d.CollectAll);
}

TEST(TProcessData, SearchKeepsFirstWindowPerNameAndStopsAtAMatch) {
    TProcessData d;
    d.Reset(false, "c.exe", 500);
    EXPECT_TRUE(d.Visit(Window(7, "a.exe", 101)));
    EXPECT_TRUE(d.Visit(Window(7, "A.EXE", 102)));  // same name, ignoring case: skipped
    EXPECT_TRUE(d.Visit(Window(9, "b.exe", 103)));
    EXPECT_FALSE(d.Visit(Window(11, "c.exe", 104)));  // name match stops
    EXPECT_EQ(d.ExeNames, "|a.exe|b.exe|c.exe|");
    EXPECT_EQ(d.Handles, "|101|103|104|");

    d.Reset(false, "none", 9);
    EXPECT_TRUE(d.Visit(Window(7, "a.exe", 101)));
    EXPECT_FALSE(d.Visit(Window(9, "b.exe", 103)));  // pid match stops

    // The name must match exactly, and a skipped window has no pid.
    d.Reset(false, "B.EXE", 9);
    EXPECT_TRUE(d.Visit(Window(9, "b.exe", 103)) == false);
    d.Reset(false, "B.EXE", 7);
    EXPECT_TRUE(d.Visit(Window(8, "b.exe", 103)));
    EXPECT_TRUE(d.Visit(Window(7, "b.exe", 104)));  // skipped: pid taken as 0
}

TEST(TProcessData, TitleWithTheSeparatorKeepsListsParallel) {
    TProcessData d;
    d.Reset(true, "", 0);
    d.Visit(Window(1, "a.exe", 1, "x|y"));
    d.Visit(Window(2, "b.exe", 2, "z"));
    ASSERT_FALSE(d.Titles.empty());
    const char sep = d.Titles[0];
    EXPECT_NE(sep, '|');
    EXPECT_EQ(d.Titles, std::string(1, sep) + "x|y" + sep + "z" + sep);
    EXPECT_EQ(d.Pids, "|1|2|");
}

}  // namespace
