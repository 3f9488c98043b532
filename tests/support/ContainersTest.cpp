#include <gtest/gtest.h>

#include <string>

#include "support/Errors.h"
#include "support/ListMap.h"
#include "support/StringBuffer.h"

namespace tarnwick {
namespace {

TEST(StringBufferTest, AppendLnClearAndCapacityWrite) {
    StringBuffer buffer;
    buffer.AppendLn("");
    buffer.Append("<p>");
    buffer.AppendLn("x");
    EXPECT_EQ(buffer.ToString(), "\r\n<p>x\r\n");
    EXPECT_EQ(buffer.Length(), 8);
    buffer.Append(std::string(5000, 'x'));
    buffer.Clear();
    EXPECT_EQ(buffer.ToString(), "");
    EXPECT_EQ(buffer.Length(), 0);
    EXPECT_EQ(buffer.Capacity(), 4096);
    buffer.setCapacity(100);
    EXPECT_EQ(buffer.Capacity(), 4096);
    buffer.Append("abc");
    buffer.setCapacity(5000);
    EXPECT_EQ(buffer.Capacity(), 5000);
    EXPECT_EQ(buffer.ToString(), "abc");
    buffer.Append(std::string(4998, 'y'));  // 5001 > 5000
    EXPECT_EQ(buffer.Capacity(), 20000);
    EXPECT_EQ(buffer.take().size(), 5001u);
    EXPECT_EQ(buffer.Length(), 0);
}

TEST(ListMapTest, KeysKeepOrderAndDuplicates) {
    ListMap map;
    EXPECT_EQ(map.Size(), -1);
    EXPECT_EQ(map.value("absent"), "");
    map.Add("Type", "Exe");
    map.Add("Name", "First");
    map.Add("Name", "Second");
    EXPECT_EQ(map.Size(), 2);
    EXPECT_EQ(map.value("Name"), "First");
    EXPECT_EQ(map.value("name"), "");  // exact, case-sensitive
    EXPECT_EQ(map.value(2), "Second");
    EXPECT_EQ(map.Key(0), "Type");
    EXPECT_EQ(map.Keys(), (std::vector<std::string>{"Type", "Name", "Name"}));
    EXPECT_EQ(map.Values(), (std::vector<std::string>{"Exe", "First", "Second"}));
}

TEST(ListMapTest, RemoveEmptiesWithoutShiftingAndOutsideThrows) {
    ListMap map;
    map.Add("a", "1");
    map.Add("b", "2");
    map.Remove(0);
    EXPECT_EQ(map.Size(), 1);
    EXPECT_EQ(map.Key(0), "");
    EXPECT_EQ(map.value("b"), "2");
    EXPECT_EQ(map.value("a"), "");
    for (int index : {-1, 2, 100}) {
        EXPECT_THROW(map.Key(index), VbError) << index;
        EXPECT_THROW(map.value(index), VbError) << index;
        EXPECT_THROW(map.Remove(index), VbError) << index;
    }
}

}  // namespace
}  // namespace tarnwick
