// Syntax colouring: keyword runs, comment spans and the token rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/modVBtoHTML.h"

namespace tarnwick {
namespace {

using namespace modVBtoHTML;

const std::string kMono = "<FONT COLOR=\"#000000\" face=\"monospace\">";
const std::string kKw = "<FONT COLOR = \"#000088\">";
const std::string kGreen = "<FONT COLOR = \"#008800\">";
const std::string kEnd = "</FONT>";

struct ColourCase {
    const char* what;
    std::string input;
    std::string expected;  // between the monospace span tags
};

TEST(VBtoHTMLTest, ColoursKeywordRunsAndComments) {
    const ColourCase cases[] = {
        {"keyword run closes before the first other token", "Private Sub Foo()",
         kKw + "Private Sub " + kEnd + "Foo()"},
        {"span opened again after a non-keyword and closed at the end", "If a<5 Then",
         kKw + "If " + kEnd + "a<5 " + kKw + "Then" + kEnd},
        {"trailing comment", "x = 1 ' set x", "x = 1 " + kGreen + "' set x" + kEnd},
        {"comment right after keywords closes the keyword span", "Exit Sub 'done",
         kKw + "Exit Sub " + kEnd + kGreen + "'done" + kEnd},
        {"keywords inside a comment stay plain", "x 'If Then End",
         "x " + kGreen + "'If Then End" + kEnd},
        {"whole-line comments in a row share one span", "' one\r\n' two\r\nx",
         kGreen + "' one\r\n' two\r\n" + kEnd + "x"},
        {"a trailing comment's span goes on over a whole-line comment", "x 'a\r\n'b\r\ny",
         "x " + kGreen + "'a\r\n'b\r\n" + kEnd + "y"},
        {"whole-line comment closes an open keyword span", "End\r\n' c",
         kKw + "End\r\n" + kEnd + kGreen + "' c" + kEnd},
        {"keyword span goes on into the next line", "End\r\nSub", kKw + "End\r\nSub" + kEnd},
        {"keywords inside identifiers are not coloured", "EndIf = Ifx + Subtotal",
         "EndIf = Ifx + Subtotal"},
        {"identifier between keywords", "Dim Ifx As Integer",
         kKw + "Dim " + kEnd + "Ifx " + kKw + "As Integer" + kEnd},
        {"letter case does not matter", "end if", kKw + "end if" + kEnd},
        {"the empty last token after a blank closes the span", "Then ", kKw + "Then " + kEnd},
        {"an apostrophe inside a word of a string is no comment", "s = \"it's\"", "s = \"it's\""},
        {"no string literals: an apostrophe token inside a string starts a comment",
         "s = \"x 'y'\"", "s = \"x " + kGreen + "'y'\"" + kEnd},
        {"keywords inside a string are coloured", "s = \"If\"", "s = \"If\""},
        {"words outside the table stay plain", "For i = 1 To 10 Step 2",
         kKw + "For " + kEnd + "i = 1 To 10 Step 2"},
        {"Rem is no comment", "Rem note", "Rem note"},
        {"colon after a keyword opening a span stays inside it", "End: x",
         kKw + "End: " + kEnd + "x"},
        {"suffix closes an open span right after the keyword", "Exit Sub: x",
         kKw + "Exit Sub" + kEnd + ": x"},
        {"empty parentheses and parenthesis dropped in turn", "Call Sub() x",
         kKw + "Call Sub" + kEnd + "() x"},
        {"a parenthesised word is no keyword", "(x) If", "(x) " + kKw + "If" + kEnd},
        {"three characters are the shortest token that loses a suffix",
         "Do Do:", kKw + "Do Do" + kEnd + ":"},
        {"empty text", "", ""},
        {"empty lines between keywords close the span", "Dim\r\n\r\nDim",
         kKw + "Dim\r\n" + kEnd + "\r\n" + kKw + "Dim" + kEnd},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convertVBtoHTML(c.input), kMono + c.expected + kEnd) << c.what << ": " << c.input;
    }
}

TEST(VBtoHTMLTest, CallsDoNotShareSpanState) {
    EXPECT_EQ(convertVBtoHTML("Dim"), kMono + kKw + "Dim" + kEnd + kEnd);
    EXPECT_EQ(convertVBtoHTML("' c"), kMono + kGreen + "' c" + kEnd + kEnd);
    EXPECT_EQ(convertVBtoHTML("x"), kMono + "x" + kEnd);
}

TEST(VBtoHTMLTest, HighlightKeywordFollowsTheSpanState) {
    SpanState state;
    EXPECT_EQ(highlightKeyword("If ", state), kKw + "If ");
    EXPECT_TRUE(state.keyword);
    EXPECT_EQ(highlightKeyword("Not ", state), "Not ");
    EXPECT_TRUE(state.keyword);
    EXPECT_EQ(highlightKeyword("Then:", state), "Then" + kEnd + ":");
    EXPECT_FALSE(state.keyword);
    EXPECT_EQ(highlightKeyword("x ", state), "x ");
    state.keyword = true;
    EXPECT_EQ(highlightKeyword("x ", state), kEnd + "x ");
    EXPECT_FALSE(state.keyword);
}

TEST(VBtoHTMLTest, KeywordTable) {
    for (const char* word : {"CONST", "ELSEIF", "IMPLEMENTS", "PRESERVE", "WITH", "CVERR", "NAME"})
        EXPECT_TRUE(isKeyword(word)) << word;
    for (const char* word :
         {"TO", "STEP", "NOTHING", "ME", "FRIEND", "EVENT", "MOD", "XOR", "REM", "If", ""})
        EXPECT_FALSE(isKeyword(word)) << word;
}

TEST(VBtoHTMLTest, SplitWords) {
    const struct {
        std::string line;
        std::vector<std::string> tokens;
    } cases[] = {
        {"If a<5 Then", {"If ", "a<5 ", "Then"}},
        {"a  b", {"a ", " ", "b"}},
        {"a ", {"a ", ""}},
        {"", {""}},
        {"\tIf x", {"&#09;\tIf ", "x"}},
        {"\tx", {"\tx"}},  // the last token is not tested for a tab
    };
    for (const auto& c : cases) EXPECT_EQ(splitWords(c.line), c.tokens) << c.line;
}

TEST(VBtoHTMLTest, TabIndentedLineKeepsItsTokens) {
    EXPECT_EQ(convertVBtoHTML("\tDim x"), kMono + "&#09;\tDim " + "x" + kEnd);
}

}  // namespace
}  // namespace tarnwick
