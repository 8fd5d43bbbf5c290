#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "qel/list.h"

namespace {

int live_items = 0;
std::vector<int>* compared = nullptr;  // keys of the list elements compared, when recording

// Key 1 orders by `key`, key 2 by `tag`.
struct item {
    int key;
    int tag;
    item(int k, int t = 0) : key(k), tag(t) { ++live_items; }
    ~item() { --live_items; }
    qel::TCmpRes Compare(const item& other, std::int32_t by) const {
        const int a = by == 2 ? tag : key, b = by == 2 ? other.tag : other.key;
        if (compared != nullptr) compared->push_back(tag == -1 ? other.key : key);
        return qel::TCmpRes(a < b ? -1 : (a > b ? 1 : 0));
    }
};

using list = qel::TList<item>;

std::vector<int> keys(const list& l) {
    std::vector<int> out;
    for (std::uint32_t i = 0; i < l.Count(); ++i) out.push_back(l.At(i)->key);
    return out;
}

std::u16string thrown_text(auto f) {
    try {
        f();
    } catch (const qel::wexception& e) {
        return e.Text();
    }
    return u"<nothing thrown>";
}

TEST(TList, GrowsInStepsOfGrowBy) {
    list l(0, 64, 1);
    EXPECT_EQ(l.Capacity(), 0u);
    l.Insert(new item(0));
    EXPECT_EQ(l.Capacity(), 64u);
    for (int i = 1; i < 64; ++i) l.Insert(new item(i));
    EXPECT_EQ(l.Capacity(), 64u);
    l.Insert(new item(64));
    EXPECT_EQ(l.Capacity(), 128u);
    EXPECT_EQ(l.Count(), 65u);

    EXPECT_FALSE(l.Reserve(65));   // not above the count
    EXPECT_FALSE(l.Reserve(128));  // the capacity already
    EXPECT_TRUE(l.Reserve(129));
    EXPECT_EQ(l.Capacity(), 192u);
    EXPECT_TRUE(l.Reserve(70));  // shrinking to the next multiple that still holds them
    EXPECT_EQ(l.Capacity(), 128u);
    EXPECT_EQ(keys(l).back(), 64);
}

// The probe splits unevenly, so every size and every position of the new element matters;
// the descending and ascending runs walk both ends of the split.
TEST(TList, SortedInsertionMatchesASortedCopy) {
    std::mt19937 random(12345);
    std::vector<std::vector<int>> orders;
    std::vector<int> up(300);
    std::iota(up.begin(), up.end(), 0);
    orders.push_back(up);
    orders.emplace_back(up.rbegin(), up.rend());
    for (int round = 0; round < 20; ++round) {
        std::vector<int> shuffled = up;
        shuffled.resize(1 + random() % 300);
        for (int& k : shuffled) k = static_cast<int>(random() % 1000);  // with repeats
        orders.push_back(shuffled);
    }
    for (const auto& order : orders) {
        list l(0, 7, 1);
        for (int k : order) ASSERT_GE(l.Insert(new item(k)), 0);
        std::vector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(keys(l), sorted);
        for (int k : order) {
            const item* found = l.Find(item(k), 1);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->key, k);
        }
        EXPECT_EQ(l.Find(item(-1), 1), nullptr);
        EXPECT_EQ(l.Find(item(1000), 1), nullptr);
    }
}

// Insert compares the new element with the list's; Find compares the list's with the probe.
// Both probes (tagged -1) split the open range at three fifths towards its upper end.
TEST(TList, ProbesAtThreeFifthsOfTheRange) {
    list l(0, 16, 1);
    for (int k = 0; k < 20; k += 2) l.Insert(new item(k));
    std::vector<int> seen;
    compared = &seen;
    EXPECT_EQ(l.Insert(new item(7, -1)), 4);
    EXPECT_EQ(seen, (std::vector<int>{18, 10, 6, 8}));  // the last, then indices 5, 3, 4
    seen.clear();
    EXPECT_EQ(l.Find(item(12, -1), 1)->key, 12);  // in 0 2 4 6 7 8 10 12 14 16 18
    EXPECT_EQ(seen, (std::vector<int>{10, 14, 12}));  // indices 6, 8, 7
    compared = nullptr;
}

