// IIterator: the one shape of every list in the model.
//
// An ordered, growable array of shared items with one built-in cursor.
// Walk a list with BeforeFirstItem(), then NextItem() while HasMore().
// Size() is the position of the last item: the count minus one, -1 when empty.
// item() counts positions from 1; a position of -1 or less looks the name up
// ignoring case and returns the first match, or nullptr.
// Out-of-range access throws VbError 9; an item of a foreign class, VbError 13.
// The cursor makes a list single-walker: two interleaved walks disturb each other.
#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "model/Kinds.h"
#include "model/ListItem.h"

namespace tarnwick {

class IIterator {
public:
    virtual ~IIterator() = default;

    virtual void Add(std::shared_ptr<ListItem> item) = 0;
    virtual void BeforeFirstItem() = 0;
    virtual std::shared_ptr<ListItem> FirstItem() = 0;
    virtual std::shared_ptr<ListItem> NextItem() = 0;
    virtual std::shared_ptr<ListItem> LastItem() = 0;
    virtual int Size() const = 0;
    virtual bool HasMore() const = 0;
    virtual std::shared_ptr<ListItem> item(int position, std::string_view name = {}) const = 0;
    virtual std::vector<std::shared_ptr<ListItem>> Items() const = 0;
    virtual void setItems(const std::vector<std::shared_ptr<ListItem>>& items) = 0;

    // The list's class name ("CFunctionList", ...) and its element class name.
    virtual const char* className() const = 0;
    virtual const char* elementClassName() const = 0;
    // The kind of the list's elements; none for a module or argument list.
    virtual std::optional<ElementKind> elementKind() const = 0;
    // A new, empty list of the same class.
    virtual std::unique_ptr<IIterator> createEmpty() const = 0;
};

}  // namespace tarnwick
