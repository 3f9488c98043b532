// Conditional compilation as the VB6 compiler does it: #If / #ElseIf /
// #Else / #End If blocks (nested to any depth) and #Const lines decide which
// lines of a module are compiled at all.
//
// The constants come from three places, later ones winning: the compiler's
// own (Win32 True, Win16 and Mac False), the project's CondComp line or the
// caller's --define values, and the module's #Const lines from the line on.
// Any other name is undefined and counts as 0, so "#If VBA7 Then" takes the
// #Else branch exactly as VB6 6.0 does.
//
// Expressions hold numbers (decimal, &H hex, &O octal), strings, True and
// False, names, parentheses, the arithmetic and concatenation operators,
// = <> < > <= >=, Not, And, Or, Xor, Eqv and Imp. Parentheses, Not and unary
// minus nest at most 256 deep; a deeper expression cannot be evaluated. An
// expression that cannot be evaluated, and every malformed directive, is
// reported with file and line; such a block is kept (treated as active), so
// nothing is lost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Diagnostics.h"
#include "support/Errors.h"

namespace tarnwick {

// The value of a conditional constant or expression.
struct CondValue {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double number = 0;
    std::string text;

    static CondValue ofNumber(double n) { return {Kind::Number, n, {}}; }
    static CondValue ofText(std::string t) { return {Kind::Text, 0, std::move(t)}; }
    // As VB6 writes the value: -1, 0, 1.5, "text" (quotes doubled inside).
    std::string literal() const;
};

// Named constants, names compared ignoring ASCII case; a later set() of a
// name replaces its value but keeps its place.
class CondConstants {
public:
    // Win32 = -1, Win16 = 0, Mac = 0.
    static CondConstants compilerDefaults();

    void set(std::string_view name, CondValue value);
    const CondValue* find(std::string_view name) const;
    // In the order first set.
    const std::vector<std::pair<std::string, CondValue>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, CondValue>> m_entries;
};

// Evaluates expression with constants; on failure returns nullopt and says why
// in error ("unknown operator '!'", "missing ')'", ...).
std::optional<CondValue> evaluateCondition(std::string_view expression,
                                           const CondConstants& constants, std::string& error);

// Reads "NAME = expr : NAME = expr" (a CondComp value, quotes around it
// allowed) into constants. Pieces that cannot be read are reported against
// file and line and left out.
void readCondComp(std::string_view value, CondConstants& constants, DiagnosticsSink* diagnostics,
                  const std::string& file, int line);

// One "NAME=VALUE" of the command line into constants; false with a message
// in error when it is not of that form or the value cannot be evaluated.
bool readDefine(std::string_view text, CondConstants& constants, std::string& error);
// Every "NAME=VALUE" of defines, in order; fails naming the first bad one.
Expected<CondConstants> readDefines(const std::vector<std::string>& defines);

// The lines of a module that the compiler sees: inactive branches and the
// directive lines themselves are left out. kept[i] is the index, in the
// input, of the i-th kept line.
struct CompiledLines {
    std::string text;  // the kept lines, each followed by CR LF
    std::vector<int32_t> kept;
};

// True when some line of text (lines ended by CR LF) is a directive; when it
// is not, compileModuleLines would keep every line unchanged.
bool hasDirectives(std::string_view text);

// Compiles text (lines ended by CR LF). fileLines[i] is the 1-based line of
// the file that input line i came from, for messages (may be shorter: then
// i + 1 is used). constants are the project's; the module's #Const lines add
// to a copy.
CompiledLines compileModuleLines(std::string_view text, const CondConstants& constants,
                                 DiagnosticsSink* diagnostics, const std::string& file,
                                 const std::vector<int32_t>& fileLines);

}  // namespace tarnwick
