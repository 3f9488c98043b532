// The project checks of generator/analysis on small projects read from disk:
// what --unused tells, and what it must not (VB6 calls it, or another build uses it).
#include <gtest/gtest.h>

#include "generator/settings/GenerationSettings.h"
#include "generator/analysis/Unused.h"
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
    };
    for (const auto& c : cases) {
        testing::TempFolder tmp;
        const bool isClass = std::string(c.kind) == "Class";
        const std::string header =
            isClass ? "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1\r\nEND\r\n" : "";
        tmp.write(isClass ? "a.cls" : "a.bas",
                  header + "Attribute VB_Name = \"modA\"\r\n" + c.code);
        const std::string vbp =
            tmp.write("p.vbp", std::string("Type=Exe\r\n") + c.kind + "=modA; " +
                                   (isClass ? "a.cls" : "a.bas") + "\r\n" + c.vbp + "\r\n");
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

}  // namespace
}  // namespace tarnwick
