// Statement classifiers: which kind of declaration a logical line opens.
#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

bool CParser::isConstant(std::string_view line) const {
    return opensStatement(line, "Const", false);
}

bool CParser::isImplementation(std::string_view line) const {
    return startsNoCase(trimSpaces(line), "Implements ");
}

bool CParser::isDeclaration(std::string_view line) const {
    return opensStatement(line, "Declare", false);
}

bool CParser::isFunction(std::string_view line) const {
    return opensStatement(line, "Function", true);
}

bool CParser::isSubroutine(std::string_view line) const {
    return opensStatement(line, "Sub", true);
}

bool CParser::isEvent(std::string_view line) const { return opensStatement(line, "Event", false); }

bool CParser::isVariable(std::string_view line) const {
    std::string_view t = trimSpaces(line);
    for (std::string_view word : {"Private ", "Dim ", "Friend ", "Public ", "Global "})
        if (startsNoCase(t, word)) return findNoCase(t, " As ") != npos;
    return false;
}

bool CParser::isProperty(std::string_view line) const {
    return opensStatement(line, "Property", true);
}

bool CParser::isType(std::string_view line) const { return opensStatement(line, "Type", false); }

bool CParser::isEnum(std::string_view line) const { return opensStatement(line, "Enum", false); }

}  // namespace tarnwick
