// Procedure parsers: Sub, Function, Property, Event and Declare statements.
#include <algorithm>
#include <mutex>
#include <unordered_map>

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

// The quoted text right after keyword (" Lib \"kernel32\"" gives kernel32),
// outside strings; empty when the keyword is not there.
std::string quotedAfter(std::string_view syntax, std::string_view keyword) {
    for (size_t from = 0;;) {
        size_t at = findNoCase(syntax, keyword, from);
        if (at == npos) return {};
        from = at + 1;
        // The keyword must start a word and stand outside a string.
        if (at == 0 || syntax[at - 1] != ' ' ||
            std::count(syntax.begin(), syntax.begin() + at, '"') % 2 != 0)
            continue;
        std::string_view rest = ltrimSpaces(syntax.substr(at + keyword.size()));
        if (rest.empty() || rest[0] != '"') return {};
        size_t close = rest.find('"', 1);
        return std::string(rest.substr(1, close == npos ? npos : close - 1));
    }
}

// How a routine's body ended.
enum class BodyEnd {
    Statement,   // an End Sub, End Function or End Property (or no body at all)
    NextHeader,  // the next routine's header came first
    Missing,     // the module ended first
};

// What a procedure statement was read as.
struct ProcedureRead {
    std::string syntax;  // the declaration, blanks collapsed
    int32_t end = 0;     // last line of the block (or of the statement)
    BodyEnd how = BodyEnd::Statement;
    int32_t nextHeader = -1;  // the line of that header, for BodyEnd::NextHeader
};

// The body after the statement ending on statementLast: up to its end
// statement, or up to the comment block above the next routine header.
void findBodyEnd(const CStringLines& lines, int32_t statementLast, ProcedureRead& read) {
    const int32_t last = lines.Count();
    if (isProcedureEnd(lines.Line(statementLast))) {
        read.end = statementLast;
        return;
    }
    bool continued = isContinued(lines.Line(statementLast));
    for (int32_t i = statementLast + 1; i <= last; ++i) {
        std::string_view line = lines.Line(i);
        if (!continued && isProcedureHeader(line)) {
            // The comment lines right above the header describe it.
            int32_t end = i - 1;
            while (end > statementLast && isCommentLine(lines.Line(end))) --end;
            read.end = end;
            read.how = BodyEnd::NextHeader;
            read.nextHeader = i;
            return;
        }
        if (!continued && isProcedureEnd(line)) {
            read.end = i;
            return;
        }
        continued = isContinued(line);
    }
    read.end = std::max(last, statementLast);
    read.how = BodyEnd::Missing;
}

// Reads the statement at index and, for a block, finds its end. A block that
// never ends runs to the last line of the buffer; the statement is still
// taken apart, so the element keeps its name.
ProcedureRead readProcedure(const CStringLines& lines, int32_t index, Cut cut, bool block) {
    const int32_t statementLast = statementEnd(lines, index);
    ProcedureRead read;
    read.end = statementLast;
    std::string joined = joinLines(lines, index, statementLast);
    if (block) {
        findBodyEnd(lines, statementLast, read);
        // The body goes on after the statement: the return type ends at a blank.
        if (read.end > statementLast) joined += ' ';
    }
    read.syntax = collapse(declarationText(joined, cut));
    // "Public Function Name _" continued before its parameter list: the
    // name and the list belong together.
    size_t open = findOutsideStrings(read.syntax, '(');
    if (open != npos && open >= 2 && read.syntax[open - 1] == ' ' &&
        isIdentifierChar(read.syntax[open - 2]) && block)
        read.syntax.erase(open - 1, 1);
    return read;
}

}  // namespace

class CParser::SharedRecords {
public:
    std::shared_ptr<CArgument> returning(std::string_view type) {
        const std::lock_guard<std::mutex> lock(m_lock);
        std::shared_ptr<CArgument>& record = m_records[std::string(type)];
        if (!record) {
            record = std::make_shared<CArgument>();
            record->setDataType(std::string(type));
        }
        return record;
    }
    const std::shared_ptr<CArgumentList> noArguments = std::make_shared<CArgumentList>();

private:
    std::mutex m_lock;  // the reader's threads share the records
    std::unordered_map<std::string, std::shared_ptr<CArgument>> m_records;
};

void CParser::setDeclarationsOnly(bool on) {
    m_declarationsOnly = on;
    m_shared = on ? std::make_shared<SharedRecords>() : nullptr;
}

void CParser::fillProcedure(Procedure& element, const std::string& syntax, NameMode mode,
                            std::string_view description, const CStringLines& lines, int32_t first,
                            int32_t last) const {
    element.setScope(parseScope(syntax));
    std::string name = parseName(syntax, mode);
    // "Function Pad$(...)" is the String function Pad.
    takeTypeSuffix(name);
    element.setName(std::move(name));
    // Another project binds to a routine by its name, scope and type: its
    // parameters and declaration line would only fill memory beside the
    // calling project's model.
    if (m_shared) {
        element.setArguments(m_shared->noArguments);
        return;
    }
    element.setSyntax(syntax);
    element.setArguments(parseArguments(syntax, description));
    element.setDescription(Tags(description).own());
    element.setSource(sourceLines(lines, first, last));
}

