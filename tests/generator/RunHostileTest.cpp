// Hostile module and member names: whatever a name holds, every page lands
// inside the output folder under a safe file name, and the links that lead
// to it use the same name.
#include <gtest/gtest.h>

#include "generator/GenerationRun.h"
#include "generator/ModulePages.h"
#include "generator/SiteLayout.h"
#include "generator/SiteWriter.h"
#include "generator/SourcePage.h"
#include "model/CHelper.h"
#include "model/CVariable.h"
#include "support/Text.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::listTree;
using testing::TempFolder;

// Module names as a module file's VB_Name attribute may hold them.
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

TEST(RunHostile, ModuleNamesGivePagesInsideTheSiteAndLinksThatReachThem) {
    TempFolder tmp;
    std::vector<testing::TestModule> modules;
    for (const char* name : kHostileNames) modules.push_back({"Class", name});
    GenerationRequest request;
    request.projectPath = testing::writeProject(tmp.path() / "project", modules);
    request.outputFolder = tmp / "out";
    const auto projectFiles = listTree(tmp.path() / "project");

    const auto result = GenerationRun(request, nullptr, nullptr).run();
    ASSERT_TRUE(result) << result.error().message;
    EXPECT_EQ(result->modulesFailed, 0);
    EXPECT_EQ(result->modulesWritten, static_cast<int>(std::size(kHostileNames)));

    // Nothing beside the project and the site, nothing new in the project.
    std::set<std::string> top;
    for (const auto& e : fs::directory_iterator(tmp.path())) top.insert(e.path().filename());
    EXPECT_EQ(top, (std::set<std::string>{"project", "out"}));
    EXPECT_EQ(listTree(tmp.path() / "project"), projectFiles);
    EXPECT_FALSE(fs::exists(tmp.path().parent_path() / "evil.html"));

    const auto site = listTree(tmp.path() / "out");
    std::set<std::string> pages;
    for (const char* name : kHostileNames) {
        pages.insert(safeFileName(name));
        const std::string page = "Classes/" + safeFileName(name) + ".html";
        EXPECT_TRUE(site.count(page)) << name << " -> " << page;
        EXPECT_TRUE(site.count("Classes/" + safeFileName(name) + "_Add.html")) << name;
    }
    EXPECT_EQ(pages.size(), std::size(kHostileNames));  // no two share a page
    // Every page sits directly in the site or one kind folder down, and
    // none is a hidden file.
    for (const auto& entry : site) {
        if (entry.rfind("src/", 0) == 0 || entry == SiteLayout::kStampFile ||
            entry == SiteWriter::kManifestFile)
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
        variable->setDataType("Long");
        variable->setScope(1);
        module->Add(variable);
    }
    project.Classes().Add(module);

    PageContext ctx;
    ctx.settings = GenerationSettings::dialogDefaults();
    fs::create_directories(tmp.path() / "out");
    SiteWriter writer(tmp / "out", nullptr, "now", 0, true);
    for (const Page& page : buildModulePages(*module, project, ctx)) writer.write(page, CodePage());

    std::set<std::string> top;
    for (const auto& e : fs::directory_iterator(tmp.path())) top.insert(e.path().filename());
    EXPECT_EQ(top, std::set<std::string>{"out"});
    const auto site = listTree(tmp.path() / "out");
    for (const auto& name : memberNames) {
        EXPECT_TRUE(site.count("Classes/M_" + safeFileName(name) + ".html"))
            << "member " << safeFileName(name);
    }
    int links = 0;
    const auto broken = testing::brokenLinks(tmp.path() / "out", &links);
    // Only the member links are checked here: the resources are not copied.
    for (const auto& b : broken) {
        EXPECT_NE(b.find("src/"), std::string::npos) << b;
    }
}

TEST(RunHostile, ModulePagePathRefusesModulesWithoutPages) {
    CModule library;
    library.setName("stdole2.tlb");
    library.setModuleType(moduletype::Reference);
    EXPECT_THROW(modulePagePath(library, ".html"), PageWriteError);
    CModule form;
    form.setName("../f");
    form.setModuleType(moduletype::Form);
    EXPECT_EQ(modulePagePath(form, "_Uml.html"), "Forms/" + safeFileName("../f") + "_Uml.html");
}

}  // namespace
}  // namespace tarnwick
