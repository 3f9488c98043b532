// The site of a group: examples/Strings (a library, its test project and a
// demo that refer to it by project reference, and a control project whose
// control the demo places), golden pages for what the group
// adds, links across projects in both layouts, and a group whose project is
// missing. TARNWICK_UPDATE_GOLDEN=1 rewrites the pages (see tests/golden).
#include <gtest/gtest.h>

#include "generator/run/GroupPreview.h"
#include "generator/run/GroupRun.h"
#include "reader/GroupFile.h"
#include "support/Text.h"
#include "tests/generator/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

const fs::path kSource = TARNWICK_SOURCE_DIR;

GenerationRequest groupRequest(const fs::path& group, const fs::path& out, PageLayout layout) {
    GenerationRequest request;
    request.projectPath = group.string();
    request.outputFolder = out.string();
    request.translationFile = (kSource / "Translation.lng").string();
    request.resourceFolder = (kSource / "Ressources").string();
    request.fixedTime = "1700000000";
    request.settings.layout = layout;
    request.jobs = 2;
    return request;
}

struct GroupPageCase {
    const char* page;  // in the framed site; "modern/" in front: the modern one
    const char* guards;
};
const GroupPageCase kPages[] = {
    {"index.html", "group start page: a row per project, startup first, type in words"},
    {"StrLibTests/Modules/modTests.html",
     "a data type of another project (bare and Project.Class) links into its folder"},
    {"StrLib/Classes/StringBuilder.html", "a library class lists the modules of other projects"},
    {"StrLib/Classes/Constructors.html",
     "a global class lists the modules of other projects calling its functions without naming it"},
    {"StrLib/Classes/StringBuilder_Append.html",
     "a library member's Used by lists the routines of other projects calling it, by project"},
    {"StrDemo/Forms/frmDemo.html",
     "a control of another project placed on a form links to its page in that project"},
    {"StrControls/UserControls/ctlTextView.html",
     "a control project's control lists the forms of other projects placing it"},
    {"StrLibTests/project-summary.html",
     "a project reference shows its project file, linked to that project's frameset"},
    {"StrLibTests/module-summary.html", "the navigation frame lists the group's projects"},
    {"modern/StrLibTests/nav-index.js", "the modern navigation holds the projects at the top"},
};

class GroupSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tmp = new TempFolder;
        for (const PageLayout layout : {PageLayout::Frames, PageLayout::Modern}) {
            const fs::path out = s_tmp->path() / (layout == PageLayout::Modern ? "modern" : "site");
            auto result =
                GroupRun(groupRequest(kSource / "examples/Strings/Strings.vbg", out, layout), {},
                         nullptr, nullptr)
                    .run();
            if (!result)
                s_error = result.error().message;
            else if (!result.value().failures.empty())
                s_error = result.value().failures.front();
        }
    }
    static void TearDownTestSuite() { delete s_tmp; }
    static fs::path site(const std::string& page) {
        return page.starts_with("modern/") ? s_tmp->path() / page : s_tmp->path() / "site" / page;
    }
    static inline TempFolder* s_tmp = nullptr;
    static inline std::string s_error;
};

TEST_F(GroupSite, PagesMatchTheirGoldenPages) {
    ASSERT_TRUE(s_error.empty()) << s_error;
    const char* update = std::getenv("TARNWICK_UPDATE_GOLDEN");
    for (const GroupPageCase& c : kPages) {
        const fs::path golden = kSource / "tests/golden/group" / c.page;
        ASSERT_TRUE(fs::exists(site(c.page))) << c.page;
        const std::string actual = readFile(site(c.page));
        if (update && std::string(update) == "1") writeFile(golden, actual);
        EXPECT_EQ(readFile(golden), actual) << c.page << " (guards: " << c.guards << ")";
    }
}

