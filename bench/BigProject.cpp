#include "BigProject.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 16> kVerbs = {
    "Load",  "Save",   "Find",  "Update", "Compute", "Validate", "Format", "Parse",
    "Merge", "Export", "Apply", "Build",  "Check",   "Copy",     "Import", "Reset"};

constexpr std::array<const char*, 12> kNouns = {"Customer", "Invoice", "Order",   "Item",
                                                "Account",  "Entry",   "Report",  "Price",
                                                "Stock",    "Address", "Payment", "Tax"};

enum class Kind { Class, Module, Form };

// One logical piece of a module file: a declaration or a procedure with the
// comment block above it. `minLines` is its size without extra body lines;
// procedures can take more lines (`growable`).
struct Block {
    int members = 0;
    int minLines = 0;
    bool growable = false;
    int index = 0;      // declaration kind, or member number of a procedure
    int procedure = 0;  // procedure template
};

// Text of one module file, counted line by line. Non-ASCII characters are
// written as windows-1252 bytes.
class ModuleText {
public:
    void line(const std::string& text) {
        m_text += text;
        m_text += "\r\n";
        ++m_lines;
    }
    int lines() const { return m_lines; }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
    int m_lines = 0;
};

std::string pad4(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", n);
    return buffer;
}

// Names used inside one module; they depend on the module number only.
struct Names {
    std::string module;
    std::string noun;
    std::string tag;  // number suffix that keeps public names unique in the project

    std::string member(int j) const {
        return std::string(kVerbs[static_cast<size_t>(j) % kVerbs.size()]) +
               kNouns[static_cast<size_t>(j / 16 + tagNumber) % kNouns.size()] +
               (j >= 16 ? std::to_string(j) : std::string());
    }
    int tagNumber = 0;
};

// Statement groups used to fill procedure bodies; each group is complete in
// itself (a For has its Next), so a body can stop after any group.
const std::vector<std::vector<std::string>>& fillerGroups() {
    static const std::vector<std::vector<std::string>> groups = {
        {"    If Id < 0 Then Id = 0"},
        {"    For i = 1 To m_Count", "        Total = Total + i * 2", "    Next i"},
        {"    ' Gr\xF6\xDF"
         "e pr\xFC"
         "fen und das Ergebnis merken",
         "    Text = Trim$(Text)"},
        {"    Text = \"Record \" & Id & \" of \" & m_Count & \" in \" & _",
         "           MODULE_TITLE & \" (\" & Format$(Now, \"yyyy-mm-dd\") & \")\""},
        {"    If Len(Text) = 0 Then", "        Text = MODULE_TITLE", "    Else",
         "        Text = Text & \"; \" & MODULE_TITLE", "    End If"},
        {"    m_Items.Add Text, CStr(Id)"},
        {"    Select Case Total", "        Case 0:      Text = \"none\"",
         "        Case 1 To 9: Text = \"few\"", "        Case Else:   Text = \"many\"",
         "    End Select"},
        {"    Total = Total + Len(Text) ' L\xE4nge z\xE4hlt mit"},
        {"    Do While Total > MAX_ITEMS", "        Total = Total \\ 2", "    Loop"},
        {"    LastError = \"\""},
    };
    return groups;
}

// Writes exactly `count` body lines, starting at group `first` so that the
// procedures of one module do not all read alike.
void writeFiller(ModuleText& out, int count, int first) {
    const auto& groups = fillerGroups();
    size_t g = static_cast<size_t>(first);
    while (count > 0) {
        const auto& group = groups[g % groups.size()];
        ++g;
        if (static_cast<int>(group.size()) > count) {
            // finish with one-line statements so the body has exactly `count` lines
            out.line(count % 2 == 0 ? "    Total = Total + 1" : "    m_Count = m_Count + 0");
            --count;
            continue;
        }
        for (const auto& text : group) out.line(text);
        count -= static_cast<int>(group.size());
    }
}

