#include "support/HashTable.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

#include "support/Errors.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

[[noreturn]] void throwInvalidArgument() {
    throw VbError(vberr::InvalidArgument, "Invalid procedure call or argument");
}

// Ordinal order: std::string compares bytes unsigned, and the byte order of
// UTF-8 is the order of the code points. Equal texts cannot be told apart,
// so the order among them does not matter.
void sortOrdinally(std::vector<std::string>& items, bool descending) {
    if (descending)
        std::sort(items.begin(), items.end(), std::greater<>());
    else
        std::sort(items.begin(), items.end());
}

}  // namespace

HashTable::HashTable() : m_replaceableKeys(true) { SetSize(1024, 2048, 1024); }

void HashTable::setIgnoreCase(bool value) {
    if (m_itemCount != 0) throw VbError(vberr::TableNotEmpty, "The Hash Table isn't empty");
    m_ignoreCase = value;
}

void HashTable::SetSize(int hashSize, int listSize, int chunkSize) {
    // A bucket count of 0 or less cannot index anything: refuse before
    // touching the table, so it stays usable as it was.
    if (hashSize <= 0) throwInvalidArgument();
    if (listSize > 0) m_listSize = listSize;
    if (chunkSize > 0) m_chunkSize = chunkSize;
    m_hashSize = hashSize;
    m_itemCount = 0;
    m_freeIndex = 0;
    // The buckets are made by the first Add: most tables (a module's
    // attributes and descriptions) hold a handful of keys or none, and a
    // project has two per module.
    m_bucketHeads.clear();
    m_bucketHeads.shrink_to_fit();
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_slots.emplace_back();  // slot 0: "no slot"
    m_slotCapacity = 0;
    expandSlotTable(m_listSize);
}

void HashTable::RemoveAll() { SetSize(m_hashSize, m_listSize, m_chunkSize); }

int32_t HashTable::HashValue(std::string_view key) {
    // XOR of the bytes taken as little-endian 32-bit words; the last word is
    // padded with zero bytes.
    uint32_t hash = 0;
    size_t i = 0;
    for (; i + 4 <= key.size(); i += 4) {
        hash ^= static_cast<uint32_t>(static_cast<unsigned char>(key[i])) |
                static_cast<uint32_t>(static_cast<unsigned char>(key[i + 1])) << 8 |
                static_cast<uint32_t>(static_cast<unsigned char>(key[i + 2])) << 16 |
                static_cast<uint32_t>(static_cast<unsigned char>(key[i + 3])) << 24;
    }
    uint32_t last = 0;
    for (int shift = 0; i < key.size(); ++i, shift += 8)
        last |= static_cast<uint32_t>(static_cast<unsigned char>(key[i])) << shift;
    hash ^= last;
    return static_cast<int32_t>(hash);
}

std::string HashTable::normalise(std::string_view key) const {
    return m_ignoreCase ? toUpper(key) : std::string(key);
}

void HashTable::expandSlotTable(int count) {
    // The new slots join the pool after the ones it has; they are handed out
    // in ascending order once the free list of released slots is empty.
    m_slotCapacity += count;
}

int HashTable::getFreeSlot() {
    int index = m_freeIndex;
    if (index != 0) {
        m_freeIndex = m_slots[static_cast<size_t>(index)].next;
    } else {
        if (static_cast<int>(m_slots.size()) > m_slotCapacity) expandSlotTable(m_chunkSize);
        index = static_cast<int>(m_slots.size());
        m_slots.emplace_back();
    }
    m_slots[static_cast<size_t>(index)].next = 0;
    ++m_itemCount;
    return index;
}

namespace {

int bucketOf(std::string_view key, int hashSize) {
    // The hash is signed; a negative remainder is moved into 0..hashSize-1.
    int bucket = static_cast<int>(HashTable::HashValue(key) % hashSize);
    if (bucket < 0) bucket += hashSize;
    return bucket;
}

}  // namespace

