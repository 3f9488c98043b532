// Procedure and ReturningProcedure: the shared shape of the procedure-like
// elements. Every one has an argument list from construction on;
// CFunction, CProperty, CEvent and CDeclaration also have a return record
// whose DataType is the declared return type.
#pragma once

#include <memory>

#include "model/CArgumentList.h"
#include "model/Element.h"
#include "model/IIterator.h"

namespace tarnwick {

class Procedure : public Element {
public:
    std::shared_ptr<CArgumentList> Arguments() const override { return m_arguments; }
    void setArguments(std::shared_ptr<CArgumentList> list);
    // Accepts any list but requires a CArgumentList: anything else throws
    // VbError 13 and leaves the current list in place.
    void setArguments(const std::shared_ptr<IIterator>& list);

private:
    std::shared_ptr<CArgumentList> m_arguments = std::make_shared<CArgumentList>();  // never null
};

class ReturningProcedure : public Procedure {
public:
    std::shared_ptr<CArgument> Returns() const override { return m_returns; }
    // Shared, not copied; a null record is refused with VbError 13.
    void setReturns(std::shared_ptr<CArgument> record);

private:
    std::shared_ptr<CArgument> m_returns = std::make_shared<CArgument>();  // never null
};

}  // namespace tarnwick
