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
                       "Public Sub Open()", "End Sub", "Public Sub Close()", "End Sub"});
    // The block also describes the declaration after the blank line; there
    // "@Close" names nothing and stays visible.
    EXPECT_EQ(m->Description() + "|" + m->ShortDesc()->item("Open") + "|" +
                  m->ShortDesc()->item("Close") + "|" + m->Subroutines().at(1)->Description(),
              "The ledger of accounts. |opens it|closes it|The ledger of accounts.\r\n"
              "@Close closes it");
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
    // A header without a scope ends the unended routine before it.
    m = readCode({"Private Sub Open()", "    x = 1", "Sub Close()", "End Sub", "Static Sub Stay()",
                  "End Sub"});
    EXPECT_EQ(m->Subroutines().count(), 3);
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
        "Dim m_Untyped",
        "Dim m_Typed$",
        "Private m_Grid(1 To 3, 1 To 3) As Long",
        "' The upper limit @x not a tag of it",
        "Private Const MAX_ITEMS = 10 ' upper",
        "Private Const DWL_ANYTHREAD& = &H2",
        "Const QUOTE = \"'\" ' an apostrophe",
        "Public Const PI As Double = 3.14",
        "Public Sub A()",
        "End Sub",
        "Private m_Late As Long",
    });
    EXPECT_EQ(m->Implementations().at(1)->Syntax(), "Implements IPlugin ' plug-in contract");
    // Dim without a type is no variable, a type character is no part of the
    // name; declarations after a procedure are not read.
    EXPECT_EQ(members(m->Variables()),
              "m_Name String  [  the name]|m_Items Collection  [The items]|m_Typed String  []|"
              "m_Grid Long  []");
    auto name = m->Variables().at(1);
    EXPECT_EQ(name->Syntax() + "|" + name->Source(),
              "Private m_Name As String |Private m_Name As String ");
    EXPECT_EQ(name->IsNew() + m->Variables().at(2)->IsNew(), "FalseTrue");
    auto c = [&](int i) { return m->Constants().at(i); };
    // A tag that names nothing of the constant stays visible, on a line of its own.
    EXPECT_EQ(
        std::to_string(c(1)->scope()) + c(1)->Description() + "|" + c(1)->Syntax() + "|" +
            c(3)->Syntax() + "|" + c(3)->Description() + "|" + c(4)->DataType() + "|" +
            c(2)->Name() + " " + c(2)->DataType(),
        std::to_string(scope::Private) +
            "The upper limit\r\n@x not a tag of it|Private Const MAX_ITEMS = 10|Const QUOTE = "
            "\"'\"|  an apostrophe|Double|DWL_ANYTHREAD Long");
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
                       "' @remarks Case is ignored.", "' @author Jane Doe", "' @see #Remove",
                       "' @exceptions KeyNotFound when the key is missing", "' @example", "' <PRE>",
                       "' Private Sub Form_Load()", "'     Debug.Print  Lookup(\"a\")", "' End Sub",
                       "' </pre>", "' @short Finds a value.", "' @see CList.Add, mail@example.com",
                       "Public Function Lookup(ByVal Key As String, Optional Default) As String",
                       "End Function"});
    auto f = m->Functions().at(1);
    EXPECT_EQ(f->Description() + "|" + f->Arguments()->at(1)->Description() + "|" +
                  f->Arguments()->at(2)->Description() + "|" + f->Returns()->Description(),
              "Looks a key up.\r\n@author Jane Doe|the key to find|what to give when missing|"
              "the value found");
    const DocSections& sections = f->Sections();
    // An example in <pre> keeps its lines and blanks, even when it shows a whole routine.
    EXPECT_EQ(sections.remarks + "|" + sections.example + "|" + sections.exceptions + "|" +
                  sections.summary,
              "Case is ignored.|<PRE>\nPrivate Sub Form_Load()\n    Debug.Print  Lookup(\"a\")\n"
              "End Sub\n</pre>|KeyNotFound when the key is missing|Finds a value.");
    EXPECT_EQ(f->SeeAlso(), (std::vector<std::string>{"#Remove", "CList.Add"}));
    // The singular and plural spellings name the same sections.
    auto run = readCode({"' Runs.", "' @remark Fast.", "' @examples", "' <pre>", "'   Run 1",
                         "'   Run 2", "' </pre>", "Public Sub Run()", "End Sub"})
                   ->Subroutines()
                   .at(1);
    EXPECT_EQ(run->Sections().remarks + "|" + run->Sections().example,
              "Fast.|<pre>\n  Run 1\n  Run 2\n</pre>");
}

