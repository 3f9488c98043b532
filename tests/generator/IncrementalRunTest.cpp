// Re-runs write only what changed, repair a damaged site, and always give the fresh site.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "generator/run/GenerationRun.h"
#include "generator/run/SiteWriter.h"
#include "tests/generator/RunTestSupport.h"
#include "tests/support/FaultyFileSystem.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::listTree;
using testing::readFile;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::TestModule;
using testing::writeFile;

const std::vector<TestModule> kModules{
    {"Class", "CBeta"}, {"Class", "CAlpha"}, {"Form", "frmMain"}, {"Module", "modUtil"}};

GenerationRequest requestFor(const TempFolder& tmp, const std::string& out) {
    GenerationRequest request;
    request.projectPath = (tmp.path() / "project" / "Test.vbp").string();
    request.outputFolder = tmp / out;
    request.fixedTime = "1000000000";
    return request;
}

GenerationResult run(const GenerationRequest& request, GenerationObserver* observer = nullptr) {
    auto result = GenerationRun(request, observer, nullptr).run();
    EXPECT_TRUE(result) << result.error().message;
    return result ? result.value() : GenerationResult{};
}

// The navigation scripts of a site: "nav-index.js" and those of its modules.
std::set<std::string> navScripts(const fs::path& site) {
    std::set<std::string> names;
    for (const std::string& name : listTree(site))
        if (name.starts_with("nav") && name.back() != '/') names.insert(name);
    return names;
}

// Every file of the fresh site is in the other with the same bytes (but the manifest's times),
// and the other has no navigation script of a layout or a module it no longer has.
void expectSameSite(const fs::path& fresh, const fs::path& other, const std::string& row) {
    EXPECT_EQ(navScripts(other), navScripts(fresh)) << row;
    for (const auto& name : listTree(fresh)) {
        if (name == SiteWriter::kManifestFile) continue;
        const bool file = name.back() != '/' && name.find(" -> ") == std::string::npos;
        EXPECT_TRUE(file ? readFile(fresh / name) == readFile(other / name)
                         : listTree(other).count(name))
            << row << ": " << name;
    }
}

const int kSyntaxPages = 8;                   // Add and Reset of every module
const int kAllPages = 4 * 7 + 3 + 3 + 1 + 3;  // 7 per module, root, search, index, A-Z
// The start page is the project summary, no frameset; the navigation scripts: nav-index.js
// and one per module.
const int kModernPages = kAllPages + 1 + 4;

// Sets a file's modification time one second on, its bytes unchanged.
void touch(const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(1));
}

// Replaces the first from in file by to.
void edit(const fs::path& file, const std::string& from, const std::string& to) {
    std::string text = readFile(file);
    text.replace(text.find(from), from.size(), to);
    writeFile(file, text);
}

