// Module shapes of real VB6 code: #If, PtrSafe, lists, odd routine ends; the two examples.
#include <gtest/gtest.h>

#include <string>

#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/modRegistry.h"

namespace tarnwick {
namespace {

// Every element as "Kind Name", in the order read, kinds in the order of the lists.
std::string summary(const CModule& m) {
    std::string out;
    auto add = [&](const char* kind, const auto& list) {
        for (const auto& e : list.elements()) {
            if (!out.empty()) out += ", ";
            out += std::string(kind) + " " + e->Name();
        }
    };
    add("Declare", m.Declarations());
    add("Const", m.Constants());
    add("Dim", m.Variables());
    add("Type", m.Types());
    add("Enum", m.Enums());
    add("Function", m.Functions());
    add("Sub", m.Subroutines());
    add("Property", m.Properties());
    return out;
}

// The diagnostics as "line: message" joined by " | ".
std::string warnings(const CollectingSink& sink) {
    std::string out;
    for (const auto& d : sink.items()) {
        if (!out.empty()) out += " | ";
        out += std::to_string(d.line) + ": " + d.message;
    }
    return out;
}

// Reads a class from LF-ended code lines (as most checkouts have them), from file line 3.
std::shared_ptr<CModule> readLf(const std::string& code, CollectingSink& sink,
                                const std::vector<std::string>& defines = {}) {
    CParser parser;
    parser.setDiagnostics(&sink);
    parser.setDefines(readDefines(defines).value());
    return parser.readModuleText("VERSION 1.0 CLASS\nAttribute VB_Name = \"T\"\n" + code,
                                 moduletype::Class, "T.cls");
}

TEST(ConditionalCompilation, Expressions) {
    CondConstants constants = CondConstants::compilerDefaults();
    constants.set("DEBUG_MODE", CondValue::ofNumber(1));
    constants.set("Lang", CondValue::ofText("de"));
    struct {
        const char* expression;
        const char* value;  // the literal, or the start of the error
    } const rows[] = {
        {"Win32", "-1"},
        {"win16 Or MAC", "0"},
        {"VBA7", "Empty"},  // undefined: Empty, false
        {"Not VBA7", "-1"},
        {"Not Win64 And Win32", "-1"},
        {"DEBUG_MODE = 1", "-1"},
        {"debug_mode <> 1", "0"},
        {"DEBUG_MODE >= 1 Xor True", "0"},
        {"(1 + 2) * 3 = 9", "-1"},
        {"7 \\ 2 + 7 Mod 2", "4"},
        {"&HFFFF", "-1"},
        {"&H8000", "-32768"},
        {"&H8000&", "32768"},
        {"&H10& + &O10", "24"},
        {"Lang = \"de\"", "-1"},
        {"Lang & \"x\"", "\"dex\""},
        {"VBA7 = \"\"", "-1"},
        {"\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\""},
        {"-2 ^ 2", "-4"},
        {"1 < 2 And 2 <= 2 And 3 > 2", "-1"},
        {"A ! B", "error: unknown operator"},
        {"(1 + 2", "error: missing ')'"},
        {"1 +", "error: the expression ends too early"},
        {"Lang + 1", "error: type mismatch"},
        {"1 / 0", "error: division by zero"},
        {"\"open", "error: a string is not closed"},
        {"And 1", "error: 'And' where a value is expected"},
    };
    for (const auto& row : rows) {
        std::string error;
        auto value = evaluateCondition(row.expression, constants, error);
        const std::string got = value ? value->literal() : "error: " + error;
        EXPECT_EQ(got.substr(0, std::string(row.value).size()), row.value) << row.expression;
    }
}

TEST(ConditionalCompilation, ModuleShapes) {
    struct {
        const char* what;
        const char* code;
        std::vector<std::string> defines;
        const char* elements;
        const char* warnings;
    } const rows[] = {
        {"VBA7 undefined: the #Else declare",
         "' Ticks\n#If VBA7 Then\nPrivate Declare PtrSafe Function GetTickCount Lib \"kernel32\" "
         "() As LongPtr\n#Else\nPrivate Declare Function GetTickCount Lib \"kernel32\" () As "
         "Long\n#End If\n",
         {},
         "Declare GetTickCount",
         ""},
        {"defined VBA7 takes the PtrSafe branch",
         "#If VBA7 Then\nPrivate Declare PtrSafe Sub Sleep Lib \"kernel32\" (ByVal ms As "
         "Long)\n#Else\nPrivate Declare Sub Sleep2 Lib \"kernel32\" (ByVal ms As Long)\n#End "
         "If\n",
         {"VBA7=1"},
         "Declare Sleep",
         ""},
        {"only the header differs: one routine with header B",
         "' Finds the window\n#If Win64 Then\nPublic Function Find(ByVal h As LongPtr) As "
         "LongPtr\n#Else\nPublic Function Find(ByVal h As Long) As Long\n#End If\n    Find = "
         "h\nEnd Function\nPublic Sub After()\nEnd Sub\n",
         {},
         "Function Find, Sub After",
         ""},
        {"nested blocks, #ElseIf and module #Const from its line on",
         "#If DEBUG_MODE Then\nPrivate Sub Early()\nEnd Sub\n#End If\n#Const DEBUG_MODE = 1\n"
         "#If DEBUG_MODE Then\n  #If Mac Then\n  Private Sub OnMac()\n  End Sub\n  #ElseIf Win32 "
         "Then\n  Private Sub OnWindows()\n  End Sub\n  #Else\n  Private Sub Other()\n  End Sub\n"
         "  #End If\n#Else\nPrivate Sub Release()\nEnd Sub\n#End If\n",
         {},
         "Sub OnWindows",
         ""},
        {"a whole routine duplicated under #If Release",
         "#If Release Then\nPublic Sub Run()\n  x = 1\nEnd Sub\n#Else\n' Debug version\nPublic "
         "Sub Run()\n  x = 2\nEnd Sub\n#End If\n",
         {"release = -1"},
         "Sub Run",
         ""},
        {"a skipped branch is not evaluated; a directive's comment is no part of it",
         "#If Win32 Then ' Windows only\nPrivate Sub A()\nEnd Sub\n#Else\n#If A ! B Then\n"
         "Private Sub B()\nEnd Sub\n#End If\n#End If\n",
         {},
         "Sub A",
         ""},
        {"an expression that cannot be evaluated keeps every branch",
         "#If A ! B Then\nPrivate Sub One()\nEnd Sub\n#Else\nPrivate Sub Two()\nEnd Sub\n#End "
         "If\n",
         {},
         "Sub One, Sub Two",
         "3: cannot evaluate #If \"A ! B\": unknown operator or word '!'; its code is kept"},
        {"malformed directives are reported, the module still read",
         "#End If\n#If Win32 Then\nPrivate Sub A()\nEnd Sub\n#Else\nPrivate Sub B()\nEnd "
         "Sub\n#Else\nPrivate Sub C()\nEnd Sub\n#Region x\n",
         {},
         "Sub A, Sub C",
         "3: #End If without #If; ignored | 10: #Else after #Else (#If on line 4); its code is "
         "kept | 13: unknown directive \"#Region x\"; the line is left out | 4: #If without #End "
         "If; the block runs to the end of the module"},
        {"a #Const text over 64 KB is an error; code that asks for it is kept",
         "#Const S = \"ab\"\n#Const S = S & S & S & S & S & S & S & S\n"
         "#Const S = S & S & S & S & S & S & S & S\n#Const S = S & S & S & S & S & S & S & S\n"
         "#Const S = S & S & S & S & S & S & S & S\n#Const S = S & S & S & S & S & S & S & S\n"
         "#Const S = S & S & S & S & S & S & S & S\n#If S = \"\" Then\nPrivate Sub One()\n"
         "End Sub\n#Else\nPrivate Sub Two()\nEnd Sub\n#End If\n",
         {},
         "Sub One, Sub Two",
         "9: #Const S: a text longer than 65536 bytes; code that depends on it is kept | 10: "
         "cannot evaluate #If \"S = \"\"\": S has no value: its text was too long; its code is "
         "kept"},
    };
    for (const auto& row : rows) {
        CollectingSink sink;
        auto m = readLf(row.code, sink, row.defines);
        EXPECT_EQ(summary(*m), row.elements) << row.what;
        EXPECT_EQ(warnings(sink), row.warnings) << row.what;
    }
}

TEST(ConditionalCompilation, HeaderOnlyBranchKeepsCommentBodyAndWholeSource) {
    CollectingSink sink;
    const std::string code =
        "' Finds the window @h its handle\n#If VBA7 Then\nPublic Function Find(ByVal h As "
        "LongPtr) As LongPtr\n#Else\nPublic Function Find(ByVal h As Long) As Long\n#End If\n"
        "    Find = h\nEnd Function\n";
    auto m = readLf(code, sink);
    auto f = m->Functions().at(1);
    EXPECT_EQ(f->Syntax() + "|" + f->Description() + "|" + f->Arguments()->at(1)->Description() +
                  "|" + f->Returns()->DataType() + "|" + std::to_string(f->Line()) + "|" +
                  f->Source(),
              "Public Function Find(ByVal h As Long) As Long |Finds the window|its handle|Long|7|"
              "Public Function Find(ByVal h As Long) As Long\r\n    Find = h\r\nEnd Function\r\n");
    // The code page shows the file as written.
    EXPECT_NE(m->Source().find("#If VBA7 Then\r\nPublic Function Find(ByVal h As LongPtr)"),
              std::string::npos);
}

TEST(RealShapes, DeclaresListsAndRoutineEnds) {
    CollectingSink sink;
    auto m = readLf(
        "Private Declare PtrSafe Function SendMessage Lib \"user32\" Alias \"SendMessageW\" ("
        "ByVal hWnd As LongPtr, ByVal wMsg As Long) As LongPtr\n"
        "Public Declare PtrSafe Sub CopyMemory Lib \"kernel32\" Alias \"RtlMoveMemory\" _\n"
        "    (Destination As Any, Source As Any, ByVal Length As LongPtr)\n' Counters\n"
        "Private a As Long, b() As String, c, m(1 To 2, 3) As Integer, s$\n"
        "Public Const A1 As Long = 1, B1 = \"x, y\", C1 = (2 + 3) ' three\n"
        "Public Function CallByNameLetValue _\n"
        "    (ByVal o As Object, ByVal n As String) As Variant\nEnd Function\n"
        "Public Property Get Value() As Long\n    Value = 1\nEnd Sub\n"
        "Public Property Let Value(ByVal v As Long)\n    x = v\n' The next one\n"
        "Public Sub Next1()\n100 End Sub\n'Public Sub OldCode()\n'    x = 1\n'End Sub\n"
        "' Pads it\nPublic Function Pad$(ByVal s$)\nEnd Function\nFriend Sub Last()\n",
        sink);
    EXPECT_EQ(
        summary(*m),
        "Declare SendMessage, Declare CopyMemory, Const A1, Const B1, Const C1, Dim a, Dim b, "
        "Dim c, Dim m, Dim s, Function CallByNameLetValue, Function Pad, Sub Next1, Sub Last, "
        "Property "
        "Value, Property Value");
    EXPECT_EQ(warnings(sink),
              "15: Property 'Value' has no end statement before the next routine (line 18); its "
              "body ends there | 26: Sub 'Last' has no end statement; its body runs to the end of "
              "the module");

    auto send = m->Declarations().at(1), copy = m->Declarations().at(2);
    EXPECT_EQ(send->Lib() + " " + send->Alias() + std::to_string(send->Arguments()->count()) +
                  send->Returns()->DataType() + " " + copy->Alias() +
                  std::to_string(copy->Arguments()->count()) + std::to_string(copy->Line()),
              "user32 SendMessageW2LongPtr RtlMoveMemory34");
    std::string lists;
    for (const auto& v : m->Variables().elements())
        lists += v->Syntax() + " " + v->DataType() + " " + v->Description() + "|";
    for (const auto& c : m->Constants().elements())
        lists += c->Syntax() + " " + c->DataType() + "|";
    EXPECT_EQ(
        lists,
        "Private a As Long Long Counters|Private b() As String String Counters|Private c "
        "Variant Counters|Private m(1 To 2, 3) As Integer Integer Counters|Private s$ String "
        "Counters|Public Const A1 As Long = 1 Long|Public Const B1 = \"x, y\" |Public Const C1 "
        "= (2 + 3) |");
    auto call = m->Functions().at(1);
    EXPECT_EQ(call->Syntax() + std::to_string(call->Arguments()->count()),
              "Public Function CallByNameLetValue(ByVal o As Object, ByVal n As "
              "String) As Variant 2");
    // A Property Get closed by End Sub: the Let after it is still read.
    EXPECT_EQ(m->Properties().at(1)->Source(),
              "Public Property Get Value() As Long\r\n    Value = 1\r\nEnd Sub\r\n");
    EXPECT_EQ(m->Properties().at(2)->Source(),
              "Public Property Let Value(ByVal v As Long)\r\n    x = v\r\n");
    EXPECT_EQ(m->Subroutines().at(1)->Description(), "The next one");
    // A type character is no part of a name; commented-out code no description.
    auto pad = m->Functions().at(2);
    EXPECT_EQ(pad->Returns()->DataType() + " " + pad->Arguments()->at(1)->Name() + " " +
                  pad->Description(),
              "String s Pads it");
}

// The example project: CondComp decides Trace, VBA7 the declares, --define wins over CondComp.
TEST(RealShapes, WinApiExampleProject) {
    struct {
        std::vector<std::string> defines;
        const char* constants;
    } const rows[] = {
        {{}, "Win32=-1 Win16=0 Mac=0 TRACE_CALLS=1 LANG=0"},
        {{"trace_calls=0", "VBA7=True"}, "Win32=-1 Win16=0 Mac=0 TRACE_CALLS=0 LANG=0 VBA7=-1"},
    };
    for (const auto& row : rows) {
        CollectingSink sink;
        CParser parser;
        parser.setPath(std::string(TARNWICK_SOURCE_DIR) + "/examples/WinApi/WinApi.vbp");
        parser.setDiagnostics(&sink);
        parser.setRegistry(std::make_shared<const RegistrySource>());
        parser.setDefines(readDefines(row.defines).value());
        auto project = parser.Parse();
        ASSERT_TRUE(project) << project.error().message;
        EXPECT_EQ(warnings(sink), "");
        std::string constants;
        for (const auto& [name, value] : project.value()->ConditionalConstants())
            constants += (constants.empty() ? "" : " ") + name + "=" + value;
        EXPECT_EQ(constants, row.constants);
        auto api = project.value()->Modules().at(1);
        // The reader sorts every list by name.
        EXPECT_EQ(summary(*api),
                  "Declare CopyMemory, Declare GetTickCount, Declare SendMessage, Const WM_CLOSE, "
                  "Const WM_GETTEXT, Const WM_SETTEXT, Dim m_Calls, Dim m_LastCall, Sub Main, "
                  "Sub Trace");
        const bool vba7 = !row.defines.empty();
        EXPECT_EQ(api->Declarations().byName("SendMessage")->Returns()->DataType(),
                  vba7 ? "LongPtr" : "Long");
        EXPECT_EQ(api->Subroutines().byName("Trace")->Description(),
                  vba7 ? "" : "Writes one line to the Immediate window for every API call.");
        auto window = project.value()->Classes().at(1);
        EXPECT_EQ(summary(*window),
                  "Dim m_Caption, Dim m_Handle, Sub CloseWindow, Property "
                  "Caption, Property Caption, Property Handle");
    }
}

// The Ledger example, warning-free: texts its golden pages do not show.
TEST(RealShapes, LedgerExampleProject) {
    const std::string folder = std::string(TARNWICK_SOURCE_DIR) + "/examples/Ledger/";
    CollectingSink sink;
    CParser parser;
    parser.setPath(folder + "Ledger.vbp");
    parser.setDiagnostics(&sink);
    parser.setRegistry(std::make_shared<const RegistrySource>(
        RegistrySource::fromFiles({folder + "registry.reg"}, &sink)));
    auto parsed = parser.Parse();
    ASSERT_TRUE(parsed) << parsed.error().message;
    const CProject& p = *parsed.value();
    EXPECT_EQ(warnings(sink), "");
    std::string classes;
    for (const auto& m : p.Classes().elements()) classes += m->Name() + " ";
    EXPECT_EQ(classes, "CAccount CEntry CJournal IAccount ");
    EXPECT_EQ(std::vector<int>({p.Forms().count(), p.Modules().count(), p.PropertyPages().count(),
                                p.UserControls().count(), p.References().count()}),
              std::vector<int>({3, 2, 1, 1, 2}));
    // Nested containers: the text box array sits in the picture box in the frame.
    const auto& options = p.Forms().byName("frmOptions")->Design();
    ASSERT_NE(options, nullptr);
    const DesignControl& picture = options->form.children.at(0).children.at(0);
    EXPECT_EQ(picture.name + " " + picture.children.at(1).name + " " +
                  std::to_string(*picture.children.at(1).index()) + " " +
                  options->find("mnuFileClose")->text("Caption"),
              "picLimits Text1 1 &Schlie\xC3\x9F"
              "en");
    EXPECT_EQ(p.References().at(2)->Description() + "|" + p.Objects().at(1)->Name(),
              "OLE Automation| MSCOMCTL.OCX");
    auto ledger = p.Modules().byName("modLedger");
    ASSERT_TRUE(ledger);
    EXPECT_EQ(ledger->Constants().byName("DEFAULT_CATEGORIES")->Syntax(),
              "Public Const DEFAULT_CATEGORIES As String = \"Groceries;Rent;Insurance;\" & _\r\n"
              "                                            \"Travel;Salary;Interest\"");
    auto totals = ledger->Types().byName("LedgerTotals")->Variables();
    EXPECT_EQ(ledger->Enums().byName("Recurrence")->Variables()->at(3)->Description() + "|" +
                  ledger->Functions().byName("NextEntryId")->Syntax() + "|" +
                  std::to_string(totals->count()) + totals->at(1)->Description(),
              "viertelj\xC3\xA4hrlich|Public Static Function NextEntryId() As Long |5Sum of all "
              "income entries, in cents");
}

}  // namespace
}  // namespace tarnwick