// Commented-out code above a declaration is no part of its description;
// prose that starts with a keyword is.
TEST(ModuleReader, CommentedCodeIsNoDescription) {
    const struct {
        const char* comment;
        const char* description;
    } cases[] = {
        {"'Private Declare Function cmsCreateXYZProfile Lib \"lcms2\" () As Long", ""},
        {"' Private Const MAX_ITEMS As Long = 10 ' old limit", ""},
        {"' Dim m_Cache(1 To 8) As New Collection", ""},
        {"' Public Event Changed(ByVal Index As Long)", ""},
        {"' Implements IOldSorter", ""},
        {"' Dim the lights as needed.", "Dim the lights as needed."},
        {"' Private copy As described below.", "Private copy As described below."},
        {"' Declare it before use.", "Declare it before use."},
    };
    for (const auto& c : cases) {
        auto m = readCode({"' Creates a profile.", c.comment,
                           "Private Declare Function Create Lib \"lcms2\" () As Long"});
        const std::string want =
            std::string("Creates a profile.") + (*c.description ? " " : "") + c.description;
        EXPECT_EQ(m->Declarations().at(1)->Description(), want) << c.comment;
    }
}

// The module's description: the comment block nearest the first code line
// that is no licence; a banner's prose; the module's own tags.
TEST(ModuleReader, ModuleDescriptionFromHeaderBlocks) {
    const std::string mit =
        "'    Copyright (c) 2012 Kelly Ethridge\n'\n"
        "'    Permission is hereby granted, free of charge, to any person obtaining a copy\n"
        "'    of this software, to deal in the Software without restriction.\n'\n"
        "'    THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND.\n";
    const std::string banner =
        "'**************************************************\n"
        "' modFiles - file helpers\n' Copyright 2015-2026 by Jan Novak\n"
        "' Created: 12.03.2015\n' Last updated: 02.01.2026\n"
        "'**************************************************\n"
        "' Reads and writes the files of the program.\n'\n' Paths are absolute.\n";
    struct {
        std::string header;  // the lines above the code
        std::string code;
        std::string description;  // then "|" and the see-also targets, joined by ","
    } cases[] = {
        // A licence block, then a javadoc-style block opened by a lone ''.
        {mit + "\n''\n' Provides a timing mechanism.\n'\n' @see StopWatchStatic\n'\n",
         "Option Explicit\n", "Provides a timing mechanism. |StopWatchStatic"},
        // The same without the empty line: the '' line still opens the block.
        {mit + "''\n' Provides a timing mechanism.\n", "Option Explicit\n",
         "Provides a timing mechanism. |"},
        // A licence alone never describes the module.
        {mit + "\n", "Option Explicit\n", "|"},
        {"' Copyright (c) 2020 Acme. All rights reserved.\n\n", "Option Explicit\n", "|"},
        // A one-block banner: its prose, without rules and facts.
        {banner + "\n", "Option Explicit\n",
         "Reads and writes the files of the program. \r\nPaths are absolute. |"},
        {banner, "Option Explicit\n",
         "Reads and writes the files of the program. \r\nPaths are absolute. |"},
        // Of two plain blocks the one nearest the code; section tags and
        // unknown tags as on members, "@see #Member" kept as written.
        // "@include" of a file that is not there: the tag is dropped.
        {"' Old text\n\n' New text\n' @remarks Slow.\n' @see #Run\n' @include x.txt\n\n",
         "Public Sub Run()\nEnd Sub\n", "New text |#Run"},
        // The block right above the first declaration describes it, not the module.
        {"' Module text\n\n' About Run\n", "Public Sub Run()\nEnd Sub\n", "Module text |"},
        {"' About Run\n", "Public Sub Run()\nEnd Sub\n", "|"},
        // A javadoc block with an example: its lines as written, rules included.
        // A fact that runs on to an indented line; a licence by what it says.
        {"'****\n'Undo\n'Copyright 2001-2026 by T. H.\n'Last update: rewrote the\n"
         "'             layer undo\n'\n'Keeps undo entries.\n'\n"
         "'All source code in this file is licensed under a modified BSD license. Use it.\n"
         "'****\n",
         "Option Explicit\n", "Keeps undo entries. |"},
        {"' Reads files.\n\n' Released under the GNU General Public License v3.\n\n",
         "Option Explicit\n", "Reads files. |"},
        {"' Reads files.\n\n' This code is licensed under the terms at example.org.\n\n",
         "Option Explicit\n", "Reads files. |"},
        {"''\n' Sorts lists.\n' <pre>\n'   Dim s As New Sorter\n' '-----\n' </pre>\n'\n",
         "Option Explicit\n", "Sorts lists. <pre>\n  Dim s As New Sorter\n'-----\n</pre> |"},
    };
    for (const auto& c : cases) {
        CParser parser;
        auto m = parser.readModuleText("Attribute VB_Name = \"T\"\n" + c.header + c.code,
                                       moduletype::Module, "T.bas");
        std::string see;
        for (const std::string& target : m->SeeAlso()) see += (see.empty() ? "" : ",") + target;
        EXPECT_EQ(m->Description() + "|" + see, c.description) << c.header;
    }
    auto m = CParser().readModuleText(
        "Attribute VB_Name = \"T\"\n' Text\n' @remarks Slow.\n\nOption Explicit\n",
        moduletype::Module, "T.bas");
    EXPECT_EQ(m->Sections().remarks, "Slow.");
}

}  // namespace
}  // namespace tarnwick
