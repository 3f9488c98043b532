// Procedure parsers: Sub, Function, Property, Event and Declare statements.
#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// How much of the joined statement a procedure keeps as its declaration.
enum class Cut {
    UpToParen,   // through the ')' that closes the parameter list
    ReturnType,  // and, when " As " follows it, through the blank after the type
    Whole,       // the whole statement
};

std::string_view declarationText(std::string_view joined, Cut cut) {
    if (cut == Cut::Whole) return joined;
    size_t open = findOutsideStrings(joined, '(');
    size_t close = open == npos ? npos : matchingParen(joined, open);
    if (close == npos) {
        // No complete parameter list: the statement up to a trailing comment.
        size_t comment = findOutsideStrings(joined, '\'');
        return rtrimSpaces(joined.substr(0, comment == npos ? joined.size() : comment));
    }
    if (cut == Cut::ReturnType && startsNoCase(joined.substr(close + 1), " As ")) {
        size_t blank = joined.find(' ', close + 5);
        return blank == npos ? joined : joined.substr(0, blank + 1);
    }
    return joined.substr(0, close + 1);
}

// What a procedure statement was read as.
struct ProcedureRead {
    std::string syntax;  // the declaration, blanks collapsed
    int32_t end = 0;     // last line of the block (or of the statement)
};

// Reads the statement at index and, for a block, finds its end statement.
// A block that never ends runs to the last line of the buffer; the statement
// is still taken apart, so the element keeps its name.
ProcedureRead readProcedure(const CStringLines& lines, int32_t index, Cut cut,
                            std::string_view blockKind) {
    const int32_t last = lines.Count();
    const int32_t statementLast = statementEnd(lines, index);
    ProcedureRead read;
    read.end = statementLast;
    std::string joined = joinLines(lines, index, statementLast);
    if (!blockKind.empty()) {
        int32_t blockEnd = findBlockEnd(lines, statementLast, blockKind);
        read.end = blockEnd < 0 ? std::max(last, statementLast) : blockEnd;
        // The body goes on after the statement: the return type ends at a blank.
        if (read.end > statementLast) joined += ' ';
    }
    read.syntax = collapse(declarationText(joined, cut));
    return read;
}

}  // namespace

void CParser::fillProcedure(Procedure& element, const std::string& syntax, NameMode mode,
                            std::string_view description, const CStringLines& lines, int32_t first,
                            int32_t last) const {
    element.setSyntax(syntax);
    element.setScope(parseScope(syntax));
    element.setName(parseName(syntax, mode));
    element.setArguments(parseArguments(syntax, description));
    element.setDescription(Tags(description).own());
    element.setSource(sourceLines(lines, first, last));
}

std::shared_ptr<CSubroutine> CParser::parseSubroutine(std::string_view description,
                                                      const CStringLines& lines,
                                                      int32_t& index) const {
    auto element = std::make_shared<CSubroutine>();
    const ProcedureRead read = readProcedure(lines, index, Cut::UpToParen, "Sub");
    fillProcedure(*element, read.syntax, NameMode::Sub, description, lines, index, read.end);
    index = read.end;
    return element;
}

std::shared_ptr<CFunction> CParser::parseFunction(std::string_view description,
                                                  const CStringLines& lines, int32_t& index) const {
    auto element = std::make_shared<CFunction>();
    const ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, "Function");
    fillProcedure(*element, read.syntax, NameMode::Function, description, lines, index, read.end);
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    index = read.end;
    return element;
}

std::shared_ptr<CProperty> CParser::parseProperty(std::string_view description,
                                                  const CStringLines& lines, int32_t& index) const {
    auto element = std::make_shared<CProperty>();
    const ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, "Property");
    fillProcedure(*element, read.syntax, NameMode::Property, description, lines, index, read.end);
    element->setWay(parseWay(read.syntax));
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    index = read.end;
    return element;
}

std::shared_ptr<CEvent> CParser::parseEvent(std::string_view description, const CStringLines& lines,
                                            int32_t& index) const {
    auto element = std::make_shared<CEvent>();
    const ProcedureRead read = readProcedure(lines, index, Cut::Whole, {});
    fillProcedure(*element, read.syntax, NameMode::Event, description, lines, index, read.end);
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    index = read.end;
    return element;
}

std::shared_ptr<CDeclaration> CParser::parseDeclaration(std::string_view description,
                                                        const CStringLines& lines,
                                                        int32_t& index) const {
    auto element = std::make_shared<CDeclaration>();
    const ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, {});
    fillProcedure(*element, read.syntax, NameMode::Declare, description, lines, index, read.end);
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    index = read.end;
    return element;
}

}  // namespace tarnwick
