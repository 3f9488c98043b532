// The project checks of generator/analysis on small projects read from disk:
// what --unused tells, and what it must not (VB6 calls it, or another build uses it);
// what the API report lists of an ActiveX DLL and an Exe.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "generator/analysis/ApiReport.h"
#include "generator/analysis/Unused.h"
#include "generator/settings/GenerationSettings.h"
#include "model/CProject.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

// "U 3 modA.Old: message" (U unused, W used only where #If is off), one a line.
std::string shown(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings)
        text += std::string(f.kind == FindingKind::Unused ? "U " : "W ") + std::to_string(f.line) +
                " " + f.module + "." + f.member + ": " + f.message + "\n";
    return text;
}

TEST(UnusedCheck, ToldUnlessVbOrAnotherBuildUsesIt) {
    struct {
        const char* vbp;       // project lines after the module's
        const char* kind;      // "Module" or "Class"
        const char* code;      // the module after VB_Name (line 2 on)
        const char* define;    // NAME=VALUE or empty
        const char* expected;  // shown()
    } const cases[] = {
        {"", "Module", "Private Sub Old()\r\nEnd Sub\r\n", "",
         "U 2 modA.Old: Private Sub 'Old' is not used in its module\n"},
        // VB6 starts the program with it.
        {"Startup=\"Sub Main\"", "Module", "Private Sub Main()\r\nEnd Sub\r\n", "", ""},
        {"Startup=\"frmMain\"", "Module", "Private Sub Main()\r\nEnd Sub\r\n", "",
         "U 2 modA.Main: Private Sub 'Main' is not used in its module\n"},
        {"Startup=\"Sub Main\"", "Class", "Private Sub Main()\r\nEnd Sub\r\n", "",
         "U 6 modA.Main: Private Sub 'Main' is not used in its module\n"},
        // Named only where #If is off: another build needs it; with it on, it is used.
        {"", "Module",
         "Private Sub Trace()\r\nEnd Sub\r\nPublic Sub Run()\r\n#If DEBUG_MODE Then\r\n"
         "    x = 1: Trace\r\n#End If\r\nEnd Sub\r\n",
         "", "W 2 modA.Trace: Private Sub 'Trace' is used only where #If is off\n"},
        {"", "Module",
         "Private Sub Trace()\r\nEnd Sub\r\nPublic Sub Run()\r\n#If DEBUG_MODE Then\r\n"
         "    Trace\r\n#End If\r\nEnd Sub\r\n",
         "DEBUG_MODE=1", ""},
        // A string, a comment, another object's member or a declaration is no use.
        {"", "Module",
         "Private Const Trace = 1\r\nPublic Sub Run()\r\n#If DEBUG_MODE Then\r\n"
         "    Log \"Trace\", obj.Trace ' Trace\r\n#Else\r\n    Rem Trace\r\n#End If\r\nEnd Sub\r\n"
         "#If DEBUG_MODE Then\r\nPrivate Sub Trace2()\r\n#Else\r\nPrivate Sub Trace2()\r\n"
         "#End If\r\nEnd Sub\r\n",
         "",
         "U 2 modA.Trace: Private Const 'Trace' is not used in its module\n"
         "U 13 modA.Trace2: Private Sub 'Trace2' is not used in its module\n"},
        // VB6 calls the handlers of the form, its controls and menus, its
        // WithEvents variables and its interfaces; not a deleted button's.
        {"", "Form",
         "Implements IThing\r\nPublic WithEvents m_src As Object\r\n"
         "Private Sub Form_Load()\r\nEnd Sub\r\nPrivate Sub cmdOK_Click()\r\nEnd Sub\r\n"
         "Private Sub mnuFile_Click()\r\nEnd Sub\r\nPrivate Sub m_src_Done()\r\nEnd Sub\r\n"
         "Private Sub IThing_Run()\r\nEnd Sub\r\nPrivate Sub cmdGone_Click()\r\nEnd Sub\r\n",
         "", "U 21 modA.cmdGone_Click: Private Sub 'cmdGone_Click' is not used in its module\n"},
        {"", "Class",
         "Private Sub Class_Initialize()\r\nEnd Sub\r\nPrivate Sub a_b()\r\nEnd Sub\r\n", "",
         "U 8 modA.a_b: Private Sub 'a_b' is not used in its module\n"},
        {"", "UserDocument",
         "Private Sub UserDocument_Show()\r\nEnd Sub\r\nPrivate Sub cmdOK_Click()\r\nEnd Sub\r\n"
         "Private Sub cmdGone_Click()\r\nEnd Sub\r\n",
         "", "U 11 modA.cmdGone_Click: Private Sub 'cmdGone_Click' is not used in its module\n"},
        // A designer's connections and commands live in property groups:
        // their handlers are kept.
        {"", "Designer",
         "Private Sub DataEnvironment_Initialize()\r\nEnd Sub\r\n"
         "Private Sub Connection1_WillConnect()\r\nEnd Sub\r\nPrivate Sub Old()\r\nEnd Sub\r\n",
         "", "U 11 modA.Old: Private Sub 'Old' is not used in its module\n"},
    };
    // Per kind: the file and what precedes VB_Name.
    const std::map<std::string, std::pair<std::string, std::string>> files = {
        {"Module", {"a.bas", ""}},
        {"Class", {"a.cls", "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1\r\nEND\r\n"}},
        {"Form",
         {"a.frm",
          "VERSION 5.00\r\nBegin VB.Form modA\r\n Begin VB.CommandButton cmdOK\r\n"
          " End\r\n Begin VB.Menu mnuFile\r\n End\r\nEnd\r\n"}},
        {"UserDocument",
         {"a.dob",
          "VERSION 5.00\r\nBegin VB.UserDocument modA\r\n Begin VB.CommandButton cmdOK\r\n"
          " End\r\nEnd\r\n"}},
        {"Designer",
         {"a.dsr",
          "VERSION 5.00\r\nBegin {C0E45035-5775-11D0-B388-00A0C9055D8E} modA\r\n"
          " BeginProperty Connection1\r\n EndProperty\r\nEnd\r\n"}}};
    for (const auto& c : cases) {
        testing::TempFolder tmp;
        const std::string kind = c.kind;
        const auto& [file, header] = files.at(kind);
        tmp.write(file, header + "Attribute VB_Name = \"modA\"\r\n" + c.code);
        const std::string vbp =
            tmp.write("p.vbp", "Type=Exe\r\n" + kind + "=modA; " + file + "\r\n" + c.vbp + "\r\n");
        CParser parser;
        parser.setPath(vbp);
        if (*c.define) parser.setDefines(readDefines({c.define}).value());
        auto project = parser.Parse();
        ASSERT_TRUE(project) << c.code;
        EXPECT_EQ(shown(findUnused(*project.value(), GenerationSettings::dialogDefaults())),
                  c.expected)
            << c.code;
    }
}