TEST(IncrementalRun, RewritesOnlyWhatChangedAndGivesTheFreshSite) {
    constexpr int kSome = -1;  // written: at least one page, how many the change decides
    const auto modern = [](GenerationRequest& request) {
        request.settings.layout = PageLayout::Modern;
    };
    struct Row {
        const char* name;
        std::function<void(const fs::path& out, const fs::path& project, GenerationRequest&)>
            change;
        int written;
        int pages = kAllPages;                                         // written and unchanged
        std::function<void(GenerationRequest&)> first = [](auto&) {};  // before the first run
    };
    const Row rows[] = {
        {"nothing changed", [](auto&, auto&, auto&) {}, 0},
        {"a page deleted",
         [](auto& out, auto&, auto&) { fs::remove(out / "Classes/CAlpha_Add.html"); }, 1},
        {"a page edited by hand, same size",
         [](auto& out, auto&, auto&) {
             std::string page = readFile(out / "Classes/CBeta.html");
             page[page.size() / 2] = page[page.size() / 2] == 'x' ? 'y' : 'x';
             writeFile(out / "Classes/CBeta.html", page);
             touch(out / "Classes/CBeta.html");  // times are coarse
         },
         1},
        // A link is no page, even to a copy of the page of the same size and time.
        {"a page replaced by a link to its copy",
         [](auto& out, auto&, auto&) {
             const fs::path page = out / "Classes/CBeta.html";
             const fs::path copy = out / "CBeta-copy.html";
             fs::copy_file(page, copy);
             fs::last_write_time(copy, fs::last_write_time(page));
             fs::remove(page);
             fs::create_symlink(copy, page);
         },
         1},
        // CBeta's overview, Add and code pages, and the search index.
        {"one module's description changed",
         [](auto&, auto& project, auto&) {
             edit(project / "m0.cls", "' Adds two numbers.", "' Adds two values.");
         },
         4},
        {"a module and the project file touched, bytes the same",
         [](auto&, auto& project, auto&) {
             touch(project / "m0.cls");
             touch(project / "Test.vbp");
         },
         0},
        {"a module's body changed",
         [](auto&, auto& project, auto&) { edit(project / "m0.cls", "A + B", "B + A"); }, kSome},
        // modUtil's file is as it was, but its Reset page now lists a caller.
        {"a call into another module added",
         [](auto&, auto& project, auto&) {
             edit(project / "m0.cls", "A + B", "A + B: modUtil.Reset");
         },
         kSome},
        // The search index lists the form's controls.
        {"a control placed on a form",
         [](auto&, auto& project, auto&) {
             edit(project / "m2.frm", "   Caption = \"X\"",
                  "   Caption = \"X\"\r\n   Begin VB.CommandButton cmdGo\r\n   End");
         },
         kSome},
        // CBeta's file is as it was, but its call now names a member: its
        // references are resolved again, not taken from the last run.
        {"a member another module calls added",
         [](auto&, auto& project, auto& request) {
             edit(project / "m0.cls", "A + B", "A + B: Clear");
             run(request);
             edit(project / "m3.bas", "Public Sub Reset()",
                  "Public Sub Clear()\r\nEnd Sub\r\nPublic Sub Reset()");
         },
         kSome, kAllPages + 1},
        // The last run's references are checked before they are taken.
        {"the references kept damaged, then a routine's body changed",
         [](auto& out, auto& project, auto&) {
             std::string memo = readFile(out / ".tarnwick-references");
             memo[memo.size() - 12] ^= 1;  // the last record's length
             writeFile(out / ".tarnwick-references", memo);
             edit(project / "m0.cls", "A + B", "B + A");
         },
         kSome},
        {"a member added to one module",
         [](auto&, auto& project, auto&) {
             edit(project / "m3.bas", "Public Sub Reset()",
                  "Public Sub Clear()\r\nEnd Sub\r\n"
                  "Public Sub Reset()");
         },
         kSome, kAllPages + 1},
        {"the translation changed",
         [](auto&, auto& project, auto&) {
             edit(project.parent_path() / "Translation.lng", "Overview=", "Overview=Neu ");
         },
         kSome},
        {"a resource changed",
         [](auto&, auto& project, auto&) {
             writeFile(project.parent_path() / "res/src/css/print.css", "body { }\n");
         },
         0},
        {"a style chosen", [](auto&, auto&, auto& request) { request.style = "Slate"; }, 1,
         kAllPages + 1},
        {"a define that changes nothing",
         [](auto&, auto&, auto& request) { request.defines = {"UNUSED=1"}; }, 0},
        {"a setting changed", [](auto&, auto&, auto& request) { request.settings.Syntax = false; },
         kSyntaxPages},
        {"--full", [](auto&, auto&, auto& request) { request.full = true; }, kAllPages},
        // The navigation scripts, unchanged, are not written again.
        {"one module's description changed, modern layout",
         [](auto&, auto& project, auto&) {
             edit(project / "m0.cls", "' Adds two numbers.", "' Adds two values.");
         },
         4, kModernPages, modern},
        {"a module removed, modern layout",
         [](auto&, auto& project, auto&) {
             edit(project / "Test.vbp", "Module=modUtil; m3.bas", "");
         },
         kSome, kSome, modern},
        {"the modern layout, then the framed one",
         [](auto&, auto&, auto& request) { request.settings.layout = PageLayout::Frames; }, kSome,
         kAllPages, [](auto& request) { request.settings.layout = PageLayout::Modern; }},
    };
    for (const Row& row : rows) {
        TempFolder tmp;
        testing::writeProject(tmp.path() / "project", kModules);
        fs::copy(TARNWICK_BIN_DIR "/Ressources", tmp.path() / "res", fs::copy_options::recursive);
        fs::copy(TARNWICK_BIN_DIR "/Translation.lng", tmp.path() / "Translation.lng");
        GenerationRequest request = requestFor(tmp, "out");
        request.resourceFolder = tmp / "res";
        request.translationFile = tmp / "Translation.lng";
        row.first(request);
        const int firstPages = run(request).pagesWritten;
        if (request.settings.layout == PageLayout::Frames) {
            ASSERT_EQ(firstPages, kAllPages) << row.name;
        }

        row.change(tmp.path() / "out", tmp.path() / "project", request);
        const GenerationResult again = run(request);
        if (row.written == kSome)
            EXPECT_GT(again.pagesWritten, 0) << row.name;
        else
            EXPECT_EQ(again.pagesWritten, row.written) << row.name;
        if (row.pages != kSome) {
            EXPECT_EQ(again.pagesWritten + again.pagesUnchanged, row.pages) << row.name;
        }

        request.outputFolder = tmp / "fresh";
        run(request);
        expectSameSite(tmp.path() / "fresh", tmp.path() / "out", row.name);
    }
}

