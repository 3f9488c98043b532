// Group files and the uses across their projects: the shapes real groups
// take, one table row each.
#include <gtest/gtest.h>

#include "reader/GroupFile.h"
#include "reader/GroupUses.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

const char* const kLib =
    "Type=OleDll\r\nClass=StringBuilder; StringBuilder.cls\r\nClass=CBuffer; CBuffer.cls\r\n"
    "UserControl=ctlGauge.ctl\r\n"
    "Module=modLib; modLib.bas\r\nName=\"Lib\"\r\nTitle=\"The library\"\r\nMajorVer=1\r\n"
    "MinorVer=4\r\nRevisionVer=2\r\n";
const char* const kApp =
    "Type=Exe\r\nReference=*\\A..\\Lib\\Lib.vbp\r\nModule=modApp; modApp.bas\r\n"
    "Class=CApp; CApp.cls\r\nForm=frmMain.frm\r\nName=\"App\"\r\n";

void writeProjects(TempFolder& tmp) {
    tmp.write("Lib/Lib.vbp", kLib);
    tmp.write("Lib/StringBuilder.cls",
              "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"StringBuilder\"\r\n"
              "Attribute VB_Exposed = True\r\n");
    tmp.write("Lib/CBuffer.cls",
              "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"CBuffer\"\r\n"
              "Attribute VB_Exposed = False\r\n");
    tmp.write("Lib/modLib.bas", "Attribute VB_Name = \"modLib\"\r\n");
    tmp.write("Lib/ctlGauge.ctl",
              "VERSION 5.00\r\nBegin VB.UserControl ctlGauge\r\nEnd\r\n"
              "Attribute VB_Name = \"ctlGauge\"\r\nAttribute VB_Exposed = True\r\n");
    tmp.write("App/App.vbp", kApp);
    tmp.write("App/frmMain.frm",
              "VERSION 5.00\r\nBegin VB.Form frmMain\r\n   Begin Lib.ctlGauge g\r\n"
              "   End\r\nEnd\r\nAttribute VB_Name = \"frmMain\"\r\n");
    tmp.write("App/modApp.bas",
              "Attribute VB_Name = \"modApp\"\r\n"
              "Dim a As Long ' As StringBuilder in a comment\r\n"
              "Dim s As String: s = \"As Lib.StringBuilder\"\r\n");
    tmp.write("App/CApp.cls",
              "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"CApp\"\r\nDim b As CBuffer\r\n"
              "Dim c As StringBuilder\r\nSet x = New Lib.StringBuilder\r\n");
}

struct GroupCase {
    const char* name;
    const char* group;     // the group file's text
    const char* projects;  // the projects read, in order, blank between
    const char* folders;   // their folders in the site
    int failed;            // projects reported as unreadable
    int errorLine;         // the group file's line of the first error; 0: none
};

const GroupCase kCases[] = {
    {"startup first", "VBGROUP 5.0\r\nProject=Lib\\Lib.vbp\r\nStartupProject=App\\App.vbp\r\n",
     "App Lib", "App Lib", 0, 0},
    {"LF line ends, letter case", "VBGROUP 5.0\nProject=LIB\\lib.VBP\nProject=App/App.vbp\n",
     "Lib App", "Lib App", 0, 0},
    {"named twice, read once",
     "VBGROUP 5.0\r\nProject=Lib\\Lib.vbp\r\nProject=App\\..\\Lib\\Lib.vbp\r\n", "Lib", "Lib", 0,
     0},
    {"missing project", "VBGROUP 5.0\r\nProject=Gone\\Gone.vbp\r\nProject=Lib\\Lib.vbp\r\n", "Lib",
     "Lib", 1, 2},
    {"names itself", "VBGROUP 5.0\r\nProject=G.vbg\r\nProject=App\\App.vbp\r\n", "App", "App", 1,
     2},
    {"another group file", "VBGROUP 5.0\r\nProject=App\\App.vbp\r\nProject=Other.vbg\r\n", "App",
     "App", 1, 3},
    {"a text file, not a project", "VBGROUP 5.0\r\nProject=notes.txt\r\nProject=Lib\\Lib.vbp\r\n",
     "Lib", "Lib", 1, 2},
    {"a line naming no project", "VBGROUP 5.0\r\nProject=\r\nProject=Lib\\Lib.vbp\r\n", "Lib",
     "Lib", 1, 2},
    {"two projects of one name", "VBGROUP 5.0\r\nProject=Lib\\Lib.vbp\r\nProject=Copy\\Lib.vbp\r\n",
     "Lib Lib", "Lib Lib_2", 0, 0},
};

