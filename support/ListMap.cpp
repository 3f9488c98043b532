#include "support/ListMap.h"

#include "support/Errors.h"

namespace tarnwick {

void ListMap::Add(std::string key, std::string value) {
    m_keys.push_back(std::move(key));
    m_values.push_back(std::move(value));
}

static void checkIndex(int index, int size) {
    if (index < 0 || index > size) throw VbError(vberr::OutOfRange, "Subscript out of range");
}

const std::string& ListMap::Key(int index) const {
    checkIndex(index, Size());
    return m_keys[static_cast<size_t>(index)];
}

const std::string& ListMap::value(int index) const {
    checkIndex(index, Size());
    return m_values[static_cast<size_t>(index)];
}

std::string ListMap::value(std::string_view key) const {
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (m_keys[i] == key) return m_values[i];
    return {};
}

void ListMap::Remove(int index) {
    checkIndex(index, Size());
    m_keys[static_cast<size_t>(index)].clear();
    m_values[static_cast<size_t>(index)].clear();
}

}  // namespace tarnwick