void writeHeader(ModuleText& out, Kind kind, const Names& n) {
    if (kind == Kind::Class) {
        out.line("VERSION 1.0 CLASS");
        out.line("BEGIN");
        out.line("  MultiUse = -1  'True");
        out.line("  Persistable = 0  'NotPersistable");
        out.line("  DataBindingBehavior = 0  'vbNone");
        out.line("  DataSourceBehavior  = 0  'vbNone");
        out.line("  MTSTransactionMode  = 0  'NotAnMTSObject");
        out.line("END");
    } else if (kind == Kind::Form) {
        out.line("VERSION 5.00");
        out.line("Begin VB.Form " + n.module + " ");
        out.line("   Caption         =   \"" + n.noun + " " + n.tag + "\"");
        out.line("   ClientHeight    =   3195");
        out.line("   ClientLeft      =   60");
        out.line("   ClientTop       =   345");
        out.line("   ClientWidth     =   4680");
        out.line("   LinkTopic       =   \"Form1\"");
        out.line("   ScaleHeight     =   3195");
        out.line("   ScaleWidth      =   4680");
        out.line("   StartUpPosition =   3  'Windows Default");
        out.line("   Begin VB.TextBox txtName ");
        out.line("      Height          =   315");
        out.line("      Left            =   120");
        out.line("      TabIndex        =   0");
        out.line("      Top             =   120");
        out.line("      Width           =   4455");
        out.line("   End");
        out.line("   Begin VB.CommandButton cmdOK ");
        out.line("      Caption         =   \"OK\"");
        out.line("      Default         =   -1  'True");
        out.line("      Height          =   375");
        out.line("      Left            =   3360");
        out.line("      TabIndex        =   1");
        out.line("      Top             =   2640");
        out.line("      Width           =   1215");
        out.line("   End");
        out.line("End");
    }
    out.line("Attribute VB_Name = \"" + n.module + "\"");
    if (kind != Kind::Module) {
        out.line("Attribute VB_GlobalNameSpace = False");
        out.line(std::string("Attribute VB_Creatable = ") +
                 (kind == Kind::Class ? "True" : "False"));
        out.line(std::string("Attribute VB_PredeclaredId = ") +
                 (kind == Kind::Form ? "True" : "False"));
        out.line("Attribute VB_Exposed = False");
    }
    out.line("' " + n.noun + " handling of the benchmark project: loads, checks and stores " +
             n.noun);
    out.line(
        "' records. Pr\xFC"
        "ft Gr\xF6\xDF"
        "e und Format jedes Datensatzes.");
    out.line("' @" + n.member(0) + " Main entry of the module");
    out.line("' @" + n.member(1) + " Second entry of the module");
    out.line("");
    out.line("Option Explicit");
    out.line("");
}

// Declarations in the order the development environment keeps them.
enum Declaration {
    kConstMax,
    kConstTitle,
    kEnum,
    kType,
    kDeclare,
    kVarItems,
    kVarCount,
    kVarError,
    kEvent,
    kDeclarationCount
};

int declarationLines(int which) {
    switch (which) {
        case kConstMax:
            return 3;
        case kConstTitle:
            return 2;
        case kEnum:
            return 10;
        case kType:
            return 9;
        case kDeclare:
            return 8;
        case kVarItems:
            return 2;
        case kVarCount:
            return 2;
        case kVarError:
            return 3;
        case kEvent:
            return 5;
        default:
            return 0;
    }
}

