// The expression evaluator of conditional compilation: the values of #If,
// #ElseIf and #Const expressions, CondComp values and --define values.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "reader/CParserDetail.h"
#include "reader/ConditionalCompilation.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// How deep parentheses, Not and unary minus may nest: each level costs the
// evaluator a dozen stack frames, so thousands of them would end the program.
constexpr int kMaxNesting = 256;

bool sameNameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsNoCase(a, b);
}

// A recursive-descent evaluator over one expression. Precedence, loosest
// first: Imp, Eqv, Xor, Or, And, Not, comparisons, &, + -, Mod, \, * /,
// unary -, ^.
class Evaluator {
public:
    Evaluator(std::string_view text, const CondConstants& constants)
        : m_text(text), m_constants(constants) {}

    std::optional<CondValue> run(std::string& error) {
        std::optional<CondValue> value = binary(0);
        skipBlanks();
        if (value && m_pos < m_text.size()) fail(unexpected());
        if (!m_error.empty()) {
            error = m_error;
            return std::nullopt;
        }
        return value;
    }

    // After a failed run(): whether it failed on a text over kMaxCondText.
    bool tooLong() const { return m_tooLong; }

private:
    // Binary levels by index; level 5 (Not) and 6.. are handled apart.
    static constexpr std::string_view kWordLevels[] = {"Imp", "Eqv", "Xor", "Or", "And"};

    std::optional<CondValue> binary(int level) {
        if (level == 5) return notLevel();
        std::optional<CondValue> left = binary(level + 1);
        while (left && acceptWord(kWordLevels[level])) {
            std::optional<CondValue> right = binary(level + 1);
            if (!right) return std::nullopt;
            auto a = toInteger(*left);
            auto b = toInteger(*right);
            if (!a || !b) return std::nullopt;
            int64_t r = 0;
            switch (level) {
                case 0:
                    r = ~*a | *b;
                    break;
                case 1:
                    r = ~(*a ^ *b);
                    break;
                case 2:
                    r = *a ^ *b;
                    break;
                case 3:
                    r = *a | *b;
                    break;
                default:
                    r = *a & *b;
                    break;
            }
            left = CondValue::ofNumber(static_cast<double>(r));
        }
        return left;
    }

    std::optional<CondValue> notLevel() {
        if (acceptWord("Not")) {
            const Nested nested(*this);
            if (!nested) return tooDeep();
            std::optional<CondValue> operand = notLevel();
            if (!operand) return std::nullopt;
            auto a = toInteger(*operand);
            if (!a) return std::nullopt;
            return CondValue::ofNumber(static_cast<double>(~*a));
        }
        return comparison();
    }

    std::optional<CondValue> comparison() {
        std::optional<CondValue> left = concatenation();
        while (left) {
            skipBlanks();
            std::string_view op;
            for (std::string_view candidate : {"<=", ">=", "<>", "=", "<", ">"}) {
                if (m_text.substr(m_pos).starts_with(candidate)) {
                    op = candidate;
                    break;
                }
            }
            if (op.empty()) break;
            m_pos += op.size();
            std::optional<CondValue> right = concatenation();
            if (!right) return std::nullopt;
            std::optional<int> order = compare(*left, *right);
            if (!order) return std::nullopt;
            bool result = op == "="    ? *order == 0
                          : op == "<>" ? *order != 0
                          : op == "<"  ? *order < 0
                          : op == ">"  ? *order > 0
                          : op == "<=" ? *order <= 0
                                       : *order >= 0;
            left = CondValue::ofNumber(result ? CondValue::kTrue : 0);
        }
        return left;
    }

    std::optional<CondValue> concatenation() {
        std::optional<CondValue> left = additive();
        while (left && acceptSymbol('&')) {
            std::optional<CondValue> right = additive();
            if (!right) return std::nullopt;
            std::string a = asText(*left);
            const std::string b = asText(*right);
            if (!fits(a.size() + b.size())) return std::nullopt;
            left = CondValue::ofText(std::move(a += b));
        }
        return left;
    }