int HashTable::getSlotIndex(std::string_view rawKey, bool& create, int& bucket, int& previous) {
    previous = 0;
    if (rawKey.empty()) return 0;
    const std::string key = normalise(rawKey);
    bucket = bucketOf(key, m_hashSize);
    if (m_bucketHeads.empty()) {
        if (!create) return 0;
        m_bucketHeads.assign(static_cast<size_t>(m_hashSize), 0);
    }
    int index = m_bucketHeads[static_cast<size_t>(bucket)];
    while (index != 0) {
        const Slot& slot = m_slots[static_cast<size_t>(index)];
        if (slot.key == key) break;
        previous = index;
        index = slot.next;
    }
    if (index == 0 && create) {
        index = getFreeSlot();
        m_slots[static_cast<size_t>(index)].key = key;
        if (previous != 0)
            m_slots[static_cast<size_t>(previous)].next = index;
        else
            m_bucketHeads[static_cast<size_t>(bucket)] = index;
        return index;
    }
    create = false;
    return index;
}

int HashTable::findSlot(std::string_view rawKey) const {
    if (rawKey.empty() || m_bucketHeads.empty()) return 0;
    const std::string key = normalise(rawKey);
    int index = m_bucketHeads[static_cast<size_t>(bucketOf(key, m_hashSize))];
    while (index != 0) {
        const Slot& slot = m_slots[static_cast<size_t>(index)];
        if (slot.key == key) return index;
        index = slot.next;
    }
    return 0;
}

bool HashTable::Exists(std::string_view key) const { return findSlot(key) != 0; }

void HashTable::Add(std::string_view key, std::string_view value) {
    // The empty key is never stored: slot 0 is the "no slot" marker.
    if (key.empty()) return;
    if (!m_replaceableKeys && findSlot(key) != 0)
        throw VbError(vberr::KeyExists,
                      "This key is already associated with an element of this collection");
    bool create = true;
    int bucket = 0;
    int previous = 0;
    const int index = getSlotIndex(key, create, bucket, previous);
    m_slots[static_cast<size_t>(index)].value = std::string(value);
}

std::string HashTable::item(std::string_view key, std::string_view defaultValue) const {
    const int index = findSlot(key);
    if (index == 0 || m_slots[static_cast<size_t>(index)].value.empty())
        return std::string(defaultValue);
    return m_slots[static_cast<size_t>(index)].value;
}

void HashTable::Remove(std::string_view key) {
    bool create = false;
    int bucket = 0;
    int previous = 0;
    const int index = getSlotIndex(key, create, bucket, previous);
    if (index == 0) throwInvalidArgument();
    Slot& slot = m_slots[static_cast<size_t>(index)];
    if (previous != 0)
        m_slots[static_cast<size_t>(previous)].next = slot.next;
    else
        m_bucketHeads[static_cast<size_t>(bucket)] = slot.next;
    // Release the strings now; the slot itself waits on the free list.
    slot.key = std::string();
    slot.value = std::string();
    slot.next = m_freeIndex;
    m_freeIndex = index;
    --m_itemCount;
}

std::vector<std::string> HashTable::Keys(bool sorted, bool descending) const {
    std::vector<std::string> out;
    if (m_itemCount == 0) return out;
    out.reserve(static_cast<size_t>(m_itemCount));
    for (int head : m_bucketHeads)
        for (int i = head; i != 0; i = m_slots[static_cast<size_t>(i)].next)
            out.push_back(m_slots[static_cast<size_t>(i)].key);
    if (sorted) sortOrdinally(out, descending);
    return out;
}

std::vector<std::string> HashTable::Values(bool sorted, bool descending) const {
    std::vector<std::string> out;
    if (m_itemCount == 0) return out;
    out.reserve(static_cast<size_t>(m_itemCount));
    for (int head : m_bucketHeads)
        for (int i = head; i != 0; i = m_slots[static_cast<size_t>(i)].next)
            out.push_back(m_slots[static_cast<size_t>(i)].value);
    if (sorted) sortOrdinally(out, descending);
    return out;
}

}  // namespace tarnwick