void writeDeclaration(ModuleText& out, int which, const Names& n) {
    switch (which) {
        case kConstMax:
            out.line("' Largest number of " + n.noun + " records held in memory");
            out.line("Private Const MAX_ITEMS As Long = " + std::to_string(500 + n.tagNumber));
            out.line("");
            break;
        case kConstTitle:
            out.line("Public Const MODULE_TITLE As String = \"" + n.noun + " " + n.tag +
                     "\" ' caption of messages");
            out.line("");
            break;
        case kEnum:
            out.line("' State of a " + n.noun + " record.");
            out.line("' @st" + n.tag + "New Created, not saved yet");
            out.line("' @st" + n.tag + "Deleted Marked for deletion");
            out.line("Public Enum " + n.noun + "State" + n.tag);
            out.line("    st" + n.tag + "New = 0");
            out.line("    st" + n.tag + "Saved = 1   ' gespeichert");
            out.line("    st" + n.tag + "Changed = 2 ' ge\xE4ndert");
            out.line("    st" + n.tag + "Deleted = 3");
            out.line("End Enum");
            out.line("");
            break;
        case kType:
            out.line("' One " + n.noun + " record as it is kept in the file.");
            out.line("' @Id Record number");
            out.line("Private Type " + n.noun + "Record" + n.tag);
            out.line("    Id As Long");
            out.line("    Name As String * 40");
            out.line("    Amount As Currency");
            out.line("    Changed As Date");
            out.line("End Type");
            out.line("");
            break;
        case kDeclare:
            out.line("' Reads one value of the " + n.noun + " section of the settings file.");
            out.line("' @lpKeyName Key within the section");
            out.line("Private Declare Function Read" + n.noun + n.tag +
                     " Lib \"kernel32\" Alias \"GetPrivateProfileStringA\" _");
            out.line("    (ByVal lpApplicationName As String, ByVal lpKeyName As Any, _");
            out.line("    ByVal lpDefault As String, ByVal lpReturnedString As String, _");
            out.line("    ByVal nSize As Long, ByVal lpFileName As String) As Long");
            out.line("");
            out.line("Private m_Scratch(1 To 8) As " +
                     (n.tagNumber % 2 ? std::string("Long") : std::string("Byte")));
            break;
        case kVarItems:
            out.line("Private m_Items As New Collection ' " + n.noun + " records by id");
            out.line("Private m_Count As Long           ' records loaded");
            break;
        case kVarCount:
            out.line("Dim m_Loaded As Boolean ' True after the first load");
            out.line("");
            break;
        case kVarError:
            out.line("' Text of the last error, empty when the last call succeeded");
            out.line("Public LastError As String");
            out.line("");
            break;
        case kEvent:
            out.line("' Raised after a record has changed.");
            out.line("' @Index Record number");
            out.line("' @OldValue Value before the change");
            out.line("Public Event " + n.noun +
                     "Changed(ByVal Index As Long, ByVal OldValue As Variant)");
            out.line("");
            break;
        default:
            break;
    }
}

// Members a declaration adds: the Declare block also declares m_Scratch, and
// the first variable block declares two variables.
int declarationMembers(int which) {
    switch (which) {
        case kDeclare:
            return 2;
        case kVarItems:
            return 2;
        default:
            return 1;
    }
}

// Procedure templates; `extra` is the number of body lines beyond the minimum.
constexpr int kProcedureTemplates = 5;

int procedureLines(int t) {
    switch (t) {
        case 0:
            return 4 + 1 + 3 + 1 + 1 + 1;  // comment, header, dims, return, end, blank
        case 1:
            return 3 + 3 + 2 + 1 + 1;
        case 2:
            return 2 + 1 + 1 + 1 + 1 + 2 + 1 + 1 + 1 + 1 + 1;
        case 3:
            return 3 + 1 + 2 + 1 + 1 + 1;
        default:
            return 2 + 1 + 2 + 1 + 1;
    }
}

