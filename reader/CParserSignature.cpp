// Signature parsing: the scope word, name, data type, arguments and return
// value of one declaration, by position searches on its text.
#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// The text from pos on with leading blanks removed.
std::string_view restFrom(std::string_view text, size_t pos) {
    return pos >= text.size() ? std::string_view() : ltrimSpaces(text.substr(pos));
}

// Drops a leading keyword (given with its blank) as often as it stands there.
bool dropKeyword(std::string_view& text, std::string_view keyword) {
    bool dropped = false;
    while (startsNoCase(text, keyword)) {
        text = ltrimSpaces(text.substr(keyword.size()));
        dropped = true;
    }
    return dropped;
}

// The end of a type word: a blank, or a character that cannot belong to it.
bool endsTypeWord(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '=' || c == '\'' || c == ':' || c == ')';
}

// Where the code of a declaration ends: at a trailing comment, or its end.
size_t codeEnd(std::string_view text) {
    size_t comment = findOutsideStrings(text, '\'');
    return comment == npos ? text.size() : comment;
}

// The name parts of parseName, one per kind of declaration, each on the
// trimmed text; parseName trims the result and cuts it at '('.

// The word before " As " (or the comment): the last blank before it that
// stands outside the bounds of an array starts it: "m_Items(1 To 10) As Long".
std::string_view variableName(std::string_view t) {
    size_t end = findNoCase(t, " As ");
    if (end == npos) end = codeEnd(t);
    size_t start = 0;
    int depth = 0;
    for (size_t i = end; i-- > 0;) {
        char c = t[i];
        if (c == ')') {
            ++depth;
        } else if (c == '(') {
            if (depth > 0) --depth;
        } else if (c == ' ' && depth == 0) {
            start = i + 1;
            break;
        }
    }
    return t.substr(start, end - start);
}

// After "Const ", up to " As ", '=' or the comment, whichever comes first.
std::string_view constantName(std::string_view t) {
    size_t at = findNoCase(t, "Const ");
    size_t start = at == npos ? 0 : at + 6;
    size_t stop = codeEnd(t);
    if (start > stop) start = stop;
    size_t eq = t.find('=', start);
    if (eq > stop) eq = npos;
    size_t as = findNoCase(t, " As ", start);
    if (as > stop) as = npos;
    size_t end = (as != npos && (eq == npos || as < eq)) ? as : (eq != npos ? eq : stop);
    return t.substr(start, end - start);
}

// A Sub, Function or Property: the last word before its parameter list.
std::string_view routineName(std::string_view t) {
    size_t open = t.find('(');
    if (open == npos) {
        // No parameter list: the last word before " As " or a comment.
        std::string_view code = t.substr(0, codeEnd(t));
        code = code.substr(0, std::min(findNoCase(code, " As "), code.size()));
        code = rtrimSpaces(code);
        size_t blank = code.rfind(' ');
        return blank == npos ? code : code.substr(blank + 1);
    }
    // "Name (" as well as "Name(": a header continued before its list.
    std::string_view head = rtrimSpaces(t.substr(0, open));
    size_t blank = head.rfind(' ');
    return blank == npos ? head : head.substr(blank + 1);
}

// The word after "Declare Sub" or "Declare Function".
std::string_view declareName(std::string_view t) {
    size_t at = findNoCase(t, "Declare ");
    size_t word = at == npos ? 0 : at + 8;
    // "Declare PtrSafe Function Name": PtrSafe only marks the
    // statement as fit for 64-bit hosts.
    if (startsNoCase(t.substr(word), "PtrSafe ")) word = t.find_first_not_of(' ', word + 8);
    if (word == npos) return {};
    size_t blank = t.find(' ', word);
    if (blank == npos) return {};
    size_t start = blank + 1;
    size_t end = std::min(t.find(' ', start), t.size());
    return t.substr(start, end - start);
}

// The word after keyword ("Enum ", "Type "); empty when it is missing.
std::string_view wordAfter(std::string_view t, std::string_view keyword) {
    size_t at = findNoCase(t, keyword);
    if (at == npos) return {};
    size_t start = at + keyword.size();
    size_t end = std::min(t.find(' ', start), t.size());
    return t.substr(start, end - start);
}

// After "Event ", up to its parameter list or the comment.
std::string_view eventName(std::string_view t) {
    size_t at = findNoCase(t, "event ");
    if (at == npos) return {};
    size_t start = at + 6;
    size_t end = std::min(t.find('(', start), codeEnd(t));
    if (end < start) end = start;
    return t.substr(start, end - start);
}

// A parameter without its Optional, ByVal, ByRef and ParamArray words, up
// to " As " or a default.
std::string_view argumentName(std::string_view t) {
    std::string_view rest = t;
    while (dropKeyword(rest, "Optional ") || dropKeyword(rest, "ByVal ") ||
           dropKeyword(rest, "ByRef ") || dropKeyword(rest, "ParamArray ")) {
    }
    size_t end = std::min(findNoCase(rest, " As "), rest.size());
    // "Optional Count = 1": a default without a type ends the name too.
    end = std::min(end, findOutsideStrings(rest.substr(0, end), '='));
    return rest.substr(0, std::min(end, rest.size()));
}

}  // namespace

