// CodePage: conversion between an 8-bit (or multi-byte) code page on disk and
// UTF-8 in memory, by iconv. Any name iconv knows works ("windows-1252",
// "windows-1251", "GBK", "UTF-8", ...); the default is windows-1252.
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

// The iconv descriptors one CodePage object opens on first use. A copy starts
// with none of its own, so two copies (perhaps on two threads) never share a
// descriptor; a CodePage itself is used by one thread at a time.
class IconvHandles {
public:
    IconvHandles() = default;
    IconvHandles(const IconvHandles&) noexcept {}
    IconvHandles& operator=(const IconvHandles& other) noexcept;
    IconvHandles(IconvHandles&& other) noexcept;
    IconvHandles& operator=(IconvHandles&& other) noexcept;
    ~IconvHandles();

    // Descriptor from name to UTF-8 (decoder) or back (encoder); nullptr
    // when iconv cannot open it.
    void* decoder(const std::string& name);
    void* encoder(const std::string& name);

private:
    void reset() noexcept;
    void* m_decoder = nullptr;
    void* m_encoder = nullptr;
};
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
    mutable detail::IconvHandles m_handles;  // multi-byte code pages only
};

}  // namespace tarnwick
