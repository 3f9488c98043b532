// CTypeList: the list of cType elements (see IIterator and TypedList).
#pragma once

#include "model/TypedList.h"
#include "model/cType.h"

namespace tarnwick {

class CTypeList : public TypedList<cType, CTypeList, true> {
public:
    static constexpr const char* kClassName = "CTypeList";
    static constexpr const char* kElementClassName = "cType";
};

}  // namespace tarnwick