// A user control's page names the forms that place it, and a form's page the
// routines of other modules that name it: both are rewritten when those
// change, though their own files did not.
TEST(IncrementalRun, PlacingAUserControlRewritesItsPage) {
    TempFolder tmp;
    testing::writeProject(tmp.path() / "project",
                          {{"UserControl", "ctlX"}, {"Form", "frmA"}, {"Module", "modB"}});
    GenerationRequest request = requestFor(tmp, "out");
    run(request);
    edit(tmp.path() / "project" / "m1.frm", "   Caption = \"X\"\r\n",
         "   Caption = \"X\"\r\n   Begin Test.ctlX ctlOne\r\n   End\r\n");
    run(request);
    EXPECT_NE(readFile(tmp.path() / "out/UserControls/ctlX.html").find("id=\"UsedOn\""),
              std::string::npos);
    edit(tmp.path() / "project" / "m2.bas", "    m_Count = 0",
         "    m_Count = 0: frmA.ctlOne.Reset");
    run(request);
    EXPECT_NE(readFile(tmp.path() / "out/Forms/frmA.html").find("modB.Reset"), std::string::npos);
    request.outputFolder = tmp / "fresh";
    run(request);
    expectSameSite(tmp.path() / "fresh", tmp.path() / "out", "a user control placed");
}

// The defines are part of what a module's pages are kept by.
TEST(IncrementalRun, ADefineThatTurnsABranchRewritesThatModule) {
    TempFolder tmp;
    testing::writeProject(tmp.path() / "project", kModules);
    const fs::path module = tmp.path() / "project" / "m0.cls";
    writeFile(module,
              readFile(module) + "#If TRACE Then\r\nPublic Sub Trace()\r\nEnd Sub\r\n#End If\r\n");
    GenerationRequest request = requestFor(tmp, "out");
    run(request);
    request.defines = {"TRACE=1"};
    run(request);
    EXPECT_TRUE(fs::exists(tmp.path() / "out/Classes/CBeta_Trace.html"));
}

