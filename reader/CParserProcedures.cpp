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

std::shared_ptr<CSubroutine> CParser::parseSubroutine(std::string_view description,
                                                      const CStringLines& lines,
                                                      int32_t& index) const {
    auto element = std::make_shared<CSubroutine>();
    ProcedureRead read = readProcedure(lines, index, Cut::UpToParen, "Sub");
    element->setSyntax(read.syntax);
    element->setScope(parseScope(read.syntax));
    element->setName(parseName(read.syntax, NameMode::Sub));
    element->setArguments(parseArguments(read.syntax, description));
    element->setDescription(Tags(description).own());
    element->setSource(sourceLines(lines, index, read.end));
    index = read.end;
    return element;
}

std::shared_ptr<CFunction> CParser::parseFunction(std::string_view description,
                                                  const CStringLines& lines, int32_t& index) const {
    auto element = std::make_shared<CFunction>();
    ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, "Function");
    element->setSyntax(read.syntax);
    element->setScope(parseScope(read.syntax));
    element->setName(parseName(read.syntax, NameMode::Function));
    element->setArguments(parseArguments(read.syntax, description));
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    element->setDescription(Tags(description).own());
    element->setSource(sourceLines(lines, index, read.end));
    index = read.end;
    return element;
}

std::shared_ptr<CProperty> CParser::parseProperty(std::string_view description,
                                                  const CStringLines& lines, int32_t& index) const {
    auto element = std::make_shared<CProperty>();
    ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, "Property");
    element->setSyntax(read.syntax);
    element->setScope(parseScope(read.syntax));
    element->setWay(parseWay(read.syntax));
    element->setName(parseName(read.syntax, NameMode::Property));
    element->setArguments(parseArguments(read.syntax, description));
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    element->setDescription(Tags(description).own());
    element->setSource(sourceLines(lines, index, read.end));
    index = read.end;
    return element;
}

std::shared_ptr<CEvent> CParser::parseEvent(std::string_view description, const CStringLines& lines,
                                            int32_t& index) const {
    auto element = std::make_shared<CEvent>();
    ProcedureRead read = readProcedure(lines, index, Cut::Whole, {});
    element->setSyntax(read.syntax);
    element->setScope(parseScope(read.syntax));
    element->setName(parseName(read.syntax, NameMode::Event));
    element->setArguments(parseArguments(read.syntax, description));
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    element->setDescription(Tags(description).own());
    element->setSource(sourceLines(lines, index, read.end));
    index = read.end;
    return element;
}

std::shared_ptr<CDeclaration> CParser::parseDeclaration(std::string_view description,
                                                        const CStringLines& lines,
                                                        int32_t& index) const {
    auto element = std::make_shared<CDeclaration>();
    ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, {});
    element->setSyntax(read.syntax);
    element->setScope(parseScope(read.syntax));
    element->setName(parseName(read.syntax, NameMode::Declare));
    element->setArguments(parseArguments(read.syntax, description));
    element->setReturns(parseReturn(element->Name(), read.syntax, description));
    element->setDescription(Tags(description).own());
    element->setSource(sourceLines(lines, index, read.end));
    index = read.end;
    return element;
}

}  // namespace tarnwick
