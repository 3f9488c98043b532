#include "reader/CrossReferences.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/CArgument.h"
#include "model/CProperty.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// ---- Tokens ---------------------------------------------------------------

enum class Tok : uint8_t { Ident, Number, Punct };

// 32 bytes: a logical line of millions of tokens is held whole.
struct Token {
    std::string_view text;  // for an identifier without brackets and type character
    int32_t line = 0;       // 1-based line of Source
    int32_t column = 0;     // byte offset in that line
    int32_t length = 0;     // bytes as written
    Tok kind = Tok::Punct;
    bool spaceBefore = false;
    bool lineStart = false;  // first token of its physical line
};

// A statement: a run of one logical line's tokens, valid while that line is.
using Statement = std::span<const Token>;

bool identStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0x80;
}
bool identChar(char c) { return identStart(c) || (c >= '0' && c <= '9') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// word is an ASCII keyword; compared ignoring ASCII case (this runs for
// nearly every token, so no Unicode folding).
bool is(const Token& t, std::string_view word) {
    if (t.kind != Tok::Ident || t.text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = t.text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        char w = word[i];
        if (w >= 'A' && w <= 'Z') w = static_cast<char>(w + 32);
        if (c != w) return false;
    }
    return true;
}
bool isPunct(const Token& t, std::string_view p) { return t.kind == Tok::Punct && t.text == p; }

// "#1/2/2000#", "#12:00:00 AM#": a date literal from at ('#') to its closing '#'; npos if none.
size_t dateLiteralEnd(std::string_view line, size_t at) {
    if (at + 1 >= line.size() || !isDigit(line[at + 1])) return std::string_view::npos;
    for (size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '#') return i;
        if (!isDigit(c) && std::string_view("/:-., AaPpMm").find(c) == std::string_view::npos)
            return std::string_view::npos;
    }
    return std::string_view::npos;
}

// The most tokens of one logical line that are resolved. VB6 itself takes
// at most 25 continued lines of 1,023 characters; a generated line of
// millions of symbols would need gigabytes held at once.
constexpr size_t kMaxLineTokens = 1'000'000;

// Reads a module's compiled lines as logical lines (continued lines joined)
// of tokens, strings and comments left out.
class Lexer {
public:
    explicit Lexer(const CModule& module)
        : m_lines(
              std::make_shared<const std::vector<std::string_view>>(splitLines(module.Source()))) {
        if (const auto& kept = module.CompiledLines()) {
            m_kept = kept.get();
        }
    }

    // The next logical line's tokens; false at the end.
    bool next(std::vector<Token>& out) {
        out.clear();
        bool continued = false;
        while (advance()) {
            const int32_t index = m_current;
            continued = lexLine((*m_lines)[static_cast<size_t>(index)], index + 1, out);
            if (!continued) return true;
        }
        return !out.empty();
    }

    // True once a logical line had more than kMaxLineTokens tokens: the rest
    // of such a line was left out.
    bool cut() const { return m_cut; }

private:
    bool advance() {
        if (m_kept) {
            if (m_keptAt >= m_kept->size()) return false;
            m_current = (*m_kept)[m_keptAt++];
            return static_cast<size_t>(m_current) < m_lines->size();
        }
        if (static_cast<size_t>(m_current + 1) >= m_lines->size()) return false;
        ++m_current;
        return true;
    }

    // Appends the tokens of one physical line; true when the line goes on
    // in the next one.
    bool lexLine(std::string_view line, int32_t number, std::vector<Token>& out) {
        const std::string_view trimmed = rtrimSpaces(line);
        const bool continues =
            trimmed.size() >= 2 && trimmed.back() == '_' &&
            (trimmed[trimmed.size() - 2] == ' ' || trimmed[trimmed.size() - 2] == '\t');
        if (m_commentGoesOn) {  // a comment ending in " _" takes the next line too
            m_commentGoesOn = continues;
            return continues;
        }
        const size_t end = continues ? trimmed.size() - 1 : trimmed.size();
        bool space = true;
        bool first = true;
        size_t i = 0;
        // The first ']' at or after the last '[' looked at: a line of
        // thousands of '[' is searched once, not once per '['.
        size_t bracketClose = std::string_view::npos;
        bool bracketSearched = false;
        auto push = [&](Tok kind, std::string_view text, size_t from, size_t to) {
            Token t;
            t.kind = kind;
            t.text = text;
            t.line = number;
            t.column = static_cast<int32_t>(from);
            t.length = static_cast<int32_t>(to - from);
            t.spaceBefore = space;
            t.lineStart = first;
            if (out.size() < kMaxLineTokens)
                out.push_back(t);
            else
                m_cut = true;
            space = false;
            first = false;
        };
        while (i < end) {
            const char c = line[i];
            if (c == ' ' || c == '\t') {
                space = true;
                ++i;
                continue;
            }
            if (c == '\'') {
                m_commentGoesOn = continues;
                return continues;
            }
            if (c == '"') {
                size_t j = i + 1;
                while (j < end) {
                    if (line[j] == '"') {
                        if (j + 1 < end && line[j + 1] == '"') {
                            j += 2;
                            continue;
                        }
                        break;
                    }
                    ++j;
                }
                push(Tok::Punct, "\"", i, std::min(j + 1, end));
                i = j + 1;
                continue;
            }
            if (identStart(c)) {
                size_t j = i + 1;
                while (j < end && identChar(line[j])) ++j;
                const std::string_view word = line.substr(i, j - i);
                if (equalsIgnoreCase(word, "Rem") && (out.empty() || isPunct(out.back(), ":"))) {
                    m_commentGoesOn = continues;
                    return continues;
                }
                size_t to = j;
                if (j < end) {
                    const char s = line[j];
                    const bool nextIdent =
                        j + 1 < end && (identStart(line[j + 1]) || isDigit(line[j + 1]));
                    if (s == '$' || s == '%' || s == '@' ||
                        ((s == '&' || s == '!' || s == '#') && !nextIdent))
                        to = j + 1;
                }
                push(Tok::Ident, word, i, to);
                i = to;
                continue;
            }
            if (c == '[') {
                if (!bracketSearched || bracketClose < i) {
                    bracketClose = line.find(']', i);
                    bracketSearched = true;
                }
                const size_t close = bracketClose;
                if (close != std::string_view::npos && close < end) {
                    push(Tok::Ident, line.substr(i + 1, close - i - 1), i, close + 1);
                    i = close + 1;
                    continue;
                }
            }
            if (isDigit(c) ||
                (c == '&' && i + 1 < end &&
                 std::string_view("HhOo").find(line[i + 1]) != std::string_view::npos)) {
                size_t j = i + 1;
                while (j < end && (identChar(line[j]) || line[j] == '.')) ++j;
                if (j < end && std::string_view("&!#@%$").find(line[j]) != std::string_view::npos)
                    ++j;
                push(Tok::Number, line.substr(i, j - i), i, j);
                i = j;
                continue;
            }
            if (c == '#') {
                const size_t close = dateLiteralEnd(line.substr(0, end), i);
                if (close != std::string_view::npos) {
                    push(Tok::Punct, "\"", i, close + 1);
                    i = close + 1;
                    continue;
                }
            }
            if (c == ':' && i + 1 < end && line[i + 1] == '=') {
                push(Tok::Punct, ":=", i, i + 2);
                i += 2;
                continue;
            }
            push(Tok::Punct, line.substr(i, 1), i, i + 1);
            ++i;
        }
        return continues;
    }