TEST(GroupFile, ReadsTheShapesOfGroups) {
    for (const GroupCase& c : kCases) {
        TempFolder tmp;
        writeProjects(tmp);
        tmp.write("Other.vbg", "VBGROUP 5.0\r\n");
        tmp.write("Copy/Lib.vbp", kLib);
        tmp.write("notes.txt", "; how to build\r\nmode=release\r\n");
        const std::string path = tmp.write("G.vbg", c.group);
        CollectingSink sink;
        auto group = readGroupFile(path, CodePage(), sink);
        ASSERT_TRUE(group) << c.name;
        std::string names, folders;
        for (const GroupProject& p : group.value().projects) {
            names += (names.empty() ? "" : " ") + p.name;
            folders += (folders.empty() ? "" : " ") + p.folder;
        }
        EXPECT_EQ(names, c.projects) << c.name;
        EXPECT_EQ(folders, c.folders) << c.name;
        EXPECT_EQ(group.value().failed, c.failed) << c.name;
        int errorLine = 0;
        for (const Diagnostic& d : sink.items())
            if (d.severity == Diagnostic::Severity::Error && errorLine == 0) {
                errorLine = d.line;
                EXPECT_EQ(d.file, path) << c.name;
            }
        EXPECT_EQ(errorLine, c.errorLine) << c.name;
    }
}

TEST(GroupFile, RefusesAFileThatIsNoGroup) {
    TempFolder tmp;
    CollectingSink sink;
    const auto group = readGroupFile(tmp.write("x.vbg", "Type=Exe\r\n"), CodePage(), sink);
    ASSERT_FALSE(group);
    EXPECT_NE(group.error().message.find("not a group file"), std::string::npos);
}

TEST(GroupFile, ReadsWhatTheStartPageAndTheLinksNeed) {
    TempFolder tmp;
    writeProjects(tmp);
    CollectingSink sink;
    const ProjectGroup group = groupOfProjects(
        {(tmp.path() / "App/App.vbp").string(), (tmp.path() / "Lib/Lib.vbp").string()}, CodePage(),
        sink);
    ASSERT_EQ(group.projects.size(), 2u);
    const GroupProject& lib = group.projects[1];
    EXPECT_EQ(lib.version, "1.4.2");
    EXPECT_EQ(lib.classes, 2);
    EXPECT_EQ(lib.publicControls, std::vector<std::string>{"ctlGauge"});
    EXPECT_EQ(lib.modules, 1);
    EXPECT_EQ(projectTypeWords(lib.type), "ActiveX DLL");
    // Only the exposed class is visible to another project.
    EXPECT_EQ(lib.publicClasses, std::vector<std::string>{"StringBuilder"});
    ASSERT_EQ(group.referencedBy(group.projects[0]).size(), 1u);

    // Names in code count; in comments and strings, or of a private class, they do not.
    const std::vector<GroupUse> uses = scanGroupUses(group, CodePage());
    ASSERT_EQ(uses.size(), 2u);
    EXPECT_EQ(uses[0].module, "CApp");
    EXPECT_EQ(uses[0].className, "StringBuilder");
    EXPECT_EQ(uses[0].kindFolder, "Classes");
    // A form places the library's public user control.
    EXPECT_EQ(uses[1].module, "frmMain");
    EXPECT_EQ(uses[1].className, "ctlGauge");
    EXPECT_TRUE(uses[1].control);
}

}  // namespace
}  // namespace tarnwick
