// The generation run end to end: which pages a run writes for which
// settings, the order and the cancel points, the progress texts, the output
// folder rules, error containment per module, reproducible sites, and
// hostile names that must never lead a page out of the site.
#include <gtest/gtest.h>

#include <algorithm>

#include "generator/GenerationRun.h"
#include "generator/ModulePages.h"
#include "generator/SiteLayout.h"
#include "generator/SiteWriter.h"
#include "model/CVariable.h"
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
    ".tarnwick-site",   ".tarnwick-manifest",   "index.html",
    "all-summary.html", "project-summary.html", "module-summary.html",
    "search.html",      "search-index.js",      "all-members.html"};

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
    GenerationRun run(request, observer, sink);
    Site site{run.run(), {}};
    if (std::filesystem::exists(tmp.path() / "out")) site.entries = listTree(tmp.path() / "out");
    return site;
}

// Top-level pages and folders of a site, without the resource tree.
std::set<std::string> withoutResources(const std::set<std::string>& entries) {
    std::set<std::string> out;
    for (const auto& e : entries) {
        if (e.rfind("src/", 0) != 0 || e == "src/") out.insert(e);
    }
    return out;
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
        if (row.on) settings.*row.on = true;
        RecordingObserver observer;
        const Site site = generate(tmp, mixedProject(), settings, &observer);
        ASSERT_TRUE(site.result) << site.result.error().message;
        EXPECT_EQ(withoutResources(site.entries), row.pages) << row.what;
        EXPECT_TRUE(site.entries.count("src/css/screen.css")) << row.what;
        EXPECT_EQ(site.result->modulesWritten, row.on ? 1 : 0) << row.what;
        EXPECT_EQ(observer.started.size(), row.on ? 1u : 0u) << row.what;
        const std::string summary = testing::readFile(tmp.path() / "out/module-summary.html");
        EXPECT_EQ(summary.find("CAlpha"), std::string::npos) << row.what;
        EXPECT_EQ(summary.find("all-classes.html"), std::string::npos) << row.what;
    }
}

TEST(RunOrder, KindsInRunOrderAndModulesByName) {
    TempFolder tmp;
    RecordingObserver observer;
    const Site site = generate(tmp,
                               {{"Form", "frmMain"},
                                {"UserControl", "ctlBox"},
                                {"Module", "modUtil"},
                                {"PropertyPage", "ppgBox"},
                                {"Class", "CBeta"},
                                {"Class", "CAlpha"}},
                               GenerationSettings::dialogDefaults(), &observer);
    ASSERT_TRUE(site.result) << site.result.error().message;
    const std::vector<std::string> expected{"classes|Generating Class: CAlpha",
                                            "classes|Generating Class: CBeta",
                                            "modules|Generating Module: modUtil",
                                            "forms|Generating Form: frmMain",
                                            "propertypages|Generating PropertyPage: ppgBox",
                                            "usercontrols|Generating UserControl: ctlBox"};
    EXPECT_EQ(observer.started, expected);
    EXPECT_EQ(site.result->modulesWritten, 6);
    EXPECT_FALSE(site.result->cancelled);
    // One console line per member page, naming the module.
    EXPECT_EQ(observer.console.size(), 18u);
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
    };
    for (const auto& row : rows) {
        TempFolder tmp;
        // One thread: with more, the modules after it may be written already.
        RecordingObserver observer(row.at);
        const Site site = generate(tmp, mixedProject(), GenerationSettings::dialogDefaults(),
                                   &observer, nullptr, 1);
        ASSERT_TRUE(site.result) << site.result.error().message;
        EXPECT_TRUE(site.result->cancelled);
        EXPECT_EQ(withoutResources(site.entries), row.pages) << row.written;
        EXPECT_EQ(observer.started.size(), row.started) << row.written;
        EXPECT_EQ(site.result->modulesWritten, row.written);
    }
}

