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
#include <unordered_map>
#include <unordered_set>
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

    static constexpr double kTrue = -1;  // VB6's True: every bit set
    static CondValue ofNumber(double n) { return {Kind::Number, n, {}}; }
    static CondValue ofText(std::string t) { return {Kind::Text, 0, std::move(t)}; }
    // As VB6 writes the value: -1, 0, 1.5, "text" (quotes doubled inside).
    std::string literal() const;
};

// The longest text a conditional constant or expression may have. VB6's own
// lines hold at most 1,023 characters; the bound keeps "#Const S = S & S"
// lines from doubling a value until memory runs out.
inline constexpr size_t kMaxCondText = 64 * 1024;

// Named constants, names compared ignoring ASCII case; a later set() of a
// name replaces its value but keeps its place. Lookups cost the same however
// many constants there are (a settings file may define thousands).
class CondConstants {
public:
    CondConstants() = default;
    // Win32 = -1, Win16 = 0, Mac = 0.
    static CondConstants compilerDefaults();
    // Constants of a module over base, the project's: set() adds to the new
    // set only, find() looks there first, then in base, which is not copied
    // and must outlive the result.
    static CondConstants over(const CondConstants& base);

    void set(std::string_view name, CondValue value);
    const CondValue* find(std::string_view name) const;
    // A name whose value could not be kept (its text too long): an
    // expression naming it cannot be evaluated until set() gives it a value.
    void setUnusable(std::string_view name);
    bool unusable(std::string_view name) const;
    // In the order first set; base's are not among them.
    const std::vector<std::pair<std::string, CondValue>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, CondValue>> m_entries;
    std::unordered_map<std::string, size_t> m_index;  // lower-case name -> m_entries index
    std::unordered_set<std::string> m_unusable;       // lower-case names
    const CondConstants* m_base = nullptr;            // not owned; see over()
};

// Evaluates expression with constants; on failure returns nullopt and says why
// in error ("unknown operator '!'", "missing ')'", ...). tooLong (may be null)
// tells whether it failed on a text over kMaxCondText.
std::optional<CondValue> evaluateCondition(std::string_view expression,
                                           const CondConstants& constants, std::string& error,
                                           bool* tooLong = nullptr);

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