void CParser::setReturns(ReturningProcedure& element, std::string_view syntax,
                         std::string_view description) const {
    if (m_shared)
        element.setReturns(m_shared->returning(returnType(syntax)));
    else
        element.setReturns(parseReturn(element.Name(), syntax, description));
}

void CParser::returnTypeFromSuffix(ReturningProcedure& element, std::string_view syntax) const {
    if (!element.Returns()->DataType().empty()) return;
    size_t open = findOutsideStrings(syntax, '(');
    std::string head(rtrimSpaces(syntax.substr(0, open == npos ? syntax.size() : open)));
    std::string_view type = takeTypeSuffix(head);
    if (type.empty()) return;
    // A shared record is never changed.
    if (m_shared)
        element.setReturns(m_shared->returning(type));
    else
        element.Returns()->setDataType(std::string(type));
}

namespace {

// Tells the user when a routine's body did not end with an end statement.
// line and nextLine are file lines of the routine and of read.nextHeader.
void reportBodyEnd(const ProcedureRead& read, std::string_view kind, const Element& element,
                   const std::string& path, int line, int nextLine, DiagnosticsSink* diagnostics) {
    if (!diagnostics || read.how == BodyEnd::Statement) return;
    std::string what = std::string(kind) + " '" + element.Name() + "'";
    if (read.how == BodyEnd::NextHeader) {
        diagnostics->warning(path, line,
                             what + " has no end statement before the next routine (line " +
                                 std::to_string(nextLine) + "); its body ends there");
    } else {
        diagnostics->warning(
            path, line, what + " has no end statement; its body runs to the end of the module");
    }
}

}  // namespace

std::shared_ptr<CSubroutine> CParser::parseSubroutine(std::string_view description,
                                                      const CStringLines& lines, int32_t& index,
                                                      const CodeContext& context) const {
    auto element = std::make_shared<CSubroutine>();
    const ProcedureRead read = readProcedure(lines, index, Cut::UpToParen, true);
    fillProcedure(*element, read.syntax, NameMode::Sub, description, lines, index, read.end);
    reportBodyEnd(read, "Sub", *element, context.path, context.fileLine(index),
                  context.fileLine(read.nextHeader), m_diagnostics);
    index = read.end;
    return element;
}

std::shared_ptr<CFunction> CParser::parseFunction(std::string_view description,
                                                  const CStringLines& lines, int32_t& index,
                                                  const CodeContext& context) const {
    auto element = std::make_shared<CFunction>();
    const ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, true);
    fillProcedure(*element, read.syntax, NameMode::Function, description, lines, index, read.end);
    setReturns(*element, read.syntax, description);
    returnTypeFromSuffix(*element, read.syntax);
    reportBodyEnd(read, "Function", *element, context.path, context.fileLine(index),
                  context.fileLine(read.nextHeader), m_diagnostics);
    index = read.end;
    return element;
}

std::shared_ptr<CProperty> CParser::parseProperty(std::string_view description,
                                                  const CStringLines& lines, int32_t& index,
                                                  const CodeContext& context) const {
    auto element = std::make_shared<CProperty>();
    const ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, true);
    fillProcedure(*element, read.syntax, NameMode::Property, description, lines, index, read.end);
    element->setWay(parseWay(read.syntax));
    setReturns(*element, read.syntax, description);
    returnTypeFromSuffix(*element, read.syntax);
    reportBodyEnd(read, "Property", *element, context.path, context.fileLine(index),
                  context.fileLine(read.nextHeader), m_diagnostics);
    index = read.end;
    return element;
}

std::shared_ptr<CEvent> CParser::parseEvent(std::string_view description, const CStringLines& lines,
                                            int32_t& index) const {
    auto element = std::make_shared<CEvent>();
    const ProcedureRead read = readProcedure(lines, index, Cut::Whole, false);
    fillProcedure(*element, read.syntax, NameMode::Event, description, lines, index, read.end);
    setReturns(*element, read.syntax, description);
    index = read.end;
    return element;
}

std::shared_ptr<CDeclaration> CParser::parseDeclaration(std::string_view description,
                                                        const CStringLines& lines,
                                                        int32_t& index) const {
    auto element = std::make_shared<CDeclaration>();
    const ProcedureRead read = readProcedure(lines, index, Cut::ReturnType, false);
    fillProcedure(*element, read.syntax, NameMode::Declare, description, lines, index, read.end);
    setReturns(*element, read.syntax, description);
    element->setLib(quotedAfter(read.syntax, "Lib "));
    element->setAlias(quotedAfter(read.syntax, "Alias "));
    index = read.end;
    return element;
}

}  // namespace tarnwick