TEST(RunProgress, PercentagesRoundHalvesToEvenAndCountOnlyKindsSwitchedOn) {
    const struct {
        int classes;
        std::vector<std::string> percents;
    } rows[] = {
        {4, {"25 %", "50 %", "75 %", "100 %"}},
        {3, {"33 %", "67 %", "100 %"}},
        {8, {"12 %", "25 %", "38 %", "50 %", "62 %", "75 %", "88 %", "100 %"}},
        {1, {"100 %"}},
    };
    for (const auto& row : rows) {
        TempFolder tmp;
        std::vector<TestModule> modules{{"Module", "modOff"}};
        for (int i = 0; i < row.classes; ++i) modules.push_back({"Class", "C" + std::to_string(i)});
        GenerationSettings settings = GenerationSettings::dialogDefaults();
        settings.Modules = false;
        RecordingObserver observer;
        ASSERT_TRUE(generate(tmp, modules, settings, &observer).result) << row.classes;
        EXPECT_EQ(observer.percents, row.percents) << row.classes;
        ASSERT_FALSE(observer.maxima.empty()) << row.classes;
        EXPECT_EQ(observer.maxima.back(), row.classes) << row.classes;
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
    } cases[] = {
        {"missing folder (nested)", Nothing, false, true},
        {"empty folder", Empty, false, true},
        {"a file", File, false, false},
        {"a file, forced", File, true, false},
        {"a file named with a trailing slash", FileSlash, false, false},
        {"foreign folder", Foreign, false, false},
        {"foreign folder, forced", Foreign, true, true},
        {"earlier site", EarlierSite, false, true},
    };
    for (const auto& c : cases) {
        TempFolder tmp;
        const fs::path out = tmp.path() / "sites" / "out";
        if (c.prepared == Empty) fs::create_directories(out);
        if (c.prepared == File || c.prepared == FileSlash) testing::writeFile(out, "x");
        if (c.prepared >= Foreign) testing::writeFile(out / "notes.txt", "mine");
        if (c.prepared == EarlierSite) {
            ASSERT_TRUE(SiteLayout::writeStamp(out.string()));
        }
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
            // A refused folder is left exactly as it was.
            if (fs::is_directory(out)) {
                EXPECT_EQ(listTree(out), before) << c.what;
            }
        } else {
            EXPECT_TRUE(fs::is_regular_file(out / "Classes/CAlpha.html")) << c.what;
            EXPECT_TRUE(fs::exists(out / "notes.txt") || !before.count("notes.txt")) << c.what;
        }
    }
}

TEST(RunOutputFolder, UnreadableProjectCreatesNothing) {
    TempFolder tmp;
    GenerationRequest request;
    request.projectPath = tmp / "missing.vbp";
    request.outputFolder = tmp / "out";
    const auto result = GenerationRun(request, nullptr, nullptr).run();
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().message.find("missing.vbp"), std::string::npos)
        << result.error().message;
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "out"));
}

TEST(RunOutputFolder, SecondRunOverwritesAndKeepsOldFiles) {
    TempFolder tmp;
    const auto settings = GenerationSettings::dialogDefaults();
    ASSERT_TRUE(generate(tmp, {{"Class", "COld"}, {"Class", "CKept"}}, settings).result);
    const Site second = generate(tmp, {{"Class", "CKept"}}, settings);
    ASSERT_TRUE(second.result) << second.result.error().message;
    EXPECT_TRUE(second.entries.count("Classes/COld.html"));
    EXPECT_TRUE(second.entries.count("Classes/CKept.html"));
    const std::string index = testing::readFile(tmp.path() / "out/all-Classes.html");
    EXPECT_EQ(index.find("COld"), std::string::npos);
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
    EXPECT_EQ(site.result->modulesFailed, 1);
    EXPECT_EQ(site.result->modulesWritten, 2);
    ASSERT_EQ(site.result->failures.size(), 1u);
    EXPECT_NE(site.result->failures[0].find("CBeta"), std::string::npos);
    EXPECT_TRUE(site.entries.count("Classes/CGamma_Code.html"));
    EXPECT_TRUE(site.entries.count("index.html"));
    EXPECT_TRUE(std::any_of(sink.items().begin(), sink.items().end(), [](const Diagnostic& d) {
        return d.severity == Diagnostic::Severity::Error &&
               d.file.find("Classes/CBeta.html") != std::string::npos &&
               d.message.find("CBeta") != std::string::npos;
    }));
}

