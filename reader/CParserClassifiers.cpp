// Statement classifiers: which kind of declaration a logical line opens.
#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// The line without its scope word ("Global ", "Public ", "Friend ",
// "Private ", each with exactly one blank), trimmed at its start only as far
// as the line itself was.
std::string_view afterScopeWord(std::string_view trimmed) {
    for (std::string_view word : {"Global ", "Public ", "Friend ", "Private "})
        if (startsNoCase(trimmed, word)) return trimmed.substr(word.size());
    return trimmed;
}

// The trimmed line is "[scope ][Static ]<keyword> ..." with one blank after
// each word; Static only where allowStatic.
bool opens(std::string_view line, std::string_view keyword, bool allowStatic) {
    std::string_view rest = afterScopeWord(trimSpaces(line));
    if (allowStatic && startsNoCase(rest, "Static ")) rest = rest.substr(7);
    return startsNoCase(rest, keyword) && rest.size() > keyword.size() &&
           rest[keyword.size()] == ' ';
}

}  // namespace

bool CParser::isConstant(std::string_view line) const { return opens(line, "Const", false); }

bool CParser::isImplementation(std::string_view line) const {
    return startsNoCase(trimSpaces(line), "Implements ");
}

bool CParser::isDeclaration(std::string_view line) const { return opens(line, "Declare", false); }

bool CParser::isFunction(std::string_view line) const { return opens(line, "Function", true); }

bool CParser::isSubroutine(std::string_view line) const { return opens(line, "Sub", true); }

bool CParser::isEvent(std::string_view line) const { return opens(line, "Event", false); }

bool CParser::isVariable(std::string_view line) const {
    std::string_view t = trimSpaces(line);
    for (std::string_view word : {"Private ", "Dim ", "Friend ", "Public ", "Global "})
        if (startsNoCase(t, word)) return findNoCase(t, " As ") != npos;
    return false;
}

bool CParser::isProperty(std::string_view line) const { return opens(line, "Property", true); }

bool CParser::isType(std::string_view line) const { return opens(line, "Type", false); }

bool CParser::isEnum(std::string_view line) const { return opens(line, "Enum", false); }

}  // namespace tarnwick
