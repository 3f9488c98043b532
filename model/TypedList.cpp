#include "model/TypedList.h"

#include <string>

#include "support/Text.h"

namespace tarnwick::detail {

// Names come from windows-1252/1251/1253 sources, so case is folded beyond ASCII.
bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return tarnwick::equalsIgnoreCase(a, b);
}

void throwOutOfRange() { throw VbError(vberr::OutOfRange, "Subscript out of range"); }

void throwTypeMismatch(const char* expected, const char* got) {
    throw VbError(vberr::TypeMismatch,
                  std::string("Type mismatch: expected ") + expected + ", got " + got);
}

}  // namespace tarnwick::detail
