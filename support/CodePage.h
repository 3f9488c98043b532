// CodePage: conversion between an 8-bit (or multi-byte) code page on disk and
// UTF-8 in memory, by iconv. Any name iconv knows works ("windows-1252",
// "windows-1251", "GBK", "UTF-8", ...); the default is windows-1252.
//
// Nothing is dropped silently: bytes that do not decode become U+FFFD and are
// counted; characters the code page cannot hold become '?' (or an HTML
// character reference "&#NNNN;" where the text is a page) and are counted.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "support/Errors.h"

namespace tarnwick {

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

private:
    std::string m_name = "windows-1252";
    bool m_utf8 = false;
};

}  // namespace tarnwick