    // Shared by the copies a StatementReader keeps to come back to a line.
    std::shared_ptr<const std::vector<std::string_view>> m_lines;
    const std::vector<int32_t>* m_kept = nullptr;
    bool m_cut = false;
    size_t m_keptAt = 0;
    int32_t m_current = -1;
    bool m_commentGoesOn = false;
};

// A logical line split at its statement separators; a label ("Retry:") or
// a line number ahead of a statement is dropped.
void splitStatements(const std::vector<Token>& tokens, std::vector<Statement>& out) {
    size_t start = 0;
    if (!tokens.empty() && tokens[0].kind == Tok::Number)
        start = 1;  // a line number
    else if (tokens.size() >= 2 && tokens[0].kind == Tok::Ident && isPunct(tokens[1], ":"))
        start = 2;  // a label
    int depth = 0;
    for (size_t i = start; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (isPunct(t, "(")) ++depth;
        if (isPunct(t, ")") && depth > 0) --depth;
        if (depth == 0 && isPunct(t, ":")) {
            if (i > start) out.emplace_back(tokens.data() + start, i - start);
            start = i + 1;
        }
    }
    if (start < tokens.size()) out.emplace_back(tokens.data() + start, tokens.size() - start);
}

// The statements of a module one by one, with a way back: a routine is read
// twice (its declarations, then its names) instead of being held whole, so
// a module costs the memory of one logical line, whatever its size.
class StatementReader {
public:
    // Where a statement is: the lexer before its logical line, and its index there.
    struct Mark {
        Lexer lexer;
        size_t statement = 0;
    };

    explicit StatementReader(const CModule& module) : m_lexer(module), m_lineStart(m_lexer) {}

    // The next statement, valid until the next call; false at the end.
    bool next(Statement& out) {
        while (m_at >= m_statements.size()) {
            m_lineStart = m_lexer;
            m_statements.clear();
            m_at = 0;
            if (!m_lexer.next(m_tokens)) return false;
            splitStatements(m_tokens, m_statements);
        }
        out = m_statements[m_at++];
        return true;
    }
    // Whether a logical line read had more tokens than are resolved.
    bool cut() const { return m_lexer.cut() || m_cut; }
    // Where the statement next() gave last is.
    Mark last() const { return {m_lineStart, m_at - 1}; }
    // Where the statement next() gives next is.
    Mark here() const { return {m_lineStart, m_at}; }
    void reset(const Mark& mark) {
        m_cut = cut();
        m_lexer = mark.lexer;
        m_lineStart = mark.lexer;
        m_statements.clear();
        m_at = 0;
        if (m_lexer.next(m_tokens)) splitStatements(m_tokens, m_statements);
        m_at = std::min(mark.statement, m_statements.size());
    }

private:
    Lexer m_lexer;
    Lexer m_lineStart;  // m_lexer before the line m_statements come from
    std::vector<Token> m_tokens;
    std::vector<Statement> m_statements;
    size_t m_at = 0;
    bool m_cut = false;  // by a lexer reset() replaced
};

// ---- Words ----------------------------------------------------------------

using WordSet = std::unordered_set<std::string>;

