// CImplementationList: the list of CImplementation elements (see IIterator and TypedList).
#pragma once

#include "model/CImplementation.h"
#include "model/TypedList.h"

namespace tarnwick {

class CImplementationList : public TypedList<CImplementation, CImplementationList, true> {
public:
    static constexpr const char* kClassName = "CImplementationList";
    static constexpr const char* kElementClassName = "CImplementation";
};

}  // namespace tarnwick
