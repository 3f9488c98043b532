// CTypeList: the list of cType elements (see IIterator and TypedList).
#pragma once

#include "model/cType.h"
#include "model/TypedList.h"

namespace tarnwick {

class CTypeList : public TypedList<cType, CTypeList, true> {
public:
    static constexpr const char* kClassName = "CTypeList";
    static constexpr const char* kElementClassName = "cType";
};

}  // namespace tarnwick