    std::optional<CondValue> additive() {
        std::optional<CondValue> left = modulo();
        while (left) {
            char op = peekSymbol("+-");
            if (!op) break;
            ++m_pos;
            std::optional<CondValue> right = modulo();
            if (!right) return std::nullopt;
            if (op == '+' && left->kind == CondValue::Kind::Text &&
                right->kind == CondValue::Kind::Text) {
                if (!fits(left->text.size() + right->text.size())) return std::nullopt;
                left = CondValue::ofText(left->text + right->text);
                continue;
            }
            auto a = toNumber(*left);
            auto b = toNumber(*right);
            if (!a || !b) return std::nullopt;
            left = CondValue::ofNumber(op == '+' ? *a + *b : *a - *b);
        }
        return left;
    }

    std::optional<CondValue> modulo() {
        std::optional<CondValue> left = integerDivision();
        while (left && acceptWord("Mod")) {
            std::optional<CondValue> right = integerDivision();
            if (!right) return std::nullopt;
            auto a = toInteger(*left);
            auto b = toInteger(*right);
            if (!a || !b) return std::nullopt;
            if (*b == 0) return fail("division by zero");
            left = CondValue::ofNumber(static_cast<double>(*a % *b));
        }
        return left;
    }

    std::optional<CondValue> integerDivision() {
        std::optional<CondValue> left = multiplicative();
        while (left && acceptSymbol('\\')) {
            std::optional<CondValue> right = multiplicative();
            if (!right) return std::nullopt;
            auto a = toInteger(*left);
            auto b = toInteger(*right);
            if (!a || !b) return std::nullopt;
            if (*b == 0) return fail("division by zero");
            left = CondValue::ofNumber(static_cast<double>(*a / *b));
        }
        return left;
    }

    std::optional<CondValue> multiplicative() {
        std::optional<CondValue> left = unary();
        while (left) {
            char op = peekSymbol("*/");
            if (!op) break;
            ++m_pos;
            std::optional<CondValue> right = unary();
            if (!right) return std::nullopt;
            auto a = toNumber(*left);
            auto b = toNumber(*right);
            if (!a || !b) return std::nullopt;
            if (op == '/' && *b == 0) return fail("division by zero");
            left = CondValue::ofNumber(op == '*' ? *a * *b : *a / *b);
        }
        return left;
    }

    std::optional<CondValue> unary() {
        if (peekSymbol("-")) {
            ++m_pos;
            const Nested nested(*this);
            if (!nested) return tooDeep();
            std::optional<CondValue> operand = unary();
            if (!operand) return std::nullopt;
            auto a = toNumber(*operand);
            if (!a) return std::nullopt;
            return CondValue::ofNumber(-*a);
        }
        if (peekSymbol("+")) ++m_pos;
        return power();
    }

    std::optional<CondValue> power() {
        std::optional<CondValue> left = primary();
        while (left && acceptSymbol('^')) {
            std::optional<CondValue> right = primary();
            if (!right) return std::nullopt;
            auto a = toNumber(*left);
            auto b = toNumber(*right);
            if (!a || !b) return std::nullopt;
            left = CondValue::ofNumber(std::pow(*a, *b));
        }
        return left;
    }

    std::optional<CondValue> primary() {
        skipBlanks();
        if (m_pos >= m_text.size()) return fail("the expression ends too early");
        const char c = m_text[m_pos];
        if (c == '(') {
            ++m_pos;
            const Nested nested(*this);
            if (!nested) return tooDeep();
            std::optional<CondValue> inner = binary(0);
            if (!inner) return std::nullopt;
            if (!acceptSymbol(')')) return fail("missing ')'");
            return inner;
        }
        if (c == '"') return stringLiteral();
        if ((c >= '0' && c <= '9') || c == '.' || c == '&') return numberLiteral();
        if (isNameStart(c)) {
            size_t end = m_pos;
            while (end < m_text.size() && isIdentifierChar(m_text[end])) ++end;
            std::string_view name = m_text.substr(m_pos, end - m_pos);
            // A type-declaration character may follow a constant's name.
            if (end < m_text.size() && std::string_view("%&!#@$").find(m_text[end]) != npos) ++end;
            m_pos = end;
            if (sameNameNoCase(name, "True")) return CondValue::ofNumber(CondValue::kTrue);
            if (sameNameNoCase(name, "False")) return CondValue::ofNumber(0);
            for (std::string_view word : {"Not", "And", "Or", "Xor", "Eqv", "Imp", "Mod", "Then"})
                if (sameNameNoCase(name, word))
                    return fail("'" + std::string(name) + "' where a value is expected");
            if (m_constants.unusable(name))
                return fail(std::string(name) + " has no value: its text was too long");
            const CondValue* value = m_constants.find(name);
            return value ? *value : CondValue{};
        }
        return fail(unexpected());
    }