const WordSet& reservedWords() {
    static const WordSet words{
        "and",       "as",      "boolean",    "byref",   "byte",       "byval",      "call",
        "case",      "cbool",   "cbyte",      "ccur",    "cdate",      "cdbl",       "cdec",
        "cint",      "clng",    "csng",       "cstr",    "cvar",       "cverr",      "const",
        "currency",  "date",    "decimal",    "declare", "dim",        "do",         "double",
        "each",      "else",    "elseif",     "empty",   "end",        "enum",       "eqv",
        "erase",     "event",   "exit",       "false",   "for",        "friend",     "function",
        "global",    "gosub",   "goto",       "if",      "imp",        "implements", "in",
        "integer",   "is",      "let",        "like",    "long",       "loop",       "lset",
        "me",        "mod",     "new",        "next",    "not",        "nothing",    "null",
        "object",    "on",      "optional",   "or",      "paramarray", "preserve",   "private",
        "property",  "public",  "raiseevent", "redim",   "rem",        "resume",     "return",
        "rset",      "select",  "set",        "single",  "static",     "step",       "stop",
        "string",    "sub",     "then",       "to",      "true",       "type",       "typeof",
        "until",     "variant", "wend",       "while",   "with",       "withevents", "xor",
        "addressof", "longptr", "longlong",   "ptrsafe"};
    return words;
}

// Statements whose first word is no call even when a member has its name.
const WordSet& statementWords() {
    static const WordSet words{
        "open",     "close",       "print",    "input",   "line",    "get",         "put",
        "seek",     "lock",        "unlock",   "name",    "width",   "load",        "unload",
        "kill",     "mkdir",       "rmdir",    "chdir",   "chdrive", "beep",        "randomize",
        "write",    "reset",       "error",    "mid",     "midb",    "savesetting", "deletesetting",
        "sendkeys", "appactivate", "filecopy", "setattr", "date",    "time"};
    return words;
}

// What forms, user controls and property pages have built in: in their code
// such a name means the object's own member, never another module's.
const WordSet& objectWords() {
    static const WordSet words{"caption",
                               "width",
                               "height",
                               "left",
                               "top",
                               "visible",
                               "enabled",
                               "show",
                               "hide",
                               "refresh",
                               "move",
                               "setfocus",
                               "controls",
                               "name",
                               "tag",
                               "font",
                               "fontname",
                               "fontsize",
                               "fontbold",
                               "fontitalic",
                               "fontunderline",
                               "fontstrikethru",
                               "forecolor",
                               "backcolor",
                               "backstyle",
                               "hwnd",
                               "hdc",
                               "icon",
                               "picture",
                               "scalewidth",
                               "scaleheight",
                               "scalemode",
                               "scaleleft",
                               "scaletop",
                               "scalex",
                               "scaley",
                               "cls",
                               "print",
                               "line",
                               "circle",
                               "pset",
                               "point",
                               "paintpicture",
                               "textwidth",
                               "textheight",
                               "currentx",
                               "currenty",
                               "mousepointer",
                               "mouseicon",
                               "windowstate",
                               "activecontrol",
                               "image",
                               "autoredraw",
                               "borderstyle",
                               "controlbox",
                               "keypreview",
                               "mdichild",
                               "appearance",
                               "drawmode",
                               "drawstyle",
                               "drawwidth",
                               "fillcolor",
                               "fillstyle",
                               "parent",
                               "extender",
                               "ambient",
                               "usercontrol",
                               "count",
                               "item",
                               "text",
                               "value",
                               "index",
                               "container",
                               "zorder",
                               "popupmenu",
                               "changed",
                               "selectedcontrols",
                               "propertychanged",
                               "canpropertychange",
                               "validatecontrols",
                               "olledrag",
                               "oledrag",
                               "palette",
                               "clipcontrols",
                               "hasdc",
                               "moveable",
                               "startupposition",
                               "linktopic",
                               "linkmode",
                               "helpcontextid",
                               "whatsthishelp",
                               "whatsthismode",
                               "whatsthisbutton",
                               "maxbutton",
                               "minbutton",
                               "showintaskbar",
                               "accesskeys",
                               "canceldisplay",
                               "contorlcontainer",
                               "controlcontainer",
                               "eventsfrozen",
                               "hyperlink",
                               "parentcontrols",
                               "propertypages",
                               "maskcolor",
                               "maskpicture",
                               "toolboxbitmap",
                               "windowless",
                               "defaultcancel",
                               "invisibleatruntime",
                               "alignable",
                               "public",
                               "forwardfocus",
                               "editatdesigntime",
                               "clipbehavior",
                               "hitbehavior",
                               "palettemode",
                               "righttoleft",
                               "olddropmode",
                               "oledropmode",
                               "scale",
                               "rightttoleft",
                               "windowlist",
                               "negotiatemenus",
                               "validate",
                               "dataformat",
                               "datamember",
                               "datafield",
                               "datasource",
                               "datachanged",
                               "causesvalidation",
                               "tabindex",
                               "tabstop",
                               "tooltiptext",
                               "dragicon",
                               "dragmode",
                               "drag",
                               "borderwidth",
                               "bordercolor"};
    return words;
}

