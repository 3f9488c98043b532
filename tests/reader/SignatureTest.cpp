#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CParserTestAccess.h"

namespace tarnwick {
namespace {

using P = CParserTestAccess;
using Mode = CParserTestAccess::NameMode;

TEST(Signature, ScopeAndWay) {
    const struct {
        const char* text;
        int scope;
    } scopes[] = {
        {"PRIVATE Const X = 1", 2},
        {"Sub X()", 99},
        {"Static Sub X()", 99},
        {"  Global Const G = 1", 0},
        {"Friend Function F()", 3},
        {"Public Sub X()", 1},
        {"Private Static Sub X()", 2},
        {"Publicity As Long", 99},
        {"", 99},
    };
    for (const auto& c : scopes) EXPECT_EQ(P::parseScope(c.text), c.scope) << c.text;
    const struct {
        const char* text;
        int way;
    } ways[] = {
        {"Public Property Let Value(ByVal v As Long)", 2},
        {"Friend Property Set Item(ByVal o As Object)", 1},
        {"Private Static Property Let Total(ByVal v As Long)", 2},
        {"Property Strange X()", 0},
    };
    for (const auto& c : ways) EXPECT_EQ(P::parseWay(c.text), c.way) << c.text;
}

TEST(Signature, NameAndDataType) {
    const struct {
        const char* text;
        Mode mode;
        const char* name;
        const char* type;  // nullptr: not asked
    } cases[] = {
        {"Sub Main", P::Sub, "Main", nullptr},
        {"Function Answer As Long", P::Function, "Answer", nullptr},
        {"Private m_Items(1 To 10) As String", P::Variable, "m_Items", "String"},
        {"Const NoValue ' invalid", P::Constant, "NoValue", nullptr},
        {"Declare Sub Sleep Lib \"kernel32\" Alias \"Sleep\" (ByVal ms As Long)", P::Declare,
         "Sleep", nullptr},
        {"Public Enum Colors Red = 1", P::Enum, "Colors", nullptr},
        {"Private Type PointL x As Long", P::Type, "PointL", nullptr},
        {"Event Done ' no parameters", P::Event, "Done", nullptr},
        {"Optional ByVal x As Long = 5", P::Argument, "x", "Long"},
        {"ParamArray Args() As Variant", P::Argument, "Args", "Variant"},
        {"Name$", P::Argument, "Name$", "String"},
        {"Count&", P::Argument, "Count&", "Long"},
        {"Index%", P::Argument, "Index%", "Integer"},
        {"Ratio!", P::Argument, "Ratio!", "Single"},
        {"Total#", P::Argument, "Total#", "Double"},
        {"Price@", P::Argument, "Price@", "Currency"},
        {"Value", P::Argument, "Value", "Variant"},
        {"Optional Sep As String = \", \"", P::Argument, "Sep", "String"},
        {"Private c As New Collection", P::Variable, "c", "Collection"},
        {"Private rs As ADODB.Recordset", P::Variable, "rs", "ADODB.Recordset"},
        {"Private a As Long, b As String", P::Variable, "a", "Long"},
        {"Private s As String * 20", P::Variable, "s", "String"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(P::parseName(c.text, c.mode), c.name) << c.text;
        if (c.type) {
            EXPECT_EQ(P::parseDataType(c.text, c.mode), c.type) << c.text;
        }
    }
}

TEST(Signature, PassingOptionalAndNew) {
    EXPECT_EQ(P::parsePassing("Optional ByVal x As Long") + P::parsePassing("x As Long") +
                  P::parsePassing("  byval x"),
              "ByValByRefByVal");
    EXPECT_TRUE(P::parseOptional(" Optional x") && !P::parseOptional("OptionalX As Long") &&
                P::parseNew("Private c As New Collection") &&
                !P::parseNew("Private m_NewItem As Long"));
}

TEST(Signature, ParseArguments) {
    // Each argument as "[Optional ]By Name DataType [Description]", joined by '|'.
    const struct {
        const char* declaration;
        const char* description;
        const char* arguments;
    } cases[] = {
        {"Sub X(ByVal a As Long, Optional b As String)", "",
         "ByVal a Long|Optional ByRef b String"},
        {"Sub X()", "", ""},
        {"Sub X", "", ""},
        {"Sub X(a)", "", "ByRef a Variant"},
        // The list ends at the ')' that closes it; commas in strings and parentheses do not split.
        {"Function Mean(Values() As Double, ByVal n As Long) As Double", "",
         "ByRef Values Double|ByVal n Long"},
        {"Function Join(Parts() As String, Optional Sep As String = \", \") As String", "",
         "ByRef Parts String|Optional ByRef Sep String"},
        {"Declare Function F Lib \"a(b).dll\" (ByVal h As Long) As Long", "", "ByVal h Long"},
        {"Sub Unbalanced(a As Long", "", ""},
        // Descriptions from "@name" tags and from "@param name" lines.
        {"Function Calc(a, b) As Long", "Adds two numbers @a first @b second @Calc the sum ",
         "ByRef a Variant first|ByRef b Variant second"},
        {"Sub Put(Key As String, Item)", "Stores @param key the key @param Item the item ",
         "ByRef Key String the key|ByRef Item Variant the item"},
    };
    for (const auto& c : cases) {
        std::string got;
        auto list = P::parseArguments(c.declaration, c.description);
        for (int i = 1; i <= list->count(); ++i) {
            auto a = list->at(i);
            got += std::string(i > 1 ? "|" : "") + (a->isOptional() ? "Optional " : "") + a->By() +
                   " " + a->Name() + " " + a->DataType() +
                   (a->Description().empty() ? "" : " " + a->Description()) + a->default_();
        }
        EXPECT_EQ(got, c.arguments) << c.declaration;
    }
}

TEST(Signature, ParseReturn) {
    const struct {
        const char* name;
        const char* declaration;
        const char* description;
        const char* type;
        const char* returnDescription;
    } cases[] = {
        {"Calc", "Function Calc(a, b) As Boolean ", "@Calc the sum ", "Boolean", "the sum"},
        {"Calc", "Function Calc(a, b)", "@Calc the sum ", "", ""},
        {"F", "Function F() As Long ", "Text @returns the count ", "Long", "the count"},
        {"F", "Function F() As Long ", "@F own @return other ", "Long", "own"},
        {"Answer", "Function Answer As Long", "", "Long", ""},
        {"GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "",
         "Long", ""},
    };
    for (const auto& c : cases) {
        auto r = P::parseReturn(c.name, c.declaration, c.description);
        EXPECT_EQ(r->DataType() + "/" + r->Description() + "/" + r->Name(),
                  std::string(c.type) + "/" + c.returnDescription + "/")
            << c.declaration;
    }
}

// A library read for its users' calls: the routines' return types are those
// of a full read, routines of one type share a record that no later routine
// changes (a type character comes after a routine without a type), and no
// parameters are kept.
TEST(Signature, DeclarationsOnlyKeepTheReturnTypes) {
    const std::string text =
        "Attribute VB_Name = \"CLib\"\n"
        "Public Function NoType()\nEnd Function\n"
        "Public Function Pad$(ByVal s As String)\nEnd Function\n"
        "Public Property Get Count() As Long\nEnd Property\n"
        "Public Function Total(ByVal n As Long, s) As Long\nEnd Function\n"
        "Public Function Other() As CLib\nEnd Function\n";
    CParser full;
    CParser declarations;
    declarations.setDeclarationsOnly(true);
    const auto whole = full.readModuleText(text, moduletype::Class, "CLib.cls");
    const auto light = declarations.readModuleText(text, moduletype::Class, "CLib.cls");
    std::map<std::string, std::shared_ptr<CArgument>> records;
    const auto typesOf = [&](const CModule& m) {
        std::string types;
        for (const auto& f : m.Functions().elements()) {
            types += f->Name() + " " + f->Returns()->DataType() + "; ";
            records[f->Name()] = f->Returns();
            if (&m == light.get()) {
                EXPECT_TRUE(f->Arguments()->elements().empty()) << f->Name();
            }
        }
        for (const auto& p : m.Properties().elements()) {
            types += p->Name() + " " + p->Returns()->DataType() + "; ";
            records[p->Name()] = p->Returns();
        }
        return types;
    };
    EXPECT_EQ(typesOf(*whole), typesOf(*light));
    EXPECT_EQ(typesOf(*light), "NoType ; Pad String; Total Long; Other CLib; Count Long; ");
    EXPECT_EQ(records["Total"], records["Count"]);  // one Long record
    EXPECT_NE(records["Pad"], records["NoType"]);
}

TEST(Signature, FindTagTextAndCollapseBlanks) {
    const struct {
        const char* text;
        const char* name;
        const char* expected;
    } cases[] = {
        {"Adds an item @item the item to add @count how many ", "count", "how many"},
        {"Adds an item @item the item to add @count how many ", "item", "the item to add"},
        {"@abc long name @a short ", "a", "short"},
        {"@abc long name ", "a", ""},
        {"@a first @a second ", "a", "first"},
        {"@a ", "", ""},
        {"@x spans\r\nlines ", "x", "spans  lines"},
        {"@x_1 under @x one ", "x", "one"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(P::findTagText(c.text, c.name), c.expected) << c.text << " / " << c.name;
    EXPECT_EQ(P::collapseBlanks("a  b    c ") + P::collapseBlanks("a\t\tb") +
                  P::collapseBlanks(std::string(100000, ' ')),
              "a b c a\t\tb ");
}

}  // namespace
}  // namespace tarnwick