TEST_F(GroupSite, LinksReachTheirPagesAndPrivateClassesStayUnlinked) {
    ASSERT_TRUE(s_error.empty()) << s_error;
    for (const char* root : {"site", "modern"}) {
        int links = 0;
        EXPECT_EQ(testing::brokenLinks(s_tmp->path() / root, &links), std::vector<std::string>{})
            << root;
        EXPECT_GT(links, 0) << root;
    }
    // The test project's calls of the library's members link into its folder,
    // each to its own member's page.
    const std::string code = readFile(site("StrLibTests/Classes/CTestBuilder_Code.html"));
    for (const char* page : {"StringBuilder_Append.html", "StringBuilder_ToString.html"})
        EXPECT_NE(code.find(std::string("../../StrLib/Classes/") + page), std::string::npos)
            << page;
    // CBuffer is private to the library: the test project names it, no page links it.
    for (const auto& e : fs::recursive_directory_iterator(s_tmp->path() / "site/StrLibTests")) {
        if (e.path().extension() == ".html") {
            EXPECT_EQ(readFile(e.path()).find("CBuffer.html"), std::string::npos) << e.path();
        }
    }
    // One search index over both projects, each row naming its project by folder.
    const std::string index = readFile(site("search-index.js"));
    EXPECT_NE(index.find("\"StrLib/Classes/StringBuilder.html\""), std::string::npos);
    EXPECT_NE(index.find("\"StrLibTests/Modules/modTests.html\""), std::string::npos);
    EXPECT_NE(index.find("tarnwickIndex.projects = {"), std::string::npos);
}

TEST(GroupRunTest, AChangedLibraryModuleRewritesOnlyItsPagesAndTheIndexes) {
    TempFolder tmp;
    fs::copy(kSource / "examples/Strings", tmp.path() / "in", fs::copy_options::recursive);
    const fs::path out = tmp.path() / "out";
    const GenerationRequest request =
        groupRequest(tmp.path() / "in/Strings.vbg", out, PageLayout::Frames);
    ASSERT_TRUE(GroupRun(request, {}, nullptr, nullptr).run());
    auto again = GroupRun(request, {}, nullptr, nullptr).run();
    ASSERT_TRUE(again);
    EXPECT_EQ(again.value().pagesWritten, 0);

    const fs::path changed = tmp.path() / "in/StrLib/modStrLib.bas";
    writeFile(changed, readFile(changed) + "' one more line\r\n");
    std::map<fs::path, fs::file_time_type> before;
    for (const auto& e : fs::recursive_directory_iterator(out))
        if (e.is_regular_file()) before[e.path()] = e.last_write_time();
    ASSERT_TRUE(GroupRun(request, {}, nullptr, nullptr).run());
    std::set<std::string> written;
    for (const auto& [path, time] : before)
        if (fs::last_write_time(path) != time && path.filename().string()[0] != '.')
            written.insert(path.lexically_relative(out).generic_string());
    EXPECT_EQ(written, (std::set<std::string>{"StrLib/Modules/modStrLib_Code.html"}));
}

// A project that starts calling a library member rebuilds its module and the
// member's module only, and the site is the one a fresh run makes; so is it
// when a library page was lost while its callers' project is unchanged (the
// library's run then finds their calls itself).
TEST(GroupRunTest, ANewCallAcrossProjectsRebuildsOnlyTheCallerAndTheCalledModule) {
    TempFolder tmp;
    fs::copy(kSource / "examples/Strings", tmp.path() / "in", fs::copy_options::recursive);
    GenerationRequest request =
        groupRequest(tmp.path() / "in/Strings.vbg", tmp.path() / "out", PageLayout::Frames);
    ASSERT_TRUE(GroupRun(request, {}, nullptr, nullptr).run());
    const fs::path changed = tmp.path() / "in/StrLibTests/modTests.bas";
    const std::string text = readFile(changed);
    const std::string call = "Set MakeBuilder = sb.Append(Text)";
    ASSERT_NE(text.find(call), std::string::npos);
    writeFile(changed, replaceAll(text, call, call + ": Debug.Print sb.ToString"));
    auto again = GroupRun(request, {}, nullptr, nullptr).run();
    ASSERT_TRUE(again);
    EXPECT_EQ(again.value().modulesWritten - again.value().modulesKept, 2);
    fs::remove(tmp.path() / "out/StrLib/Classes/StringBuilder_ToString.html");
    ASSERT_TRUE(GroupRun(request, {}, nullptr, nullptr).run());

    request.outputFolder = (tmp.path() / "fresh").string();
    request.jobs = 1;
    ASSERT_TRUE(GroupRun(request, {}, nullptr, nullptr).run());
    EXPECT_NE(readFile(tmp.path() / "fresh/StrLib/Classes/StringBuilder_ToString.html")
                  .find("StrLibTests: <A href=\"../../StrLibTests/Modules/modTests_MakeBuilder"),
              std::string::npos);
    for (const auto& e : fs::recursive_directory_iterator(tmp.path() / "fresh")) {
        const fs::path rel = e.path().lexically_relative(tmp.path() / "fresh");
        if (e.is_regular_file() && rel.filename().string()[0] != '.') {
            EXPECT_EQ(readFile(e.path()), readFile(tmp.path() / "out" / rel)) << rel;
        }
    }
}

