// Text becomes markup, an address, a code listing, a script string or a
// console line: nothing from a project may end an attribute, start a tag or
// a comment, close a script, leave the site's folder or move a cursor.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/Escape.h"
#include "support/TerminalText.h"

namespace tarnwick {
namespace {

// Every byte that means something in one of the contexts, a letter that
// needs no escape, a non-ASCII character and a byte that is not UTF-8.
const std::string kSpecials =
    "&<>\"'`/\\ #?%=;\t\r\n\x01\x7f"
    "a\xc3\xa9\xff";

TEST(EscapeTest, EverySpecialByteInEveryContext) {
    struct Row {
        const char* context;
        std::string (*escape)(std::string_view);
        std::string expected;
    };
    const Row rows[] = {
        {"element text", [](std::string_view t) { return escaped(t).str(); },
         "&amp;&lt;&gt;\"'`/\\ #?%=;\t\r\n\x01\x7f"
         "a\xc3\xa9\xff"},
        {"attribute", [](std::string_view t) { return attribute(t).str(); },
         "&amp;&lt;&gt;&quot;&#39;`/\\ #?%=;\t\r\n\x01\x7f"
         "a\xc3\xa9\xff"},
        {"address", [](std::string_view t) { return url(t).str(); },
         "%26%3C%3E%22%27%60/%5C%20%23%3F%25%3D%3B%09%0D%0A%01%7Fa%C3%A9%FF"},
        {"code listing", [](std::string_view t) { return codeText(t).str(); },
         "&#38;&#60;&#62;\"'`/\\ #?%=;\t\r\n\x01\x7f"
         "a\xc3\xa9\xff"},
        {"script string", [](std::string_view t) { return jsString(t).str(); },
         "\"\\u0026\\u003c\\u003e\\\"'`/\\\\ #?%=;\\u0009\\u000d\\u000a\\u0001\\u007fa"
         "\\u00e9\\ufffd\""},
        {"terminal", terminalSafe,
         "&<>\"'`/\\ #?%=;\t\\x0D\\x0A\\x01\\x7F"
         "a\xc3\xa9\xff"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.escape(kSpecials), row.expected) << row.context;
}

TEST(EscapeTest, WhatEachContextMustNotLetThrough) {
    const struct {
        const char* what;
        std::string actual, expected;
    } rows[] = {
        {"a script string cannot close its element nor open a comment or CDATA end",
         jsString("M</script><!--x-->]]>").str(),
         "\"M\\u003c/script\\u003e\\u003c!--x--\\u003e]]\\u003e\""},
        {"characters past U+FFFF as surrogate pairs", jsString("\xF0\x9F\x98\x80").str(),
         "\"\\ud83d\\ude00\""},
        {"line and paragraph separators, which end a line in old scripts",
         jsString("\xE2\x80\xA8\xE2\x80\xA9").str(), "\"\\u2028\\u2029\""},
        {"a fragment keeps its '#' once", url("../C/X.html#F_a b#c", true).str(),
         "../C/X.html#F_a%20b%23c"},
        {"C1 controls of a terminal (CSI)",
         terminalSafe("\xc2\x9b"
                      "2J\xc2\xa0"),
         "\\u009B2J\xc2\xa0"},
        {"a character the page encoding lacks", characterReference(U'\u20AC').str(), "&#8364;"},
        {"row texts read back are copied only as literals jsString writes",
         [] {
             std::string said;
             for (const char* texts :
                  {",\"a \\u003c \\\" \\\\\",\"b\"", ",\"\"", "", "\"a\"", ",\"a", ",\"<\"",
                   ",\"&\"", ",\"a\"x", ",\"\\x\"", ",\"\\u12\"", ",\"\xc3\xa9\"", ",\"a\"]"})
                 said += isJsLiterals(texts) ? 'y' : 'n';
             return said;
         }(),
         "yynnnnnnnnnn"},
        {"and back: the references authors write, as a browser reads them",
         decodeCharacterReferences(
             "&lt;&AMP;&#x41;&#66;&nbsp;&colon;&sol;&Tab;&NewLine;&quot;&gt; &foo; &#0; "
             "&#x110000; &x"),
         "<&AB\xc2\xa0:/\t\n\"> &foo; &#0; &#x110000; &x"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << row.what;
    // Byte by byte, the sanitizer's entities are element text's.
    for (const char c : kSpecials)
        EXPECT_EQ(
            std::string(textEntity(c)).empty() ? std::string(1, c) : std::string(textEntity(c)),
            escaped(std::string_view(&c, 1)).str())
            << int(c);
}

}  // namespace
}  // namespace tarnwick