TEST(TList, FindsAbsentKeysBetweenPresentOnes) {
    for (int n = 1; n <= 40; ++n) {
        list l(0, 64, 1);
        for (int i = 0; i < n; ++i) l.Insert(new item(2 * i));
        for (int probe = -1; probe <= 2 * n; ++probe) {
            const item* found = l.Find(item(probe), 1);
            if (probe >= 0 && probe % 2 == 0 && probe < 2 * n) {
                ASSERT_NE(found, nullptr) << n << " " << probe;
                EXPECT_EQ(found->key, probe);
            } else {
                EXPECT_EQ(found, nullptr) << n << " " << probe;
            }
        }
    }
}

TEST(TList, UniqueListRefusesEqualElementsAndLeavesThemToTheCaller) {
    list l(list::unique, 4, 1);
    for (int k : {5, 1, 9, 3, 7}) EXPECT_GE(l.Insert(new item(k)), 0);
    for (int k : {5, 1, 9, 3, 7}) {
        item duplicate(k);
        EXPECT_EQ(l.Insert(&duplicate), -1);
    }
    EXPECT_EQ(keys(l), (std::vector<int>{1, 3, 5, 7, 9}));

    list one(list::unique, 4, 1);
    one.Insert(new item(2));
    item same(2);
    EXPECT_EQ(one.Insert(&same), -1);
    EXPECT_EQ(one.Insert(new item(1)), 0);
    EXPECT_EQ(one.Insert(new item(3)), 2);
}

TEST(TList, FindUnderAnotherKeyReturnsTheFirstMatchFromTheStart) {
    list l(0, 8, 1);
    l.Insert(new item(3, 7));
    l.Insert(new item(1, 7));
    l.Insert(new item(2, 8));
    const item* found = l.Find(item(0, 7), 2);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->key, 1);
    EXPECT_EQ(l.Find(item(0, 9), 2), nullptr);

    list unsorted(0, 8, 0);
    EXPECT_EQ(unsorted.Insert(new item(3)), 0);
    EXPECT_EQ(unsorted.Insert(new item(1)), 1);
    EXPECT_EQ(keys(unsorted), (std::vector<int>{3, 1}));
    EXPECT_EQ(unsorted.Find(item(1), 1)->key, 1);
}

TEST(TList, AppendAndInsertAtPlaceWhereTold) {
    list l(0, 2, 0);
    EXPECT_EQ(l.Append(new item(1)), 0u);
    EXPECT_EQ(l.Append(new item(3)), 1u);
    EXPECT_EQ(l.InsertAt(new item(2), 1), 1u);
    EXPECT_EQ(l.InsertAt(new item(0), 0), 0u);
    EXPECT_EQ(l.InsertAt(new item(4), 4), 4u);
    EXPECT_EQ(keys(l), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(l.Capacity(), 6u);
}

TEST(TList, ClearDeletesEveryElementAndTheStorage) {
    {
        list l(0, 3, 1);
        for (int k = 0; k < 10; ++k) l.Insert(new item(k));
        EXPECT_EQ(live_items, 10);
        l.Clear();
        EXPECT_EQ(live_items, 0);
        EXPECT_EQ(l.Count(), 0u);
        EXPECT_EQ(l.Capacity(), 0u);
        l.Insert(new item(1));
        EXPECT_EQ(l.Capacity(), 3u);
    }
    EXPECT_EQ(live_items, 0);
}

TEST(TList, MisuseFailsWithTheContainerChecks) {
    list l(0, 4, 1);
    EXPECT_EQ(thrown_text([&] { l.At(0); }), u"Lib\\Src\\lib\\qel line 1776");
    EXPECT_EQ(thrown_text([&] { l.Insert(nullptr); }), u"Lib\\Src\\lib\\qel line 1639");
    l.Insert(new item(1));
    EXPECT_EQ(thrown_text([&] { l.At(1); }), u"Lib\\Src\\lib\\qel line 1776");
    EXPECT_EQ(thrown_text([&] { l.At(static_cast<std::uint32_t>(-1)); }), u"Lib\\Src\\lib\\qel line 1776");
    item extra(2);
    EXPECT_EQ(thrown_text([&] { l.InsertAt(&extra, 2); }), u"Lib\\Src\\lib\\qel line 1688");
    EXPECT_EQ(keys(l), (std::vector<int>{1}));
}

}  // namespace
