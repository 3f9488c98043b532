// HashTable: a string-to-string table with chained buckets, a pool of slots
// with a free list, and growth in chunks.
//
// Keys are compared exactly (code unit by code unit), or upper-cased first when
// IgnoreCase is on; IgnoreCase can only change while the table is empty
// (VbError 1001 "The Hash Table isn't empty"). Adding a key that exists throws
// VbError 457 unless ReplaceableKeys is on; removing a missing key throws
// VbError 5, as does a bucket count of 0 or less. The empty key is never
// stored: Add ignores it, Exists answers false, item() the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class HashTable {
public:
    HashTable();  // SetSize(1024, 2048, 1024), ReplaceableKeys on

    bool IgnoreCase() const { return m_ignoreCase; }
    void setIgnoreCase(bool value);
    bool ReplaceableKeys() const { return m_replaceableKeys; }
    void setReplaceableKeys(bool value) { m_replaceableKeys = value; }

    // Re-initialises the table (drops every pair). listSize or chunkSize of
    // 0 or less keeps the current value.
    void SetSize(int hashSize, int listSize, int chunkSize);
    bool Exists(std::string_view key) const;
    void Add(std::string_view key, std::string_view value);
    // The stored value; defaultValue when the key is absent or its value empty.
    std::string item(std::string_view key, std::string_view defaultValue = {}) const;
    void Remove(std::string_view key);
    void RemoveAll();
    int Count() const { return m_itemCount; }
    // All keys (values) in bucket order, or sorted ordinally (ascending, or
    // descending). Empty when the table is empty.
    std::vector<std::string> Keys(bool sorted = false, bool descending = false) const;
    std::vector<std::string> Values(bool sorted = false, bool descending = false) const;

    int HashSize() const { return m_hashSize; }
    int ListSize() const { return m_listSize; }
    int ChunkSize() const { return m_chunkSize; }
    // Slots in the pool, used and free (slot 0 not counted): grows by
    // ChunkSize only when no freed slot is left.
    int SlotCapacity() const { return m_slotCapacity; }

    // XOR of the key's bytes taken as little-endian 32-bit words.
    static int32_t HashValue(std::string_view key);

private:
    struct Slot {
        std::string key;
        std::string value;
        int next = 0;
    };
    int getSlotIndex(std::string_view key, bool& create, int& bucket, int& previous);
    int findSlot(std::string_view key) const;
    int getFreeSlot();
    void expandSlotTable(int count);
    std::string normalise(std::string_view key) const;

    bool m_ignoreCase = false;
    bool m_replaceableKeys = false;
    int m_hashSize = 0;
    int m_listSize = 0;
    int m_chunkSize = 0;
    int m_itemCount = 0;
    int m_freeIndex = 0;
    std::vector<int> m_bucketHeads;
    // Slots are numbered 1..m_slotCapacity; slot 0 is never used (index 0
    // means "none"). Only the slots handed out so far are materialised in
    // m_slots: a module holds two tables, and reserving every pooled slot up
    // front cost a large project hundreds of megabytes for tables that mostly
    // stay empty. Released slots head the free list; after them come the
    // never-used slots in ascending order, as in a fully reserved pool.
    std::vector<Slot> m_slots;
    int m_slotCapacity = 0;
};

}  // namespace tarnwick
