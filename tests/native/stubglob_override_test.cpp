// The agent's override entries: field list in and out, and what an entry
// does to its switch.
#include "autoupdate/stubglob_override.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace kv;

namespace {

class StubGlobOverride : public ::testing::Test {
protected:
    void SetUp() override { ResetOverrideEntries(); }
    void TearDown() override { ResetOverrideEntries(); }

    static std::vector<int> Entries() {
        std::vector<int> v;
        for (int i = 0; i < OverrideEntryCount; ++i) v.push_back(OverrideEntry(i));
        return v;
    }
    static void SetAll(const std::vector<int>& values) {
        for (int i = 0; i < OverrideEntryCount; ++i) SetOverrideEntry(i, uint8_t(values[size_t(i)]));
    }
};

TEST_F(StubGlobOverride, StartsUnsetAndListsAsText) {
    EXPECT_EQ(Entries(), std::vector<int>(8, 255));
    EXPECT_EQ(OverrideListText(), "|255|255|255|255|255|255|255|255|");
    SetAll({1, 0, 2, 255, 7, 1, 0, 10});
    EXPECT_EQ(OverrideListText(), "|1|0|2|255|7|1|0|10|");
}

TEST_F(StubGlobOverride, ApplyList) {
    const std::vector<int> start = {9, 9, 9, 9, 9, 9, 9, 9};
    const struct {
        const char* list;
        std::vector<int> expected;
    } cases[] = {
        // Empty and non-number fields keep their entries.
        {"|1||x|0|", {1, 9, 9, 0, 9, 9, 9, 9}},
        {"|1|2|3|4|5|6|7|8|", {1, 2, 3, 4, 5, 6, 7, 8}},
        {"|1|2|3|4|5|6|7|8|9|", {1, 2, 3, 4, 5, 6, 7, 8}},  // a ninth field is ignored
        // Cut to one byte.
        {"|256|-1|511|1000|0|0|0|0|", {0, 255, 255, 232, 0, 0, 0, 0}},
        {"|01|+2|1.5| 3|$4|0x5|9999999999999999999999|true|", {1, 2, 9, 9, 9, 9, 9, 9}},
        // Another separator is read as well; text after the last is no field.
        {"*3*4*", {3, 4, 9, 9, 9, 9, 9, 9}},
        {"|3|4", {3, 9, 9, 9, 9, 9, 9, 9}},
        {"", {9, 9, 9, 9, 9, 9, 9, 9}},
        {"1|2|", {9, 9, 9, 9, 9, 9, 9, 9}},
    };
    for (const auto& c : cases) {
        SetAll(start);
        ApplyOverrideList(c.list);
        EXPECT_EQ(Entries(), c.expected) << c.list;
    }
}

TEST_F(StubGlobOverride, ListSurvivesARestart) {
    SetAll({1, 0, 2, 255, 7, 1, 0, 10});
    const std::string list = OverrideListText();
    ResetOverrideEntries();
    ApplyOverrideList(list);
    EXPECT_EQ(Entries(), (std::vector<int>{1, 0, 2, 255, 7, 1, 0, 10}));
}

TEST_F(StubGlobOverride, SetterIgnoresIndicesOutsideTheList) {
    SetOverrideEntry(-1, 1);
    SetOverrideEntry(8, 1);
    EXPECT_EQ(Entries(), std::vector<int>(8, 255));
    EXPECT_EQ(OverrideEntry(8), 255);
    EXPECT_EQ(OverrideEntry(-1), 255);
}

TEST_F(StubGlobOverride, EntryDecidesItsSwitch) {
    const struct {
        int entry;
        bool decides;
        bool value;
    } cases[] = {{255, false, false}, {1, true, true}, {0, true, false}, {2, true, false}, {254, true, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(OverrideDecides(uint8_t(c.entry)), c.decides) << c.entry;
        if (c.decides) EXPECT_EQ(OverrideSwitchValue(uint8_t(c.entry)), c.value) << c.entry;
    }
}

TEST_F(StubGlobOverride, AskBeforeCheckOnlyForEntryZeroEqualToOne) {
    EXPECT_FALSE(AskBeforeCheck());
    for (int v : {0, 2, 255}) {
        SetOverrideEntry(OvAskBeforeCheck, uint8_t(v));
        EXPECT_FALSE(AskBeforeCheck()) << v;
    }
    SetOverrideEntry(OvRequestConfirmationBeforeDownload, 1);
    EXPECT_FALSE(AskBeforeCheck());
    SetOverrideEntry(OvAskBeforeCheck, 1);
    EXPECT_TRUE(AskBeforeCheck());
    ApplyOverrideList("|0|");
    EXPECT_FALSE(AskBeforeCheck());
}

}  // namespace
