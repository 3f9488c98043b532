// CodePage: conversion between an 8-bit (or multi-byte) code page on disk and
// UTF-8 in memory, by iconv. Any name iconv knows works ("windows-1252",
// "windows-1251", "GBK", "UTF-8", ...); the default is windows-1252. A
// CodePage is a small value, and its const methods may run on one object from
// any number of threads at once: a code page of one byte per character
// converts through immutable tables that copies share, and a multi-byte one
// opens an iconv descriptor for each call and closes it before returning
// (about a microsecond, against tens for a module's text).
//
// Nothing is dropped silently: bytes that do not decode become U+FFFD and are
// counted; characters the code page cannot hold become '?' (or an HTML
// character reference "&#NNNN;" where the text is a page) and are counted.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "support/Errors.h"

namespace tarnwick {

namespace detail {
struct ByteTable;
}  // namespace detail

class CodePage {
public:
    enum class Fallback { Question, HtmlReference };

    // windows-1252.
    CodePage();
    // Fails with a message naming the code page when iconv does not know it.
    static Expected<CodePage> open(const std::string& name);

    const std::string& name() const { return m_name; }
    bool isUtf8() const { return m_utf8; }

    // Decodes bytes; invalidCount (when given) receives the number of bytes
    // that did not decode, each shown as U+FFFD.
    std::string toUtf8(std::string_view bytes, size_t* invalidCount = nullptr) const;
    // Encodes UTF-8 text; unmappedCount (when given) receives the number of
    // characters the code page could not hold, each written as the fallback.
    std::string fromUtf8(std::string_view utf8, Fallback fallback = Fallback::Question,
                         size_t* unmappedCount = nullptr) const;
    // fromUtf8 for a text too large to hold twice (a page of hundreds of
    // megabytes): the text is encoded in pieces of about pieceSize bytes,
    // each cut just after an ASCII character, so no character is split and
    // the pieces' bytes in order are fromUtf8's answer. A piece whose bytes
    // stay as they are (ASCII, or valid UTF-8 for UTF-8) is handed to put as
    // it is, without a copy. Stops at the first put that answers false, and
    // then answers false.
    bool encodePieces(std::string_view utf8, Fallback fallback,
                      const std::function<bool(std::string_view)>& put,
                      size_t pieceSize = size_t{1} << 20) const;

private:
    std::string decodeWithIconv(std::string_view bytes, size_t& invalid) const;
    std::string encodeWithIconv(std::string_view utf8, Fallback fallback, size_t& unmapped) const;

    std::string m_name = "windows-1252";
    bool m_utf8 = false;
    // Set for a code page of one byte per character: conversion runs through
    // these tables without iconv. Immutable, so copies share it.
    std::shared_ptr<const detail::ByteTable> m_table;
};

}  // namespace tarnwick