// The workbench previews one project of the group at a time: it sees the
// group as the group's site does, its calls into the library (links out)
// and, read as the library, the test project's modules and routines using
// it (links in).
TEST(GroupRunTest, APreviewOfOneProjectSeesTheGroupAsItsSiteDoes) {
    TempFolder tmp;
    const fs::path vbg = kSource / "examples/Strings/Strings.vbg";
    CollectingSink sink;
    auto read = readGroupFile(vbg.string(), CodePage(), sink);
    ASSERT_TRUE(read);
    const auto group = std::make_shared<const ProjectGroup>(std::move(read).value());
    const GenerationRequest request = groupRequest(vbg, tmp.path() / "out", PageLayout::Frames);
    // Each project as its preview shows it: its GroupSite and the path of
    // its module of that name.
    const auto preview = [&](std::string_view project, const char* module) {
        size_t index = 0;
        while (index < group->projects.size() && group->projects[index].name != project) ++index;
        GroupPreview preview(group, index, request, nullptr, sink);
        CParser parser;
        parser.setPath(group->projects.at(index).path);
        preview.prepare(parser);
        auto parsed = parser.Parse();
        preview.finish(*parsed.value());
        std::string path;
        for (const CModuleList* list : {&parsed.value()->Classes(), &parsed.value()->Modules()})
            for (const auto& m : list->elements())
                if (m->Name() == module) path = m->Path();
        return std::pair{preview.site(), path};
    };
    const auto [tests, modTests] = preview("StrLibTests", "modTests");
    const auto* calls = tests->codeLinksOf(modTests);
    ASSERT_TRUE(calls && !calls->empty());
    EXPECT_EQ(*calls->front().page, "../StrLib/Classes/StringBuilder_Append.html");
    EXPECT_EQ(tests->classPage("StringBuilder"), "../StrLib/Classes/StringBuilder.html");
    const auto [library, builder] = preview("StrLib", "StringBuilder");
    std::set<std::string> users;
    for (const GroupUser* user : library->usersOf(builder, "StringBuilder"))
        users.insert(user->project + ":" + user->module);
    EXPECT_TRUE(users.count("StrLibTests:modTests"));
    EXPECT_FALSE(library->callersOf(builder, "append").empty());
}

TEST(GroupRunTest, ProjectsReferencingEachOtherAreBothDocumentedWithAWarning) {
    TempFolder tmp;
    for (const auto& [name, other] : {std::pair{"A", "B"}, std::pair{"B", "A"}}) {
        tmp.write(std::string(name) + "/" + name + ".vbp",
                  std::string("Type=OleDll\r\nReference=*\\A..\\") + other + "\\" + other +
                      ".vbp\r\nModule=m" + name + "; m.bas\r\nName=\"" + name + "\"\r\n");
        tmp.write(std::string(name) + "/m.bas", std::string("Attribute VB_Name = \"m") + name +
                                                    "\"\r\nPublic Sub Go()\r\nEnd Sub\r\n");
    }
    CollectingSink sink;
    GenerationRequest request =
        groupRequest(tmp.path() / "A/A.vbp", tmp.path() / "out", PageLayout::Frames);
    auto result =
        GroupRun(request, {(tmp.path() / "A/A.vbp").string(), (tmp.path() / "B/B.vbp").string()},
                 nullptr, &sink)
            .run();
    ASSERT_TRUE(result) << result.error().message;
    EXPECT_TRUE(fs::exists(tmp.path() / "out/A/Modules/mA.html"));
    EXPECT_TRUE(fs::exists(tmp.path() / "out/B/Modules/mB.html"));
    bool warned = false;
    for (const Diagnostic& d : sink.items())
        warned = warned || d.message.find("reference each other") != std::string::npos;
    EXPECT_TRUE(warned);
}

