// The lexer and the word tables of the cross-references: what a line of
// code is as names, numbers and symbols, and which words are no calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/xref/Lexer.h"
#include "reader/xref/Words.h"
#include "support/Text.h"

namespace tarnwick::xref {
namespace {

// The statements of source, "|" between them; a name as its text, with what
// is written in {} when that differs, a token not on line 1 with "@line".
std::string lexed(const std::string& source) {
    const std::vector<std::string_view> lines{splitLines(source)};
    StatementReader reader{Lexer(source, nullptr)};
    std::string out;
    Statement s;
    while (reader.next(s)) {
        out += out.empty() ? "" : " |";
        for (const Token& t : s) {
            const std::string_view written = lines[static_cast<size_t>(t.line - 1)].substr(
                static_cast<size_t>(t.column), static_cast<size_t>(t.length));
            out += " " + std::string(t.kind == Tok::Ident ? t.text : written);
            if (t.kind == Tok::Ident && written != t.text) out += "{" + std::string(written) + "}";
            if (t.line != 1) out += "@" + std::to_string(t.line);
        }
    }
    return out;
}

TEST(XrefLexer, LinesAsStatementsOfTokens) {
    const struct {
        const char* source;
        const char* expected;
    } kRows[] = {
        {"Rem Helper is called", ""},
        {"x = 1: Rem Helper", " x = 1"},
        {"10 Rem Helper", ""},
        {"x = 1 ' Helper", " x = 1"},
        {"10 x = 1", " x = 1"},
        {"Retry: x = 1", " x = 1"},
        {"Retry: Rem Helper", ""},
        {"Reset: Load", " Load"},  // "Reset:" at a line's start is a label
        {"d = #1/2/2000# + #12:00:00 AM#", " d = #1/2/2000# + #12:00:00 AM#"},
        {"Print #1, x", " Print # 1 , x"},
        {"s = \"it's \"\"Helper\"\"\" & t", " s = \"it's \"\"Helper\"\"\" & t"},
        {"x = rs!Name & rs!Value!", " x = rs ! Name & rs ! Value{Value!}"},
        {"a$ = b& + c% + d@ + e# + f!", " a{a$} = b{b&} + c{c%} + d{d@} + e{e#} + f{f!}"},
        {"n = &HFF& + &O17 + 1.5E+3", " n = &HFF& + &O17 + 1.5E + 3"},
        {"Call Foo(a, _\r\n    b) _\r\n  : Bar", " Call Foo ( a , b@2 )@2 | Bar@3"},
        {"x = a +\t_\r\n  b", " x = a + b@2"},
        {"' comment _\r\n  Helper\r\nx", " x@3"},
        {"x = [Type].Value: Foo a:=1", " x = Type{[Type]} . Value | Foo a := 1"},
        {"If a Then b = (c: d) Else e", " If a Then b = ( c : d ) Else e"},
    };
    for (const auto& row : kRows) EXPECT_EQ(lexed(row.source), row.expected) << row.source;
}

TEST(XrefWords, KeysAndStatementWords) {
    EXPECT_EQ(key("Count&"), "count");
    EXPECT_EQ(key("BDÉConnexion"), "bdéconnexion");
    // Statements with a syntax of their own are never calls at a statement's
    // start; the library's statements are, when the project has the name.
    for (const char* word : {"print", "line", "open", "close", "name", "get", "error"})
        EXPECT_TRUE(isStatementSyntax(word)) << word;
    for (const char* word : {"reset", "load", "unload", "kill", "beep", "randomize"})
        EXPECT_FALSE(isStatementSyntax(word)) << word;
    EXPECT_TRUE(isReservedWord("typeof") && isObjectWord("caption") && !isObjectWord("helper"));
}

}  // namespace
}  // namespace tarnwick::xref
