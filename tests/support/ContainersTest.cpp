#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <stdexcept>
#include <string>

#include "support/Errors.h"
#include "support/ListMap.h"
#include "support/SortedRuns.h"
#include "support/StringBuffer.h"
#include "support/Threads.h"

namespace tarnwick {
namespace {

TEST(StringBufferTest, AppendLnClearAndCapacityWrite) {
    StringBuffer buffer;
    buffer.AppendLn("");
    buffer.Append("<p>");
    buffer.AppendLn("x");
    EXPECT_EQ(buffer.ToString() + std::to_string(buffer.Length()), "\r\n<p>x\r\n8");
    buffer.Append(std::string(5000, 'x'));
    buffer.Clear();
    buffer.setCapacity(100);  // never below the first capacity
    EXPECT_EQ(buffer.ToString() + std::to_string(buffer.Length() + buffer.Capacity()), "4096");
    buffer.Append("abc");
    buffer.setCapacity(5000);
    EXPECT_EQ(buffer.ToString() + std::to_string(buffer.Capacity()), "abc5000");
    buffer.Append(std::string(4998, 'y'));  // 5001 > 5000
    EXPECT_EQ(buffer.Capacity(), 20000);
    EXPECT_EQ(buffer.take().size(), 5001u);
    EXPECT_EQ(buffer.Length(), 0);
}

TEST(ListMapTest, KeysKeepOrderDuplicatesAndHolesOfRemovedEntries) {
    ListMap map;
    EXPECT_EQ(map.Size(), -1);
    map.Add("Type", "Exe");
    map.Add("Name", "First");
    map.Add("Name", "Second");
    // Lookup by key is exact and case-sensitive.
    EXPECT_EQ(std::to_string(map.Size()) + map.value("Name") + map.value("name") +
                  map.value("absent") + map.value(2) + map.Key(0),
              "2FirstSecondType");
    EXPECT_EQ(map.Keys(), (std::vector<std::string>{"Type", "Name", "Name"}));
    EXPECT_EQ(map.Values(), (std::vector<std::string>{"Exe", "First", "Second"}));
    map.Remove(0);  // empties without shifting
    EXPECT_EQ(std::to_string(map.Size()) + map.Key(0) + map.value("Type") + map.value("Name"),
              "2First");
    for (int index : {-1, 3, 100}) {
        EXPECT_THROW(map.Key(index), VbError) << index;
        EXPECT_THROW(map.value(index), VbError) << index;
        EXPECT_THROW(map.Remove(index), VbError) << index;
    }
}

// A group's index merges its projects' sorted rows instead of sorting them:
// the order must be the one a stable sort gives, equal names in their
// projects' order. Letters compare without case, so 'a' and 'A' are equal.
TEST(SortedRunsTest, MergingRunsOrdersAsAStableSort) {
    const auto byLetter = [](char a, char b) { return std::tolower(a) < std::tolower(b); };
    for (std::string row : {"", "a", "cba", "aAbB", "abcABC", "bBaA", "cAbaCB", "aAAaaA",
                            "edcbaEDCBA", "zyxwvutsrqpZ"}) {  // the last two: too many runs
        std::string expected = row;
        std::stable_sort(expected.begin(), expected.end(), byLetter);
        stableSortRuns(row.begin(), row.end(), byLetter, 4);
        EXPECT_EQ(row, expected);
    }
}

// A failing item (a module the reader or the resolver cannot take, out of
// memory) comes out to the run once every thread is done, and ends no
// thread: the program goes on to tell it.
TEST(RunOnThreads, AnExceptionComesOutAfterEveryItemIsTaken) {
    for (const unsigned threads : {1u, 4u}) {
        std::atomic<int> next{0}, done{0};
        const auto work = [&] {
            for (int i = next++; i < 40; i = next++) {
                if (i == 3) throw std::runtime_error("item 3");
                ++done;
            }
        };
        EXPECT_THROW(runOnThreads(threads, work), std::runtime_error) << threads;
        // One thread stops at the failing item; with more, the others take the rest.
        EXPECT_EQ(done.load(), threads == 1 ? 3 : 39) << threads;
    }
}

}  // namespace
}  // namespace tarnwick
