// CVariableList: the list of CVariable elements (see IIterator and TypedList).
#pragma once

#include "model/CVariable.h"
#include "model/TypedList.h"

namespace tarnwick {

class CVariableList : public TypedList<CVariable, CVariableList, true> {
public:
    static constexpr const char* kClassName = "CVariableList";
    static constexpr const char* kElementClassName = "CVariable";
};

}  // namespace tarnwick
