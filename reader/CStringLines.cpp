#include "reader/CStringLines.h"

#include <cstring>

namespace tarnwick {

void CStringLines::setText(std::string text) {
    m_text = std::move(text);
    m_set = true;
    m_starts.clear();
    if (m_text.empty()) return;
    // One pass: every CR LF ends a line and starts the next.
    m_starts.push_back(0);
    const char* data = m_text.data();
    const size_t size = m_text.size();
    size_t pos = 0;
    while (pos + 1 < size) {
        const void* cr = std::memchr(data + pos, '\r', size - 1 - pos);
        if (!cr) break;
        size_t at = static_cast<size_t>(static_cast<const char*>(cr) - data);
        if (data[at + 1] == '\n') {
            m_starts.push_back(at + 2);
            pos = at + 2;
        } else {
            pos = at + 1;
        }
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
