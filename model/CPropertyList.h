// CPropertyList: the list of CProperty elements (see IIterator and TypedList).
#pragma once

#include "model/CProperty.h"
#include "model/TypedList.h"

namespace tarnwick {

class CPropertyList : public TypedList<CProperty, CPropertyList, true> {
public:
    static constexpr const char* kClassName = "CPropertyList";
    static constexpr const char* kElementClassName = "CProperty";
};

}  // namespace tarnwick
