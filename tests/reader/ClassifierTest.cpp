#include <gtest/gtest.h>

#include <string>

#include "reader/CParser.h"

namespace tarnwick {
namespace {

enum Kind { None, Const, Impl, Decl, Func, Sub, Event, Var, Prop, Type, Enum };

// Which of the ten classifiers answer true for the line; one bit per kind.
unsigned answers(const CParser& p, const std::string& line) {
    unsigned bits = 0;
    if (p.isConstant(line)) bits |= 1u << Const;
    if (p.isImplementation(line)) bits |= 1u << Impl;
    if (p.isDeclaration(line)) bits |= 1u << Decl;
    if (p.isFunction(line)) bits |= 1u << Func;
    if (p.isSubroutine(line)) bits |= 1u << Sub;
    if (p.isEvent(line)) bits |= 1u << Event;
    if (p.isVariable(line)) bits |= 1u << Var;
    if (p.isProperty(line)) bits |= 1u << Prop;
    if (p.isType(line)) bits |= 1u << Type;
    if (p.isEnum(line)) bits |= 1u << Enum;
    return bits;
}

constexpr unsigned bit(Kind k) { return k == None ? 0u : 1u << k; }

TEST(Classifiers, AnswerByTheStartOfTheTrimmedLine) {
    struct Case {
        const char* line;
        unsigned expected;
    };
    const Case cases[] = {
        {"Sub Main()", bit(Sub)},
        {"sub main()", bit(Sub)},
        {"PUBLIC SUB X()", bit(Sub)},
        {"   Private Sub Form_Load()  ", bit(Sub)},
        {"Public  Sub X()", bit(None)},
        {"Public\tSub X()", bit(None)},
        {"Global Sub X()", bit(Sub)},
        {"Friend Function F() As Long", bit(Func) | bit(Var)},
        {"Public Function Calc(ByVal a As Long) As Long", bit(Func) | bit(Var)},
        {"Function F()", bit(Func)},
        {"Property Get Value() As Long", bit(Prop)},
        {"Private Property Let Value(ByVal v As Long)", bit(Prop) | bit(Var)},
        {"Const PI = 3.14", bit(Const)},
        {"Friend Const X = 1", bit(Const)},
        {"Private Const MAX_ITEMS As Long = 10", bit(Const) | bit(Var)},
        {"Implements IPlugin", bit(Impl)},
        {"Private Declare Function GetTickCount Lib \"kernel32\" () As Long", bit(Decl) | bit(Var)},
        {"Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)", bit(Decl)},
        {"Public Event Changed(ByVal v As Long)", bit(Event) | bit(Var)},
        {"Event Done", bit(Event)},
        {"Private m_Name As String", bit(Var)},
        // A type character types a name as " As " does.
        {"Dim m_Name$", bit(Var)},
        {"Private n&, a$(10)", bit(Var)},
        {"Dim m_Untyped", bit(None)},
        {"Private Const DWL_ANYTHREAD& = &H2", bit(Const)},
        {"Dim x As Long", bit(Var)},
        {"Public WithEvents m_Form As Form1", bit(Var)},
        {"Private Type PointL", bit(Type)},
        {"Type PointL", bit(Type)},
        {"TypeName = 1", bit(None)},
        {"Public Enum Colors", bit(Enum)},
        {"Enum Colors", bit(Enum)},
        {"' Public Sub Commented()", bit(None)},
        {"Option Explicit", bit(None)},
        {"", bit(None)},
        {"Sub", bit(None)},
        // Static procedures are procedures too.
        {"Static Sub Count()", bit(Sub)},
        {"Private Static Sub Count()", bit(Sub)},
        {"Public Static Function Next() As Long", bit(Func) | bit(Var)},
        {"Static Property Get Total() As Long", bit(Prop)},
        {"Friend Static Property Let Total(ByVal v As Long)", bit(Prop) | bit(Var)},
        {"Static Const X = 1", bit(None)},
    };
    CParser parser;
    for (const Case& c : cases) EXPECT_EQ(answers(parser, c.line), c.expected) << c.line;
}

}  // namespace
}  // namespace tarnwick
