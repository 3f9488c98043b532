// The form designer's block read into a FormDesign: the shapes real forms
// have, and damaged or hostile blocks that must warn and leave the code read.
#include <gtest/gtest.h>

#include <string>

#include "reader/CParser.h"
#include "reader/DesignerBlock.h"

namespace tarnwick {
namespace {

const std::string kCode =
    "Attribute VB_Name = \"frmA\"\nOption Explicit\nPrivate Sub Form_Load()\nEnd Sub\n";

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// "VB.Form frmA@2(Caption=\"A\") { VB.Frame f@4 }": type, name, Begin line,
// properties as kept, children.
std::string outline(const DesignControl& c) {
    std::string out = c.typeName() + " " + c.name + "@" + std::to_string(c.line);
    if (!c.properties.empty()) {
        out += "(";
        for (const DesignProperty& p : c.properties)
            out += (out.back() == '(' ? "" : ",") + p.name + "=" + p.value;
        out += ")";
    }
    if (!c.children.empty()) {
        out += " {";
        for (const DesignControl& child : c.children) out += " " + outline(child);
        out += " }";
    }
    return out;
}

struct Read {
    std::shared_ptr<CModule> module;
    std::string warnings;  // the lines warned about: "3,7"
};

Read readDesign(const std::string& block, int moduleType = moduletype::Form) {
    CollectingSink sink;
    CParser parser;
    parser.setDiagnostics(&sink);
    Read r{parser.readModuleText(crlf(block) + crlf(kCode), moduleType, "frmA.frm"), ""};
    for (const Diagnostic& d : sink.items()) {
        EXPECT_EQ(d.file, "frmA.frm") << d.message;
        r.warnings += (r.warnings.empty() ? "" : ",") + std::to_string(d.line);
    }
    return r;
}

TEST(DesignerBlock, ShapesAndDamage) {
    const struct {
        const char* block;
        const char* outline;   // "" when no design is kept
        const char* warnings;  // lines of the file warned about
    } cases[] = {
        // Real shapes: the header lines, comments after values, quotes kept,
        // a side-file value, font and nested column groups skipped, nesting.
        {"VERSION 5.00\nObject = \"{831FDD16-0C5C}#2.0#0\"; \"MSCOMCTL.OCX\"\n"
         "Begin VB.Form frmA \n   BorderStyle = 1  'Fixed Single\n"
         "   Caption = \"Don't \"\"say\"\"\" 'x\n   Picture = \"frmA.frx\":0000\n"
         "   BeginProperty Font \n      Name = \"Arial\"\n   EndProperty\n"
         "   Begin VB.Frame fra\n      Begin VB.PictureBox pic\n"
         "         Begin MSComctlLib.ListView lvw\n"
         "            BeginProperty ColumnHeaders {GUID}\n"
         "               BeginProperty ColumnHeader(1) {GUID}\n"
         "                  Text = \"Date\"\n               EndProperty\n"
         "            EndProperty\n            Left = -75000\n         End\n"
         "      End\n   End\nEnd\n",
         "VB.Form frmA@3(BorderStyle=1,Caption=\"Don't \"\"say\"\"\",Picture=\"frmA.frx\":0000) "
         "{ VB.Frame fra@10 { VB.PictureBox pic@11 { MSComctlLib.ListView lvw@12(Left=-75000) } "
         "} }",
         ""},
        // A control array, a menu tree, a project user control, a designer's GUID type.
        {"Begin VB.Form frmA\n Begin VB.TextBox Text1\n  Index = 0\n End\n"
         " Begin VB.TextBox Text1\n  Index = 1\n End\n Begin Ledger.ctlAmountBox amt\n End\n"
         " Begin VB.Menu mnuFile\n  Caption = \"&File\"\n  Begin VB.Menu mnuFileOpen\n"
         "   Shortcut = ^O\n  End\n End\nEnd\n",
         "VB.Form frmA@1 { VB.TextBox Text1@2(Index=0) VB.TextBox Text1@5(Index=1) "
         "Ledger.ctlAmountBox amt@8 VB.Menu mnuFile@10(Caption=\"&File\") "
         "{ VB.Menu mnuFileOpen@12(Shortcut=^O) } }",
         ""},
        {"Begin {C0E45035-5775-11D0-B388-00A0C9055D8E} deMain\nEnd\n",
         "{C0E45035-5775-11D0-B388-00A0C9055D8E} deMain@1", ""},
        {"VERSION 5.00\n", "", ""},
        // Damage: each warns with its line, the rest is read.
        {"Begin VB.Form frmA\n Begin VB.Frame fra\n  Caption = \"x\"\n",
         "VB.Form frmA@1 "
         "{ VB.Frame fra@2(Caption=\"x\") }",
         "2"},
        {"Begin VB.Form frmA\nEnd\nEnd\n", "VB.Form frmA@1", "3"},
        {"Begin VB.Form frmA\n Begin VB.Label\n End\n Begin\n End\nEnd\n",
         "VB.Form frmA@1 { VB.Label @2 ? @4 }", "2,4"},
        {"Begin VB.Form frmA\n Caption\n Width = 9\nEnd\n", "VB.Form frmA@1(Width=9)", "2"},
        {"Begin VB.Form frmA\n EndProperty\n BeginProperty Font\n Width = 9\nEnd\n",
         "VB.Form frmA@1", "2,3,1"},
        {"Begin VB.Form frmA\n Caption = \"a\x01\x02\"\n Width = 9\nEnd\n",
         "VB.Form frmA@1(Width=9)", "2"},
        {"Begin VB.Form frmA\n Left = 4294967296\n Width = -15\n Top = -75000\n"
         " Height = 1E+300\nEnd\n",
         "VB.Form frmA@1(Left=4294967296,Width=-15,Top=-75000,Height=1E+300)", "2,3,5"},
    };
    for (const auto& c : cases) {
        const Read r = readDesign(c.block);
        const auto& design = r.module->Design();
        EXPECT_EQ(design ? outline(design->form) : "", c.outline) << c.block;
        EXPECT_EQ(r.warnings, c.warnings) << c.block;
        EXPECT_EQ(r.module->Subroutines().count(), 1) << c.block;
        EXPECT_EQ(r.module->Name(), "frmA") << c.block;
    }
}

TEST(DesignerBlock, HostileSizesAreBounded) {
    std::string deep = "Begin VB.Form frmA\n", wide = deep, caption = deep;
    for (int i = 0; i < 1000; ++i) deep += "Begin VB.Frame f" + std::to_string(i) + "\n";
    for (int i = 0; i < 1000; ++i) deep += "End\n";
    for (int i = 0; i < 10000; ++i) wide += "Begin VB.Label l" + std::to_string(i) + "\nEnd\n";
    caption += " Caption = \"" + std::string(1 << 20, 'x') + "\"\n";
    const Read d = readDesign(deep + "End\n"), w = readDesign(wide + "End\n"),
               c = readDesign(caption + "End\n");

    int depth = 0;
    for (const DesignControl* at = &d.module->Design()->form; !at->children.empty();
         at = &at->children.front())
        ++depth;
    EXPECT_EQ(depth, kMaxDesignDepth - 1);
    EXPECT_EQ(d.warnings, std::to_string(kMaxDesignDepth + 1));
    EXPECT_EQ(d.module->Subroutines().count(), 1);
    EXPECT_EQ(w.module->Design()->form.children.size(), 10000u);
    EXPECT_EQ(w.warnings, "");
    EXPECT_EQ(c.module->Design()->form.properties.front().value.size(), kMaxDesignValue);
    EXPECT_EQ(c.warnings, "2");
}

TEST(DesignerBlock, OnlyModulesWithADesigner) {
    // A class's header block is no design; a form without a block has none.
    const Read cls =
        readDesign("VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND\n", moduletype::Class);
    EXPECT_EQ(cls.module->Design(), nullptr);
    EXPECT_EQ(cls.warnings, "");
    const Read listedAsForm = readDesign("VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND\n");
    EXPECT_EQ(listedAsForm.module->Design(), nullptr);
    EXPECT_EQ(listedAsForm.warnings, "");
    EXPECT_EQ(readDesign("").module->Design(), nullptr);
}

}  // namespace
}  // namespace tarnwick