std::string key(std::string_view name) {
    while (!name.empty() && std::string_view("$%&!#@").find(name.back()) != std::string_view::npos)
        name.remove_suffix(1);
    std::string lower(name);
    for (char& c : lower) {
        if (static_cast<unsigned char>(c) >= 0x80) return toLower(name);  // rare: fold fully
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return lower;
}

bool isVisibleOutside(const Element& e) {
    if (e.scope() == scope::Private) return false;
    const ElementKind k = e.Kind();
    if (k == ElementKind::Variable || k == ElementKind::Constant)
        return e.scope() == scope::Public || e.scope() == scope::Global;
    return true;
}

bool isFormLike(const CModule& m) {
    return m.Kind() == ModuleKind::Form || m.Kind() == ModuleKind::UserControl ||
           m.Kind() == ModuleKind::PropertyPage;
}

// ---- Symbol tables ----------------------------------------------------------

struct Target {
    const CModule* module = nullptr;
    const Element* element = nullptr;
};

size_t findNoCaseWord(std::string_view text, std::string_view word) {
    const std::string lower = toLower(text);
    for (size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
        const bool before = at == 0 || !identChar(lower[at - 1]);
        const bool after = at + word.size() >= lower.size() || !identChar(lower[at + word.size()]);
        if (before && after) return at;
    }
    return std::string::npos;
}

bool declaredAsArray(const Element& e) {
    const std::string& syntax = e.Syntax();
    const size_t at = findNoCaseWord(syntax, key(e.Name()));
    if (at == std::string::npos) return false;
    size_t i = at + key(e.Name()).size();
    while (i < syntax.size() &&
           std::string_view("$%&!#@ ").find(syntax[i]) != std::string_view::npos)
        ++i;
    return i < syntax.size() && syntax[i] == '(';
}

struct ModuleSymbols {
    std::unordered_set<const Element*> arrays;                // module variables declared with "()"
    std::vector<const Element*> withEvents;                   // WithEvents module variables
    std::unordered_map<std::string, const Element*> members;  // first of each name
    std::unordered_map<std::string, const Element*>
        enumValues;  // value -> its Enum; null: ambiguous
};

// What an expression's value is, as far as names after a dot are concerned.
struct Container {
    enum class Kind { None, Instance, Static, Enum } kind = Kind::None;
    const CModule* module = nullptr;
    const Element* enumElement = nullptr;
};

struct Local {
    const CModule* type = nullptr;  // a class of the project, or null
    bool isArray = false;
};

class ProjectSymbols {
public:
    explicit ProjectSymbols(const CProject& project) {
        for (const ModuleKind kind : {ModuleKind::Class, ModuleKind::Form, ModuleKind::Module,
                                      ModuleKind::PropertyPage, ModuleKind::UserControl}) {
            for (const auto& module : project.listOfKind(kind)->elements()) {
                modules.push_back(module.get());
                const std::string name = key(module->Name());
                auto [it, added] = m_moduleNames.try_emplace(name, module.get());
                if (!added) it->second = nullptr;  // two modules of one name
            }
        }
        for (const CModule* module : modules) add(*module);
    }

    std::vector<const CModule*> modules;

    const ModuleSymbols& of(const CModule& m) const { return m_symbols.at(&m); }

    // The module of that name, or null (also when two modules have it).
    const CModule* moduleNamed(std::string_view name) const {
        const auto found = m_moduleNames.find(key(name));
        return found == m_moduleNames.end() ? nullptr : found->second;
    }
    // The class (or form, user control) a data type names, or null.
    const CModule* classNamed(std::string_view dataType) const {
        dataType = trimSpaces(dataType);
        if (endsWith(dataType, "()")) dataType.remove_suffix(2);
        if (dataType.find('.') != std::string_view::npos) return nullptr;
        const CModule* m = moduleNamed(dataType);
        return m && m->Kind() != ModuleKind::Module ? m : nullptr;
    }
    // The one public member, Enum or Enum value of the name, if exactly one.
    Target global(std::string_view name) const {
        const auto found = m_globals.find(key(name));
        if (found == m_globals.end() || found->second.size() != 1) return {};
        return found->second.front();
    }
    bool isGlobal(std::string_view name) const { return m_globals.count(key(name)) != 0; }

private:
    void add(const CModule& module) {
        ModuleSymbols& s = m_symbols[&module];
        auto file = [&](const Element& e) {
            s.members.try_emplace(key(e.Name()), &e);
            const bool visible = isVisibleOutside(e) && (module.Kind() == ModuleKind::Module ||
                                                         e.Kind() == ElementKind::Enum);
            if (visible && (e.Kind() != ElementKind::Event)) {
                auto& list = m_globals[key(e.Name())];
                if (std::none_of(list.begin(), list.end(),
                                 [&](const Target& t) { return t.module == &module; }))
                    list.push_back({&module, &e});
            }
        };
        for (const auto& e : module.Functions().elements()) file(*e);
        for (const auto& e : module.Subroutines().elements()) file(*e);
        for (const auto& e : module.Properties().elements()) file(*e);
        for (const auto& e : module.Variables().elements()) {
            file(*e);
            if (declaredAsArray(*e)) s.arrays.insert(e.get());
            if (findNoCaseWord(e->Syntax(), "withevents") != std::string::npos)
                s.withEvents.push_back(e.get());
        }
        for (const auto& e : module.Constants().elements()) file(*e);
        for (const auto& e : module.Declarations().elements()) file(*e);
        for (const auto& e : module.Enums().elements()) file(*e);
        for (const auto& e : module.Types().elements()) file(*e);
        for (const auto& e : module.Events().elements()) file(*e);
        for (const auto& e : module.Enums().elements()) {
            const bool visible = e->scope() != scope::Private;
            for (const auto& value : e->Variables()->elements()) {
                const std::string name = key(value->Name());
                auto [it, added] = s.enumValues.try_emplace(name, e.get());
                if (!added && it->second != e.get()) it->second = nullptr;
                if (visible) m_globals[name].push_back({&module, e.get()});
            }
        }
    }

    std::unordered_map<const CModule*, ModuleSymbols> m_symbols;
    std::unordered_map<std::string, const CModule*> m_moduleNames;
    std::unordered_map<std::string, std::vector<Target>> m_globals;
};

// ---- Resolution of one module ------------------------------------------------

// The most references one module keeps: the rest of its code is shown
// without links, so a generated module of millions of calls costs bounded
// memory.
constexpr size_t kMaxReferencesPerModule = 1'000'000;

class ModuleResolver {
public:
    ModuleResolver(const ProjectSymbols& symbols, const CModule& module,
                   std::vector<Reference>& out)
        : m_symbols(symbols),
          m_module(module),
          m_own(symbols.of(module)),
          m_out(out),
          m_first(out.size()) {}

    void run() {
        StatementReader reader(m_module);
        Statement s;
        std::optional<StatementReader::Mark> header;  // of the routine being read
        const Element* routineElement = nullptr;
        size_t count = 0;  // statements of the routine so far
        while (!truncated() && reader.next(s)) {
            if (!header) {
                if (isHeader(s)) {
                    header = reader.last();
                    routineElement = elementOfHeader(s);
                    if (routineElement) beginRoutine(*routineElement);
                    count = 1;
                } else {
                    moduleLevel(s);
                }
                continue;
            }
            if (isRoutineEnd(s)) {
                if (routineElement) resolveRoutine(reader, *header, count);
                header.reset();
                continue;
            }
            if (routineElement) declareLocals(s);
            ++count;
        }
        if (header && routineElement && !truncated()) resolveRoutine(reader, *header, count);
        m_lineCut = reader.cut();
    }

    // Whether a logical line of the module had more tokens than are resolved.
    bool lineCut() const { return m_lineCut; }

    // True once the module has as many references as one module may keep;
    // the rest of its code is left unlinked.
    bool truncated() const { return m_out.size() - m_first >= kMaxReferencesPerModule; }

private:
    // A statement outside the routines: the values and types of the
    // module's declarations are code too (a Const built from another, an
    // array bounded by a Const, a variable of a private Type).
    void moduleLevel(const Statement& s) {
        if (s.empty()) return;
        if (m_block) {  // inside Enum or Type
            if (is(s[0], "End")) {
                m_block = Block::None;
            } else if (m_block == Block::Enum) {
                for (size_t i = 0; i < s.size(); ++i)
                    if (isPunct(s[i], "=")) {
                        walk(s, i + 1, false);
                        break;
                    }
            } else {
                walk(s, 1, true);
            }
            return;
        }
        size_t i = 0;
        while (i < s.size() && (is(s[i], "Public") || is(s[i], "Private") || is(s[i], "Global") ||
                                is(s[i], "Friend")))
            ++i;
        if (i >= s.size()) return;
        if (is(s[i], "Enum")) {
            m_block = Block::Enum;
        } else if (is(s[i], "Type")) {
            m_block = Block::Type;
        } else if (is(s[i], "Declare") || is(s[i], "Event")) {
            // Parameter names are no code: only their types and defaults.
            for (size_t n = i + 1; n < s.size(); ++n)
                if (isPunct(s[n], "(")) {
                    walkHeader(s, n);
                    break;
                }
        } else if (is(s[i], "Dim") || is(s[i], "Const") || is(s[i], "WithEvents") ||
                   (i > 0 && s[i].kind == Tok::Ident && !reservedWords().count(key(s[i].text)))) {
            const size_t from = is(s[i], "Dim") || is(s[i], "Const") ? i + 1 : i;
            declare(s, from);
            m_locals.clear();  // the names are the module's own members
            walk(s, from, true);
            m_declaredTokens.clear();
        }
    }

    // Where the routine's name is in a header statement, or npos.
    static size_t headerName(const Statement& s) {
        size_t i = 0;
        while (i < s.size() && (is(s[i], "Public") || is(s[i], "Private") || is(s[i], "Friend") ||
                                is(s[i], "Global") || is(s[i], "Static")))
            ++i;
        if (i >= s.size()) return std::string_view::npos;
        if (is(s[i], "Sub") || is(s[i], "Function"))
            return i + 1 < s.size() ? i + 1 : std::string_view::npos;
        if (is(s[i], "Property") && i + 2 < s.size() &&
            (is(s[i + 1], "Get") || is(s[i + 1], "Let") || is(s[i + 1], "Set")))
            return i + 2;
        return std::string_view::npos;
    }
    static bool isHeader(const Statement& s) {
        const size_t at = headerName(s);
        return at != std::string_view::npos && s[at].kind == Tok::Ident;
    }
    static bool isRoutineEnd(const Statement& s) {
        return s.size() >= 2 && is(s[0], "End") &&
               (is(s[1], "Sub") || is(s[1], "Function") || is(s[1], "Property"));
    }

    // The model's element for a header: the routine of that kind and name
    // (for a property, of that accessor).
    const Element* elementOfHeader(const Statement& s) const {
        const size_t at = headerName(s);
        const std::string name = key(s[at].text);
        const Token& word = s[at - 1];
        auto find = [&](const auto& list) -> const Element* {
            for (const auto& e : list.elements()) {
                if (key(e->Name()) != name) continue;
                if constexpr (std::is_same_v<std::decay_t<decltype(*e)>, CProperty>) {
                    const int way = is(word, "Get")   ? way::Get
                                    : is(word, "Set") ? way::Set
                                                      : way::Let;
                    if (e->Way() != way) continue;
                }
                return e.get();
            }
            return nullptr;
        };
        if (is(word, "Sub")) return find(m_module.Subroutines());
        if (is(word, "Function")) return find(m_module.Functions());
        return find(m_module.Properties());
    }

    void emit(const Token& t, const CModule& toModule, const Element& to) {
        // One member per name: a property's accessors share their page.
        const Element* canonical = &to;
        if (const auto found = m_symbols.of(toModule).members.find(key(to.Name()));
            found != m_symbols.of(toModule).members.end() && found->second->Kind() == to.Kind())
            canonical = found->second;
        if (truncated()) return;
        m_out.push_back({&m_module, m_from, &toModule, canonical, t.line, t.column, t.length});
    }

    Container containerOfType(const CModule* type) const {
        if (!type) return {};
        return {Container::Kind::Instance, type, nullptr};
    }

    // The container a name of a module stands for when used as a value.
    Container containerOfModule(const CModule& m) const {
        if (m.Kind() == ModuleKind::Module) return {Container::Kind::Static, &m, nullptr};
        if (m.Kind() == ModuleKind::Form) return {Container::Kind::Instance, &m, nullptr};
        if (m.Kind() == ModuleKind::Class &&
            equalsIgnoreCase(m.Attributes()->item("VB_PredeclaredId", ""), "True"))
            return {Container::Kind::Instance, &m, nullptr};
        return {};
    }

    // What an element gives after it, bare and followed by "(...)".
    void valueOf(const CModule& owner, const Element& e, Container& bare, Container& called) const {
        bare = called = {};
        switch (e.Kind()) {
            case ElementKind::Variable: {
                const Container c = containerOfType(m_symbols.classNamed(e.DataType()));
                (m_symbols.of(owner).arrays.count(&e) ? called : bare) = c;
                break;
            }
            case ElementKind::Function:
            case ElementKind::Property: {
                const auto returns = e.Returns();
                bare = called =
                    containerOfType(returns ? m_symbols.classNamed(returns->DataType()) : nullptr);
                break;
            }
            case ElementKind::Enum:
                bare = {Container::Kind::Enum, &owner, &e};
                break;
            default:
                break;
        }
    }

    // A member named after a dot, in what the expression before it is.
    Target memberOf(const Container& c, std::string_view name) const {
        if (c.kind == Container::Kind::None) return {};
        if (c.kind == Container::Kind::Enum) {
            for (const auto& value : c.enumElement->Variables()->elements())
                if (key(value->Name()) == key(name)) return {c.module, c.enumElement};
            return {};
        }
        const auto& members = m_symbols.of(*c.module).members;
        const auto found = members.find(key(name));
        if (found == members.end()) return {};
        const Element& e = *found->second;
        const bool own = c.module == &m_module && c.kind == Container::Kind::Static;
        if (!own && !isVisibleOutside(e)) return {};
        if (c.kind == Container::Kind::Instance &&
            (e.Kind() == ElementKind::Constant || e.Kind() == ElementKind::Declaration ||
             e.Kind() == ElementKind::Type || e.Kind() == ElementKind::Event ||
             e.Kind() == ElementKind::Enum))
            return {};
        if (e.Kind() == ElementKind::Event) return {};
        return {c.module, &e};
    }

    // ---- one routine ----

    // A routine's header read: its arguments and its own name are locals.
    void beginRoutine(const Element& routine) {
        m_from = &routine;
        m_locals.clear();
        m_declaredTokens.clear();
        m_with.clear();
        if (const auto arguments = routine.Arguments()) {
            for (const auto& a : arguments->elements()) {
                Local local;
                local.type = m_symbols.classNamed(a->DataType());
                local.isArray = endsWith(trimSpaces(a->Name()), "()");
                std::string name(trimSpaces(a->Name()));
                if (endsWith(name, "()")) name.resize(name.size() - 2);
                m_locals[key(name)] = local;
            }
        }
        if (routine.Kind() == ElementKind::Function || routine.Kind() == ElementKind::Property)
            m_locals[key(routine.Name())] = Local{};
    }

    // A statement of the body, first time through: VB6 locals are the
    // routine's whatever line declares them.
    void declareLocals(const Statement& s) {
        if (s.empty()) return;
        if (is(s[0], "Dim") || is(s[0], "Static") || is(s[0], "Const"))
            declare(s, 1);
        else if (is(s[0], "ReDim"))
            declareReDim(s);
    }

    // The routine's count statements from header on, second time through,
    // their names resolved; reader goes on where it was.
    void resolveRoutine(StatementReader& reader, const StatementReader::Mark& header,
                        size_t count) {
        const StatementReader::Mark after = reader.here();
        reader.reset(header);
        Statement s;
        for (size_t i = 0; i < count && !truncated() && reader.next(s); ++i) {
            if (i > 0) {
                walkStatement(s);
                continue;
            }
            // The header: the Implements or event routine it is, its types and defaults.
            const size_t nameAt = headerName(s);
            linkHandledMember(s[nameAt]);
            walkHeader(s, nameAt + 1);
        }
        reader.reset(after);
        m_from = nullptr;
    }

    void declare(const Statement& s, size_t from) {
        size_t i = from;
        while (i < s.size()) {
            if (is(s[i], "WithEvents")) ++i;
            if (i >= s.size() || s[i].kind != Tok::Ident) return;
            const size_t nameAt = i++;
            Local local;
            local.isArray = i < s.size() && isPunct(s[i], "(");
            int depth = 0;
            bool typed = false;
            for (; i < s.size(); ++i) {
                if (isPunct(s[i], "(")) ++depth;
                if (isPunct(s[i], ")")) --depth;
                if (depth > 0) continue;
                if (isPunct(s[i], ",")) {
                    ++i;
                    break;
                }
                if (is(s[i], "As") && !typed) {
                    typed = true;
                    size_t t = i + 1;
                    if (t < s.size() && is(s[t], "New")) ++t;
                    if (t < s.size() && s[t].kind == Tok::Ident &&
                        !(t + 1 < s.size() && isPunct(s[t + 1], ".")))
                        local.type = m_symbols.classNamed(s[t].text);
                }
            }
            m_locals[key(s[nameAt].text)] = local;
            m_declaredTokens.insert(tokenId(s[nameAt]));
        }
    }

    // "ReDim [Preserve] a(...) As T" declares a when nothing else has the name.
    void declareReDim(const Statement& s) {
        size_t i = 1;
        if (i < s.size() && is(s[i], "Preserve")) ++i;
        if (i >= s.size() || s[i].kind != Tok::Ident) return;
        bool typed = false;
        for (const Token& t : s) typed = typed || is(t, "As");
        const std::string name = key(s[i].text);
        if (!typed || m_locals.count(name) || m_own.members.count(name)) return;
        declare(s, i);
    }

    static int64_t tokenId(const Token& t) {
        return (static_cast<int64_t>(t.line) << 32) | static_cast<uint32_t>(t.column);
    }

    // "IFoo_Bar" of a class implementing IFoo names IFoo.Bar; "var_Event"
    // of a WithEvents variable of a class names the class's event.
    void linkHandledMember(const Token& name) {
        const std::string routine = key(name.text);
        Target best;
        size_t bestLength = 0;
        auto consider = [&](std::string_view prefix, const CModule* target, bool events) {
            const std::string p = key(prefix) + "_";
            if (!target || routine.size() <= p.size() || routine.compare(0, p.size(), p) != 0 ||
                p.size() <= bestLength)
                return;
            const auto& members = m_symbols.of(*target).members;
            const auto found = members.find(routine.substr(p.size()));
            if (found == members.end() || !isVisibleOutside(*found->second)) return;
            if ((found->second->Kind() == ElementKind::Event) != events) return;
            best = {target, found->second};
            bestLength = p.size();
        };
        for (const auto& i : m_module.Implementations().elements())
            consider(i->Name(), m_symbols.classNamed(i->Name()), false);
        for (const Element* v : m_own.withEvents)
            consider(v->Name(), m_symbols.classNamed(v->DataType()), true);
        if (best.element) emit(name, *best.module, *best.element);
    }

    // A name's binding when nothing qualifies it.
    bool unqualified(const Token& t, Container& bare, Container& called, bool statementStart) {
        bare = called = {};
        const std::string name = key(t.text);
        if (is(t, "Me")) {
            if (m_module.Kind() != ModuleKind::Module)
                bare = {Container::Kind::Instance, &m_module, nullptr};
            return false;
        }
        if (reservedWords().count(name)) return false;
        if (statementStart && statementWords().count(name)) return false;
        if (const auto local = m_locals.find(name); local != m_locals.end()) {
            const Container c = containerOfType(local->second.type);
            (local->second.isArray ? called : bare) = c;
            return false;
        }
        if (const auto own = m_own.members.find(name); own != m_own.members.end()) {
            const Element& e = *own->second;
            if (e.Kind() == ElementKind::Event || e.Kind() == ElementKind::Type) return false;
            valueOf(m_module, e, bare, called);
            emit(t, m_module, e);
            return true;
        }
        if (const auto value = m_own.enumValues.find(name); value != m_own.enumValues.end()) {
            if (value->second) emit(t, m_module, *value->second);
            return value->second != nullptr;
        }
        const CModule* module = m_symbols.moduleNamed(name);
        if (module) {
            if (!m_symbols.isGlobal(name)) bare = containerOfModule(*module);
            return false;
        }
        if (isFormLike(m_module) && objectWords().count(name)) return false;
        const Target g = m_symbols.global(name);
        if (!g.element || g.element->Kind() == ElementKind::Type) return false;
        if (g.element->Kind() == ElementKind::Enum && key(g.element->Name()) != name) {
            emit(t, *g.module, *g.element);  // an Enum value
            return true;
        }
        valueOf(*g.module, *g.element, bare, called);
        emit(t, *g.module, *g.element);
        return true;
    }

    // A type after As: an Enum or Type of this module, else a public one.
    void typeName(const Token& t) {
        const std::string name = key(t.text);
        if (const auto own = m_own.members.find(name); own != m_own.members.end()) {
            const ElementKind k = own->second->Kind();
            if (k == ElementKind::Enum || k == ElementKind::Type) emit(t, m_module, *own->second);
            return;
        }
        if (m_symbols.moduleNamed(name)) return;
        const Target g = m_symbols.global(name);
        if (g.element && key(g.element->Name()) == name &&
            (g.element->Kind() == ElementKind::Enum || g.element->Kind() == ElementKind::Type))
            emit(t, *g.module, *g.element);
    }

    void walkHeader(const Statement& s, size_t from) {
        // Parameter names are locals; types and default values are code.
        for (size_t i = from; i < s.size(); ++i) {
            if (is(s[i], "As") && i + 1 < s.size() && s[i + 1].kind == Tok::Ident &&
                !(i + 2 < s.size() && isPunct(s[i + 2], "."))) {
                typeName(s[i + 1]);
                ++i;
            } else if (isPunct(s[i], "=")) {
                size_t end = i + 1;
                int depth = 0;
                while (end < s.size() &&
                       !(depth == 0 && (isPunct(s[end], ",") || isPunct(s[end], ")")))) {
                    if (isPunct(s[end], "(")) ++depth;
                    if (isPunct(s[end], ")")) --depth;
                    ++end;
                }
                walk(s.subspan(i + 1, end - i - 1), 0, false);
                i = end - 1;
            }
        }
    }

    void walkStatement(const Statement& s) {
        if (is(s[0], "End") && s.size() >= 2 && is(s[1], "With")) {
            if (!m_with.empty()) m_with.pop_back();
            return;
        }
        if (is(s[0], "With")) {
            m_with.push_back(walk(s, 1, false));
            return;
        }
        if (is(s[0], "RaiseEvent")) {
            if (s.size() >= 2 && s[1].kind == Tok::Ident) {
                const auto own = m_own.members.find(key(s[1].text));
                if (own != m_own.members.end() && own->second->Kind() == ElementKind::Event)
                    emit(s[1], m_module, *own->second);
            }
            walk(s, 2, false);
            return;
        }
        const bool fileStatement = is(s[0], "Open") || is(s[0], "Name");
        walk(s, 0, !fileStatement);
    }

    // Resolves the names of s from index from on; answers what the whole
    // expression is when it ends in a name or a call (for With).
    Container walk(const Statement& s, size_t from, bool asIsType) {
        Container last, lastCalled;
        bool lastValid = false;
        bool labels = false;  // after GoTo, GoSub: the names are labels
        std::vector<Container> parens;
        bool dot = false;
        Container dotContainer;
        for (size_t i = from; i < s.size(); ++i) {
            const Token& t = s[i];
            if (t.kind == Tok::Ident) {
                const bool afterBang = i > from && isPunct(s[i - 1], "!");
                const bool namedArgument = i + 1 < s.size() && isPunct(s[i + 1], ":=");
                if (dot) {
                    dot = false;
                    const Target m = memberOf(dotContainer, t.text);
                    last = lastCalled = {};
                    if (m.element) {
                        valueOf(*m.module, *m.element, last, lastCalled);
                        emit(t, *m.module, *m.element);
                    }
                    lastValid = true;
                    continue;
                }
                if (is(t, "GoTo") || is(t, "GoSub") || (is(t, "Resume") && i == from))
                    labels = true;
                if (labels || afterBang || namedArgument || m_declaredTokens.count(tokenId(t))) {
                    lastValid = !afterBang ? false : true;
                    last = lastCalled = {};
                    continue;
                }
                if (i > from && (is(s[i - 1], "New") || is(s[i - 1], "Is") ||
                                 (asIsType && is(s[i - 1], "As")))) {
                    if (!is(s[i - 1], "New") && !(i + 1 < s.size() && isPunct(s[i + 1], ".")))
                        typeName(t);
                    lastValid = false;
                    // A qualified type name ("Lib.Type") is no member access.
                    while (i + 2 < s.size() && isPunct(s[i + 1], ".") &&
                           s[i + 2].kind == Tok::Ident)
                        i += 2;
                    continue;
                }
                unqualified(t, last, lastCalled, i == from);
                lastValid = true;
                continue;
            }
            if (isPunct(t, ".")) {
                const bool afterOperand = i > from && !t.spaceBefore &&
                                          (s[i - 1].kind == Tok::Ident || isPunct(s[i - 1], ")"));
                if (afterOperand) {
                    dotContainer = lastValid ? last : Container{};
                } else if (t.lineStart && i > from &&
                           (s[i - 1].kind == Tok::Ident || isPunct(s[i - 1], ")"))) {
                    dotContainer = {};  // a continued line starting with a dot: not certain
                } else if (i > from && s[i - 1].kind == Tok::Number) {
                    dotContainer = {};
                } else {
                    dotContainer = m_with.empty() ? Container{} : m_with.back();
                }
                dot = true;
                lastValid = false;
                continue;
            }
            dot = false;
            if (isPunct(t, "(")) {
                const bool call = lastValid && i > from && !t.spaceBefore;
                parens.push_back(call ? lastCalled : Container{});
                lastValid = false;
                continue;
            }
            if (isPunct(t, ")")) {
                if (!parens.empty()) {
                    last = parens.back();
                    parens.pop_back();
                } else {
                    last = {};
                }
                lastCalled = {};
                lastValid = true;
                continue;
            }
            lastValid = false;
            last = lastCalled = {};
        }
        return lastValid ? last : Container{};
    }

    const ProjectSymbols& m_symbols;
    const CModule& m_module;
    const ModuleSymbols& m_own;
    std::vector<Reference>& m_out;
    const size_t m_first;  // m_out's size before the module
    bool m_lineCut = false;
    const Element* m_from = nullptr;
    std::unordered_map<std::string, Local> m_locals;
    std::unordered_set<int64_t> m_declaredTokens;
    std::vector<Container> m_with;
    enum Block { None, Enum, Type } m_block = Block::None;
};

}  // namespace