void writeProcedure(ModuleText& out, int t, int j, int extra, Kind kind, const Names& n) {
    // properties are named like properties, the other procedures like actions
    const std::string name = t == 2 ? n.noun + "Title" + std::to_string(j) : n.member(j);
    switch (t) {
        case 0:
            out.line("' " + name + " checks one " + n.noun + " record and reports the result.");
            out.line("' @Id Record number, greater than zero");
            out.line("' @Flags Options of the check");
            out.line("' @" + name + " True when the record is valid");
            out.line("Public Function " + name +
                     "(ByVal Id As Long, Optional ByVal Flags As Long = 0) As Boolean");
            out.line("    Dim i As Long");
            out.line("    Dim Total As Long");
            out.line("    Dim Text As String");
            writeFiller(out, extra, j);
            out.line("    " + name + " = (Total >= 0)");
            out.line("End Function");
            out.line("");
            break;
        case 1:
            out.line("' " + name + " copies " + n.noun + " records into a collection.");
            out.line("' @Source Text that names the records");
            out.line("' @Target Collection that receives them");
            out.line(std::string(kind == Kind::Class && j % 3 == 0 ? "Friend" : "Public") +
                     " Sub " + name + "(ByVal Source As String, _");
            out.line("        ByRef Target As Collection, _");
            out.line("        Optional ByVal Append As Boolean = False)");
            out.line("    Dim i As Long, Total As Long, Id As Long");
            out.line("    Dim Text As String");
            writeFiller(out, extra, j);
            out.line("End Sub");
            out.line("");
            break;
        case 2:
            out.line("' Display name of the " + n.noun + " records.");
            out.line("' @" + name + " The name");
            out.line("Public Property Get " + name + "() As String");
            out.line("    " + name + " = m_Name" + std::to_string(j));
            out.line("End Property");
            out.line("");
            out.line("' Sets the display name.");
            out.line("' @Value The new name; blanks at both ends are removed");
            out.line("Public Property Let " + name + "(ByVal Value As String)");
            out.line("    Dim i As Long, Total As Long, Id As Long, Text As String");
            writeFiller(out, extra, j);
            out.line("    m_Name" + std::to_string(j) + " = Trim$(Value)");
            out.line("End Property");
            out.line("");
            break;
        case 3:
            out.line("' " + name + " counts the records of one state.");
            out.line(
                "' Die Z\xE4hlung l\xE4uft \xFC"
                "ber alle geladenen Datens\xE4tze.");
            out.line("' @" + name + " Number of records");
            out.line("Private Function " + name + "(Optional State As Integer = -1) As Long");
            out.line("    Dim i As Long, Total As Long, Id As Long");
            out.line("    Dim Text As String");
            writeFiller(out, extra, j);
            out.line("    " + name + " = Total");
            out.line("End Function");
            out.line("");
            break;
        default:
            out.line("' " + name + " forgets every loaded record.");
            out.line("' @Keep Number of records to keep");
            out.line("Private Sub " + name + "(Optional ByVal Keep As Long)");
            out.line("    Dim i As Long, Total As Long, Id As Long");
            out.line("    Dim Text As String");
            writeFiller(out, extra, j);
            out.line("End Sub");
            out.line("");
            break;
    }
}

constexpr int kMembersPerModule = 20;

struct ModuleResult {
    std::string text;
    int lines = 0;
    int members = 0;
};

ModuleResult makeModule(Kind kind, const Names& n, int linesPerModule) {
    ModuleText out;
    writeHeader(out, kind, n);

    // Choose the blocks: declarations first, then procedures until the
    // module carries its share of members or the line budget is used up.
    std::vector<Block> declarations;
    std::vector<Block> procedures;
    int used = out.lines();
    int members = 0;
    for (int d = 0; d < kDeclarationCount; ++d) {
        if (d == kEvent && kind != Kind::Class) continue;
        const int lines = declarationLines(d);
        if (used + lines > linesPerModule) break;
        declarations.push_back({declarationMembers(d), lines, false, d, 0});
        used += lines;
        members += declarationMembers(d);
    }
    bool anyProperty = false;
    for (int j = 0; members < kMembersPerModule; ++j) {
        // a Property pair also declares the variable behind it: two members
        int t = j % kProcedureTemplates;
        if (t == 2 && members + 2 > kMembersPerModule) t = 0;
        const int blockMembers = t == 2 ? 2 : 1;
        // its variable line, the blank line after the first such variable, one body line
        const int lines =
            procedureLines(t) + (t == 2 ? 1 : 0) + (t == 2 && !anyProperty ? 1 : 0) + 1;
        if (used + lines > linesPerModule) break;
        anyProperty = anyProperty || t == 2;
        procedures.push_back({blockMembers, lines, true, j, t});
        used += lines;
        members += blockMembers;
    }

    for (const Block& b : declarations) writeDeclaration(out, b.index, n);
    // the Property Let template stores into a variable per property
    bool propertyVariables = false;
    for (const Block& b : procedures) {
        if (b.procedure != 2) continue;
        out.line("Private m_Name" + std::to_string(b.index) + " As String");
        propertyVariables = true;
    }
    if (propertyVariables) out.line("");
    if (kind == Kind::Form) {
        out.line("");
        ++used;
    }

    const int spare = std::max(0, linesPerModule - used);
    const int count = static_cast<int>(procedures.size());
    for (int i = 0; i < count; ++i) {
        const Block& b = procedures[static_cast<size_t>(i)];
        const int extra = 1 + (count > 0 ? spare / count + (i < spare % count ? 1 : 0) : 0);
        writeProcedure(out, b.procedure, b.index, extra, kind, n);
    }
    if (count == 0) {
        for (int i = 0; i < spare; ++i) out.line("' -");
    }
    return {out.text(), out.lines(), members};
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot write " + path.string());
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

Kind kindOf(int i) {
    const int k = i % 10;
    if (k < 5) return Kind::Class;
    if (k < 8) return Kind::Module;
    return Kind::Form;
}

}  // namespace

