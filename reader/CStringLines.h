// CStringLines: a text cut into lines at every CR LF, handed out by index.
//
// The text is split once, in one pass, when it is set; the buffer keeps the
// text and the offsets of its lines, so Line() hands out a view without
// copying. A lone CR or a lone LF stays inside its line. A text that ends in
// CR LF has an empty last line; an empty text has no lines (Count() = -1).
//
// Count() is the index of the last line (the number of lines minus one), and
// 0 while no text has been set. Line() of an index above Count() is the text
// "\r\n", so a walk may read one line past the end without failing; that text
// never matches a block end. Views returned by Line() stay valid until the
// next setText() or the buffer's destruction.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class CStringLines {
public:
    CStringLines() = default;
    explicit CStringLines(std::string text) { setText(std::move(text)); }

    // Replaces the lines by those of text.
    void setText(std::string text);
    // Index of the last line; -1 for an empty text; 0 before any text.
    int32_t Count() const;
    // The line at index (0-based); "\r\n" above Count(); empty before any
    // text or for a negative index.
    std::string_view Line(int32_t index) const;
    // The whole text last set.
    const std::string& Text() const { return m_text; }
    // Moves the text out (no copy of a giant module); no lines are left.
    std::string takeText() {
        m_set = false;
        m_starts.clear();
        return std::move(m_text);
    }

private:
    std::string m_text;
    bool m_set = false;
    // m_starts[i] is where line i begins; line i ends two characters before
    // m_starts[i + 1] (the CR LF), the last line at the end of the text.
    std::vector<size_t> m_starts;
};

}  // namespace tarnwick
