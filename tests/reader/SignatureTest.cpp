#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CParserTestAccess.h"

namespace tarnwick {
namespace {

using P = CParserTestAccess;
using Mode = CParserTestAccess::NameMode;

TEST(Signature, ParseScope) {
    const struct {
        const char* text;
        int scope;
    } cases[] = {
        {"Public Sub X()", 1},         {"PRIVATE Const X = 1", 2},  {"Sub X()", 99},
        {"Static Sub X()", 99},        {"  Global Const G = 1", 0}, {"Friend Function F()", 3},
        {"Private Static Sub X()", 2}, {"Publicity As Long", 99},   {"", 99},
    };
    for (const auto& c : cases) EXPECT_EQ(P::parseScope(c.text), c.scope) << c.text;
}

TEST(Signature, ParseWay) {
    const struct {
        const char* text;
        int way;
    } cases[] = {
        {"Public Property Let Value(ByVal v As Long)", 2},
        {"Property Get Value() As Long", 0},
        {"Friend Property Set Item(ByVal o As Object)", 1},
        {"Private Static Property Let Total(ByVal v As Long)", 2},
        {"Static Property Set Child(ByVal c As Object)", 1},
        {"Property Strange X()", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(P::parseWay(c.text), c.way) << c.text;
}

TEST(Signature, ParseName) {
    const struct {
        const char* text;
        Mode mode;
        const char* name;
    } cases[] = {
        {"Public Function Calc(ByVal a As Long) As Long", P::Function, "Calc"},
        {"Private Sub Form_Load()", P::Sub, "Form_Load"},
        {"Sub Main", P::Sub, "Main"},
        {"Function Answer As Long", P::Function, "Answer"},
        {"Public Property Get Value() As Long", P::Property, "Value"},
        {"Private m_Count As Long", P::Variable, "m_Count"},
        {"Private m_Items(1 To 10) As String", P::Variable, "m_Items"},
        {"Dim a() As Long", P::Variable, "a"},
        {"Private Const MAX_ITEMS As Long = 10", P::Constant, "MAX_ITEMS"},
        {"Const PI = 3.14", P::Constant, "PI"},
        {"Const NoValue ' invalid", P::Constant, "NoValue"},
        {"Private Declare Function GetTickCount Lib \"kernel32\" () As Long", P::Declare,
         "GetTickCount"},
        {"Declare Sub Sleep Lib \"kernel32\" Alias \"Sleep\" (ByVal ms As Long)", P::Declare,
         "Sleep"},
        {"Public Enum Colors Red = 1", P::Enum, "Colors"},
        {"Enum Colors", P::Enum, "Colors"},
        {"Private Type PointL x As Long", P::Type, "PointL"},
        {"Public Event Changed(ByVal v As Long)", P::Event, "Changed"},
        {"Event Done ' no parameters", P::Event, "Done"},
        {"arr() As String", P::Argument, "arr"},
        {"Optional ByVal x As Long = 5", P::Argument, "x"},
        {"ByRef Items() As String", P::Argument, "Items"},
        {"ParamArray Args() As Variant", P::Argument, "Args"},
        {"Optional Count = 1", P::Argument, "Count"},
        {"Name$", P::Argument, "Name$"},
    };
    for (const auto& c : cases) EXPECT_EQ(P::parseName(c.text, c.mode), c.name) << c.text;
}

TEST(Signature, ParseDataType) {
    const struct {
        const char* text;
        Mode mode;
        const char* type;
    } cases[] = {
        {"ByVal Name$", P::Argument, "String"},
        {"Count&", P::Argument, "Long"},
        {"Index%", P::Argument, "Integer"},
        {"Ratio!", P::Argument, "Single"},
        {"Total#", P::Argument, "Double"},
        {"Price@", P::Argument, "Currency"},
        {"Value", P::Argument, "Variant"},
        {"ByRef Items() As String", P::Argument, "String"},
        {"Optional Sep As String = \", \"", P::Argument, "String"},
        {"Private c As New Collection", P::Variable, "Collection"},
        {"Private rs As ADODB.Recordset", P::Variable, "ADODB.Recordset"},
        {"Private a As Long, b As String", P::Variable, "Long"},
        {"Private s As String * 20", P::Variable, "String"},
    };
    for (const auto& c : cases) EXPECT_EQ(P::parseDataType(c.text, c.mode), c.type) << c.text;
}

TEST(Signature, PassingOptionalAndNew) {
    EXPECT_EQ(P::parsePassing("Optional ByVal x As Long"), "ByVal");
    EXPECT_EQ(P::parsePassing("x As Long"), "ByRef");
    EXPECT_EQ(P::parsePassing("  byval x"), "ByVal");
    EXPECT_EQ(P::parsePassing("ByRef x"), "ByRef");
    EXPECT_TRUE(P::parseOptional(" Optional x"));
    EXPECT_FALSE(P::parseOptional("OptionalX As Long"));
    EXPECT_TRUE(P::parseNew("Private c As New Collection"));
    EXPECT_FALSE(P::parseNew("Private m_NewItem As Long"));
}

struct ArgumentRow {
    bool optional;
    const char* by;
    const char* name;
    const char* type;
    const char* description;
};

void expectArguments(const std::string& declaration, const std::string& description,
                     const std::vector<ArgumentRow>& rows) {
    auto list = P::parseArguments(declaration, description);
    ASSERT_EQ(list->count(), static_cast<int>(rows.size())) << declaration;
    for (size_t i = 0; i < rows.size(); ++i) {
        auto a = list->at(static_cast<int>(i) + 1);
        EXPECT_EQ(a->isOptional(), rows[i].optional) << declaration << " #" << i;
        EXPECT_EQ(a->By(), rows[i].by) << declaration << " #" << i;
        EXPECT_EQ(a->Name(), rows[i].name) << declaration << " #" << i;
        EXPECT_EQ(a->DataType(), rows[i].type) << declaration << " #" << i;
        EXPECT_EQ(a->Description(), rows[i].description) << declaration << " #" << i;
        EXPECT_EQ(a->default_(), "") << declaration << " #" << i;
    }
}

TEST(Signature, ParseArguments) {
    expectArguments("Sub X(ByVal a As Long, Optional b As String)", "",
                    {{false, "ByVal", "a", "Long", ""}, {true, "ByRef", "b", "String", ""}});
    expectArguments("Sub X()", "", {});
    expectArguments("Sub X", "", {});
    expectArguments("Sub X(a)", "", {{false, "ByRef", "a", "Variant", ""}});
    // The list ends at the ')' that closes it; commas inside strings and
    // parentheses do not split.
    expectArguments("Function Mean(Values() As Double, ByVal n As Long) As Double", "",
                    {{false, "ByRef", "Values", "Double", ""}, {false, "ByVal", "n", "Long", ""}});
    expectArguments(
        "Function Join(Parts() As String, Optional Sep As String = \", \") As String", "",
        {{false, "ByRef", "Parts", "String", ""}, {true, "ByRef", "Sep", "String", ""}});
    expectArguments("Declare Function F Lib \"a(b).dll\" (ByVal h As Long) As Long", "",
                    {{false, "ByVal", "h", "Long", ""}});
    expectArguments("Sub Unbalanced(a As Long", "", {});
    // Descriptions from "@name" tags and from "@param name" lines.
    expectArguments(
        "Function Calc(a, b) As Long", "Adds two numbers @a first @b second @Calc the sum ",
        {{false, "ByRef", "a", "Variant", "first"}, {false, "ByRef", "b", "Variant", "second"}});
    expectArguments("Sub Put(Key As String, Item)",
                    "Stores @param key the key @param Item the item ",
                    {{false, "ByRef", "Key", "String", "the key"},
                     {false, "ByRef", "Item", "Variant", "the item"}});
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
        {"Mean", "Function Mean(Values() As Double) As Double ", "", "Double", ""},
        {"F", "Function F() As Long ", "Text @return the count ", "Long", "the count"},
        {"F", "Function F() As Long ", "Text @returns the count ", "Long", "the count"},
        {"F", "Function F() As Long ", "@F own @return other ", "Long", "own"},
        {"Answer", "Function Answer As Long", "", "Long", ""},
        {"GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "",
         "Long", ""},
    };
    for (const auto& c : cases) {
        auto r = P::parseReturn(c.name, c.declaration, c.description);
        EXPECT_EQ(r->DataType(), c.type) << c.declaration;
        EXPECT_EQ(r->Description(), c.returnDescription) << c.declaration;
        EXPECT_EQ(r->Name(), "") << c.declaration;
    }
}

TEST(Signature, FindTagText) {
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
        {"no tags here ", "a", ""},
        {"@a ", "", ""},
        {"@x spans\r\nlines ", "x", "spans  lines"},
        {"@x_1 under @x one ", "x", "one"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(P::findTagText(c.text, c.name), c.expected) << c.text << " / " << c.name;
}

TEST(Signature, CollapseBlanks) {
    EXPECT_EQ(P::collapseBlanks("a  b    c "), "a b c ");
    EXPECT_EQ(P::collapseBlanks("   "), " ");
    EXPECT_EQ(P::collapseBlanks("a\t\tb"), "a\t\tb");
    EXPECT_EQ(P::collapseBlanks(std::string(100000, ' ')), " ");
}

}  // namespace
}  // namespace tarnwick
