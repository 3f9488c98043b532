#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "CParserTestAccess.h"
#include "model/FormDesign.h"
#include "reader/CParser.h"
#include "reader/modRegistry.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string classFile(const std::string& name, const std::vector<std::string>& code = {}) {
    std::vector<std::string> lines = {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                                      "Attribute VB_Name = \"" + name + "\""};
    lines.insert(lines.end(), code.begin(), code.end());
    return crlf(lines);
}

std::string names(const CModuleList& list) {
    std::string out;
    for (const auto& m : list.elements()) out += m->Name() + " ";
    return out;
}

const char* const kStdole = "{00020430-0000-0000-C000-000000000046}";

class ProjectReader : public ::testing::Test {
protected:
    Expected<std::shared_ptr<CProject>> parse(const std::string& vbp) {
        CParser parser;
        parser.setPath((m_folder / vbp));
        parser.setDiagnostics(&m_sink);
        parser.setRegistry(std::make_shared<const RegistrySource>(
            RegistrySource::fromFiles({(m_folder / "registry.reg")}, &m_sink)));
        return parser.Parse();
    }

    testing::TempFolder m_folder;
    CollectingSink m_sink;
};

TEST_F(ProjectReader, WholeProject) {
    m_folder.write(
        "registry.reg",
        crlf({"REGEDIT4", "", std::string("[HKEY_CLASSES_ROOT\\TypeLib\\") + kStdole + "\\2.0]",
              "@=\"OLE Automation\"", "",
              std::string("[HKEY_CLASSES_ROOT\\TypeLib\\") + kStdole + "\\2.0\\0\\win32]",
              "@=\"C:\\\\Windows\\\\system32\\\\stdole2.tlb\""}));
    m_folder.write(
        "app/forms/frmMain.frm",
        crlf({"VERSION 5.00", "Begin VB.Form frmMain", "End", "Attribute VB_Name = \"frmMain\"",
              "Public Sub beta()", "End Sub", "Public Sub Alpha()", "End Sub"}));
    // A module checked out on Linux: LF line ends only.
    m_folder.write(
        "app/modules/modUtil.bas",
        "Attribute VB_Name = \"modUtil\"\nPublic Const A = 1\nPublic Sub Go()\nEnd Sub\n");
    m_folder.write("app/Zeta.cls", classFile("CZeta"));
    m_folder.write("shared/Alpha.cls", classFile("CAlpha"));
    m_folder.write("app/[Include]/x.bas", classFile("modInclude"));
    m_folder.mkdir("app/Folder.cls");
    // A user document and a data environment: read like forms, the
    // designer's root typed by its GUID, its connection group skipped.
    m_folder.write("app/docMain.dob", crlf({"VERSION 5.00", "Begin VB.UserDocument docMain",
                                            "   Begin VB.CommandButton cmdGo", "   End", "End",
                                            "Attribute VB_Name = \"docMain\"",
                                            "Private Sub cmdGo_Click()", "End Sub"}));
    m_folder.write("app/deMain.dsr",
                   crlf({"VERSION 5.00", "Begin {C0E45035-5775-11D0-B388-00A0C9055D8E} deMain",
                         "   _Version = 393216", "   BeginProperty Connection1",
                         "      ConnectionSource = \"DSN=Ledger\"", "   EndProperty", "End",
                         "Attribute VB_Name = \"deMain\"",
                         "Private Sub DataEnvironment_Initialize()", "End Sub"}));
    m_folder.write("app/Demo.vbp",
                   crlf({"Type=Exe",
                         std::string("Reference=*\\G") + kStdole +
                             "#2.0#0#..\\..\\Windows\\system32\\stdole2.tlb#OLE Automation",
                         "Reference=*\\A..\\Lib\\Lib.vbp",
                         "Reference=",
                         "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX",
                         "Object=",
                         "Form=Forms\\FrmMain.FRM",
                         "Module=modUtil; Modules\\modUtil.bas",
                         "Class=CZeta; Zeta.cls",
                         "Class=CAlpha; ..\\shared\\Alpha.cls",
                         "Module=Missing; Missing.bas",
                         "Class=Folder; Folder.cls",
                         "module=Inc; [Include]\\x.bas",
                         "UserDocument=docMain.dob",
                         "designer=deMain.dsr",
                         "Title=\"My; Project\"",
                         "HelpFile=a=b=c",
                         "",
                         "   ",
                         "[MS Transaction Server]",
                         "AutoRefresh=1"}) +
                       "Name=\"Demo\"");

    auto result = parse("app/Demo.vbp");
    ASSERT_TRUE(result.has_value()) << result.error().message;
    CProject& p = *result.value();

    EXPECT_EQ(names(p.Forms()) + names(p.Modules()) + names(p.Classes()),
              "frmMain modInclude modUtil CAlpha CZeta ");
    EXPECT_EQ(p.Forms().at(1)->ModuleType(), moduletype::Form);
    ASSERT_EQ(p.UserDocuments().count() + p.Designers().count(), 2);
    for (const auto& [m, kind, root] :
         {std::tuple{p.UserDocuments().at(1), moduletype::UserDocument, "VB.UserDocument docMain"},
          {p.Designers().at(1), moduletype::Designer,
           "{C0E45035-5775-11D0-B388-00A0C9055D8E} deMain"}}) {
        EXPECT_EQ(m->ModuleType(), kind) << root;
        ASSERT_NE(m->Design(), nullptr) << root;
        EXPECT_EQ(m->Design()->form.typeName() + " " + m->Design()->form.name, root);
        ASSERT_EQ(m->Subroutines().count(), 1) << root;
        // Its one routine handles an event: the button's, the data environment's own.
        const auto handled =
            handledEvent(m->Design().get(), m->Kind(), m->Subroutines().at(1)->Name());
        EXPECT_EQ(handled ? handled->object : "",
                  kind == moduletype::Designer ? "DataEnvironment" : "cmdGo");
    }
    EXPECT_EQ(p.Forms().at(1)->Path(), (m_folder / "app/forms/frmMain.frm"));
    // Element lists are sorted too.
    auto util = p.Modules().at(2);
    EXPECT_EQ(p.Forms().at(1)->Subroutines().at(1)->Name() +
                  std::to_string(util->Constants().count()) + util->Subroutines().at(1)->Source(),
              "Alpha1Public Sub Go()\r\nEnd Sub\r\n");

    // The libraries are sorted by name as well: the project reference's is its file.
    ASSERT_EQ(p.References().count(), 2);
    auto stdole = p.References().at(1);
    EXPECT_EQ(stdole->ModuleType(), moduletype::Reference);
    EXPECT_EQ(stdole->GUID() + "|" + stdole->Version() + "|" + stdole->Name() + "|" +
                  stdole->Description() + "|" + stdole->Path(),
              std::string(kStdole) +
                  "|2.0|..\\..\\Windows\\system32\\stdole2.tlb|OLE Automation|"
                  "C:\\Windows\\system32\\stdole2.tlb");
    auto lib = p.References().at(2);
    EXPECT_EQ(lib->GUID() + "|" + lib->Version() + "|" + lib->Name() + "|" + lib->Description(),
              std::string("*\\A..\\Lib\\Lib.vbp||..\\Lib\\Lib.vbp|") + modRegistry::kOpenFailed);
    ASSERT_EQ(p.Objects().count(), 1);
    EXPECT_EQ(p.Objects().at(1)->GUID() + p.Objects().at(1)->Name(),
              "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1} MSCOMCTL.OCX");
    EXPECT_EQ(p.Objects().at(1)->ModuleType(), moduletype::Object);

    std::string settings;
    for (int i = 0; i <= p.Properties().Size(); ++i)
        settings += p.Properties().Key(i) + "=" + p.Properties().value(i) + "|";
    EXPECT_EQ(settings,
              "Type=Exe|Title=Project\"|HelpFile=a|[MS Transaction Server]=|AutoRefresh=1|"
              "Name=\"Demo\"|");

    // The missing file and the folder are reported with their project line.
    ASSERT_EQ(m_sink.items().size(), 2u);
    EXPECT_EQ(m_sink.items()[0].file, (m_folder / "app/Demo.vbp"));
    for (const auto& [at, file] : {std::pair{0, "Missing.bas"}, {1, "Folder.cls"}}) {
        EXPECT_EQ(m_sink.items()[at].line, 11 + at);
        EXPECT_NE(m_sink.items()[at].message.find(file), std::string::npos);
    }
}

