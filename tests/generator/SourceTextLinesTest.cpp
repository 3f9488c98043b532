// CTextLines: splitting, joining and trimming of trailing blank lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/CTextLines.h"

namespace tarnwick {
namespace {

std::vector<std::string> linesOf(std::string_view text) {
    CTextLines lines;
    lines.setText(text);
    return lines.lines();
}

TEST(SourceTextLinesTest, SplitsAtCrLfOnly) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a", ""}},
        {"a\nb\rc", {"a\nb\rc"}},
        {"\r\n\r\n", {"", "", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(linesOf(c.text), c.lines) << c.text;
}

TEST(SourceTextLinesTest, WritingAppendsAndReadingJoins) {
    CTextLines lines;
    EXPECT_EQ(lines.LineCount(), -1);
    EXPECT_EQ(lines.Text(), "");
    lines.setText("a\r\nb");
    lines.setText("c\r\n\r\n");
    EXPECT_EQ(lines.LineCount(), 4);
    // Read back: CR LF between lines, the CR LF pairs at the very end dropped.
    EXPECT_EQ(lines.Text(), "a\r\nb\r\nc");
}

TEST(SourceTextLinesTest, OutOfRangeAccessDoesNothing) {
    CTextLines lines;
    lines.setText("a\r\nb\r\nc");
    EXPECT_EQ(lines.GetLine(3), "");
    lines.ReplaceLine(-1, "x");
    lines.DeleteLine(7);
    lines.ReplaceLine(1, "B");
    lines.DeleteLine(0);
    EXPECT_EQ(lines.Text(), "B\r\nc");
}

TEST(SourceTextLinesTest, DeleteAppendingLinesKeepsLineZeroAndTabs) {
    const struct {
        std::string text;
        int lineCount;
    } cases[] = {
        {"a\r\n\r\n   \r\n", 0}, {"\r\n  \r\n", 0},  // line 0 always stays
        {"a\r\n\t\r\n ", 1},                         // a tab is not blank
        {"a\r\n  b\r\n", 1},     {"", 0},
    };
    for (const auto& c : cases) {
        CTextLines lines;
        lines.setText(c.text);
        lines.DeleteAppendingLines();
        EXPECT_EQ(lines.LineCount(), c.lineCount) << c.text;
    }
}

}  // namespace
}  // namespace tarnwick