// The example's forms: every handler of a control, menu entry, array or
// placed user control is called by VB6; only the deleted button's is told.
TEST(UnusedCheck, LedgerExampleTellsTheOrphanHandlerAlone) {
    CParser parser;
    parser.setPath(std::string(TARNWICK_SOURCE_DIR) + "/examples/Ledger/Ledger.vbp");
    auto project = parser.Parse();
    ASSERT_TRUE(project) << project.error().message;
    std::string handlers;
    for (const Finding& f : findUnused(*project.value(), GenerationSettings::dialogDefaults()))
        if (f.member.find('_') != std::string::npos) handlers += f.module + "." + f.member + " ";
    EXPECT_EQ(handlers, "frmOptions.cmdGone_Click ");
}

// A module file: a class's header and instancing (exposed: "True" or
// "False"), or a standard module's name alone.
std::string moduleFile(const std::string& kind, const std::string& name, const char* exposed,
                       const std::string& code) {
    if (kind != "Class") return "Attribute VB_Name = \"" + name + "\"\r\n" + code;
    return "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1\r\nEND\r\nAttribute VB_Name = \"" + name +
           "\"\r\nAttribute VB_Creatable = True\r\nAttribute VB_PredeclaredId = False\r\n"
           "Attribute VB_Exposed = " +
           exposed + "\r\n" + code;
}

std::string reportOf(const std::string& vbp) {
    CParser parser;
    parser.setPath(vbp);
    auto project = parser.Parse();
    return project ? apiReport(*project.value()) : "unreadable";
}

