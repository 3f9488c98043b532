// PageEncoding: the encodings pages may be written in, and the name a
// browser knows each by.
//
// A page is escaped in UTF-8 and then converted. The escaping holds only
// when every character the page's markup is made of ('<', '>', '"', '\'',
// '&', '=', '/', blanks) is its ASCII byte after the conversion, and no
// other character becomes one of those bytes, whatever encoding a browser
// then reads the bytes in (a host may name another one than the page does).
// That is so for UTF-8 and the code pages whose bytes below 0x80 are ASCII
// and whose multi-byte sequences use none of those bytes: the windows and
// ISO-8859 code pages, KOI8, GBK and GB18030, Big5, Shift_JIS, EUC-JP and
// EUC-KR. It is not so for UTF-16, UTF-32 and UTF-7 (a character becomes
// ASCII bytes), the ISO-2022 forms (shifted bytes below 0x80), JOHAB
// (trail bytes '<' to '>') and EBCDIC (letters at other bytes), so these
// are refused, as is any name the table does not hold.
//
// Names are matched as iconv spells them, ignoring letter case and
// punctuation: "windows-1252", "CP1252", "ISO-8859-1", "latin1", "utf8".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The name a page declares for an accepted encoding: "cp1252" ->
// "windows-1252", "latin1" -> "ISO-8859-1", "utf8" -> "UTF-8"; nullopt when
// pages may not be written in it.
std::optional<std::string> pageCharsetName(std::string_view name);

// The accepted encodings for messages: "UTF-8, windows-874, windows-1250, ...".
std::string pageEncodingList();

}  // namespace tarnwick