// A form of one project places a public user control of another (Object=*\A...):
// the control's type on the form page links to its page in the other
// project's folder, in both layouts; a private control of the library does not.
// The group's start page gains the columns of user documents and designers.
TEST(GroupRunTest, AControlOfAnotherProjectLinksToItsPage) {
    TempFolder tmp;
    tmp.write("Lib/Lib.vbp",
              "Type=Control\r\nUserControl=ctlGauge.ctl\r\nUserControl=ctlInner.ctl\r\n"
              "UserDocument=docLib.dob\r\nName=\"Lib\"\r\n");
    tmp.write("Lib/docLib.dob",
              "VERSION 5.00\r\nBegin VB.UserDocument docLib\r\nEnd\r\n"
              "Attribute VB_Name = \"docLib\"\r\n");
    for (const auto& [name, exposed] : {std::pair{"ctlGauge", "True"}, {"ctlInner", "False"}})
        tmp.write(std::string("Lib/") + name + ".ctl",
                  std::string("VERSION 5.00\r\nBegin VB.UserControl ") + name +
                      "\r\nEnd\r\nAttribute VB_Name = \"" + name +
                      "\"\r\nAttribute VB_Exposed = " + exposed + "\r\n");
    tmp.write("App/App.vbp",
              "Type=Exe\r\nObject=*\\A..\\Lib\\Lib.vbp\r\nForm=frmMain.frm\r\nName=\"App\"\r\n");
    tmp.write("App/frmMain.frm",
              "VERSION 5.00\r\nBegin VB.Form frmMain\r\n   Begin Lib.ctlGauge gauge\r\n   End\r\n"
              "   Begin Lib.ctlInner inner\r\n   End\r\nEnd\r\n"
              "Attribute VB_Name = \"frmMain\"\r\n");
    const std::vector<std::string> projects{(tmp.path() / "Lib/Lib.vbp").string(),
                                            (tmp.path() / "App/App.vbp").string()};
    for (const PageLayout layout : {PageLayout::Frames, PageLayout::Modern}) {
        const fs::path out = tmp.path() / (layout == PageLayout::Modern ? "modern" : "frames");
        auto result =
            GroupRun(groupRequest(projects.back(), out, layout), projects, nullptr, nullptr).run();
        ASSERT_TRUE(result) << result.error().message;
        const std::string form = readFile(out / "App/Forms/frmMain.html");
        EXPECT_NE(form.find("href=\"../../Lib/UserControls/ctlGauge.html\">Lib.ctlGauge</A>"),
                  std::string::npos)
            << out;
        EXPECT_EQ(form.find("ctlInner.html"), std::string::npos) << out;
        EXPECT_EQ(testing::brokenLinks(out), std::vector<std::string>{}) << out;
        // The start page counts the user document: Lib's row ends in the
        // user controls, property pages, user documents and designers.
        EXPECT_NE(
            readFile(out / "index.html").find("<TD>2</TD><TD>0</TD><TD>1</TD><TD>0</TD></TR>"),
            std::string::npos)
            << out;
    }
}

