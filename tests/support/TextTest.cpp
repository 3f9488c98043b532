#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/Text.h"

namespace tarnwick {
namespace {

TEST(TextTest, CaseMappingCoversTheProjectCodePages) {
    static const struct {
        const char* text;
        const char* upper;
        const char* lower;
    } kCases[] = {
        {"Form_Load", "FORM_LOAD", "form_load"},
        {"äöü ÄÖÜ ß", "ÄÖÜ ÄÖÜ ß", "äöü äöü ß"},  // sharp s has no one-letter upper case
        {"ÿŸ", "ŸŸ", "ÿÿ"},
        {"čšžŁódź", "ČŠŽŁÓDŹ", "čšžłódź"},
        {"ĳŉĸ", "Ĳŉĸ", "ĳŉĸ"},
        {"αβγ ς Σ", "ΑΒΓ Σ Σ", "αβγ ς σ"},
        {"άέήίόύώ ϊϋ", "ΆΈΉΊΌΎΏ ΪΫ", "άέήίόύώ ϊϋ"},
        {"Привет ёђґ", "ПРИВЕТ ЁЂҐ", "привет ёђґ"},
        {"ơư ăđ", "ƠƯ ĂĐ", "ơư ăđ"},  // windows-1258
        {"中文 1+2", "中文 1+2", "中文 1+2"},
        {"a\377b", "A\377B", "a\377b"},  // bytes that are not UTF-8 stay
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(toUpper(c.text), c.upper) << c.text;
        EXPECT_EQ(toLower(c.text), c.lower) << c.text;
    }
}

TEST(TextTest, ComparisonIgnoringCase) {
    static const struct {
        const char* a;
        const char* b;
        int sign;
    } kCases[] = {
        {"Form_Load", "FORM_LOAD", 0},
        {"Größe", "GRÖßE", 0},
        {"клиент", "КЛИЕНТ", 0},
        {"ΣΟΦΊΑ", "σοφία", 0},
        {"ı", "I", 0},  // dotless i folds to I although the byte lengths differ
        {"abc", "ABD", -1},
        {"b", "A", 1},
        {"a", "ab", -1},
        {"", "", 0},
        {"\xFF", "\xFE", 1},  // different invalid bytes never compare equal
    };
    for (const auto& c : kCases) {
        const int result = compareIgnoreCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(equalsIgnoreCase(c.a, c.b), c.sign == 0) << c.a << " vs " << c.b;
    }
}

TEST(TextTest, PrefixAndSuffix) {
    EXPECT_TRUE(startsWithIgnoreCase("ÄRGER", "är") && startsWithIgnoreCase("x", "") &&
                endsWithIgnoreCase("ДАННЫЕ", "ные") && startsWith("abc", "ab") &&
                endsWith("abc", "bc"));
    EXPECT_FALSE(startsWithIgnoreCase("ab", "abc") || endsWithIgnoreCase("x", "xx") ||
                 startsWith("abc", "AB") || endsWith("c", "bc"));
}

TEST(TextTest, TrimmingRemovesSpacesOnly) {
    static const struct {
        const char* text;
        const char* both;
        const char* left;
        const char* right;
    } kCases[] = {
        {"  a b  ", "a b", "a b  ", "  a b"},
        {"\ta\t", "\ta\t", "\ta\t", "\ta\t"},
        {" \t x \t ", "\t x \t", "\t x \t ", " \t x \t"},
        {"   ", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(trimSpaces(c.text), c.both) << '[' << c.text << ']';
        EXPECT_EQ(ltrimSpaces(c.text), c.left) << '[' << c.text << ']';
        EXPECT_EQ(rtrimSpaces(c.text), c.right) << '[' << c.text << ']';
    }
}

TEST(TextTest, SplitLines) {
    using Lines = std::vector<std::string_view>;
    static const struct {
        std::string_view text;
        LineEnd end;
        Lines lines;
    } kRows[] = {
        {"a\r\nb\nc\r\n", LineEnd::CrLf, {"a", "b\nc", ""}},
        {"", LineEnd::CrLf, {""}},
        {"a\rb\r", LineEnd::CrLf, {"a\rb\r"}},
        {"a\r\nb\nc\r", LineEnd::Lf, {"a", "b", "c"}},
        {"a\rb\n\r\r\n", LineEnd::Lf, {"a\rb", "\r", ""}},
    };
    for (const auto& row : kRows) EXPECT_EQ(splitLines(row.text, row.end), row.lines) << row.text;
}

TEST(TextTest, ReplaceAll) {
    const std::string longFrom = std::string(20, 'a') + "b";
    const std::string longText = std::string(30, 'a') + "b" + longFrom + "x";
    static const struct {
        std::string text, from, to, expected;
    } kCases[] = {
        {"aaa", "a", "bb", "bbbbbb"},
        {"aaaa", "aa", "a", "aa"},  // no rescanning of the replacement
        {"a<b>c", "<", "&lt;", "a&lt;b>c"},
        {"abc", "", "x", "abc"},
        {"abc", "abcd", "x", "abc"},
        {"", "a", "b", ""},
        {longText, longFrom, "#",
         std::string(10, 'a') + "##x"},  // long pattern, overlapping prefix
        {longFrom + longFrom, longFrom, "", ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.expected) << c.text << " / " << c.from;
}

TEST(TextTest, SafeFileName) {
    static const struct {
        std::string name;
        std::string expected;
    } kCases[] = {
        {"CParser", "CParser"},
        {"Größe", "Größe"},
        {"a/b", "a_b-3a8e75c1"},
        {"a\\b", "a_b-299c2fb6"},  // told apart from "a/b"
        {"/etc/passwd", "_etc_passwd-0bbdb997"},
        {"../x", "___x-5c237dda"},
        {"..", "__-a3d4a70d"},
        {".", "_-2b0c98f1"},
        {".hidden", "_hidden-4747f185"},  // never a hidden file
        {"a.b.", "a.b."},
        {"", "_-811c9dc5"},
        {std::string("a\0b", 3), "a_b-10f3abd2"},
        {"a\tb\x7f\n", "a_b__-63900966"},
        {"*?\"<>|#%:", "_________-9df3f768"},
        {"a\xFFz", "a_z-2491f7a9"},  // not UTF-8
        {"a\xC3", "a_-ee26033d"},    // cut-off sequence
        {std::string(100, 'x'), std::string(100, 'x')},
        {std::string(150, 'x'), std::string(91, 'x') + "-4e5566bd"},
        {std::string(150, '.'), std::string(91, '_') + "-b406f09d"},
    };
    for (const auto& c : kCases) {
        const std::string result = safeFileName(c.name);
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_LE(result.size(), 100u) << c.name;
    }
}

TEST(TextTest, SafeFileNameCutsAtACharacterBoundary) {
    std::string umlauts;
    for (int i = 0; i < 60; ++i) umlauts += "ä";  // 120 bytes
    static const struct {
        std::string name;
        size_t kept;  // bytes of the name before the suffix
    } kCases[] = {{umlauts, 90}, {"x" + umlauts, 91}, {"€€" + umlauts, 90}};
    for (const auto& c : kCases) {
        const std::string result = safeFileName(c.name);
        EXPECT_EQ(result.size(), c.kept + 9) << c.name;
        EXPECT_TRUE(isValidUtf8(result)) << c.name;
        EXPECT_EQ(c.name.compare(0, c.kept, result, 0, c.kept), 0) << c.name;
    }
}

TEST(TextTest, Utf8Decoding) {
    static const struct {
        std::string text;
        char32_t code;
        size_t length;
    } kCases[] = {
        {"A", 'A', 1},
        {"ä", 0xE4, 2},
        {"€", 0x20AC, 3},
        {"😀", 0x1F600, 4},
        {"\xC0\x80", 0xFFFD, 1},      // overlong
        {"\xED\xA0\x80", 0xFFFD, 1},  // surrogate
        {"\xE2\x82", 0xFFFD, 1},      // cut off
        {"\xF5\x80\x80\x80", 0xFFFD, 1},
    };
    for (const auto& c : kCases) {
        size_t length = 0;
        EXPECT_EQ(decodeUtf8(c.text, 0, length), c.code) << c.text;
        EXPECT_EQ(length, c.length) << c.text;
        std::string encoded;
        appendUtf8(encoded, c.code);
        if (c.code != 0xFFFD) {
            EXPECT_EQ(encoded, c.text);
        }
        EXPECT_EQ(isValidUtf8(c.text), c.code != 0xFFFD) << c.text;
    }
}

}  // namespace
}  // namespace tarnwick