int CParser::parseScope(std::string_view text) {
    std::string_view t = ltrimSpaces(text);
    if (startsNoCase(t, "global ")) return scope::Global;
    if (startsNoCase(t, "public ")) return scope::Public;
    if (startsNoCase(t, "friend ")) return scope::Friend;
    if (startsNoCase(t, "private ")) return scope::Private;
    return scope::None;
}

int CParser::parseWay(std::string_view text) {
    std::string_view t = trimSpaces(text);
    switch (parseScope(t)) {
        case scope::Global:
        case scope::Public:
        case scope::Friend:
            t = ltrimSpaces(t.substr(7));
            break;
        case scope::Private:
            t = ltrimSpaces(t.substr(8));
            break;
        default:
            break;
    }
    // "Static" may stand before or after nothing else; "Property" follows.
    while (dropKeyword(t, "static ") || dropKeyword(t, "property ")) {
    }
    std::string_view word = t.substr(0, std::min(t.find(' '), t.size()));
    if (startsNoCase(word, "set") && word.size() == 3) return way::Set;
    if (startsNoCase(word, "let") && word.size() == 3) return way::Let;
    return way::Get;
}

std::string CParser::parseName(std::string_view text, NameMode mode) {
    std::string_view t = trimSpaces(text);
    std::string_view name;
    switch (mode) {
        case NameMode::Variable:
            name = variableName(t);
            break;
        case NameMode::Constant:
            name = constantName(t);
            break;
        case NameMode::Sub:
        case NameMode::Property:
        case NameMode::Function:
            name = routineName(t);
            break;
        case NameMode::Declare:
            name = declareName(t);
            break;
        case NameMode::Enum:
            name = wordAfter(t, "Enum ");
            break;
        case NameMode::Type:
            name = wordAfter(t, "Type ");
            break;
        case NameMode::Event:
            name = eventName(t);
            break;
        case NameMode::Argument:
            name = argumentName(t);
            break;
    }
    name = trimSpaces(name);
    size_t paren = name.find('(');
    if (paren != npos) name = trimSpaces(name.substr(0, paren));
    return std::string(name);
}

std::string CParser::parseDataType(std::string_view text, NameMode mode) {
    std::string_view t = trimSpaces(text);
    size_t as = findNoCase(t, " As ");
    if (as != npos) {
        std::string_view rest = restFrom(t, as + 4);
        // "As New Collection": the type is the class, New is a separate flag.
        if (startsNoCase(rest, "New ")) rest = ltrimSpaces(rest.substr(4));
        size_t end = 0;
        while (end < rest.size() && !endsTypeWord(rest[end])) ++end;
        return std::string(trimSpaces(rest.substr(0, end)));
    }
    std::string name = parseName(t, mode);
    const std::string_view type = name.empty() ? std::string_view() : suffixType(name.back());
    return type.empty() ? "Variant" : std::string(type);
}

std::string CParser::parsePassing(std::string_view text) {
    std::string_view t = trimSpaces(text);
    if (startsNoCase(t, "optional ")) t = t.substr(9);
    return startsNoCase(t, "byval ") ? "ByVal" : "ByRef";
}

bool CParser::parseOptional(std::string_view text) {
    return startsNoCase(trimSpaces(text), "optional ");
}

bool CParser::parseNew(std::string_view text) { return findNoCase(text, " new ") != npos; }

std::shared_ptr<CArgumentList> CParser::parseArguments(std::string_view declaration,
                                                       std::string_view description) {
    auto list = std::make_shared<CArgumentList>();
    size_t open = findOutsideStrings(declaration, '(');
    if (open == npos) return list;
    size_t close = matchingParen(declaration, open);
    if (close == npos || close == open + 1) return list;
    Tags tags(description);
    for (std::string_view piece : splitArguments(declaration.substr(open + 1, close - open - 1))) {
        piece = trimSpaces(piece);
        if (piece.empty()) continue;
        auto argument = std::make_shared<CArgument>();
        argument->setIsOptional(parseOptional(piece));
        argument->setBy(parsePassing(piece));
        std::string name = parseName(piece, NameMode::Argument);
        argument->setDataType(parseDataType(piece, NameMode::Argument));
        // "ByVal s$": the String s.
        takeTypeSuffix(name);
        argument->setName(std::move(name));
        argument->setDescription(tags.forArgument(argument->Name()));
        list->Add(std::move(argument));
    }
    return list;
}

std::string_view CParser::returnType(std::string_view declaration) {
    std::string_view t = trimSpaces(declaration);
    t = rtrimSpaces(t.substr(0, codeEnd(t)));
    size_t as = npos;
    size_t open = findOutsideStrings(t, '(');
    if (open != npos) {
        size_t close = matchingParen(t, open);
        if (close != npos && startsNoCase(t.substr(close + 1), " As ")) as = close + 1;
    } else {
        as = findNoCase(t, " As ");
    }
    return as == npos ? std::string_view() : trimSpaces(t.substr(as + 4));
}

std::shared_ptr<CArgument> CParser::parseReturn(std::string_view name, std::string_view declaration,
                                                std::string_view description) {
    auto result = std::make_shared<CArgument>();
    const std::string_view type = returnType(declaration);
    if (type.empty()) return result;
    result->setDataType(std::string(type));
    result->setDescription(Tags(description).forReturn(name));
    return result;
}

std::string CParser::findTagText(std::string_view text, std::string_view name) {
    return Tags(text).forName(name);
}

std::string CParser::collapseBlanks(std::string_view text) { return collapse(text); }

}  // namespace tarnwick