TEST(ApiReport, ListsWhatVb6Exposes) {
    struct {
        const char* type;
        const char* kind;
        const char* exposed;
        const char* code;
        const char* expected;  // the report after its project lines
    } const cases[] = {
        {"OleDll", "Class", "True",
         "Public Event Changed(ByVal Amount As Currency)\r\n"
         "Public Enum AccountKind\r\n    akCash\r\n    akSaving = 1 ' savings\r\nEnd Enum\r\n"
         "Public Function Append(ByRef Value As Variant) As CThing\r\nEnd Function\r\n"
         "Friend Sub Internal()\r\nEnd Sub\r\nPrivate Sub Hidden()\r\nEnd Sub\r\n"
         "Public Sub Log(Optional ByVal Level As Long = 2, ParamArray Items() As Variant)\r\n"
         "End Sub\r\nPublic Property Set Count(ByVal RHS As Object)\r\nEnd Property\r\n"
         "Public Property Let Count(ByVal RHS As Long)\r\nEnd Property\r\n"
         "Property Get Count() As Long\r\nAttribute Count.VB_UserMemId = 0\r\nEnd Property\r\n",
         "Class CThing VB_Exposed=True VB_Creatable=True VB_PredeclaredId=False\n"
         "Public Enum AccountKind\n    akCash\n    akSaving = 1\n"
         "Public Event Changed(ByVal Amount As Currency)\n"
         "Public Function Append(ByRef Value As Variant) As CThing\n"
         "Public Sub Log(Optional ByVal Level As Long = 2, ParamArray Items() As Variant)\n"
         "Public Property Get Count() As Long  ' VB_UserMemId = 0\n"
         "Public Property Let Count(ByVal RHS As Long)  ' VB_UserMemId = 0\n"
         "Public Property Set Count(ByVal RHS As Object)  ' VB_UserMemId = 0\n"},
        // A private class is no part of the DLL's interface.
        {"OleDll", "Class", "False", "Public Sub Run()\r\nEnd Sub\r\n", ""},
        {"OleDll", "Module", "",
         "Public Const Limit As Long = 10 ' most\r\nPublic Type Point\r\n    X As Long\r\n"
         "    Y(1 To 3) As Single\r\nEnd Type\r\n"
         "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\r\n"
         "Dim m_x As Long\r\nPublic Total As Currency\r\nGlobal g As New Collection\r\n",
         "Module CThing  ' not binary\nPublic Const Limit As Long = 10\nPublic Type Point\n"
         "    X As Long\n    Y(1 To 3) As Single\n"
         "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\n"
         "Public g As New Collection\nPublic Total As Currency\n"},
        // An Exe lists its classes for review.
        {"Exe", "Class", "False",
         "Implements IThing\r\nPublic Sub Run()\r\nEnd Sub\r\nFriend Sub Internal()\r\nEnd Sub\r\n",
         "Class CThing VB_Exposed=False VB_Creatable=True VB_PredeclaredId=False\n"
         "Implements IThing\nPublic Sub Run()\n"},
    };
    for (const auto& c : cases) {
        testing::TempFolder tmp;
        const bool isClass = std::string(c.kind) == "Class";
        tmp.write(isClass ? "a.cls" : "a.bas", moduleFile(c.kind, "CThing", c.exposed, c.code));
        const std::string report = reportOf(
            tmp.write("p.vbp", std::string("Type=") + c.type + "\r\n" + c.kind + "=CThing; " +
                                   (isClass ? "a.cls" : "a.bas") + "\r\nName=\"P\"\r\n"));
        const std::size_t body = report.find("\n\n");
        EXPECT_EQ(body == std::string::npos ? "" : report.substr(body + 2), c.expected) << c.code;
    }
}

TEST(ApiReport, SameWhateverTheProjectOrderAndTellsTheDifference) {
    testing::TempFolder tmp;
    tmp.write("b.cls", moduleFile("Class", "beta", "True", "Public Sub B()\r\nEnd Sub\r\n"));
    tmp.write("a.cls", moduleFile("Class", "Alpha", "True", "Public Sub A()\r\nEnd Sub\r\n"));
    tmp.write("m.bas", moduleFile("Module", "modZ", "", "Public Sub Z()\r\nEnd Sub\r\n"));
    const std::string one = reportOf(tmp.write(
        "1.vbp",
        "Type=OleDll\r\nClass=beta; b.cls\r\nModule=modZ; m.bas\r\nClass=Alpha; a.cls\r\n"));
    const std::string two = reportOf(tmp.write(
        "2.vbp",
        "Type=OleDll\r\nModule=modZ; m.bas\r\nClass=Alpha; a.cls\r\nClass=beta; b.cls\r\n"));
    EXPECT_EQ(one, two);
    EXPECT_LT(one.find("Class Alpha"), one.find("Class beta"));
    EXPECT_LT(one.find("Class beta"), one.find("Module modZ"));

    struct {
        const char* expected;
        const char* actual;
        const char* difference;
    } const diffs[] = {
        {"a\r\nb\r\n", "a\nb\n", ""},
        {"a\nb\nc\n", "a\nB\nc\nd\n", "-b\n+B\n+d\n"},
        {"x\ny\n", "y\n", "-x\n"},
    };
    for (const auto& d : diffs)
        EXPECT_EQ(apiDifference(d.expected, d.actual), d.difference) << d.actual;
}

}  // namespace
}  // namespace tarnwick
