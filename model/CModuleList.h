// CModuleList: the list of CModule objects (see IIterator and TypedList).
// Unlike the element lists, FirstItem() leaves the cursor alone: the kind
// index page peeks at the first module while it walks the same list.
#pragma once

#include "model/CModule.h"
#include "model/TypedList.h"

namespace tarnwick {

class CModuleList : public TypedList<CModule, CModuleList, false> {
public:
    static constexpr const char* kClassName = "CModuleList";
    static constexpr const char* kElementClassName = "CModule";
};

}  // namespace tarnwick
