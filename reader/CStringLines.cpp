#include "reader/CStringLines.h"

#include "support/Text.h"

namespace tarnwick {

void CStringLines::setText(std::string text) {
    m_text = std::move(text);
    m_set = true;
    m_starts.clear();
    if (m_text.empty()) return;
    for (size_t pos = 0; pos <= m_text.size();) {
        m_starts.push_back(pos);
        nextLine(m_text, pos);
    }
}

int32_t CStringLines::Count() const {
    if (!m_set) return 0;
    return static_cast<int32_t>(m_starts.size()) - 1;
}

std::string_view CStringLines::Line(int32_t index) const {
    if (index < 0 || !m_set) return {};
    if (index > Count()) return "\r\n";
    size_t i = static_cast<size_t>(index);
    size_t begin = m_starts[i];
    size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] - 2 : m_text.size();
    return std::string_view(m_text).substr(begin, end - begin);
}

}  // namespace tarnwick
