// TypedList<T>: the implementation shared by the twelve list classes.
//
// Besides the IIterator operations (which take and give ListItem), it offers
// typed access for code that knows the element class: Add(shared_ptr<T>),
// Next(), First(), Last(), at(position from 1), byName(name) and elements().
// Next(), First(), Last() and at() move or read like their IIterator twins.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/IIterator.h"
#include "support/Errors.h"

namespace tarnwick {

namespace detail {
bool equalsIgnoreCase(std::string_view a, std::string_view b);
[[noreturn]] void throwOutOfRange();
[[noreturn]] void throwTypeMismatch(const char* expected, const char* got);
}  // namespace detail

template <typename T, typename Derived, bool FirstItemMovesCursor>
class TypedList : public IIterator {
public:
    using element_type = T;

    // IIterator
    void Add(std::shared_ptr<ListItem> item) override {
        auto typed = std::dynamic_pointer_cast<T>(item);
        if (!typed)
            detail::throwTypeMismatch(elementClassName(), item ? item->className() : "nothing");
        Add(std::move(typed));
    }
    void BeforeFirstItem() override { m_cursor = -1; }
    std::shared_ptr<ListItem> FirstItem() override { return First(); }
    std::shared_ptr<ListItem> NextItem() override { return Next(); }
    std::shared_ptr<ListItem> LastItem() override { return Last(); }
    int Size() const override { return static_cast<int>(m_items.size()) - 1; }
    bool HasMore() const override { return m_cursor < Size(); }
    std::shared_ptr<ListItem> item(int position, std::string_view name = {}) const override {
        if (position <= -1) return byName(name);
        return at(position);
    }
    std::vector<std::shared_ptr<ListItem>> Items() const override {
        return {m_items.begin(), m_items.end()};
    }
    void setItems(const std::vector<std::shared_ptr<ListItem>>& items) override {
        std::vector<std::shared_ptr<T>> copy;
        copy.reserve(items.size());
        for (const auto& i : items) {
            auto typed = std::dynamic_pointer_cast<T>(i);
            if (!typed)
                detail::throwTypeMismatch(elementClassName(), i ? i->className() : "nothing");
            copy.push_back(std::move(typed));
        }
        m_items = std::move(copy);
    }
    const char* className() const override { return Derived::kClassName; }
    const char* elementClassName() const override { return Derived::kElementClassName; }
    std::optional<ElementKind> elementKind() const override {
        if constexpr (requires { T::kKind; })
            return T::kKind;
        else
            return std::nullopt;
    }
    std::unique_ptr<IIterator> createEmpty() const override { return std::make_unique<Derived>(); }

    // Typed access
    void Add(std::shared_ptr<T> element) {
        if (!element) detail::throwTypeMismatch(elementClassName(), "nothing");
        m_items.push_back(std::move(element));
        m_cursor = -1;
    }
    std::shared_ptr<T> First() {
        if (m_items.empty()) detail::throwOutOfRange();
        if constexpr (FirstItemMovesCursor) m_cursor = 0;
        return m_items.front();
    }
    std::shared_ptr<T> Next() {
        ++m_cursor;
        if (m_cursor < 0 || m_cursor > Size()) detail::throwOutOfRange();
        return m_items[static_cast<size_t>(m_cursor)];
    }
    std::shared_ptr<T> Last() {
        if (m_items.empty()) detail::throwOutOfRange();
        m_cursor = Size();
        return m_items.back();
    }
    // Position counted from 1; 0 and positions past the end throw VbError 9.
    std::shared_ptr<T> at(int position) const {
        if (position < 1 || position > Size() + 1) detail::throwOutOfRange();
        return m_items[static_cast<size_t>(position - 1)];
    }
    // First element whose Name equals name ignoring case, or nullptr.
    std::shared_ptr<T> byName(std::string_view name) const {
        for (const auto& e : m_items)
            if (detail::equalsIgnoreCase(e->Name(), name)) return e;
        return nullptr;
    }
    const std::vector<std::shared_ptr<T>>& elements() const { return m_items; }
    bool empty() const { return m_items.empty(); }
    int count() const { return static_cast<int>(m_items.size()); }
    int cursor() const { return m_cursor; }

private:
    std::vector<std::shared_ptr<T>> m_items;
    int m_cursor = 0;  // position of the item last returned; -1 is before the first
};

}  // namespace tarnwick
