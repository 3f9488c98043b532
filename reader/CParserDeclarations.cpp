// Module-level declarations that are not procedures: Type, Enum, variable,
// Const and Implements statements.
#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// The first line of a block and its end: the end statement's line, or the
// buffer's last line when the block never ends.
struct Block {
    int32_t headerEnd = 0;  // last line of the (possibly continued) header
    int32_t end = 0;
};

Block findBlock(const CStringLines& lines, int32_t index, std::string_view kind) {
    Block block;
    block.headerEnd = statementEnd(lines, index);
    int32_t end = findBlockEnd(lines, block.headerEnd, kind);
    block.end = end < 0 ? std::max(lines.Count(), block.headerEnd) : end;
    return block;
}

// Code parts and comment parts of a statement's physical lines: the code of
// each line up to its comment (joined with CR LF between them) and every
// comment text (each after one blank).
struct CodeAndComments {
    std::string code;
    std::string comments;
};

CodeAndComments splitComments(const CStringLines& lines, int32_t start, int32_t end) {
    CodeAndComments parts;
    for (int32_t i = start; i <= end; ++i) {
        std::string_view line = lines.Line(i);
        size_t comment = findOutsideStrings(line, '\'');
        if (i > start) parts.code += "\r\n";
        parts.code += line.substr(0, comment == npos ? line.size() : comment);
        if (comment != npos) {
            parts.comments += ' ';
            parts.comments += line.substr(comment + 1);
        }
    }
    return parts;
}

// Directive lines (#If, #Const, ...) are no members of a block.
bool isDirective(std::string_view line) {
    std::string_view t = ltrimSpaces(line);
    while (!t.empty() && t.front() == '\t') t.remove_prefix(1);
    return !t.empty() && t.front() == '#';
}

// What the elements of one declaration list share (the statement's Source
// and description) is copied into each of them, unless a hostile list of
// many thousand names on a huge line would make those copies grow with the
// square of the line: past this many bytes in all, an element gets its own
// declaration as Source, and only the first one the description.
constexpr size_t kSharedCopyBudget = 8u << 20;

bool shareWithAll(size_t textSize, size_t count) {
    return count <= 1 || textSize <= kSharedCopyBudget / count;
}

// The declarations of a list statement ("Private a As Long, b() As String"),
// each with the statement's leading words ("Private", "Public Const", "Dim"):
// "Private a As Long", "Private b() As String". Commas inside parentheses and
// strings do not split. A statement of one declaration comes back as it is.
std::vector<std::string> declarationList(const std::string& code) {
    std::vector<std::string_view> pieces = splitArguments(code);
    if (pieces.size() == 1) return {code};
    std::string_view first = ltrimSpaces(pieces[0]);
    size_t prefixEnd = 0;
    for (bool more = true; more;) {
        more = false;
        for (std::string_view word :
             {"Public ", "Private ", "Friend ", "Global ", "Dim ", "Static ", "Const "}) {
            if (startsNoCase(first.substr(prefixEnd), word)) {
                prefixEnd += word.size();
                while (prefixEnd < first.size() && first[prefixEnd] == ' ') ++prefixEnd;
                more = true;
            }
        }
    }
    const std::string prefix(first.substr(0, prefixEnd));
    std::vector<std::string> list;
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::string_view piece = trimSpaces(pieces[i]);
        if (i == 0) {
            list.emplace_back(piece);
        } else if (!piece.empty()) {
            list.push_back(prefix + std::string(piece));
        }
    }
    return list;
}

