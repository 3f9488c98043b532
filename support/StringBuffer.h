// StringBuffer: builds a page in memory.
//
// Capacity starts at 4096 and is multiplied by four until it is strictly
// greater than the needed length, so a page of n characters costs a
// logarithmic number of reallocations. Lengths count UTF-8 code units.
// AppendLn adds CR LF after the text.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

class StringBuffer {
public:
    StringBuffer();
    void Append(std::string_view text);
    void AppendLn(std::string_view text = {});
    std::string ToString() const { return m_text; }
    const std::string& str() const { return m_text; }
    std::string take();  // moves the text out and clears the buffer
    void Clear();
    int Length() const { return static_cast<int>(m_text.size()); }
    int Capacity() const { return m_capacity; }
    // Grows to exactly value when larger than the capacity; otherwise ignored.
    void setCapacity(int value);

    static constexpr int kInitialCapacity = 4096;

private:
    std::string m_text;
    int m_capacity = kInitialCapacity;
};

}  // namespace tarnwick