// A run killed while the workers write leaves a site the next run repairs.
TEST(IncrementalRun, ARunKilledHalfWayIsRepairedByTheNext) {
    struct Row {
        const char* name;
        bool earlierSite;  // a finished site is there before the killed run
        int killAt;        // the killed run dies when this module is announced
    };
    const Row rows[] = {{"first run killed", false, 2}, {"re-run killed", true, 3}};
    for (const Row& row : rows) {
        TempFolder tmp;
        testing::writeProject(tmp.path() / "project", kModules);
        GenerationRequest request = requestFor(tmp, "out");
        request.jobs = 2;
        if (row.earlierSite) {
            run(request);
            request.settings.Syntax = false;  // the killed run rewrites the member pages
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            struct Killer : RecordingObserver {
                int at;
                void moduleStarted(const std::string&, const std::string&) override {
                    if (--at == 0) raise(SIGKILL);
                }
            } killer;
            killer.at = row.killAt;
            (void)GenerationRun(request, &killer, nullptr).run();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << row.name;

        run(request);
        request.outputFolder = tmp / "fresh";
        run(request);
        expectSameSite(tmp.path() / "fresh", tmp.path() / "out", row.name);
    }
}

// A disk that fails a re-run part-way (full, a rename refused, a folder made read-only) leaves
// every page whole, old or new, and the next run repairs the site; writes cut short are no
// failure at all.
TEST(IncrementalRun, ADiskThatFailsARunLeavesWholePagesAndTheNextRunRepairs) {
    using Call = testing::FaultyFileSystem::Call;
    struct Row {
        const char* name;
        std::function<void(testing::FaultyFileSystem&, const fs::path& out)> fault;
        bool fails = true;
        const char* says = "";  // in the failures the run reports
    };
    const Row rows[] = {
        {"disk full at the 9th write",
         [](auto& disk, auto&) { disk.failFrom(Call::Write, 9, ENOSPC); }, true,
         "No space left on device"},
        {"the 4th rename refused", [](auto& disk, auto&) { disk.failFrom(Call::Rename, 4, EIO); }},
        {"the lock file cannot be made",
         [](auto& disk, auto&) { disk.failFrom(Call::Open, 1, EMFILE); }},
        {"a kind folder read-only",
         [](auto& disk, auto& out) { disk.makeReadOnly((out / "Classes").string()); }},
        {"every write cut to 7 bytes", [](auto& disk, auto&) { disk.cutWritesTo(7); }, false},
    };
    for (const Row& row : rows) {
        TempFolder tmp;
        testing::writeProject(tmp.path() / "project", kModules);
        GenerationRequest request = requestFor(tmp, "out");
        run(request);
        // The faulty run has new bytes for every page to write.
        edit(tmp.path() / "project" / "m0.cls", "' Adds two numbers.", "' Adds two values.");
        request.full = true;
        testing::FaultyFileSystem disk;
        row.fault(disk, tmp.path() / "out");
        request.fileSystem = &disk;
        const auto faulty = GenerationRun(request, nullptr, nullptr).run();
        EXPECT_EQ(!faulty || !faulty.value().failures.empty() || faulty.value().modulesFailed > 0,
                  row.fails)
            << row.name;
        std::string told = faulty ? std::string() : faulty.error().message;
        if (faulty)
            for (const std::string& failure : faulty.value().failures) told += failure + "\n";
        EXPECT_NE(told.find(row.says), std::string::npos) << row.name << ": " << told;
        for (const auto& name : listTree(tmp.path() / "out")) {
            EXPECT_EQ(name.find(".tarnwick-part"), std::string::npos) << row.name << ": " << name;
            if (name.ends_with(".html") && name.find(" -> ") == std::string::npos) {
                const std::string page = readFile(tmp.path() / "out" / name);
                EXPECT_TRUE(page.find("</HTML>") != std::string::npos ||
                            page.find("</html>") != std::string::npos)
                    << row.name << ": " << name << " cut off";
            }
        }
        request.fileSystem = nullptr;
        request.full = false;
        run(request);
        request.outputFolder = tmp / "fresh";
        run(request);
        expectSameSite(tmp.path() / "fresh", tmp.path() / "out", row.name);
    }
}

TEST(IncrementalRun, ParallelSerialAndRepeatedRunsGiveTheSameSiteAndReports) {
    TempFolder tmp;
    std::vector<TestModule> modules = kModules;
    for (int i = 0; i < 12; ++i) modules.push_back({"Class", "CMore" + std::to_string(i)});
    testing::writeProject(tmp.path() / "project", modules);
    RecordingObserver serial, parallel;
    GenerationRequest request = requestFor(tmp, "serial");
    request.jobs = 1;
    run(request, &serial);
    request = requestFor(tmp, "parallel");
    request.jobs = 4;
    run(request, &parallel);
    EXPECT_EQ(listTree(tmp.path() / "serial"), listTree(tmp.path() / "parallel"));
    expectSameSite(tmp.path() / "serial", tmp.path() / "parallel", "parallel");
    // A re-run that writes nothing tells the same.
    RecordingObserver again;
    EXPECT_EQ(run(request, &again).pagesWritten, 0);
    EXPECT_TRUE(serial.started == parallel.started && serial.console == parallel.console &&
                serial.percents == parallel.percents && again.console == parallel.console &&
                again.started == parallel.started);
}

}  // namespace
}  // namespace tarnwick
