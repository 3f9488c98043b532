// CSubroutineList: the list of CSubroutine elements (see IIterator and TypedList).
#pragma once

#include "model/CSubroutine.h"
#include "model/TypedList.h"

namespace tarnwick {

class CSubroutineList : public TypedList<CSubroutine, CSubroutineList, true> {
public:
    static constexpr const char* kClassName = "CSubroutineList";
    static constexpr const char* kElementClassName = "CSubroutine";
};

}  // namespace tarnwick
