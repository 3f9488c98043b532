#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Errors.h"
#include "support/HashTable.h"

namespace tarnwick {
namespace {

// Runs f, which must throw a VbError of that number; returns its message.
template <typename F>
std::string expectVbError(int number, F f) {
    try {
        f();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), number);
        return e.what();
    }
    ADD_FAILURE() << "no VbError " << number;
    return {};
}

using Strings = std::vector<std::string>;

// "HashSize ListSize ChunkSize Count SlotCapacity".
std::string sizes(const HashTable& t) {
    std::string out;
    for (int n : {t.HashSize(), t.ListSize(), t.ChunkSize(), t.Count(), t.SlotCapacity()})
        out += (out.empty() ? "" : " ") + std::to_string(n);
    return out;
}

TEST(HashTableTest, AddEmptyKeysAndSortedLists) {
    HashTable table;
    table.Add("b", "first");
    table.Add("b", "2");  // replaces
    table.Add("B", "3");
    table.Add("a", "1");
    table.Add("", "x");  // never stored
    table.Add("empty", "");
    EXPECT_EQ(table.Keys(true), (Strings{"B", "a", "b", "empty"}));
    EXPECT_EQ(table.Keys(true, true), (Strings{"empty", "b", "a", "B"}));
    EXPECT_EQ(table.Values(true), (Strings{"", "1", "2", "3"}));
    EXPECT_EQ(table.Values(true, true), (Strings{"3", "2", "1", ""}));
    expectVbError(5, [&] { table.Remove(""); });
    // The default stands in for missing and for empty values.
    for (const char* key : {"", "empty", "missing"}) EXPECT_EQ(table.item(key, "dflt"), "dflt");
    EXPECT_EQ(table.item("a", "dflt"), "1");
    table.setReplaceableKeys(false);
    expectVbError(457, [&] { table.Add("b", "third"); });
    table.Add("c", "x");  // new keys are still welcome
    EXPECT_EQ(table.item("b") + table.item("c"), "2x");
}

TEST(HashTableTest, IgnoreCaseFoldsKeysAndChangesOnlyWhileEmpty) {
    HashTable table;
    table.Add("Name", "1");
    EXPECT_FALSE(table.Exists("NAME"));
    EXPECT_EQ(expectVbError(1001, [&] { table.setIgnoreCase(true); }),
              "The Hash Table isn't empty");
    table.RemoveAll();
    table.setIgnoreCase(true);
    for (const char* key : {"Name", "NAME", "äpfel"}) table.Add(key, key);
    EXPECT_EQ(table.item("nAmE") + table.item("ÄPFEL"), "NAMEäpfel");
    EXPECT_EQ(table.Keys(true), (Strings{"NAME", "ÄPFEL"}));
}

TEST(HashTableTest, RemoveUnlinksAndRefusesMissingKeys) {
    HashTable table;
    table.SetSize(1, 0, 0);  // one bucket: every key in one chain
    for (const char* key : {"a", "b", "c", "d"}) table.Add(key, key);
    for (const char* key : {"b", "a"}) table.Remove(key);  // middle, then head of the chain
    table.Add("a", "again");
    EXPECT_EQ(table.Keys(), (Strings{"c", "d", "a"}));  // new keys go to the end
    expectVbError(5, [&] { table.Remove("zz"); });
    for (const char* key : {"d", "a", "c"}) table.Remove(key);  // tail first
    EXPECT_TRUE(table.Count() == 0 && !table.Exists("c"));
}

TEST(HashTableTest, SlotPoolGrowsInChunksAndReusesFreedSlots) {
    HashTable table;
    for (int i = 0; i < 2048; ++i) table.Add("k" + std::to_string(i), std::to_string(i));
    EXPECT_EQ(table.SlotCapacity(), 2048);
    table.Add("k2048", "2048");
    EXPECT_EQ(table.SlotCapacity(), 3072);
    for (int i = 2049; i < 3072; ++i) table.Add("k" + std::to_string(i), std::to_string(i));
    EXPECT_EQ(table.SlotCapacity(), 3072);
    for (int i = 0; i < 100; ++i) table.Remove("k" + std::to_string(i));
    for (int i = 0; i < 100; ++i) table.Add("n" + std::to_string(i), "new");
    EXPECT_EQ(table.SlotCapacity() + table.Count(), 2 * 3072);  // freed slots first
    for (int i = 100; i < 3072; ++i)
        ASSERT_EQ(table.item("k" + std::to_string(i)), std::to_string(i)) << i;
    EXPECT_EQ(table.item("k5") + table.item("n99"), "new");
}

TEST(HashTableTest, NegativeHashStillFindsItsBucket) {
    const std::string key = "abcä";  // top bit set in the first word
    ASSERT_LT(HashTable::HashValue(key), 0);
    for (int hashSize : {1024, 7, 1}) {
        HashTable table;
        table.SetSize(hashSize, 0, 0);
        table.Add(key, "v");
        table.Add("\xFF\xFF\xFF\xFF", "w");
        EXPECT_EQ(table.item(key) + table.item("\xFF\xFF\xFF\xFF"), "vw") << hashSize;
        table.Remove(key);
        EXPECT_FALSE(table.Exists(key)) << hashSize;
    }
}

TEST(HashTableTest, SetSize) {
    HashTable table;
    table.Add("a", "1");
    for (int bad : {0, -1}) {
        expectVbError(5, [&] { table.SetSize(bad, 10, 10); });
        // Still usable as it was.
        EXPECT_EQ(sizes(table) + " " + table.item("a"), "1024 2048 1024 1 2048 1") << bad;
    }
    table.SetSize(16, 0, -3);  // non-positive sizes keep their value; the table is emptied
    EXPECT_EQ(sizes(table), "16 2048 1024 0 2048");
    table.SetSize(4, 2, 3);
    for (const char* key : {"a", "b", "c"}) table.Add(key, key);
    EXPECT_EQ(table.SlotCapacity(), 5);
    table.RemoveAll();
    EXPECT_EQ(sizes(table), "4 2 3 0 2");
}

}  // namespace
}  // namespace tarnwick
