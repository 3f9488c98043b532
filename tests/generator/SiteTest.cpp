// The parts of a site that are not pages (stamp file, case-spelling links),
// the {now} text, and a link check over the generated example site.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "generator/GenerationRun.h"
#include "generator/SiteLayout.h"
#include "generator/Timestamp.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::listTree;
using testing::TempFolder;

TEST(SiteLayoutLinks, MadeOnlyWhereTheTargetExistsAndTheNameIsFree) {
    TempFolder tmp;
    const fs::path out = tmp.path();
    fs::create_directories(out / "Classes");
    fs::create_directories(out / "Forms");
    testing::writeFile(out / "all-Classes.html", "c");
    testing::writeFile(out / "all-Forms.html", "f");
    testing::writeFile(out / "forms", "a file of the user's");  // name taken
    EXPECT_EQ(SiteLayout::linkCaseSpellings(out.string(), nullptr), 3);
    EXPECT_EQ(listTree(out),
              (std::set<std::string>{"Classes/", "Forms/", "all-Classes.html", "all-Forms.html",
                                     "all-classes.html -> all-Classes.html", "classes -> Classes",
                                     "all-forms.html -> all-Forms.html", "forms"}));
    EXPECT_EQ(testing::readFile(out / "forms"), "a file of the user's");
    // A second pass finds every name taken and changes nothing.
    EXPECT_EQ(SiteLayout::linkCaseSpellings(out.string(), nullptr), 0);
}

TEST(SiteLayoutStamp, MarksTheFolderAsAnEarlierSite) {
    TempFolder tmp;
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp / "none"), OutputFolderState::Missing);
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp.path().string()), OutputFolderState::Empty);
    testing::writeFile(tmp.path() / "x.txt", "x");
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp.path().string()), OutputFolderState::Foreign);
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp / "x.txt"), OutputFolderState::NotAFolder);
    ASSERT_TRUE(SiteLayout::writeStamp(tmp.path().string()));
    EXPECT_TRUE(SiteLayout::hasStamp(tmp.path().string()));
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp.path().string()),
              OutputFolderState::EarlierSite);
    fs::create_symlink(tmp / "gone", tmp.path() / "dangling");
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp / "dangling"), OutputFolderState::NotAFolder);
}

TEST(Timestamp, FixedTimeIsReadStrictlyAndWrittenInUtc) {
    const struct {
        const char* value;
        bool present;
        std::time_t seconds;
        bool invalid;
    } cases[] = {
        {"", false, 0, false},     {"0", true, 0, false},  {"86400", true, 86400, false},
        {"12abc", false, 0, true}, {"-5", false, 0, true}, {"1e9", false, 0, true},
    };
    for (const auto& c : cases) {
        bool invalid = false;
        const auto seconds = fixedTime(c.value, &invalid);
        EXPECT_EQ(seconds.has_value(), c.present) << c.value;
        if (seconds) {
            EXPECT_EQ(*seconds, c.seconds) << c.value;
        }
        EXPECT_EQ(invalid, c.invalid) << c.value;
    }
    // The tests run in the C locale: "%x %X" is MM/DD/YY HH:MM:SS.
    EXPECT_EQ(formatTimestamp(1000000000, true), "09/09/01 01:46:40");
    const auto now = makeNowFunction("86399");
    EXPECT_EQ(now(), "01/01/70 23:59:59");
    EXPECT_EQ(now(), now());
    // Without it, the current local time (whatever it is, it is not empty).
    EXPECT_FALSE(makeNowFunction("")().empty());
}

// The example project's site: every href and src of every page must reach
// an existing file as written (letter case included).
TEST(SiteLinkCheck, ExampleSiteHasNoBrokenLinks) {
    const fs::path examples = fs::path(TARNWICK_SOURCE_DIR) / "examples";
    int projects = 0;
    for (const auto& entry : fs::recursive_directory_iterator(examples)) {
        if (entry.path().extension() != ".vbp") continue;
        ++projects;
        TempFolder tmp;
        GenerationRequest request;
        request.projectPath = entry.path().string();
        request.outputFolder = tmp / "site";
        const fs::path registry = entry.path().parent_path() / "registry.reg";
        if (fs::exists(registry)) request.registryFile = registry.string();
        CollectingSink sink;
        const auto result = GenerationRun(request, nullptr, &sink).run();
        ASSERT_TRUE(result) << result.error().message;
        EXPECT_EQ(result->failures, std::vector<std::string>{}) << entry.path();
        int links = 0;
        const auto broken = testing::brokenLinks(tmp.path() / "site", &links);
        EXPECT_EQ(broken, std::vector<std::string>{}) << entry.path();
        EXPECT_GT(links, 100) << entry.path();
    }
    EXPECT_GT(projects, 0) << "no example project under " << examples;
}

}  // namespace
}  // namespace tarnwick
