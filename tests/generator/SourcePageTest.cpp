// Code tables, code lines, character escapes and the code page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "generator/ModulePages.h"
#include "generator/PageContext.h"
#include "generator/SourcePage.h"
#include "generator/modHtml.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

const std::string kMono = "<FONT COLOR=\"#000000\" face=\"monospace\">";
const std::string kKw = "<FONT COLOR = \"#000088\">";
const std::string kEnd = "</FONT>";
const std::string kGreen = "<FONT COLOR = \"#008800\">";

// One code row of a table: the indentation and the coloured, escaped line.
std::string codeRow(const std::string& indent, const std::string& coloured) {
    return "<TR class=\"CodeLines\">\r\n<TD  class=\"CodeLines\" nowrap>\r\n" + indent + kMono +
           coloured + kEnd + "<BR></TD>\r\n</TR>\r\n";
}

std::string numberRow(const std::string& number) {
    return "<TR class=\"LineNumbers\">\r\n<TD align=\"right\" class=\"LineNumbers\">\r\n" + number +
           "</TD>\r\n</TR>\r\n";
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

std::string linesOfX(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "x\r\n";
    return text;
}

TEST(SourcePageTest, EncodeCharWritesDecimalReferences) {
    const struct {
        std::string text;
        char32_t character;
        std::string expected;
    } cases[] = {
        {"a<b<", U'<', "a&#60;b&#60;"},
        {"<>", U'>', "<&#62;"},
        {"", U'<', ""},
        {"\xC3\xA9t\xC3\xA9", U'\u00E9', "&#233;t&#233;"},
        {"no match", U'<', "no match"},
    };
    for (const auto& c : cases) EXPECT_EQ(encodeChar(c.text, c.character), c.expected) << c.text;
}

TEST(SourcePageTest, CodeLineEscapesAmpersandAndAngleBrackets) {
    // "&lt;" in a string literal must stay visible as written.
    EXPECT_EQ(buildCodeLine("a<b>&\"c\""), kMono + "a&#60;b&#62;&#38;\"c\"" + kEnd + "<BR>");
    EXPECT_EQ(buildCodeLine("s = \"&lt;\""), kMono + "s = \"&#38;lt;\"" + kEnd + "<BR>");
    EXPECT_EQ(buildCodeLine("If a<5 Then"),
              kMono + kKw + "If " + kEnd + "a&#60;5 " + kKw + "Then" + kEnd + kEnd + "<BR>");
    EXPECT_EQ(buildCodeLine(""), kMono + kEnd + "<BR>");
}

TEST(SourcePageTest, CodeLineOfSeveralLinesIndentsEachLine) {
    EXPECT_EQ(buildCodeLine("x\r\n   y  "),
              kMono + "x<BR>\r\n&nbsp;&nbsp;&nbsp;y&nbsp;&nbsp;" + kEnd + "<BR>");
}

TEST(SourcePageTest, CodeLineKeepsRunsOfBlanks) {
    // Aligned comments and ASCII tables keep their columns; single blanks
    // and the blanks inside the colour tags stay blanks.
    EXPECT_EQ(buildCodeLine("x = 1    ' aligned"),
              kMono + "x = 1&nbsp;&nbsp;&nbsp;&nbsp;<FONT COLOR = \"#008800\">' aligned" + kEnd +
                  kEnd + "<BR>");
    EXPECT_EQ(buildCodeLine("'| a  | b |"),
              kMono + "<FONT COLOR = \"#008800\">'| a&nbsp;&nbsp;| b |" + kEnd + kEnd + "<BR>");
}

TEST(SourcePageTest, UnnumberedTableCarriesIdOnOuterTable) {
    const std::string expected =
        "<TABLE class=\"Source\" cellspacing=\"0\" cellpadding=\"0\" \r\n"
        " id = \"SYNTAX\"\r\n"
        ">\r\n" +
        codeRow("&nbsp;", kKw + "Dim " + kEnd + "x") +
        codeRow("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;", "x = 1") + "</TABLE>\r\n";
    EXPECT_EQ(buildSourceTable("Dim x\r\n    x = 1  \r\n\r\n   \r\n", "SYNTAX", false), expected);
}

TEST(SourcePageTest, NumberedTableCarriesIdOnCodeTable) {
    const std::string expected =
        "<TABLE class=\"Source\" cellspacing=\"0\" cellpadding=\"0\" \r\n"
        ">\r\n"
        "<TR>\r\n"
        "<TD width=\"1px\">\r\n"
        "<TABLE border=\"0\" cellspacing=\"0\" cellpadding=\"0\" class=\"LineNumbers\">\r\n" +
        numberRow("01") + numberRow("02") +
        "</TABLE>\r\n"
        "</TD>\r\n"
        "<TD width=\"100%\">\r\n"
        "<TABLE border=\"0\" cellspacing=\"0\" cellpadding=\"0\" class=\"CodeLines\" \r\n"
        " id = \"SOURCE\"\r\n"
        ">\r\n" +
        codeRow("&nbsp;", kGreen + "' a&#60;b" + kEnd) + codeRow("&nbsp;", "\t") +
        "</TABLE>\r\n"
        "</TD>\r\n"
        "</TR>\r\n"
        "</TABLE>\r\n";
    // A line holding a tab is not blank, so it keeps its row.
    EXPECT_EQ(buildSourceTable("' a<b\r\n\t\r\n", "SOURCE", true), expected);
}

TEST(SourcePageTest, LineNumberWidthFollowsLineCount) {
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
        {40000, "000001", "040000"},  // past what a 16-bit counter holds
    };
    for (const auto& c : cases) {
        const auto numbers = lineNumbers(buildSourceTable(linesOfX(c.lines), "SOURCE", true));
        ASSERT_EQ(numbers.size(), static_cast<size_t>(c.lines)) << c.lines;
        EXPECT_EQ(numbers.front(), c.first) << c.lines;
        EXPECT_EQ(numbers.back(), c.last) << c.lines;
    }
}