TEST(RunReproducible, AFixedTimeGivesIdenticalSites) {
    TempFolder tmp;
    const auto modules = mixedProject();
    GenerationRequest request;
    request.projectPath = writeProject(tmp.path() / "project", modules);
    request.fixedTime = "1000000000";
    request.outputFolder = tmp / "a";
    ASSERT_TRUE(GenerationRun(request, nullptr, nullptr).run());
    request.outputFolder = tmp / "b";
    ASSERT_TRUE(GenerationRun(request, nullptr, nullptr).run());

    const auto a = listTree(tmp.path() / "a");
    ASSERT_EQ(a, listTree(tmp.path() / "b"));
    for (const auto& name : a) {
        if (name.back() == '/' || name.find(" -> ") != std::string::npos) continue;
        if (name == SiteWriter::kManifestFile) continue;  // records the files' times
        EXPECT_EQ(testing::readFile(tmp.path() / "a" / name),
                  testing::readFile(tmp.path() / "b" / name))
            << name;
    }
    // 2001-09-09 01:46:40 UTC, in the C locale's form.
    const std::string page = testing::readFile(tmp.path() / "a/Classes/CAlpha.html");
    EXPECT_NE(page.find("GENERATED BY TARNWICK ON 09/09/01 01:46:40"), std::string::npos);
}

// Hostile module names, as a module file's VB_Name attribute may hold them.
const char* const kHostileNames[] = {
    "../../evil",  // climbs out of the kind folder and the site
    "/tmp/abs",    // an absolute path
    "a\\b",        // a Windows separator
    "a/b",         // the same name made safe, but another module
    "..",          // the parent folder itself
    ".",           // the folder itself
    ".hidden",     // a hidden file
    "tab\tname",   // a control character
    "esc\x1b[2J",  // a terminal escape
    "lt<gt>|*?:",  // characters Windows refuses
};

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

    std::set<std::string> pages;
    for (const char* name : kHostileNames) {
        pages.insert(safeFileName(name));
        EXPECT_TRUE(site.entries.count("Classes/" + safeFileName(name) + ".html")) << name;
        EXPECT_TRUE(site.entries.count("Classes/" + safeFileName(name) + "_Add.html")) << name;
    }
    EXPECT_EQ(pages.size(), std::size(kHostileNames));  // no two share a page
    // Every page sits directly in the site or one kind folder down, and
    // none is a hidden file.
    for (const auto& entry : withoutResources(site.entries)) {
        if (entry == SiteLayout::kStampFile || entry == SiteWriter::kManifestFile) continue;
        const size_t slash = entry.rfind('/', entry.size() - 2);
        EXPECT_NE(entry[slash == std::string::npos ? 0 : slash + 1], '.') << entry;
        const auto slashes = std::count(entry.begin(), entry.end(), '/');
        EXPECT_LE(slashes - (entry.back() == '/' ? 1 : 0), 1) << entry;
    }
    int links = 0;
    EXPECT_EQ(testing::brokenLinks(tmp.path() / "out", &links), std::vector<std::string>{});
    EXPECT_GT(links, 0);
}

TEST(RunHostile, MemberNamesOfAHandBuiltModuleStayInside) {
    TempFolder tmp;
    CProject project;
    auto module = std::make_shared<CModule>();
    module->setName("M");
    module->setModuleType(moduletype::Class);
    const std::string memberNames[] = {"../../x", "/etc/y", std::string("n\0ul", 4), "..",
                                       "a/b\\c"};
    for (const auto& name : memberNames) {
        auto variable = std::make_shared<CVariable>();
        variable->setName(name);
        variable->setScope(scope::Public);
        module->Add(variable);
    }
    project.Classes().Add(module);
    PageContext ctx;
    ctx.settings = GenerationSettings::dialogDefaults();
    std::filesystem::create_directories(tmp.path() / "out");
    SiteWriter writer(tmp / "out", nullptr, "now", 0, true);
    for (const Page& page : buildModulePages(*module, project, ctx)) writer.write(page, CodePage());

    EXPECT_EQ(topLevel(tmp.path()), std::set<std::string>{"out"});
    const auto site = listTree(tmp.path() / "out");
    for (const auto& name : memberNames)
        EXPECT_TRUE(site.count("Classes/M_" + safeFileName(name) + ".html")) << safeFileName(name);
    // The resources are not copied here: only links into them may fail.
    for (const auto& broken : testing::brokenLinks(tmp.path() / "out"))
        EXPECT_NE(broken.find("src/"), std::string::npos) << broken;
}

}  // namespace
}  // namespace tarnwick
