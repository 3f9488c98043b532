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
        if (startsNoCase(t, word)) {
            if (findNoCase(t, " As ") != npos) return true;
            // "Private s$, n&": names typed by their type character alone.
            std::string_view name = ltrimSpaces(t.substr(word.size()));
            if (startsNoCase(name, "WithEvents ")) name = ltrimSpaces(name.substr(11));
            size_t end = 0;
            while (end < name.size() && isIdentifierChar(name[end])) ++end;
            return end > 0 && end < name.size() && !suffixType(name[end]).empty() &&
                   (end + 1 == name.size() || name[end + 1] == ' ' || name[end + 1] == ',' ||
                    name[end + 1] == '(');
        }
    return false;
}

bool CParser::isProperty(std::string_view line) const {
    return opensStatement(line, "Property", true);
}

bool CParser::isType(std::string_view line) const { return opensStatement(line, "Type", false); }

bool CParser::isEnum(std::string_view line) const { return opensStatement(line, "Enum", false); }

}  // namespace tarnwick
