// The generation run end to end, and hostile names that must never lead a page out of the site.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "generator/run/GenerationRun.h"
#include "generator/run/SiteLayout.h"
#include "generator/run/SiteWriter.h"
#include "support/Text.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

using testing::listTree;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::TestModule;
using testing::writeProject;

// Entries every finished site has whatever the settings.
const std::set<std::string> kAlways{
    ".tarnwick-site",   ".tarnwick-manifest",   ".tarnwick-references", "index.html",
    "all-summary.html", "project-summary.html", "module-summary.html",  "search.html",
    "search-index.js",  "all-members.html"};

std::vector<TestModule> mixedProject() {
    return {{"Class", "CBeta"}, {"Class", "CAlpha"}, {"Form", "frmMain"}, {"Module", "modUtil"}};
}

struct Site {
    Expected<GenerationResult> result;
    std::set<std::string> entries;
};

Site generate(const TempFolder& tmp, const std::vector<TestModule>& modules,
              const GenerationSettings& settings, GenerationObserver* observer = nullptr,
              DiagnosticsSink* sink = nullptr, int jobs = 0) {
    GenerationRequest request;
    request.jobs = jobs;
    request.projectPath = writeProject(tmp.path() / "project", modules);
    request.outputFolder = tmp / "out";
    request.settings = settings;
    request.fixedTime = "1700000000";  // runs compared page by page may straddle a second
    GenerationRun run(request, observer, sink);
    Site site{run.run(), {}};
    if (std::filesystem::exists(tmp.path() / "out")) site.entries = listTree(tmp.path() / "out");
    return site;
}

// Top-level pages and folders of a site, without the resource tree.
std::set<std::string> withoutResources(std::set<std::string> entries) {
    std::erase_if(entries, [](const auto& e) { return e.rfind("src/", 0) == 0 && e != "src/"; });
    return entries;
}

