// HtmlBuffer: a page of markup built in memory, the twin of StringBuffer for
// Html. The Html value itself and every escape that makes one from text live
// in Escape.h, which this header brings along.
#pragma once

#include <cstddef>
#include <string>

#include "support/Escape.h"

namespace tarnwick {

// AppendLn adds CR LF after the markup.
class HtmlBuffer {
public:
    HtmlBuffer() { m_text.reserve(4096); }
    void Append(const Html& html) { m_text += html.str(); }
    // Markup written in our source, appended without an Html made for it:
    // a code table appends a few per line of a listing of millions.
    template <std::size_t N>
    void Append(const char (&literal)[N]) {
        m_text.append(literal, N - 1);
    }
    template <std::size_t N>
    void AppendLn(const char (&literal)[N]) {
        m_text.append(literal, N - 1);
        m_text += "\r\n";
    }
    void AppendLn(const Html& html = {}) {
        m_text += html.str();
        m_text += "\r\n";
    }
    // A piece larger than the page so far (a code table of a routine of
    // megabytes) becomes the page, with the page so far put before it: the
    // two are never held apart and then copied together.
    void Append(Html&& html) {
        if (html.size() <= m_text.size()) {
            Append(static_cast<const Html&>(html));
            return;
        }
        std::string text = html.take();
        text.insert(0, m_text);
        m_text = std::move(text);
    }
    void AppendLn(Html&& html) {
        Append(std::move(html));
        m_text += "\r\n";
    }
    // Room for bytes of markup in all, so a page of hundreds of megabytes is
    // not copied as it grows.
    void reserve(std::size_t bytes) { m_text.reserve(bytes); }
    std::size_t size() const { return m_text.size(); }
    Html take() { return Html::trusted(std::move(m_text)); }
    std::string takeText() { return std::move(m_text); }

    // The markup so far, for code of ours that rewrites markup it appended
    // itself (the code listing's colouring and links): whatever it writes
    // must be markup already, made by the escapes of Escape.h or by our own
    // literals. Every use is a place for review, like Html::trusted.
    std::string& markup() { return m_text; }

private:
    std::string m_text;
};

}  // namespace tarnwick