    std::optional<CondValue> stringLiteral() {
        std::string text;
        ++m_pos;
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos++];
            if (c == '"') {
                if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    text += '"';
                    ++m_pos;
                    continue;
                }
                return CondValue::ofText(std::move(text));
            }
            text += c;
            if (!fits(text.size())) return std::nullopt;
        }
        return fail("a string is not closed");
    }

    std::optional<CondValue> numberLiteral() {
        std::string_view rest = m_text.substr(m_pos);
        if (rest[0] == '&') {
            int base = 0;
            if (rest.size() > 1 && (rest[1] == 'H' || rest[1] == 'h')) base = 16;
            if (rest.size() > 1 && (rest[1] == 'O' || rest[1] == 'o')) base = 8;
            if (base == 0) return fail(unexpected());
            size_t end = 2;
            int64_t value = 0;
            while (end < rest.size()) {
                char c = rest[end];
                int digit = (c >= '0' && c <= '9')   ? c - '0'
                            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                            : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                     : 99;
                if (digit >= base) break;
                value = value * base + digit;
                if (value > 0xFFFFFFFFLL) return fail("a number is too large");
                ++end;
            }
            if (end == 2) return fail("a number has no digits");
            // &HFFFF and &HFFFFFFFF are -1, as an Integer or a Long.
            bool isLong = end < rest.size() && rest[end] == '&';
            if (isLong) ++end;
            if (!isLong && value <= 0xFFFF) {
                if (value > 0x7FFF) value -= 0x10000;
            } else if (value > 0x7FFFFFFF) {
                value -= 0x100000000LL;
            }
            m_pos += end;
            return CondValue::ofNumber(static_cast<double>(value));
        }
        size_t end = 0;
        bool digits = false;
        while (end < rest.size() && ((rest[end] >= '0' && rest[end] <= '9') || rest[end] == '.')) {
            digits |= rest[end] != '.';
            ++end;
        }
        if (digits && end < rest.size() && (rest[end] == 'E' || rest[end] == 'e')) {
            size_t e = end + 1;
            if (e < rest.size() && (rest[e] == '+' || rest[e] == '-')) ++e;
            if (e < rest.size() && rest[e] >= '0' && rest[e] <= '9') {
                end = e;
                while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9') ++end;
            }
        }
        if (!digits) return fail(unexpected());
        std::string number(rest.substr(0, end));
        if (end < rest.size() && std::string_view("%&!#@").find(rest[end]) != npos) ++end;
        m_pos += end;
        return CondValue::ofNumber(std::strtod(number.c_str(), nullptr));
    }

    // Converts for arithmetic: Empty is 0; a text must read as a number.
    std::optional<double> toNumber(const CondValue& value) {
        switch (value.kind) {
            case CondValue::Kind::Empty:
                return 0.0;
            case CondValue::Kind::Number:
                return value.number;
            case CondValue::Kind::Text: {
                std::string_view t = trimSpaces(value.text);
                char* end = nullptr;
                std::string copy(t);
                double n = std::strtod(copy.c_str(), &end);
                if (!t.empty() && end == copy.c_str() + copy.size()) return n;
                fail("type mismatch: \"" + value.text + "\" is not a number");
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // The logical operators work on whole numbers, rounded half to even.
    std::optional<int64_t> toInteger(const CondValue& value) {
        std::optional<double> n = toNumber(value);
        if (!n) return std::nullopt;
        if (!(std::fabs(*n) < 9.2e18)) {
            fail("a number is too large");
            return std::nullopt;
        }
        return static_cast<int64_t>(std::nearbyint(*n));
    }

    static std::string asText(const CondValue& value) {
        switch (value.kind) {
            case CondValue::Kind::Empty:
                return {};
            case CondValue::Kind::Text:
                return value.text;
            case CondValue::Kind::Number:
                return value.literal();
        }
        return {};
    }

    // -1, 0 or 1; texts compare by their bytes, a number with a text as
    // numbers (the text must read as one), Empty as 0 or "".
    std::optional<int> compare(const CondValue& a, const CondValue& b) {
        using K = CondValue::Kind;
        const bool textual = (a.kind == K::Text && b.kind != K::Number) ||
                             (b.kind == K::Text && a.kind != K::Number);
        if (textual) {
            int c = asText(a).compare(asText(b));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        auto x = toNumber(a);
        auto y = toNumber(b);
        if (!x || !y) return std::nullopt;
        return *x < *y ? -1 : (*x > *y ? 1 : 0);
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && isBlankOrTab(m_text[m_pos])) ++m_pos;
    }

    // The keyword as a whole word at the current position.
    bool acceptWord(std::string_view word) {
        skipBlanks();
        std::string_view rest = m_text.substr(m_pos);
        if (!startsNoCase(rest, word)) return false;
        if (rest.size() > word.size() && isIdentifierChar(rest[word.size()])) return false;
        m_pos += word.size();
        return true;
    }

    bool acceptSymbol(char c) {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // The next character when it is one of symbols, else '\0'.
    char peekSymbol(std::string_view symbols) {
        skipBlanks();
        if (m_pos < m_text.size() && symbols.find(m_text[m_pos]) != npos) return m_text[m_pos];
        return '\0';
    }

    std::string unexpected() const {
        if (m_pos >= m_text.size()) return "the expression ends too early";
        size_t end = m_pos + 1;
        if (isIdentifierChar(m_text[m_pos]))
            while (end < m_text.size() && isIdentifierChar(m_text[end])) ++end;
        return "unknown operator or word '" + std::string(m_text.substr(m_pos, end - m_pos)) + "'";
    }

    // One more level of nesting while it lives; false when that is too many.
    class Nested {
    public:
        explicit Nested(Evaluator& evaluator) : m_level(++evaluator.m_depth) {}
        ~Nested() { --m_level; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;
        explicit operator bool() const { return m_level <= kMaxNesting; }

    private:
        int& m_level;  // the evaluator's depth
    };

    std::nullopt_t tooDeep() {
        return fail("nested more than " + std::to_string(kMaxNesting) +
                    " levels deep (parentheses, Not, unary minus)");
    }

    // False, with the evaluation failed, when a text of size bytes would be too long.
    bool fits(size_t size) {
        if (size <= kMaxCondText) return true;
        fail("a text longer than " + std::to_string(kMaxCondText) + " bytes");
        m_tooLong = true;
        return false;
    }

    std::nullopt_t fail(std::string message) {
        if (m_error.empty()) m_error = std::move(message);
        m_pos = m_text.size();
        return std::nullopt;
    }

    std::string_view m_text;
    const CondConstants& m_constants;
    size_t m_pos = 0;
    int m_depth = 0;  // parentheses, Not and unary minus open at m_pos
    std::string m_error;
    bool m_tooLong = false;  // the first failure was a text over kMaxCondText
};

}  // namespace

std::string CondValue::literal() const {
    switch (kind) {
        case Kind::Empty:
            return "Empty";
        case Kind::Text:
            return "\"" + replaceAll(text, "\"", "\"\"") + "\"";
        case Kind::Number: {
            if (number == std::floor(number) && std::fabs(number) < 1e15)
                return std::to_string(static_cast<int64_t>(number));
            char buffer[40];
            std::snprintf(buffer, sizeof buffer, "%.15g", number);
            return buffer;
        }
    }
    return {};
}

std::optional<CondValue> evaluateCondition(std::string_view expression,
                                           const CondConstants& constants, std::string& error,
                                           bool* tooLong) {
    Evaluator evaluator(expression, constants);
    std::optional<CondValue> value = evaluator.run(error);
    if (tooLong) *tooLong = !value && evaluator.tooLong();
    return value;
}

}  // namespace tarnwick
