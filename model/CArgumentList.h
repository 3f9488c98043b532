// CArgumentList: the list of CArgument elements (see IIterator and TypedList).
#pragma once

#include "model/CArgument.h"
#include "model/TypedList.h"

namespace tarnwick {

class CArgumentList : public TypedList<CArgument, CArgumentList, true> {
public:
    static constexpr const char* kClassName = "CArgumentList";
    static constexpr const char* kElementClassName = "CArgument";
};

}  // namespace tarnwick
