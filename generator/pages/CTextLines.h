// CTextLines: a text held as an array of lines, as the code tables read it.
//
// Lines are separated by CR LF only (a lone LF stays inside its line).
// Positions are 0-based 32-bit integers, so a module of any realistic size
// fits; LineCount() is the position of the last line (-1 when there is none).
// Reading or replacing a position out of range does nothing (GetLine gives
// the empty text). Every operation is linear in the text it touches.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class CTextLines {
public:
    CTextLines() = default;

    // Position of the last line; -1 for a container without lines.
    int LineCount() const { return static_cast<int>(m_lines.size()) - 1; }
    // The line at position, or the empty text when out of range.
    std::string GetLine(int position) const;
    // Replaces the line at position; out of range does nothing.
    void ReplaceLine(int position, std::string text);
    // Removes the line at position, moving the following lines up by one;
    // out of range does nothing.
    void DeleteLine(int position);
    // While at least two lines remain and the last one holds only blanks
    // (or nothing), drops it. Line 0 always stays; a line with a tab stays.
    void DeleteAppendingLines();

    // Appends the lines of text (split at each CR LF) after the lines already
    // held: a new container gets exactly the text's lines, and an empty text
    // gives one empty line.
    void setText(std::string_view text);
    // The lines joined by CR LF, with any CR LF pairs at the very end removed.
    std::string Text() const;

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
};

}  // namespace tarnwick
