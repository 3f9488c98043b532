#include "support/StringBuffer.h"

#include <utility>

namespace tarnwick {

StringBuffer::StringBuffer() { m_text.reserve(kInitialCapacity); }

void StringBuffer::Append(std::string_view text) {
    if (text.empty()) return;
    const size_t needed = m_text.size() + text.size();
    if (needed > static_cast<size_t>(m_capacity)) {
        // Multiply by four until strictly greater than the new length.
        size_t capacity = static_cast<size_t>(m_capacity);
        while (needed >= capacity) capacity *= 4;
        m_text.reserve(capacity);
        m_capacity = static_cast<int>(capacity);
    }
    m_text.append(text);
}

void StringBuffer::AppendLn(std::string_view text) {
    Append(text);
    Append("\r\n");
}

std::string StringBuffer::take() {
    std::string out = std::move(m_text);
    Clear();
    return out;
}

void StringBuffer::Clear() {
    m_text = std::string();
    m_text.reserve(kInitialCapacity);
    m_capacity = kInitialCapacity;
}

void StringBuffer::setCapacity(int value) {
    if (value <= m_capacity) return;
    m_text.reserve(static_cast<size_t>(value));
    m_capacity = value;
}

}  // namespace tarnwick
