// CFunctionList: the list of CFunction elements (see IIterator and TypedList).
#pragma once

#include "model/CFunction.h"
#include "model/TypedList.h"

namespace tarnwick {

class CFunctionList : public TypedList<CFunction, CFunctionList, true> {
public:
    static constexpr const char* kClassName = "CFunctionList";
    static constexpr const char* kElementClassName = "CFunction";
};

}  // namespace tarnwick
