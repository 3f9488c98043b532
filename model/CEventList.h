// CEventList: the list of CEvent elements (see IIterator and TypedList).
#pragma once

#include "model/CEvent.h"
#include "model/TypedList.h"

namespace tarnwick {

class CEventList : public TypedList<CEvent, CEventList, true> {
public:
    static constexpr const char* kClassName = "CEventList";
    static constexpr const char* kElementClassName = "CEvent";
};

}  // namespace tarnwick
