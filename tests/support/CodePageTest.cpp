#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

#include "support/CodePage.h"
#include "support/PageEncoding.h"

namespace tarnwick {
namespace {

CodePage page(const std::string& name) {
    Expected<CodePage> opened = CodePage::open(name);
    EXPECT_TRUE(opened.has_value()) << name << ": " << (opened ? "" : opened.error().message);
    return opened ? opened.value() : CodePage();
}

const char* const kFffd = "\xEF\xBF\xBD";

// What makes an encoding safe for pages, checked against iconv itself for every accepted
// name: ASCII bytes decode as ASCII, and no other character is written as a byte of markup.
TEST(PageEncodingTest, AcceptsOnlyEncodingsInWhichNoTextBecomesMarkup) {
    static const struct {
        const char* name;
        const char* charset;  // nullptr: refused
    } kCases[] = {
        {"UTF-8", "UTF-8"},
        {"utf8", "UTF-8"},
        {"windows-1252", "windows-1252"},
        {"CP1251", "windows-1251"},
        {"windows-874", "windows-874"},
        {"ISO-8859-1", "ISO-8859-1"},
        {"latin1", "ISO-8859-1"},
        {"iso_8859-15", "ISO-8859-15"},
        {"ISO-8859-7", "ISO-8859-7"},
        {"KOI8-R", "KOI8-R"},
        {"KOI8-U", "KOI8-U"},
        {"CP866", "IBM866"},
        {"MACINTOSH", "macintosh"},
        {"GBK", "GBK"},
        {"cp936", "GBK"},
        {"GB2312", "GB2312"},
        {"GB18030", "gb18030"},
        {"BIG5", "Big5"},
        {"BIG5-HKSCS", "Big5"},
        {"SHIFT_JIS", "Shift_JIS"},
        {"CP932", "Shift_JIS"},
        {"EUC-JP", "EUC-JP"},
        {"EUC-KR", "EUC-KR"},
        {"CP949", "EUC-KR"},
        {"UTF-16LE", nullptr},
        {"UTF-16BE", nullptr},
        {"UTF-16", nullptr},
        {"UTF-32", nullptr},
        {"UTF-7", nullptr},
        {"IBM037", nullptr},
        {"EBCDIC-US", nullptr},
        {"ISO-2022-JP", nullptr},
        {"ISO-2022-KR", nullptr},
        {"JOHAB", nullptr},
        {"HZ", nullptr},
        {"windows-1252//TRANSLIT", nullptr},
        {"", nullptr},
    };
    std::string everyCharacter;  // U+0080 to U+FFFF, surrogates left out
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        if (c < 0x800) {
            everyCharacter += static_cast<char>(0xC0 | (c >> 6));
        } else {
            everyCharacter += static_cast<char>(0xE0 | (c >> 12));
            everyCharacter += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        everyCharacter += static_cast<char>(0x80 | (c & 0x3F));
    }
    std::string ascii;
    for (int b = 1; b < 0x80; ++b) ascii += static_cast<char>(b);
    for (const auto& row : kCases) {
        const auto charset = pageCharsetName(row.name);
        EXPECT_EQ(charset.value_or("refused"), row.charset ? row.charset : "refused") << row.name;
        if (!charset) continue;
        const CodePage encoding = page(row.name);
        const std::string markup = "<>\"'&=/ \t\r\n";
        EXPECT_EQ(encoding.toUtf8(markup), markup) << row.name;
        EXPECT_EQ(encoding.fromUtf8(ascii), ascii) << row.name;
        const std::string bytes = encoding.fromUtf8(everyCharacter);
        EXPECT_EQ(bytes.find_first_of("<>\"'&=/ \t\r\n"), std::string::npos) << row.name;
    }
    EXPECT_NE(pageEncodingList().find("UTF-8, windows-874, windows-1250"), std::string::npos);
}

TEST(CodePageTest, RoundTrips) {
    static const struct {
        const char* codePage;
        std::string utf8;
        std::string bytes;
    } kCases[] = {
        {"windows-1252", "ä ß € Ÿ", "\xE4 \xDF \x80 \x9F"},
        {"CP1252", "Größe", "Gr\366\337e"},
        {"windows-1251", "Привет ё", "\xCF\xF0\xE8\xE2\xE5\xF2 \xB8"},
        {"windows-1253", "Καλημέρα", "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1"},
        {"GBK", "中文abc", "\326\320\316\304abc"},
        {"UTF-8", "ä€😀", "ä€😀"},
        {"utf8", "x", "x"},
    };
    for (const auto& c : kCases) {
        const CodePage cp = page(c.codePage);
        size_t invalid = 99, unmapped = 99;
        EXPECT_EQ(cp.fromUtf8(c.utf8, CodePage::Fallback::Question, &unmapped), c.bytes)
            << c.codePage;
        EXPECT_EQ(cp.toUtf8(c.bytes, &invalid), c.utf8) << c.codePage;
        EXPECT_EQ(invalid + unmapped, 0u) << c.codePage;
    }
}

TEST(CodePageTest, BytesThatDoNotDecodeBecomeReplacementCharacters) {
    static const struct {
        const char* codePage;
        std::string bytes;
        std::string utf8;
        size_t invalid;
    } kCases[] = {
        {"windows-1252", "a\201\215b", std::string("a") + kFffd + kFffd + "b", 2},
        {"GBK", "\326\320\377a", std::string("中") + kFffd + "a", 1},
        {"GBK", "ab\x81", std::string("ab") + kFffd, 1},   // lead byte cut off at the end
        {"GBK", "\x81\x20", std::string(kFffd) + " ", 1},  // bad trail byte is kept
        {"UTF-8", "a\377b\303", std::string("a") + kFffd + "b" + kFffd, 2},
        {"UTF-8", kFffd, kFffd, 0},  // a real U+FFFD is not an error
    };
    for (const auto& c : kCases) {
        size_t invalid = 99;
        EXPECT_EQ(page(c.codePage).toUtf8(c.bytes, &invalid), c.utf8)
            << c.codePage << " " << c.bytes;
        EXPECT_EQ(invalid, c.invalid) << c.codePage << " " << c.bytes;
    }
}

TEST(CodePageTest, CharactersTheCodePageCannotHoldUseTheFallback) {
    static const struct {
        const char* codePage;
        std::string utf8;
        std::string question;
        std::string html;
        size_t unmapped;
    } kCases[] = {
        {"windows-1252", "aΩb", "a?b", "a&#937;b", 1},
        {"windows-1252", "中文", "??", "&#20013;&#25991;", 2},
        {"windows-1251", "ä", "?", "&#228;", 1},
        {"GBK", "x😀y", "x?y", "x&#128512;y", 1},
        {"windows-1252", "a\xFF", "a?", "a&#65533;", 1},  // not UTF-8 in memory
    };
    for (const auto& c : kCases) {
        const CodePage cp = page(c.codePage);
        size_t unmapped = 99;
        EXPECT_EQ(cp.fromUtf8(c.utf8, CodePage::Fallback::Question, &unmapped), c.question)
            << c.codePage << " " << c.utf8;
        EXPECT_EQ(unmapped, c.unmapped) << c.codePage << " " << c.utf8;
        EXPECT_EQ(cp.fromUtf8(c.utf8, CodePage::Fallback::HtmlReference), c.html)
            << c.codePage << " " << c.utf8;
    }
}

TEST(CodePageTest, DefaultIsWindows1252AndUnknownIsNamed) {
    EXPECT_TRUE(CodePage().name() == "windows-1252" && !CodePage().isUtf8() &&
                page("UTF-8").isUtf8() && !CodePage::open(""));
    Expected<CodePage> opened = CodePage::open("no-such-page-42");
    EXPECT_NE(opened ? std::string::npos : opened.error().message.find("no-such-page-42"),
              std::string::npos);
}

TEST(CodePageTest, LargeTextsConvertCompletely) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += "Dim x As Long ' \xE4\x80\n";
    const std::string utf8 = CodePage().toUtf8(bytes);
    EXPECT_EQ(utf8.size(), bytes.size() + 200000 * 3);  // ä: 1 byte more, €: 2 more
    EXPECT_EQ(CodePage().fromUtf8(utf8), bytes);
    const CodePage gbk = page("GBK");
    std::string chinese;  // past any conversion buffer
    for (int i = 0; i < 100000; ++i) chinese += "中文 ";
    EXPECT_EQ(gbk.toUtf8(gbk.fromUtf8(chinese)), chinese);
}

// A page too large to hold twice is encoded in pieces: together they are the
// page's encoding, whatever the piece size, and no character is cut.
TEST(CodePageTest, PiecesTogetherAreTheWholeEncoding) {
    static const struct {
        const char* codePage;
        std::string utf8;
    } kCases[] = {
        {"windows-1252", "<TD>Dim a</TD>\r\n"},
        {"windows-1252", "ä€Ωx中文y\xFFz\xC3"},
        {"windows-1251", "abc дом Ω"},
        {"UTF-8",
         "a€😀b\xFF\xE2\x82"
         "c"},
        {"GBK", "中文 x😀y 文"},
        {"windows-1252", "中文中文"},  // no ASCII: one piece
    };
    for (const auto& c : kCases) {
        const CodePage cp = page(c.codePage);
        const std::string whole = cp.fromUtf8(c.utf8, CodePage::Fallback::HtmlReference);
        for (size_t size = 1; size <= c.utf8.size() + 1; ++size) {
            std::string joined;
            const bool done = cp.encodePieces(
                c.utf8, CodePage::Fallback::HtmlReference,
                [&](std::string_view piece) {
                    joined.append(piece);
                    return true;
                },
                size);
            EXPECT_TRUE(done) << c.codePage << " " << c.utf8 << " " << size;
            EXPECT_EQ(joined, whole) << c.codePage << " " << c.utf8 << " " << size;
        }
    }
    // A piece that stays as it is is the text itself, not a copy; a false stops.
    const std::string ascii(100, 'a');
    int pieces = 0;
    EXPECT_FALSE(CodePage().encodePieces(
        ascii, CodePage::Fallback::HtmlReference,
        [&](std::string_view piece) {
            EXPECT_EQ(piece.data(), ascii.data());
            ++pieces;
            return false;
        },
        10));
    EXPECT_EQ(pieces, 1);
}

TEST(CodePageTest, CopiesConvertIndependently) {
    CodePage copy;
    {
        const CodePage gbk = page("GBK");
        EXPECT_EQ(gbk.toUtf8("\xD6\xD0"), "中");  // converts before it is copied
        copy = gbk;
    }
    EXPECT_EQ(copy.name() + copy.toUtf8("\xD6\xD0"), "GBK中");
    CodePage moved = std::move(copy);
    EXPECT_EQ(moved.fromUtf8("文"), "\xCE\xC4");

    // One object on two threads at once: a multi-byte code page keeps no
    // converter between calls.
    std::string results[2];
    std::thread workers[2];
    for (int t = 0; t < 2; ++t) {
        workers[t] = std::thread([&results, t, &cp = std::as_const(moved)] {
            std::string text;
            for (int i = 0; i < 2000; ++i) text += cp.toUtf8(cp.fromUtf8("中文"));
            results[t] = text;
        });
    }
    for (auto& w : workers) w.join();
    EXPECT_TRUE(results[0] == results[1] && results[0].size() == 2000u * 6);
}

}  // namespace
}  // namespace tarnwick
