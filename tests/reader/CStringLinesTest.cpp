#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/CStringLines.h"

namespace tarnwick {
namespace {

TEST(CStringLines, CutsAtCrLfOnly) {
    struct Case {
        std::string text;
        int count;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"one\r\ntwo\r\n", 2, {"one", "two", ""}},
        {"one\ntwo", 0, {"one\ntwo"}},
        {"", -1, {}},
        {"a\rb\r\n\r\nc", 2, {"a\rb", "", "c"}},
        {"\r\n", 1, {"", ""}},
        {"\r\r\n\n", 1, {"\r", "\n"}},
        {"last line without end", 0, {"last line without end"}},
        {std::string("nul\0byte\r\nx", 11), 1, {std::string("nul\0byte", 8), "x"}},
    };
    for (const Case& c : cases) {
        CStringLines lines(c.text);
        ASSERT_EQ(lines.Count(), c.count) << c.text;
        for (size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(lines.Line(static_cast<int32_t>(i)), c.lines[i]) << c.text << " line " << i;
        EXPECT_EQ(lines.Line(c.count + 1), "\r\n") << c.text;
    }
}

TEST(CStringLines, EmptySetAgainAndMany) {
    CStringLines lines;
    const auto line = [&](int i) { return std::string(lines.Line(i)); };
    EXPECT_EQ(std::to_string(lines.Count()) + line(0), "0");
    lines.setText("a\r\nb\r\nc");
    lines.setText("x");  // replaces the lines
    EXPECT_EQ(std::to_string(lines.Count()) + line(0) + line(1), "0x\r\n");
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "x\r\n";
    lines.setText(text);
    EXPECT_EQ(std::to_string(lines.Count()) + line(199999) + line(200000), "200000x");
}

}  // namespace
}  // namespace tarnwick