ReferenceIndex resolveReferences(const CProject& project, DiagnosticsSink* diagnostics) {
    const ProjectSymbols symbols(project);
    std::vector<Reference> out;
    for (const CModule* module : symbols.modules) {
        const size_t first = out.size();
        bool lineCut = false;
        try {
            ModuleResolver resolver(symbols, *module, out);
            resolver.run();
            lineCut = resolver.lineCut();
        } catch (const std::bad_alloc&) {
            // A giant routine: its module is shown without links, the run goes on.
            out.resize(first);
            out.shrink_to_fit();
            if (diagnostics)
                diagnostics->warning(module->Path(), 0,
                                     "not enough memory to resolve the names in the code of " +
                                         module->Name() + "; its code is shown without links");
            continue;
        }
        if (out.size() - first >= kMaxReferencesPerModule && diagnostics)
            diagnostics->warning(module->Path(), 0,
                                 "the code of " + module->Name() + " names members more than " +
                                     std::to_string(kMaxReferencesPerModule) +
                                     " times; only the first are linked");
        if (lineCut && diagnostics)
            diagnostics->warning(module->Path(), 0,
                                 "a line of the code of " + module->Name() + " holds more than " +
                                     std::to_string(kMaxLineTokens) +
                                     " names and symbols; the rest of it is shown without links");
        std::stable_sort(out.begin() + static_cast<ptrdiff_t>(first), out.end(),
                         [](const Reference& a, const Reference& b) {
                             return a.line != b.line ? a.line < b.line : a.column < b.column;
                         });
    }
    return ReferenceIndex(std::move(out));
}

}  // namespace tarnwick