std::set<std::string> unite(std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// The four pages of a module and its three member pages (Add, Reset, m_Count).
std::set<std::string> modulePages(const std::string& kinds, const std::string& name) {
    const std::string p = kinds + "/" + name;
    return {p + ".html",     p + "_Uml.html",   p + "_Object.html", p + "_Code.html",
            p + "_Add.html", p + "_Reset.html", p + "_m_Count.html"};
}

TEST(RunPageSet, KindsOffWriteNoPagesAndNoLinks) {
    const struct {
        const char* what;
        bool GenerationSettings::*on;  // the one kind left on; null: none
        std::set<std::string> pages;
    } rows[] = {
        {"all kinds off", nullptr, unite(kAlways, {"src/"})},
        {"forms only", &GenerationSettings::Forms,
         unite(unite(kAlways, {"src/", "Forms/", "all-Forms.html",
                               "all-forms.html -> all-Forms.html", "forms -> Forms"}),
               modulePages("Forms", "frmMain"))},
    };
    for (const auto& row : rows) {
        TempFolder tmp;
        GenerationSettings settings = GenerationSettings::dialogDefaults();
        settings.Classes = settings.Modules = settings.Forms = false;
        settings.PropertyPages = settings.UserControls = false;
        settings.UserDocuments = settings.Designers = false;
        if (row.on) settings.*row.on = true;
        RecordingObserver observer;
        const Site site = generate(tmp, mixedProject(), settings, &observer);
        ASSERT_TRUE(site.result) << site.result.error().message;
        EXPECT_EQ(withoutResources(site.entries), row.pages) << row.what;
        EXPECT_TRUE(site.entries.count("src/css/screen.css")) << row.what;
        EXPECT_EQ(site.result->modulesWritten + observer.started.size(), row.on ? 2u : 0u);
        const std::string summary = testing::readFile(tmp.path() / "out/module-summary.html");
        EXPECT_EQ(summary.find("CAlpha") + summary.find("all-Classes.html"), 2 * std::string::npos)
            << row.what;
    }
}

TEST(RunOrder, KindsInRunOrderAndModulesByName) {
    TempFolder tmp;
    RecordingObserver observer;
    const std::vector<TestModule> modules{{"Form", "frmMain"},    {"UserControl", "ctlBox"},
                                          {"Module", "modUtil"},  {"PropertyPage", "ppgBox"},
                                          {"Class", "CBeta"},     {"Class", "CAlpha"},
                                          {"Designer", "deData"}, {"UserDocument", "docMain"}};
    const Site site = generate(tmp, modules, GenerationSettings::dialogDefaults(), &observer);
    ASSERT_TRUE(site.result) << site.result.error().message;
    std::string started;
    for (const auto& line : observer.started) started += line + ";";
    EXPECT_EQ(started,
              "classes|Generating Class: CAlpha;classes|Generating Class: CBeta;modules|Generating "
              "Module: modUtil;forms|Generating Form: frmMain;propertypages|Generating "
              "PropertyPage: ppgBox;usercontrols|Generating UserControl: ctlBox;"
              "userdocuments|Generating UserDocument: docMain;designers|Generating Designer: "
              "deData;");
    // One console line per member page, naming the module.
    EXPECT_EQ(observer.console.size(), 24u);
    // The lists name the two rarer kinds, and every link of the site (their
    // icons too) reaches its file.
    const std::string overview = testing::readFile(tmp.path() / "out/all-summary.html");
    EXPECT_NE(overview.find("all-UserDocuments.html"), std::string::npos);
    EXPECT_NE(overview.find("src/images/Designer.ico"), std::string::npos);
    EXPECT_EQ(testing::brokenLinks(tmp.path() / "out"), std::vector<std::string>{});
    // A user document's controls are drawn; a data environment without controls is not.
    const auto drawn = [&](const char* page) {
        return testing::readFile(tmp.path() / "out" / page).find("<svg class=\"formPicture\"") !=
               std::string::npos;
    };
    EXPECT_TRUE(drawn("UserDocuments/docMain.html"));
    EXPECT_FALSE(drawn("Designers/deData.html"));
    EXPECT_EQ(std::count(observer.console.begin(), observer.console.end(),
                         "Create documentation for Class CAlpha"),
              3);
}

TEST(RunCancel, KeepsWhatWasWrittenBeforeTheCancel) {
    const auto classes =
        unite(kAlways, {"src/", "all-Classes.html", "all-classes.html -> all-Classes.html"});
    const struct {
        RecordingObserver::CancelAt at;
        std::set<std::string> pages;
        size_t started;
        int written;
    } rows[] = {
        // CBeta is announced after CAlpha's first page, then not written.
        {RecordingObserver::CancelAt::FirstConsoleLine,
         unite(unite(classes, {"Classes/", "classes -> Classes"}),
               modulePages("Classes", "CAlpha")),
         2, 1},
        {RecordingObserver::CancelAt::FirstModuleStarted, classes, 1, 0},
        // Cancelled while the project is read: not even the folder is made.
        {RecordingObserver::CancelAt::WhileReading, {}, 0, 0},
    };
    for (const auto& row : rows) {
        TempFolder tmp;
        // One thread: with more, the modules after it may be written already.
        RecordingObserver observer(row.at);
        const Site site = generate(tmp, mixedProject(), GenerationSettings::dialogDefaults(),
                                   &observer, nullptr, 1);
        ASSERT_TRUE(site.result) << site.result.error().message;
        EXPECT_EQ(withoutResources(site.entries), row.pages) << row.written;
        EXPECT_TRUE(site.result->cancelled && observer.started.size() == row.started &&
                    site.result->modulesWritten == row.written)
            << row.written;
    }
}

// A module cancelled between two of its pages is not taken for written:
// the next run into the folder writes it whole, the site a fresh run gives.
TEST(RunCancel, AModuleStoppedBetweenPagesIsWrittenWholeByTheNextRun) {
    const GenerationSettings settings = GenerationSettings::dialogDefaults();
    TempFolder tmp, fresh;
    RecordingObserver observer(RecordingObserver::CancelAt::BetweenPages);
    const Site cancelled = generate(tmp, mixedProject(), settings, &observer, nullptr, 1);
    ASSERT_TRUE(cancelled.result) << cancelled.result.error().message;
    EXPECT_TRUE(cancelled.result->cancelled && cancelled.result->modulesWritten == 0);
    const Site again = generate(tmp, mixedProject(), settings, nullptr, nullptr, 1);
    ASSERT_TRUE(generate(fresh, mixedProject(), settings, nullptr, nullptr, 1).result);
    ASSERT_EQ(again.entries, listTree(fresh.path() / "out"));
    for (const std::string& page : again.entries) {
        if (!page.ends_with(".html")) continue;
        EXPECT_EQ(testing::readFile(tmp.path() / "out" / page),
                  testing::readFile(fresh.path() / "out" / page))
            << page;
    }
}

TEST(RunProgress, PercentagesRoundHalvesToEvenAndCountOnlyKindsSwitchedOn) {
    const struct {
        int classes;
        std::vector<std::string> percents;
    } rows[] = {{4, {"25 %", "50 %", "75 %", "100 %"}},
                {3, {"33 %", "67 %", "100 %"}},
                {8, {"12 %", "25 %", "38 %", "50 %", "62 %", "75 %", "88 %", "100 %"}},
                {1, {"100 %"}}};
    for (const auto& row : rows) {
        TempFolder tmp;
        std::vector<TestModule> modules{{"Module", "modOff"}};
        for (int i = 0; i < row.classes; ++i) modules.push_back({"Class", "C" + std::to_string(i)});
        GenerationSettings settings = GenerationSettings::dialogDefaults();
        settings.Modules = false;
        RecordingObserver observer;
        ASSERT_TRUE(generate(tmp, modules, settings, &observer).result) << row.classes;
        EXPECT_EQ(observer.percents, row.percents) << row.classes;
        EXPECT_EQ(observer.maxima.empty() ? -1 : observer.maxima.back(), row.classes);
    }
}

TEST(RunOutputFolder, RefusesAFileAndAForeignFolderAndAcceptsEarlierSites) {
    namespace fs = std::filesystem;
    enum Prepared { Nothing, Empty, File, FileSlash, Foreign, EarlierSite };
    const struct {
        const char* what;
        Prepared prepared;
        bool force;
        bool accepted;
    } cases[] = {{"missing folder (nested)", Nothing, false, true},
                 {"empty", Empty, false, true},
                 {"a file", File, false, false},
                 {"a file, forced", File, true, false},
                 {"a file named with a trailing slash", FileSlash, false, false},
                 {"foreign", Foreign, false, false},
                 {"foreign, forced", Foreign, true, true},
                 {"earlier site", EarlierSite, false, true}};
    for (const auto& c : cases) {
        TempFolder tmp;
        const fs::path out = tmp.path() / "sites" / "out";
        if (c.prepared == Empty) fs::create_directories(out);
        if (c.prepared == File || c.prepared == FileSlash) testing::writeFile(out, "x");
        if (c.prepared >= Foreign) testing::writeFile(out / "notes.txt", "mine");
        ASSERT_TRUE(c.prepared != EarlierSite || SiteLayout::writeStamp(out.string()));
        const auto before = fs::is_directory(out) ? listTree(out) : std::set<std::string>{};
        GenerationRequest request;
        request.projectPath = writeProject(tmp.path() / "project", {{"Class", "CAlpha"}});
        request.outputFolder = out.string() + (c.prepared == FileSlash ? "/" : "");
        request.force = c.force;
        const auto result = GenerationRun(request, nullptr, nullptr).run();
        EXPECT_EQ(bool(result), c.accepted) << c.what;
        if (!result) {
            EXPECT_NE(result.error().message.find(out.string()), std::string::npos)
                << c.what << ": " << result.error().message;
            EXPECT_TRUE(!fs::is_directory(out) || listTree(out) == before) << c.what;  // untouched
        } else {
            EXPECT_TRUE(fs::is_regular_file(out / "Classes/CAlpha.html")) << c.what;
            EXPECT_TRUE(fs::exists(out / "notes.txt") || !before.count("notes.txt")) << c.what;
        }
    }
}

TEST(RunOutputFolder, SecondRunOverwritesAndKeepsOldFiles) {
    TempFolder tmp;
    const auto settings = GenerationSettings::dialogDefaults();
    ASSERT_TRUE(generate(tmp, {{"Class", "COld"}, {"Class", "CKept"}}, settings).result);
    const Site second = generate(tmp, {{"Class", "CKept"}}, settings);
    ASSERT_TRUE(second.result) << second.result.error().message;
    EXPECT_TRUE(second.entries.count("Classes/COld.html") &&
                second.entries.count("Classes/CKept.html"));
    EXPECT_EQ(testing::readFile(tmp.path() / "out/all-Classes.html").find("COld"),
              std::string::npos);
}

TEST(RunFailure, AFailingModuleIsCountedAndTheNextStillWritten) {
    TempFolder tmp;
    const auto out = tmp.path() / "out";
    // A folder where CBeta's overview page belongs makes its write fail.
    std::filesystem::create_directories(out / "Classes" / "CBeta.html");
    ASSERT_TRUE(SiteLayout::writeStamp(out.string()));
    CollectingSink sink;
    const Site site = generate(tmp, {{"Class", "CAlpha"}, {"Class", "CBeta"}, {"Class", "CGamma"}},
                               GenerationSettings::dialogDefaults(), nullptr, &sink);
    ASSERT_TRUE(site.result) << site.result.error().message;
    EXPECT_EQ(site.result->modulesFailed * 10 + site.result->modulesWritten, 12);
    ASSERT_EQ(site.result->failures.size(), 1u);
    EXPECT_NE(site.result->failures[0].find("CBeta"), std::string::npos);
    EXPECT_TRUE(site.entries.count("Classes/CGamma_Code.html") && site.entries.count("index.html"));
    EXPECT_TRUE(std::any_of(sink.items().begin(), sink.items().end(), [](const Diagnostic& d) {
        return d.severity == Diagnostic::Severity::Error &&
               d.file.find("Classes/CBeta.html") != std::string::npos &&
               d.message.find("CBeta") != std::string::npos;
    }));
}

// Module names as a VB_Name attribute may hold them ("a\\b" and "a/b" both made safe as "a_b").
const char* const kHostileNames[] = {"../../evil", "/tmp/abs",  "a\\b",    "a/b",
                                     "..",         ".",         ".hidden", "tab\tname",
                                     "esc\x1b[2J", "lt<gt>|*?:"};

std::set<std::string> topLevel(const std::filesystem::path& folder) {
    std::set<std::string> top;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        top.insert(e.path().filename());
    return top;
}

TEST(RunHostile, ModuleNamesGivePagesInsideTheSiteAndLinksThatReachThem) {
    TempFolder tmp;
    std::vector<TestModule> modules;
    for (const char* name : kHostileNames) modules.push_back({"Class", name});
    const Site site = generate(tmp, modules, GenerationSettings::dialogDefaults());
    ASSERT_TRUE(site.result) << site.result.error().message;
    EXPECT_EQ(site.result->modulesFailed, 0);
    EXPECT_EQ(site.result->modulesWritten, static_cast<int>(std::size(kHostileNames)));
    // Nothing beside the project and the site, nothing new in the project.
    EXPECT_EQ(topLevel(tmp.path()), (std::set<std::string>{"project", "out"}));
    EXPECT_EQ(topLevel(tmp.path() / "project").size(), std::size(kHostileNames) + 1);
    EXPECT_FALSE(std::filesystem::exists(tmp.path().parent_path() / "evil.html"));

    std::set<std::string> pages;  // no two share a page
    for (const char* name : kHostileNames) {
        EXPECT_TRUE(pages.insert(safeFileName(name)).second) << name;
        EXPECT_TRUE(site.entries.count("Classes/" + safeFileName(name) + "_Add.html")) << name;
    }
    // Every page sits in the site or one kind folder down, and none is a hidden file.
    for (const auto& entry : withoutResources(site.entries)) {
        if (entry == SiteLayout::kStampFile || entry == SiteWriter::kManifestFile ||
            entry == GenerationRun::kReferenceMemoFile)
            continue;
        const size_t slash = entry.rfind('/', entry.size() - 2);
        EXPECT_NE(entry[slash == std::string::npos ? 0 : slash + 1], '.') << entry;
        const auto slashes = std::count(entry.begin(), entry.end(), '/');
        EXPECT_LE(slashes - (entry.back() == '/' ? 1 : 0), 1) << entry;
    }
    int links = 0;
    EXPECT_EQ(testing::brokenLinks(tmp.path() / "out", &links), std::vector<std::string>{});
    EXPECT_GT(links, 0);
}

TEST(RunHostile, ClashingPageNamesGetStableSuffixesWhateverTheThreads) {
    TempFolder tmp;
    // CMore_Add's overview and CMore.Add's page wish one file; two files say
    // VB_Name = "CDup"; the last file is listed three times.
    const std::string vbp = writeProject(
        tmp.path() / "project",
        {{"Class", "CMore"}, {"Class", "CMore_Add"}, {"Class", "CDup"}, {"Class", "CDup"}});
    std::string text = testing::readFile(vbp);
    const std::string last = "Class=CDup; m3.cls\r\n";
    ASSERT_NE(text.find(last), std::string::npos);
    text.insert(text.find(last), last + last);
    testing::writeFile(vbp, text);
    // An author's link in the old spelling of the renamed page, a dead one twice, one to
    // another host.
    const std::filesystem::path more = tmp.path() / "project" / "m0.cls";
    testing::writeFile(more,
                       replaceAll(testing::readFile(more), "' The module CMore.",
                                  "' The module CMore: <a href=\"CMore.Add.html\">Add</a>, "
                                  "<a href=\"Gone.html\">gone</a>, <a href=\"Gone.html\">x</a>, "
                                  "<a href=\"//far.example/CMore.html\">far</a>."));
    // In a module whose other texts hold no markup: a parameter's text.
    const std::filesystem::path alone = tmp.path() / "project" / "m1.cls";
    testing::writeFile(alone, replaceAll(testing::readFile(alone), "' @B second",
                                         "' @B second, <a href=\"Lost.html\">lost</a>"));

    std::map<int, CollectingSink> sinks;
    for (const int jobs : {1, 8}) {
        GenerationRequest request;
        request.projectPath = vbp;
        request.outputFolder = tmp / ("out" + std::to_string(jobs));
        request.jobs = jobs;
        request.fixedTime = "1700000000";  // the two runs may straddle a second
        GenerationRun run(request, nullptr, &sinks[jobs]);
        const auto result = run.run();
        ASSERT_TRUE(result && result->modulesFailed == 0);
    }
    const std::filesystem::path out = tmp.path() / "out1";
    const auto page = [&](const char* name) { return testing::readFile(out / "Classes" / name); };
    EXPECT_NE(page("CMore_Add.html").find("<TITLE>CMore_Add - Test</TITLE>"), std::string::npos);
    EXPECT_NE(page("CMore_Add_2.html").find("Add - CMore - Test"), std::string::npos);
    EXPECT_NE(page("CDup_2.html").find("<TITLE>CDup - Test</TITLE>"), std::string::npos);
    EXPECT_NE(page("CMore.html").find("<A href=\"CMore_Add_2.html\">Add</A>"), std::string::npos);
    EXPECT_NE(page("CMore.html")
                  .find("CMore: <a href=\"../Classes/CMore_Add_2.html\">Add</a>, "
                        "<a>gone</a>, <a>x</a>, <a>far</a>."),
              std::string::npos);
    EXPECT_NE(testing::readFile(out / "search-index.js").find("\"Classes/CMore_Add_2.html\""),
              std::string::npos);
    std::string warnings;
    for (const Diagnostic& d : sinks[1].items()) warnings += d.toString() + "\n";
    for (const char* said :
         {"of CMore.Add is taken by CMore_Add; CMore.Add gets Classes/CMore_Add_2",
          "of CDup is taken by CDup; CDup gets Classes/CDup_2.html", ":6: warning: module file",
          ":7: warning: module file", "the link to \"Gone.html\" names no page of the site",
          "m1.cls:15: warning: the link to \"Lost.html\" names no page of the site",
          "the link to \"//far.example/CMore.html\" leads to another host"})
        EXPECT_NE(warnings.find(said), std::string::npos) << said << "\n" << warnings;
    EXPECT_EQ(warnings.find("Gone.html"), warnings.rfind("Gone.html")) << "one warning per address";
    EXPECT_EQ(testing::brokenLinks(out), std::vector<std::string>{});
    const auto tree = listTree(out);
    EXPECT_EQ(tree, listTree(tmp.path() / "out8"));
    for (const std::string& entry : tree) {
        if (entry.back() == '/' || entry.find(" -> ") != std::string::npos ||
            entry.find(".tarnwick") != std::string::npos)
            continue;
        EXPECT_EQ(testing::readFile(out / entry), testing::readFile(tmp.path() / "out8" / entry))
            << entry;
    }
}

TEST(RunReferences, UsedByListsEveryCallerOnceWithItsLines) {
    TempFolder tmp;
    const std::filesystem::path folder = tmp.path() / "project";
    testing::writeFile(folder / "a.bas",
                       testing::crlf({"Attribute VB_Name = \"modA\"", "Public Const N As Long = 5",
                                      "Public Function Target() As Long", "End Function"}));
    // The code page's line 1 uses N outside every routine; Many's lines 3, 4 and 6 call Target.
    std::vector<std::string> b{"Attribute VB_Name = \"modB\"",
                               "Private Const M As Long = N + 1",
                               "Public Sub Many()",
                               "    Target",
                               "    Target: Target",
                               "    Dim x",
                               "    x = Target",
                               "End Sub"};
    for (int i = 0; i < 120; ++i)
        b.insert(b.end(), {"Public Sub C" + std::to_string(i) + "()", "    Target", "End Sub"});
    testing::writeFile(folder / "b.bas", testing::crlf(b));
    testing::writeFile(folder / "Test.vbp",
                       testing::crlf({"Type=Exe", "Module=modA; a.bas", "Module=modB; b.bas"}));
    GenerationRequest request;
    request.projectPath = (folder / "Test.vbp").string();
    request.outputFolder = tmp / "out";
    ASSERT_TRUE(GenerationRun(request, nullptr, nullptr).run());
    const std::string target = testing::readFile(tmp.path() / "out/Modules/modA_Target.html");
    EXPECT_NE(target.find("<A href=\"../Modules/modB_Many.html\">modB.Many</A></TD><TD>"
                          "<A href=\"../Modules/modB_Code.html#L3\">3</A>, "
                          "<A href=\"../Modules/modB_Code.html#L4\">4</A>, "
                          "<A href=\"../Modules/modB_Code.html#L6\">6</A></TD>"),
              std::string::npos)
        << target;
    EXPECT_EQ(target.find(">modB.Many<"), target.rfind(">modB.Many<")) << "one row per caller";
    EXPECT_NE(target.find("<SUMMARY>121 Aufrufer</SUMMARY>"), std::string::npos);
    EXPECT_NE(target.find(">modB.C119</A>"), std::string::npos) << "the last caller is there";
    const std::string n = testing::readFile(tmp.path() / "out/Modules/modA_N.html");
    EXPECT_NE(n.find("<A href=\"../Modules/modB.html\">modB</A></TD><TD>"
                     "<A href=\"../Modules/modB_Code.html#L1\">1</A></TD>"),
              std::string::npos)
        << n;
}

}  // namespace
}  // namespace tarnwick
