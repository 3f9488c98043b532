// Code lines, code tables, syntax colouring and the text-lines helper; the code page is golden.
#include <gtest/gtest.h>

#include "generator/pages/CTextLines.h"
#include "generator/pages/ModulePages.h"
#include "generator/pages/SourcePage.h"
#include "generator/pages/modVBtoHTML.h"
#include "generator/site/PageContext.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "support/Escape.h"

namespace tarnwick {
namespace {

const std::string kMono = "<FONT COLOR=\"#000000\" face=\"monospace\">";
const std::string kKw = "<FONT COLOR = \"#000088\">";
const std::string kGreen = "<FONT COLOR = \"#008800\">";
const std::string kEnd = "</FONT>";

struct Case {
    const char* what;
    std::string input;
    std::string expected;  // between the monospace span tags
};

TEST(SourcePage, CodeLineEscapesAndKeepsBlankRuns) {
    const Case cases[] = {
        {"escapes", "a<b>&\"c\"", "a&#60;b&#62;&#38;\"c\""},
        {"a reference in a literal stays visible", "s = \"&lt;\"", "s = \"&#38;lt;\""},
        {"escaped, then coloured", "If a<5 Then",
         kKw + "If " + kEnd + "a&#60;5 " + kKw + "Then" + kEnd},
        {"empty", "", ""},
        {"lines indented each", "x\r\n   y  ", "x<BR>\r\n&nbsp;&nbsp;&nbsp;y&nbsp;&nbsp;"},
        {"aligned comment", "x = 1    ' a",
         "x = 1&nbsp;&nbsp;&nbsp;&nbsp;" + kGreen + "' a" + kEnd},
        {"table in a comment", "'| a  | b |", kGreen + "'| a&nbsp;&nbsp;| b |" + kEnd},
    };
    for (const auto& c : cases)
        EXPECT_EQ(buildCodeLine(c.input).str(), kMono + c.expected + kEnd + "<BR>") << c.what;
}

// The numbers of the line-number column, in order.
std::vector<std::string> lineNumbers(const std::string& table) {
    const std::string cell = "<TD align=\"right\" class=\"LineNumbers\">\r\n";
    std::vector<std::string> numbers;
    for (size_t at = table.find(cell); at != std::string::npos; at = table.find(cell, at)) {
        at += cell.size();
        numbers.push_back(table.substr(at, table.find("</TD>", at) - at));
    }
    return numbers;
}

TEST(SourcePage, LineNumberWidthFollowsLineCount) {
    const struct {
        int lines;
        const char* first;
        const char* last;
    } cases[] = {
        {1, "01", "01"},
        {9, "01", "09"},
        {10, "01", "10"},
        {11, "001", "011"},
        {100, "001", "100"},
        {101, "0001", "0101"},
        {40000, "000001", "040000"},
    };  // past a 16-bit counter
    for (const auto& c : cases) {
        std::string text;
        for (int i = 0; i < c.lines; ++i) text += "x\r\n";
        const auto numbers = lineNumbers(sourceTable(text, "SOURCE", true).str());
        ASSERT_EQ(numbers.size(), static_cast<size_t>(c.lines)) << c.lines;
        EXPECT_EQ(numbers.front(), c.first) << c.lines;
        EXPECT_EQ(numbers.back(), c.last) << c.lines;
    }
    for (const char* blank : {"", "   ", "\r\n\r\n"})
        EXPECT_EQ(lineNumbers(sourceTable(blank, "SOURCE", true).str()),
                  std::vector<std::string>{"01"})
            << blank;
}

TEST(SourcePage, NoTableWithoutSourceAndNoPagesWithoutKind) {
    CProject project;
    PageContext ctx;
    ctx.now = [] { return std::string("NOW"); };
    CModule form;
    form.setModuleType(moduletype::Form);
    form.setName("frmMain");
    EXPECT_EQ(buildCodePage(form, project, ctx).body.str().find("class=\"Source\""),
              std::string::npos);
    form.setModuleType(moduletype::Reference);
    EXPECT_THROW(buildModulePages(form, project, ctx), PageWriteError);
}

TEST(VBtoHTML, ColoursKeywordRunsAndComments) {
    const Case cases[] = {
        {"", "Exit Sub 'done", kKw + "Exit Sub " + kEnd + kGreen + "'done" + kEnd},
        {"", "x 'If Then End", "x " + kGreen + "'If Then End" + kEnd},
        {"one span for a comment with quotes", "x ' it is 'a' b",
         "x " + kGreen + "' it is 'a' b" + kEnd},
        {"one span", "' one\r\n' two\r\nx", kGreen + "' one\r\n' two\r\n" + kEnd + "x"},
        {"one span", "x 'a\r\n'b\r\ny", "x " + kGreen + "'a\r\n'b\r\n" + kEnd + "y"},
        {"", "End\r\n' c", kKw + "End\r\n" + kEnd + kGreen + "' c" + kEnd},
        {"span goes on", "End\r\nSub", kKw + "End\r\nSub" + kEnd},
        {"no line end", "End\nSub", "End\nSub"},
        {"", "EndIf = Ifx + Subtotal", "EndIf = Ifx + Subtotal"},
        {"", "Dim Ifx As Integer", kKw + "Dim " + kEnd + "Ifx " + kKw + "As Integer" + kEnd},
        {"", "end if", kKw + "end if" + kEnd},
        {"no comment", "s = \"it's\"", "s = \"it's\""},
        {"no string literals", "s = \"x 'y'\"", "s = \"x " + kGreen + "'y'\"" + kEnd},
        {"", "s = \"If\"", "s = \"If\""},
        {"not in the table", "For i = 1 To 10 Step 2", kKw + "For " + kEnd + "i = 1 To 10 Step 2"},
        {"", "Rem note", "Rem note"},
        {"", "End: x", kKw + "End: " + kEnd + "x"},
        {"", "Exit Sub: x", kKw + "Exit Sub" + kEnd + ": x"},
        {"", "Call Sub() x", kKw + "Call Sub" + kEnd + "() x"},
        {"", "(x) If", "(x) " + kKw + "If" + kEnd},
        {"shortest to lose a suffix", "Do Do:", kKw + "Do Do" + kEnd + ":"},
        {"", "Dim\r\n\r\nDim", kKw + "Dim\r\n" + kEnd + "\r\n" + kKw + "Dim" + kEnd},
        {"", "\tDim x", "&#09;\tDim x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(modVBtoHTML::convertVBtoHTML(c.input), kMono + c.expected + kEnd)
            << c.what << ": " << c.input;
    }
}

// The modern listing's marks, line by line ("\n" between lines).
TEST(VBtoHTML, MarksStringsCommentsAndKeywordsAsTheCompilerReads) {
    const struct {
        const char* input;
        const char* expected;
    } cases[] = {
        {"Exit Sub 'done", "<b>Exit Sub</b> <i>'done</i>"},
        {"Public  Function F() As Long  ", "<b>Public  Function</b> F() <b>As Long</b>  "},
        {"s = \"it's\" ' If", "s = <q>\"it's\"</q> <i>' If</i>"},
        {"s = \"a\"\"If\"\"\" & If", "s = <q>\"a\"\"If\"\"\"</q> &#38; <b>If</b>"},
        {"s = \"open", "s = <q>\"open</q>"},
        {"rs.Close: Close #1", "rs.Close: <b>Close</b> #1"},
        {"x = 1: Rem If\nRemark = 2", "x = 1: <i>Rem If</i>\nRemark = 2"},
        {"' a _\n  b\nc", "<i>' a _</i>\n<i>  b</i>\nc"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e = EndIf",
         "Gr\xC3\xB6\xC3\x9F"
         "e = EndIf"},
        {"If a<5 Then", "<b>If</b> a&#60;5 <b>Then</b>"},
    };
    for (const auto& row : cases) {
        std::string out;
        modVBtoHTML::MarkState state;
        const std::string input = row.input;
        for (size_t at = 0; at <= input.size();) {
            const size_t end = std::min(input.find('\n', at), input.size());
            if (at > 0) out += '\n';
            modVBtoHTML::appendMarkedLine(out, codeText(input.substr(at, end - at)).str(), state);
            at = end + 1;
        }
        EXPECT_EQ(out, row.expected) << row.input;
    }
}

TEST(TextLines, SplitsAtCrLfOnlyAndDropsTrailingBlankLines) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
        int afterTrim;  // LineCount after DeleteAppendingLines
    } cases[] = {
        {"", {""}, 0},
        {"a\r\nb", {"a", "b"}, 1},
        {"a\nb\rc", {"a\nb\rc"}, 0},
        {"\r\n  \r\n", {"", "  ", ""}, 0},      // line 0 always stays
        {"a\r\n\t\r\n ", {"a", "\t", " "}, 1},  // a tab is not blank
        {"a\r\n  b\r\n", {"a", "  b", ""}, 1},
    };
    for (const auto& c : cases) {
        CTextLines lines;
        lines.setText(c.text);
        EXPECT_EQ(lines.lines(), c.lines) << c.text;
        lines.DeleteAppendingLines();
        EXPECT_EQ(lines.LineCount(), c.afterTrim) << c.text;
    }
    CTextLines lines;
    EXPECT_EQ(lines.LineCount(), -1);
    lines.setText("a\r\nb");
    lines.setText("c\r\n\r\n");  // writing appends
    // The CR LF pairs at the very end dropped.
    EXPECT_EQ(std::to_string(lines.LineCount()) + lines.Text() + lines.GetLine(5), "4a\r\nb\r\nc");
    lines.ReplaceLine(-1, "x");
    lines.DeleteLine(7);
    lines.ReplaceLine(1, "B");
    lines.DeleteLine(0);
    EXPECT_EQ(lines.Text(), "B\r\nc");
}

}  // namespace
}  // namespace tarnwick