TEST_F(ProjectReader, LfOnlyProjectFileWithKeysInAnyCase) {
    m_folder.write("registry.reg", "REGEDIT4\r\n");
    m_folder.write("A.frm", classFile("A"));
    m_folder.write("A.cls", classFile("A"));
    m_folder.write("P.vbp", "Type=Exe\nFORM=A.frm\nform=A.frm\nClass=A; A.cls\nName=\"P\"\n");
    auto result = parse("P.vbp");
    ASSERT_TRUE(result.has_value());
    const CProject& p = *result.value();
    // The form listed twice is one module, and the second line says so.
    EXPECT_EQ(p.Forms().count() * 100 + p.Classes().count() * 10 + p.Properties().Size(), 111);
    ASSERT_EQ(m_sink.items().size(), 1u);
    EXPECT_EQ(m_sink.items()[0].line, 3);
}

TEST_F(ProjectReader, UnreadableProjectFileIsAnError) {
    m_folder.mkdir("Dir.vbp");
    for (const char* vbp : {"Nowhere.vbp", "Dir.vbp"}) {
        auto result = parse(vbp);
        ASSERT_FALSE(result.has_value()) << vbp;
        EXPECT_NE(result.error().message.find(vbp), std::string::npos) << vbp;
    }
}

// A read given up by its caller ends before it reads a module, with a message that says so.
TEST_F(ProjectReader, CancelledRead) {
    m_folder.write("Small.vbp", crlf({"Type=Exe", "Class=CA; CA.cls"}));
    m_folder.write("CA.cls", classFile("CA"));
    const std::atomic<bool> cancel{true};
    CParser parser;
    parser.setPath((m_folder / "Small.vbp"));
    parser.setCancelFlag(&cancel);
    const auto result = parser.Parse();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, CParser::kCancelledMessage);
}