// A library member called by two projects lists the routines of both, each
// routine once with all its lines, the project documented first first.
TEST(GroupRunTest, AMemberCalledFromTwoProjectsListsTheCallersOfBoth) {
    TempFolder tmp;
    tmp.write("Lib/Lib.vbp",
              "Type=OleDll\r\nClass=CCounter; CCounter.cls\r\n"
              "Class=CFactory; CFactory.cls\r\nName=\"Lib\"\r\n");
    tmp.write("Lib/CCounter.cls",
              "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"CCounter\"\r\n"
              "Attribute VB_Exposed = True\r\nPublic Function Add() As Long\r\nEnd Function\r\n");
    // A global class: its users call its members bare, never naming it.
    tmp.write("Lib/CFactory.cls",
              "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"CFactory\"\r\n"
              "Attribute VB_GlobalNameSpace = True\r\nAttribute VB_Exposed = True\r\n"
              "Public Function NewCounter() As CCounter\r\nEnd Function\r\n");
    std::vector<std::string> projects{(tmp.path() / "Lib/Lib.vbp").string()};
    for (const std::string user : {"App", "Tests"}) {
        projects.push_back(tmp.write(user + "/" + user + ".vbp",
                                     "Type=Exe\r\nReference=*\\A..\\Lib\\Lib.vbp\r\n"
                                     "Module=modMain; modMain.bas\r\n"
                                     "Module=modMake; modMake.bas\r\nName=\"" +
                                         user + "\"\r\n"));
        tmp.write(user + "/modMain.bas",
                  "Attribute VB_Name = \"modMain\"\r\nPublic Sub Run(ByVal c As CCounter)\r\n"
                  "    Debug.Print c.Add\r\n    Debug.Print c.Add\r\nEnd Sub\r\n"
                  "Public Sub Again(ByVal c As CCounter)\r\n    Debug.Print c.Add\r\nEnd Sub\r\n");
        tmp.write(user + "/modMake.bas",
                  "Attribute VB_Name = \"modMake\"\r\nPublic Sub Make()\r\n"
                  "    Debug.Print NewCounter.Add\r\nEnd Sub\r\n");
    }
    const fs::path out = tmp.path() / "out";
    auto result = GroupRun(groupRequest(projects.front(), out, PageLayout::Frames), projects,
                           nullptr, nullptr)
                      .run();
    ASSERT_TRUE(result) << result.error().message;
    const auto row = [](const std::string& user, const std::string& routine,
                        std::vector<int> lines) {
        std::string text = user + ": <A href=\"../../" + user + "/Modules/modMain_" + routine +
                           ".html\">modMain." + routine + "</A></TD><TD>";
        for (const int line : lines)
            text += (line == lines.front() ? "" : ", ") + std::string("<A href=\"../../") + user +
                    "/Modules/modMain_Code.html#L" + std::to_string(line) + "\">" +
                    std::to_string(line) + "</A>";
        return text + "</TD>";
    };
    const std::string page = readFile(out / "Lib/Classes/CCounter_Add.html");
    size_t at = 0;
    for (const std::string user : {"App", "Tests"})
        for (const std::string& expected : {row(user, "Run", {2, 3}), row(user, "Again", {6})}) {
            const size_t found = page.find(expected);
            EXPECT_TRUE(found != std::string::npos && found >= at) << expected << " in\n" << page;
            at = found == std::string::npos ? at : found;
        }
    // The class pages name the modules calling their members, once each, by
    // project, after those naming the class.
    const auto users = [&](const char* page, std::vector<std::string> modules) {
        std::string line;
        for (const std::string user : {"App", "Tests"})
            for (const std::string& module : modules)
                line += (line.empty() ? "" : ", ") + user + ": <A href=\"../../" + user +
                        "/Modules/" + module + ".html\">" + module + "</A>";
        EXPECT_NE(readFile(out / "Lib/Classes" / page).find(":</B> " + line + "</P>"),
                  std::string::npos)
            << page << ": " << line;
    };
    users("CFactory.html", {"modMake"});
    users("CCounter.html", {"modMain", "modMake"});
}

TEST(GroupRunTest, AMissingProjectFailsTheRunAndTheOthersAreDocumented) {
    TempFolder tmp;
    tmp.write("Lib/Lib.vbp", "Type=OleDll\r\nModule=modLib; modLib.bas\r\nName=\"Lib\"\r\n");
    tmp.write("Lib/modLib.bas", "Attribute VB_Name = \"modLib\"\r\nPublic Sub Go()\r\nEnd Sub\r\n");
    const std::string group = tmp.write(
        "G.vbg", "VBGROUP 5.0\r\nProject=Gone\\Gone.vbp\r\nStartupProject=Lib\\Lib.vbp\r\n");
    CollectingSink sink;
    auto result =
        GroupRun(groupRequest(group, tmp.path() / "out", PageLayout::Frames), {}, nullptr, &sink)
            .run();
    ASSERT_TRUE(result) << result.error().message;
    EXPECT_FALSE(result.value().failures.empty());
    EXPECT_TRUE(fs::exists(tmp.path() / "out/Lib/Modules/modLib.html"));
    EXPECT_TRUE(fs::exists(tmp.path() / "out/index.html"));
    bool named = false;
    for (const Diagnostic& d : sink.items()) named = named || (d.file == group && d.line == 2);
    EXPECT_TRUE(named) << "the error names the group file and its line";
}

}  // namespace
}  // namespace tarnwick
