#include "generator/pages/CTextLines.h"

#include <utility>

#include "support/Text.h"

namespace tarnwick {

namespace {
constexpr std::string_view kCrLf = "\r\n";

bool onlyBlanks(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}
}  // namespace

std::string CTextLines::GetLine(int position) const {
    if (position < 0 || position > LineCount()) return {};
    return m_lines[static_cast<size_t>(position)];
}

void CTextLines::ReplaceLine(int position, std::string text) {
    if (position < 0 || position > LineCount()) return;
    m_lines[static_cast<size_t>(position)] = std::move(text);
}

void CTextLines::DeleteLine(int position) {
    if (position < 0 || position > LineCount()) return;
    m_lines.erase(m_lines.begin() + position);
}

void CTextLines::DeleteAppendingLines() {
    while (m_lines.size() >= 2 && onlyBlanks(m_lines.back())) m_lines.pop_back();
}

void CTextLines::setText(std::string_view text) {
    for (size_t pos = 0; pos <= text.size();) m_lines.emplace_back(nextLine(text, pos));
}

std::string CTextLines::Text() const {
    size_t total = 0;
    for (const auto& line : m_lines) total += line.size() + kCrLf.size();
    std::string text;
    text.reserve(total);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += m_lines[i];
    }
    while (text.size() >= 2 && text.ends_with(kCrLf)) text.resize(text.size() - 2);
    return text;
}

}  // namespace tarnwick
