#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "reader/CParser.h"

namespace tarnwick {
namespace {

// A module file's text: the given lines, each ended by CR LF.
std::string crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return text;
}

std::shared_ptr<CModule> read(const std::string& text, int kind = moduletype::Class) {
    CParser parser;
    return parser.readModuleText(text, kind, "Test.cls");
}

// A class module holding the given code lines.
std::shared_ptr<CModule> readCode(std::initializer_list<const char*> code) {
    return read(crlf({"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                      "Attribute VB_Name = \"Test\""}) +
                crlf(code));
}

// Each variable as "Name DataType default [description]", joined by '|'.
std::string members(const CVariableList& list) {
    std::string out;
    for (int i = 1; i <= list.count(); ++i) {
        auto v = list.at(i);
        out += (i > 1 ? "|" : "") + v->Name() + " " + v->DataType() + " " + v->default_() + " [" +
               v->Description() + "]";
    }
    return out;
}

TEST(ModuleReader, AttributesNameAndCodeText) {
    auto m = read(crlf({"VERSION 5.00", "Begin VB.Form frmMain", "   Caption = \"Main\"", "End",
                        "Attribute VB_Name = \"frmMain\"", "Attribute VB_GlobalNameSpace = False",
                        "Option Explicit", "Attribute VB_Exposed = \"say \"\"hi\"\"\"",
                        "Attribute VB_Name = \"frmMain2\"", "Attribute VB_HelpText = \"a = b\"",
                        "Attribute NoValue"}),
                  moduletype::Form);
    // A later attribute of the same name wins; the line after the last CR LF is code text.
    auto a = m->Attributes();
    EXPECT_EQ(m->Name() + "|" + a->item("VB_GlobalNameSpace") + "|" + a->item("VB_Exposed") + "|" +
                  a->item("VB_HelpText") + "|" + std::to_string(a->Exists("NoValue")) + "|" +
                  m->Source(),
              "frmMain2|False|say hi|a = b|0|Option Explicit\r\n\r\n");
    m = read(crlf({"Option Explicit", "Public Sub X()", "End Sub"}));
    EXPECT_EQ(m->Name() + m->Source() + std::to_string(m->Subroutines().count()), "0");
}

TEST(ModuleReader, ModuleDescriptionAndShortDescriptions) {
    auto m = readCode({"' The ledger of accounts.", "' @Open opens it", "' @Close closes it", "",
                       "Public Sub Open()", "End Sub"});
    // The block also describes the declaration after the blank line.
    EXPECT_EQ(m->Description() + "|" + m->ShortDesc()->item("Open") + "|" +
                  m->ShortDesc()->item("Close") + "|" + m->Subroutines().at(1)->Description(),
              "The ledger of accounts. |opens it|closes it|The ledger of accounts.");
    // A code line before the first blank line: no module description.
    m = readCode({"Option Explicit", "", "' About the sub", "Public Sub A()", "End Sub"});
    EXPECT_EQ(m->Description() + "|" + m->Subroutines().at(1)->Description(), "|About the sub");
}

TEST(ModuleReader, ContinuedSub) {
    auto m = readCode({"' Sets it up", "Public Sub Setup(ByVal a As Long, _",
                       "                 ByVal b As String, _", "                 c)",
                       "    Debug.Print a", "End Sub"});
    auto s = m->Subroutines().at(1);
    EXPECT_EQ(s->Syntax() + "|" + s->Name() + std::to_string(s->scope()) +
                  std::to_string(s->Arguments()->count()) + "|" + s->Description() + "|" +
                  s->Source(),
              "Public Sub Setup(ByVal a As Long, ByVal b As String, c)|Setup" +
                  std::to_string(scope::Public) +
                  "3|Sets it up|Public Sub Setup(ByVal a As Long, _\r\n                 ByVal b "
                  "As String, _\r\n                 c)\r\n    Debug.Print a\r\nEnd Sub\r\n");
}

TEST(ModuleReader, FunctionPropertyAndEvent) {
    auto m = readCode({
        "Public Event Done",
        "Private Const AFTER_EVENT = 1",
        "' Adds two numbers @a first @b second @Calc the sum",
        "Public Function Calc(a, b) As Long",
        "    Calc = a + b",
        "End Function",
        "Public Property Let Value(ByVal v As Long)",
        "End Property",
        "Public Property Get Value() As Long",
        "End Property",
    });
    auto f = m->Functions().at(1);
    EXPECT_EQ(f->Syntax(), "Public Function Calc(a, b) As Long ");
    EXPECT_EQ(f->Description() + "|" + f->Arguments()->at(1)->Description() + "|" +
                  f->Arguments()->at(2)->Description() + "|" + f->Returns()->DataType() + "|" +
                  f->Returns()->Description(),
              "Adds two numbers|first|second|Long|the sum");
    // An unindented End Property no longer runs into the return type; an event ends with its line.
    auto let = m->Properties().at(1), get = m->Properties().at(2);
    EXPECT_EQ(std::to_string(let->Way()) + let->Arguments()->at(1)->By() + "|" +
                  let->Returns()->DataType() + "|" + std::to_string(get->Way()) +
                  get->Returns()->DataType() + "|" + get->Syntax() + "|" +
                  m->Events().at(1)->Source() + std::to_string(m->Constants().count()),
              std::to_string(way::Let) + "ByVal||" + std::to_string(way::Get) +
                  "Long|Public Property Get Value() As Long |Public Event Done\r\n1");
}

TEST(ModuleReader, BlocksEndOnlyAtEndStatements) {
    auto m = readCode({
        "Public Sub A()",
        "    ' this is not the end sub",
        "    MsgBox \"End Sub\"",
        "    If x Then Exit Sub",
        "End Sub ' of A",
        "Public Sub B(): End Sub",
        "Public Sub C()",
        "    x = 1",
        "    End Sub",
        "Public Sub D()",
        "End Subtle",
        "end sub",
    });
    ASSERT_EQ(m->Subroutines().count(), 4);
    EXPECT_EQ(m->Subroutines().at(1)->Source(),
              "Public Sub A()\r\n    ' this is not the end sub\r\n    MsgBox \"End Sub\"\r\n"
              "    If x Then Exit Sub\r\nEnd Sub ' of A\r\n");
    EXPECT_EQ(m->Subroutines().at(2)->Source() + m->Subroutines().at(3)->Name() +
                  m->Subroutines().at(4)->Source(),
              "Public Sub B(): End Sub\r\nCPublic Sub D()\r\nEnd Subtle\r\nend sub\r\n");
}

TEST(ModuleReader, UnendedBlockKeepsItsDeclaration) {
    auto m = readCode({"Public Sub Broken(a)", "    x = 1"});
    ASSERT_EQ(m->Subroutines().count(), 1);
    auto s = m->Subroutines().at(1);
    EXPECT_EQ(s->Name() + std::to_string(s->Arguments()->count()) + s->Source(),
              "Broken1Public Sub Broken(a)\r\n    x = 1\r\n\r\n\r\n");
}

TEST(ModuleReader, CommentCleaning) {
    auto m = readCode({"''' Don't   panic: it's fine _", "    and goes on here", "' second",
                       "Public Sub A()", "End Sub", "' note _", "Public Sub NotASub()", "End Sub",
                       "Public Sub Real()", "End Sub"});
    EXPECT_EQ(m->Subroutines().at(1)->Description(),
              "Don't panic: it's fine and goes on here second");
    // A continued comment hides the line after it.
    EXPECT_EQ(m->Subroutines().at(2)->Name() + std::to_string(m->Subroutines().count()), "Real2");
}

TEST(ModuleReader, VariablesConstantsAndImplements) {
    auto m = readCode({
        "Implements IPlugin ' plug-in contract",
        "Private m_Name As String ' the name",
        "' The items",
        "Private m_Items As New Collection",
        "Dim m_Untyped$",
        "Private m_Grid(1 To 3, 1 To 3) As Long",
        "' The upper limit @x not a tag of it",
        "Private Const MAX_ITEMS = 10 ' upper",
        "Const QUOTE = \"'\" ' an apostrophe",
        "Public Const PI As Double = 3.14",
        "Public Sub A()",
        "End Sub",
        "Private m_Late As Long",
    });
    EXPECT_EQ(m->Implementations().at(1)->Syntax(), "Implements IPlugin ' plug-in contract");
    // Dim without a type is no variable; declarations after a procedure are not read.
    EXPECT_EQ(members(m->Variables()),
              "m_Name String  [  the name]|m_Items Collection  [The items]|m_Grid Long  []");
    auto name = m->Variables().at(1);
    EXPECT_EQ(name->Syntax() + "|" + name->Source(),
              "Private m_Name As String |Private m_Name As String ");
    EXPECT_EQ(name->IsNew() + m->Variables().at(2)->IsNew(), "FalseTrue");
    auto c = [&](int i) { return m->Constants().at(i); };
    EXPECT_EQ(std::to_string(c(1)->scope()) + c(1)->Description() + "|" + c(1)->Syntax() + "|" +
                  c(2)->Syntax() + "|" + c(2)->Description() + "|" + c(3)->DataType(),
              std::to_string(scope::Private) +
                  "The upper limit @x not a tag of it |Private Const MAX_ITEMS = 10|Const QUOTE = "
                  "\"'\"|  an apostrophe|Double");
}

TEST(ModuleReader, Types) {
    auto m = readCode({
        "' A point @x across @y down",
        "Private Type PointL ' in pixels",
        "    x As Long",
        "",
        "    ' a comment line",
        "    y As Long ' down: from the top",
        "    Name As String * 20 ' label",
        "End Type",
    });
    auto t = m->Types().at(1);
    EXPECT_EQ(t->Name() + " " + std::to_string(t->scope()) + " " + t->Description(),
              "PointL 2 A point");
    EXPECT_EQ(members(*t->Variables()), "x Long  [across]|y Long  [down]|Name String  [label]");
    // Without tags, a member's trailing comment (with its ':') describes it.
    auto m2 = readCode({"Type Pair", "a As Long ' left: first", "b As Long", "End Type"});
    auto pair = m2->Types().at(1);
    EXPECT_EQ(pair->Syntax(), "Type Pair a As Long ' left: first b As Long End Type");
    EXPECT_EQ(members(*pair->Variables()), "a Long  [left: first]|b Long  []");
}

TEST(ModuleReader, Enums) {
    auto m = readCode({
        "' Colours @Red the red one",
        "Public Enum Colors",
        "    Red = 1",
        "",
        "    ' a comment only",
        "    Green ' the green one",
        "    Blue = &HFF& ' don't mix",
        "End Enum",
        "Enum Flat",
        "A",
        "End Enum",
    });
    auto e = m->Enums().at(1);
    EXPECT_EQ(e->Name() + std::to_string(e->scope()) + e->Description(),
              "Colors" + std::to_string(scope::Public) + "Colours");
    EXPECT_EQ(e->Syntax(), e->Source());
    EXPECT_EQ(e->Source(),
              "Public Enum Colors\r\n    Red = 1\r\n\r\n    ' a comment only\r\n"
              "    Green ' the green one\r\n    Blue = &HFF& ' don't mix\r\nEnd Enum");
    EXPECT_EQ(members(*e->Variables()),
              "Red  1 [the red one]|Green   [the green one]|Blue  &HFF& [don't mix]");
    EXPECT_EQ(m->Enums().at(2)->Name() + members(*m->Enums().at(2)->Variables()), "FlatA   []");
}

TEST(ModuleReader, StaticProceduresAreProcedures) {
    auto m =
        readCode({"Private Static Function Counter() As Long", "    Dim calls As Long",
                  "    calls = calls + 1", "End Function", "Static Sub Tick()", "    Dim n As Long",
                  "End Sub", "Public Static Property Get Total() As Long", "End Property"});
    ASSERT_EQ(m->Functions().count() + m->Subroutines().count() + m->Properties().count(), 3);
    EXPECT_EQ(std::to_string(m->Variables().count()) + m->Functions().at(1)->Name() +
                  std::to_string(m->Functions().at(1)->scope()) +
                  std::to_string(m->Subroutines().at(1)->scope()) + m->Properties().at(1)->Name() +
                  std::to_string(m->Properties().at(1)->Way()),
              "0Counter" + std::to_string(scope::Private) + std::to_string(scope::None) + "Total" +
                  std::to_string(way::Get));
}

TEST(ModuleReader, AttributeDescriptionsFillEmptyDescriptions) {
    auto m = readCode({"Public Function Calc() As Long",
                       "Attribute Calc.VB_Description = \"Computes it\"", "End Function",
                       "' From the comment", "Public Sub Run()",
                       "Attribute Run.VB_Description = \"From the attribute\"", "End Sub",
                       "Public Property Get value() As Long",
                       "Attribute Value.VB_Description = \"The value\"", "End Property"});
    EXPECT_EQ(m->Functions().at(1)->Description() + "|" + m->Subroutines().at(1)->Description() +
                  "|" + m->Properties().at(1)->Description(),
              "Computes it|From the comment|The value");
}

TEST(ModuleReader, ParamReturnAndRemarksTags) {
    auto m = readCode({"' Looks a key up.", "' @param key the key to find",
                       "' @param Default what to give when missing", "' @return the value found",
                       "' @remarks Case is ignored.",
                       "Public Function Lookup(ByVal Key As String, Optional Default) As String",
                       "End Function"});
    auto f = m->Functions().at(1);
    EXPECT_EQ(f->Description() + "|" + f->Arguments()->at(1)->Description() + "|" +
                  f->Arguments()->at(2)->Description() + "|" + f->Returns()->Description(),
              "Looks a key up. Case is ignored.|the key to find|what to give when missing|"
              "the value found");
}

}  // namespace
}  // namespace tarnwick