TEST(SourcePageTest, EmptyAndBlankTextsKeepOneRow) {
    for (const char* text : {"", "   ", "\r\n\r\n"}) {
        const std::string table = buildSourceTable(text, "SOURCE", true);
        EXPECT_EQ(lineNumbers(table), std::vector<std::string>{"01"}) << text;
        EXPECT_NE(table.find(codeRow(text[0] == ' ' ? "&nbsp;&nbsp;&nbsp;&nbsp;" : "&nbsp;", "")),
                  std::string::npos)
            << text;
    }
}

PageContext fixedContext() {
    PageContext ctx;
    ctx.now = [] { return std::string("01.02.2026 03:04:05"); };
    return ctx;
}

std::shared_ptr<CModule> classModule(const std::string& name, const std::string& source) {
    auto module = std::make_shared<CModule>();
    module->setModuleType(moduletype::Class);
    module->setName(name);
    module->setSource(source);
    return module;
}

TEST(SourcePageTest, EmptySourceGivesNoHeadingAndNoTable) {
    CProject project;
    const auto ctx = fixedContext();
    const auto module = classModule("Foo", "");
    EXPECT_EQ(buildCodePage(*module, project, ctx), modHtml::modulePageHead(*module, project, ctx) +
                                                        "\r\n" + modHtml::modulePageTail(ctx) +
                                                        "\r\n");
}

TEST(SourcePageTest, CodePageShowsNumberedSource) {
    CProject project;
    const auto ctx = fixedContext();
    const auto module = classModule("Foo", "Option Explicit\r\n");
    EXPECT_EQ(buildCodePage(*module, project, ctx),
              modHtml::modulePageHead(*module, project, ctx) + "\r\n" +
                  "<H3>\r\nSource\r\n</H3>\r\n<P>\r\n" +
                  buildSourceTable("Option Explicit\r\n", "SOURCE", true) + "\r\n</P>\r\n" +
                  modHtml::modulePageTail(ctx) + "\r\n");
}

TEST(SourcePageTest, CodePageUsesKindFolderAndSafeName) {
    CProject project;
    const auto ctx = fixedContext();
    auto form = classModule("frmMain", "x\r\n");
    form->setModuleType(moduletype::Form);
    EXPECT_EQ(buildModulePages(*form, project, ctx).back().path, "Forms/frmMain_Code.html");
    const auto odd = classModule("../a/b", "x\r\n");
    EXPECT_EQ(buildModulePages(*odd, project, ctx).back().path,
              "Classes/" + safeFileName("../a/b") + "_Code.html");
    auto reference = classModule("stdole", "");
    reference->setModuleType(moduletype::Reference);
    EXPECT_THROW(buildModulePages(*reference, project, ctx), PageWriteError);
}

}  // namespace
}  // namespace tarnwick