TEST_F(ProjectReader, CodePageOfTheFiles) {
    m_folder.write("registry.reg", "REGEDIT4\r\n");
    // "' Привет" in windows-1251 above a Sub.
    m_folder.write("M.bas",
                   "Attribute VB_Name = \"M\"\r\n' \xCF\xF0\xE8\xE2\xE5\xF2\r\n"
                   "Public Sub Hello()\r\nEnd Sub\r\n");
    m_folder.write("P.vbp", "Module=M; M.bas\r\n");
    CParser parser;
    parser.setPath((m_folder / "P.vbp"));
    parser.setDiagnostics(&m_sink);
    parser.setRegistry(std::make_shared<const RegistrySource>());
    auto codePage = CodePage::open("windows-1251");
    ASSERT_TRUE(codePage.has_value());
    parser.setCodePage(codePage.value());
    auto result = parser.Parse();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result.value()->Modules().at(1)->Subroutines().at(1)->Description(),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
}

// "@include": a file of the project's tree stands where the tag stood; one
// outside it, too large or missing is left out with one warning per file.
TEST_F(ProjectReader, IncludedFilesStayInsideTheProject) {
    m_folder.write("registry.reg", "REGEDIT4\r\n");
    m_folder.write("outside.txt", "secret\r\n");
    m_folder.write("p/doc/ex.txt", "<pre>\r\n  Dim x\r\n</pre>\r\n");
    m_folder.write("p/src/big.txt", std::string(70 * 1024, 'x'));
    m_folder.write(
        "p/src/M.bas",
        crlf({"Attribute VB_Name = \"M\"", "' Runs. @include \"..\\doc\\ex.txt\" Then stops.",
              "' @include ../../outside.txt", "' @include big.txt", "' @include big.txt",
              "' @include gone.txt", "Public Sub Run()", "End Sub"}));
    m_folder.write("p/P.vbp", crlf({"Module=M; src\\M.bas"}));
    auto result = parse("p/P.vbp");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result.value()->Modules().at(1)->Subroutines().at(1)->Description(),
              "Runs. <pre>\n  Dim x\n</pre> Then stops.");
    std::string warnings;
    for (const Diagnostic& d : m_sink.items()) warnings += d.toString() + "\n";
    for (const char* said : {"M.bas:3: warning: @include \"../../outside.txt\" is left out: the "
                             "file is outside the project's folder",
                             "M.bas:4: warning: @include \"big.txt\" is left out",
                             "M.bas:6: warning: @include \"gone.txt\" is left out: no such file"})
        EXPECT_NE(warnings.find(said), std::string::npos) << said << "\n" << warnings;
    EXPECT_EQ(warnings.find("big.txt"), warnings.rfind("big.txt")) << warnings;
}

TEST(ParseReference, Fields) {
    const struct {
        const char* raw;
        const char* guid;
        const char* version;
        const char* name;
        const char* description;  // without a registry: the line's own text, else the failure
    } cases[] = {
        {"*\\G{AAA}#2.0#0#C:\\lib.tlb#Lib; v2", "{AAA}", "2.0", "C:\\lib.tlb", "Lib; v2"},
        {"{BBB}#1.1#0; COMCTL.OCX", "{BBB}", "1.1", " COMCTL.OCX", modRegistry::kOpenFailed},
        {" {CCC} #3.0", "{CCC}", "", "", modRegistry::kOpenFailed},
        {"{DDD}#4.0#0", "{DDD}", "4.0", "", modRegistry::kOpenFailed},
        {"*\\G{EEE}#1.0#0#x.tlb# ", "{EEE}", "1.0", "x.tlb", modRegistry::kOpenFailed},
        {"*\\A..\\Lib\\Lib.vbp", "*\\A..\\Lib\\Lib.vbp", "", "..\\Lib\\Lib.vbp",
         modRegistry::kOpenFailed},
    };
    CParser parser;
    for (const auto& c : cases) {
        auto m = CParserTestAccess::parseReference(parser, c.raw);
        EXPECT_EQ(m->GUID() + "|" + m->Version() + "|" + m->Name(),
                  std::string(c.guid) + "|" + c.version + "|" + c.name)
            << c.raw;
        EXPECT_EQ(m->Description() + "|" + m->Path(),
                  std::string(c.description) + "|" + modRegistry::kOpenFailed)
            << c.raw;
    }
}

}  // namespace
}  // namespace tarnwick