// A statement trimmed of blanks and tabs at both ends.
std::string_view trimWhite(std::string_view text) {
    while (!text.empty() && isBlankOrTab(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlankOrTab(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::shared_ptr<cType> CParser::parseType(std::string_view description, const CStringLines& lines,
                                          int32_t& index) const {
    auto element = std::make_shared<cType>();
    Block block = findBlock(lines, index, "Type");
    std::string syntax = collapse(joinLines(lines, index, block.end));
    element->setSyntax(syntax);
    element->setScope(parseScope(syntax));
    element->setName(parseName(syntax, NameMode::Type));
    element->setSource(sourceLines(lines, index, block.end));
    element->setVariables(parseTypeMembers(description, element->Source()));
    element->setDescription(Tags(description).own());
    index = block.end;
    return element;
}

std::shared_ptr<CVariableList> CParser::parseTypeMembers(std::string_view description,
                                                         std::string_view source) const {
    auto list = std::make_shared<CVariableList>();
    CStringLines body{std::string(source)};
    Tags tags(description);
    const int32_t last = body.Count();
    // The header (with its trailing comment) names the Type; members follow.
    for (int32_t i = statementEnd(body, 0) + 1; i <= last; ++i) {
        const int32_t end = statementEnd(body, i);
        std::string line = joinLines(body, i, end);
        i = end;
        if (isBlankLine(line) || isCommentLine(line) || isDirective(line)) continue;
        size_t commentAt = findOutsideStrings(line, '\'');
        std::string comment = commentAt == npos
                                  ? std::string()
                                  : cleanComment(std::string_view(line).substr(commentAt));
        std::string_view code =
            std::string_view(line).substr(0, commentAt == npos ? line.size() : commentAt);
        // Several members may share a line, separated by ':'.
        std::vector<std::string_view> pieces;
        for (size_t from = 0;;) {
            size_t colon = findOutsideStrings(code, ':', from);
            pieces.push_back(code.substr(from, colon == npos ? npos : colon - from));
            if (colon == npos) break;
            from = colon + 1;
        }
        std::vector<std::string_view> members;
        for (std::string_view piece : pieces) {
            piece = trimWhite(piece);
            if (!piece.empty() && !isEndStatement(piece, "Type")) members.push_back(piece);
        }
        for (size_t m = 0; m < members.size(); ++m) {
            std::string text = collapse(members[m]);
            auto member = std::make_shared<CVariable>();
            member->setName(parseName(text, NameMode::Argument));
            member->setDataType(parseDataType(text, NameMode::Argument));
            std::string memberDescription = tags.forName(member->Name());
            // The line's trailing comment describes its (last) member.
            if (memberDescription.empty() && m + 1 == members.size()) memberDescription = comment;
            member->setDescription(std::move(memberDescription));
            member->setSource(members.size() == 1 ? collapse(trimWhite(line)) : text);
            list->Add(std::move(member));
        }
    }
    return list;
}

std::shared_ptr<CEnum> CParser::parseEnum(std::string_view description, const CStringLines& lines,
                                          int32_t& index) const {
    auto element = std::make_shared<CEnum>();
    Block block = findBlock(lines, index, "Enum");
    const bool ended = isEndStatement(lines.Line(block.end), "Enum");
    std::string joined = collapse(joinLines(lines, index, block.end));
    element->setScope(parseScope(joined));
    element->setName(parseName(joined, NameMode::Enum));
    std::string source;
    for (int32_t i = index; i <= block.end; ++i) {
        if (i > index) source += "\r\n";
        source += lines.Line(i);
    }
    element->setSource(source);
    element->setSyntax(std::move(source));
    Tags tags(description);
    auto members = element->Variables();
    const int32_t lastMember = ended ? block.end - 1 : block.end;
    for (int32_t i = block.headerEnd + 1; i <= lastMember; ++i) {
        const int32_t end = std::min(statementEnd(lines, i), lastMember);
        std::string line = joinLines(lines, i, end);
        i = end;
        if (isBlankLine(line) || isCommentLine(line) || isDirective(line)) continue;
        size_t commentAt = findOutsideStrings(line, '\'');
        std::string_view code = trimWhite(
            std::string_view(line).substr(0, commentAt == npos ? line.size() : commentAt));
        if (code.empty()) continue;
        auto member = std::make_shared<CVariable>();
        member->setSource(std::string(code));
        std::string_view name = code;
        size_t eq = code.find('=');
        if (eq != npos) {
            member->setDefault(std::string(trimWhite(code.substr(eq + 1))));
            name = trimWhite(code.substr(0, eq));
        }
        member->setName(std::string(name));
        std::string memberDescription = tags.forName(member->Name());
        if (memberDescription.empty() && commentAt != npos)
            memberDescription = cleanComment(std::string_view(line).substr(commentAt));
        member->setDescription(std::move(memberDescription));
        members->Add(std::move(member));
    }
    element->setDescription(tags.own());
    index = block.end;
    return element;
}

std::vector<std::shared_ptr<CVariable>> CParser::parseVariable(std::string_view description,
                                                               const CStringLines& lines,
                                                               int32_t& index) const {
    const int32_t end = statementEnd(lines, index);
    std::string joined = joinLines(lines, index, end);
    size_t comment = findOutsideStrings(joined, '\'');
    std::string code =
        collapse(std::string_view(joined).substr(0, comment == npos ? joined.size() : comment));
    CodeAndComments parts = splitComments(lines, index, end);
    std::string own = Tags(description).own();
    const std::string& text = own.empty() ? parts.comments : own;
    std::vector<std::string> list = declarationList(code);
    const bool shareSource = shareWithAll(parts.code.size(), list.size());
    const bool shareText = shareWithAll(text.size(), list.size());
    std::vector<std::shared_ptr<CVariable>> elements;
    for (std::string& syntax : list) {
        auto element = std::make_shared<CVariable>();
        element->setScope(parseScope(syntax));
        std::string name = parseName(syntax, NameMode::Variable);
        element->setDataType(parseDataType(syntax, NameMode::Variable));
        // "s$" is the String s: the type character is no part of the name.
        if (name.size() > 1 && std::string_view("$%&!#@").find(name.back()) != npos)
            name.pop_back();
        element->setName(std::move(name));
        element->setIsNew(parseNew(syntax) ? "True" : "False");
        element->setSource(shareSource ? parts.code : syntax);
        element->setSyntax(std::move(syntax));
        if (shareText || elements.empty()) element->setDescription(text);
        elements.push_back(std::move(element));
    }
    index = end;
    return elements;
}

std::vector<std::shared_ptr<CConstant>> CParser::parseConstant(std::string_view description,
                                                               const CStringLines& lines,
                                                               int32_t& index) const {
    const int32_t end = statementEnd(lines, index);
    CodeAndComments parts = splitComments(lines, index, end);
    std::string code(rtrimSpaces(parts.code));
    std::string joined = joinLines(lines, index, end);
    size_t comment = findOutsideStrings(joined, '\'');
    std::vector<std::string> list = declarationList(
        collapse(std::string_view(joined).substr(0, comment == npos ? joined.size() : comment)));
    // Tags leave the text (they are read on their own); without any the block stays as written.
    const Tags tags(description);
    const std::string text = description.empty()                    ? parts.comments
                             : tags.firstTag() < description.size() ? tags.own()
                                                                    : std::string(description);
    const bool shareSource = shareWithAll(code.size(), list.size());
    const bool shareText = shareWithAll(text.size(), list.size());
    std::vector<std::shared_ptr<CConstant>> elements;
    for (std::string& syntax : list) {
        auto element = std::make_shared<CConstant>();
        element->setScope(parseScope(syntax));
        std::string name = parseName(syntax, NameMode::Constant);
        // "Const DWL_ANYTHREAD& = 2" is the Long DWL_ANYTHREAD.
        const std::string_view suffix = takeTypeSuffix(name);
        element->setName(std::move(name));
        // "Const A As Long = 1": the type only where one is written.
        size_t as = findNoCase(syntax, " As ");
        if (as != npos && as < findOutsideStrings(syntax, '='))
            element->setDataType(parseDataType(syntax, NameMode::Constant));
        else if (!suffix.empty())
            element->setDataType(std::string(suffix));
        element->setSource(shareSource ? code : syntax);
        // One constant keeps the statement as written, continued lines and all.
        element->setSyntax(list.size() == 1 ? code : std::move(syntax));
        if (shareText || elements.empty()) element->setDescription(text);
        elements.push_back(std::move(element));
    }
    index = end;
    return elements;
}

std::shared_ptr<CImplementation> CParser::parseImplementation(std::string_view description,
                                                              const CStringLines& lines,
                                                              int32_t& index) const {
    auto element = std::make_shared<CImplementation>();
    const int32_t end = statementEnd(lines, index);
    std::string syntax = collapse(joinLines(lines, index, end));
    element->setSyntax(syntax);
    // The interface's name: after "Implements ", without a trailing comment.
    std::string_view rest = syntax;
    size_t at = findNoCase(rest, "Implements ");
    rest = at == npos ? std::string_view() : rest.substr(at + 11);
    size_t comment = findOutsideStrings(rest, '\'');
    element->setName(
        std::string(trimSpaces(rest.substr(0, comment == npos ? rest.size() : comment))));
    element->setSource(sourceLines(lines, index, end));
    element->setDescription(Tags(description).own());
    index = end;
    return element;
}

}  // namespace tarnwick
