#include "model/TypedList.h"

#include <string>

namespace tarnwick::detail {

static char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

void throwOutOfRange() { throw VbError(vberr::OutOfRange, "Subscript out of range"); }

void throwTypeMismatch(const char* expected, const char* got) {
    throw VbError(vberr::TypeMismatch,
                  std::string("Type mismatch: expected ") + expected + ", got " + got);
}

}  // namespace tarnwick::detail