BigProjectStats makeBigProject(const std::string& folder, int modules, int linesPerModule,
                               int designedForms) {
    const fs::path root(folder);
    std::error_code ec;
    for (const char* sub : {"Classes", "Modules", "Forms"}) {
        fs::create_directories(root / sub, ec);
        if (ec) throw std::runtime_error("cannot create folder " + (root / sub).string());
    }

    BigProjectStats stats;
    std::string vbp;
    auto vbpLine = [&vbp](const std::string& text) {
        vbp += text;
        vbp += "\r\n";
    };
    vbpLine("Type=Exe");
    vbpLine(
        "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\Windows\\system32\\"
        "stdole2.tlb#OLE Automation");
    vbpLine("Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX");

    std::vector<std::string> settings = {
        "Startup=\"Sub Main\"",
        "HelpFile=\"\"",
        "Title=\"BigProject\"",
        "ExeName32=\"BigProject.exe\"",
        "Name=\"BigProject\"",
        "Description=\"Synthetic project for timing the reader and the generator\"",
        "MajorVer=2",
        "MinorVer=0",
        "RevisionVer=" + std::to_string(modules),
        "VersionCompanyName=\"Tarnwick benchmark\"",
        "CompilationType=0"};

    for (int i = 0; i < modules; ++i) {
        const Kind kind = kindOf(i);
        Names n;
        n.noun = kNouns[static_cast<size_t>(i) % kNouns.size()];
        n.tag = pad4(i + 1);
        n.tagNumber = i;
        std::string sub, ext;
        switch (kind) {
            case Kind::Class:
                n.module = "C" + n.noun + n.tag;
                sub = "Classes";
                ext = ".cls";
                break;
            case Kind::Module:
                n.module = "mod" + n.noun + n.tag;
                sub = "Modules";
                ext = ".bas";
                break;
            case Kind::Form:
                n.module = "frm" + n.noun + n.tag;
                sub = "Forms";
                ext = ".frm";
                break;
        }
        const ModuleResult module = makeModule(kind, n, linesPerModule);
        writeFile(root / sub / (n.module + ext), module.text);
        stats.modules += 1;
        stats.lines += module.lines;
        stats.members += module.members;

        const std::string file = sub + "\\" + n.module + ext;
        switch (kind) {
            case Kind::Class:
                vbpLine("Class=" + n.module + "; " + file);
                break;
            case Kind::Module:
                vbpLine("Module=" + n.module + "; " + file);
                break;
            case Kind::Form:
                vbpLine("Form=" + file);
                break;
        }
    }
    for (int i = 0; i < designedForms; ++i) {
        const std::string name = "frmDesign" + pad4(i + 1);
        int lines = 0;
        writeFile(root / "Forms" / (name + ".frm"), makeDesignedForm(name, 40, &lines));
        vbpLine("Form=Forms\\" + name + ".frm");
        stats.modules += 1;
        stats.lines += lines;
    }
    for (const auto& s : settings) vbpLine(s);
    writeFile(root / "BigProject.vbp", vbp);
    return stats;
}

}  // namespace tarnwick
