#include "reader/xref/Words.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_set>

#include "support/Text.h"

namespace tarnwick::xref {

namespace {

// A set of lower-case words; a name longer than all of them (most names
// of a project) is turned away before it is hashed.
class WordSet {
public:
    WordSet(std::initializer_list<std::string_view> words) : m_words(words) {
        for (const std::string_view word : words) m_longest = std::max(m_longest, word.size());
    }
    bool has(const std::string& key) const {
        return key.size() <= m_longest && m_words.count(key) != 0;
    }

private:
    std::unordered_set<std::string_view> m_words;
    size_t m_longest = 0;
};

const WordSet kReserved{
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

const WordSet kStatementSyntax{"open",  "close", "print", "input",  "line", "get",
                               "put",   "seek",  "lock",  "unlock", "name", "width",
                               "write", "error", "mid",   "midb",   "date", "time"};

const WordSet kObjectWords{"caption",
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

}  // namespace

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

bool isReservedWord(const std::string& key) { return kReserved.has(key); }
bool isStatementSyntax(const std::string& key) { return kStatementSyntax.has(key); }
bool isObjectWord(const std::string& key) { return kObjectWords.has(key); }

}  // namespace tarnwick::xref
