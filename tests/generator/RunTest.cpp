// The generation run end to end: which pages a run writes for which
// settings, the order and the cancel points, the progress texts, the output
// folder rules, error containment per module and reproducible sites.
#include <gtest/gtest.h>

#include <algorithm>

#include "generator/GenerationRun.h"
#include "generator/SiteLayout.h"
#include "generator/SiteWriter.h"
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

TEST(RunPageSet, AllKindsOffWritesOnlyTheSummariesAndResources) {
    TempFolder tmp;
    GenerationSettings settings = GenerationSettings::dialogDefaults();
    settings.Classes = settings.Modules = settings.Forms = false;
    settings.PropertyPages = settings.UserControls = false;
    RecordingObserver observer;
    const Site site = generate(tmp, mixedProject(), settings, &observer);
    ASSERT_TRUE(site.result) << site.result.error().message;
    EXPECT_EQ(withoutResources(site.entries), unite(kAlways, {"src/"}));
    EXPECT_TRUE(site.entries.count("src/css/screen.css"));
    EXPECT_TRUE(observer.started.empty());
    EXPECT_TRUE(observer.percents.empty());
    EXPECT_EQ(site.result->modulesWritten, 0);
}

TEST(RunPageSet, ClassesOffFormsOnWritesFormPagesAndLinksNoClass) {
    TempFolder tmp;
    GenerationSettings settings = GenerationSettings::dialogDefaults();
    settings.Classes = settings.Modules = false;
    const Site site = generate(tmp, mixedProject(), settings);
    ASSERT_TRUE(site.result) << site.result.error().message;
    const auto expected =
        unite(unite(kAlways, {"src/", "Forms/", "all-Forms.html",
                              "all-forms.html -> all-Forms.html", "forms -> Forms"}),
              modulePages("Forms", "frmMain"));
    EXPECT_EQ(withoutResources(site.entries), expected);
    const std::string summary = testing::readFile(tmp.path() / "out/module-summary.html");
    EXPECT_EQ(summary.find("CAlpha"), std::string::npos);
    EXPECT_EQ(summary.find("all-classes.html"), std::string::npos);
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

TEST(RunCancel, DuringTheFirstClassKeepsExactlyThatClass) {
    TempFolder tmp;
    // One thread: with more, the modules after it may be written already.
    RecordingObserver observer(RecordingObserver::CancelAt::FirstConsoleLine);
    const Site site =
        generate(tmp, mixedProject(), GenerationSettings::dialogDefaults(), &observer, nullptr, 1);
    ASSERT_TRUE(site.result) << site.result.error().message;
    EXPECT_TRUE(site.result->cancelled);
    const auto expected =
        unite(unite(kAlways, {"src/", "Classes/", "all-Classes.html",
                              "all-classes.html -> all-Classes.html", "classes -> Classes"}),
              modulePages("Classes", "CAlpha"));
    EXPECT_EQ(withoutResources(site.entries), expected);
    EXPECT_EQ(observer.started.size(), 2u);  // CBeta was announced, then not written
    EXPECT_EQ(site.result->modulesWritten, 1);
}

TEST(RunCancel, BeforeTheFirstModuleWritesNoModulePage) {
    TempFolder tmp;
    RecordingObserver observer(RecordingObserver::CancelAt::FirstModuleStarted);
    const Site site =
        generate(tmp, mixedProject(), GenerationSettings::dialogDefaults(), &observer, nullptr, 1);
    ASSERT_TRUE(site.result) << site.result.error().message;
    EXPECT_TRUE(site.result->cancelled);
    EXPECT_EQ(withoutResources(site.entries),
              unite(kAlways, {"src/", "all-Classes.html", "all-classes.html -> all-Classes.html"}));
    EXPECT_TRUE(observer.percents.empty());
}

TEST(RunProgress, PercentagesRoundHalvesToEven) {
    struct Case {
        int modules;
        std::vector<std::string> percents;
    };
    const Case cases[] = {
        {10, {"10 %", "20 %", "30 %", "40 %", "50 %", "60 %", "70 %", "80 %", "90 %", "100 %"}},
        {4, {"25 %", "50 %", "75 %", "100 %"}},
        {3, {"33 %", "67 %", "100 %"}},
        {8, {"12 %", "25 %", "38 %", "50 %", "62 %", "75 %", "88 %", "100 %"}},
        {1, {"100 %"}},
    };
    for (const auto& c : cases) {
        TempFolder tmp;
        std::vector<TestModule> modules;
        for (int i = 0; i < c.modules; ++i) modules.push_back({"Class", "C" + std::to_string(i)});
        RecordingObserver observer;
        const Site site = generate(tmp, modules, GenerationSettings::dialogDefaults(), &observer);
        ASSERT_TRUE(site.result) << c.modules;
        EXPECT_EQ(observer.percents, c.percents) << c.modules;
        ASSERT_FALSE(observer.maxima.empty()) << c.modules;
        EXPECT_EQ(observer.maxima.back(), c.modules) << c.modules;
    }
}

TEST(RunProgress, MaximumCountsOnlyKindsSwitchedOn) {
    TempFolder tmp;
    GenerationSettings settings = GenerationSettings::dialogDefaults();
    settings.Modules = false;
    RecordingObserver observer;
    const Site site = generate(tmp, mixedProject(), settings, &observer);
    ASSERT_TRUE(site.result);
    EXPECT_EQ(observer.percents, (std::vector<std::string>{"33 %", "67 %", "100 %"}));
}

TEST(RunOutputFolder, RefusesAFileAndAForeignFolderAndAcceptsEarlierSites) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> prepare;
        bool force;
        bool accepted;
    };
    namespace fs = std::filesystem;
    const Case cases[] = {
        {"missing folder (nested)", [](const fs::path&) {}, false, true},
        {"empty folder", [](const fs::path& out) { fs::create_directories(out); }, false, true},
        {"a file", [](const fs::path& out) { testing::writeFile(out, "x"); }, false, false},
        {"a file, forced", [](const fs::path& out) { testing::writeFile(out, "x"); }, true, false},
        {"foreign folder",
         [](const fs::path& out) { testing::writeFile(out / "notes.txt", "mine"); }, false, false},
        {"foreign folder, forced",
         [](const fs::path& out) { testing::writeFile(out / "notes.txt", "mine"); }, true, true},
        {"earlier site",
         [](const fs::path& out) {
             testing::writeFile(out / "notes.txt", "mine");
             ASSERT_TRUE(SiteLayout::writeStamp(out.string()));
         },
         false, true},
    };
    for (const auto& c : cases) {
        TempFolder tmp;
        const fs::path out = tmp.path() / "sites" / "out";
        c.prepare(out);
        const auto before = fs::is_directory(out) ? listTree(out) : std::set<std::string>{};
        GenerationRequest request;
        request.projectPath = writeProject(tmp.path() / "project", {{"Class", "CAlpha"}});
        request.outputFolder = out.string();
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
    bool reported = false;
    for (const auto& d : sink.items()) {
        if (d.severity == Diagnostic::Severity::Error &&
            d.file.find("Classes/CBeta.html") != std::string::npos &&
            d.message.find("CBeta") != std::string::npos) {
            reported = true;
        }
    }
    EXPECT_TRUE(reported);
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

}  // namespace
}  // namespace tarnwick
