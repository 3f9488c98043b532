// ListMap: an ordered list of key/value pairs, as a project file's settings.
// Duplicate keys are kept; lookup by key is exact and returns the first pair.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class ListMap {
public:
    void Add(std::string key, std::string value);
    // Key at index; VbError 9 outside 0..Size().
    const std::string& Key(int index) const;
    // Value at index; VbError 9 outside 0..Size().
    const std::string& value(int index) const;
    // Value of the first pair whose key equals key exactly; empty when none.
    std::string value(std::string_view key) const;
    std::vector<std::string> Keys() const { return m_keys; }
    std::vector<std::string> Values() const { return m_values; }
    // Empties key and value at index; indices do not shift.
    void Remove(int index);
    // Number of pairs minus one; -1 when empty.
    int Size() const { return static_cast<int>(m_keys.size()) - 1; }

private:
    std::vector<std::string> m_keys;
    std::vector<std::string> m_values;
};

}  // namespace tarnwick
