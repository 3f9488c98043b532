// Golden pages of the example site; TARNWICK_UPDATE_GOLDEN=1 rewrites them (see tests/golden).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <vector>

#include "generator/run/GenerationRun.h"
#include "support/Hash.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

struct GoldenCase {
    const char* page;    // path inside the site
    const char* guards;  // what a change in this page would mean
};
const GoldenCase kGoldenCases[] = {
    {"Classes/CAccount.html",
     "module overview: head, bar, header, modules used and using, link list, tables, footer"},
    {"Forms/frmMain.html", "form overview: form kind in header, data-type link from a form"},
    {"Classes/CAccount_Post.html",
     "function: syntax, parameter table, Optional, Returns, source, Used by (a row per caller), "
     "Calls"},
    {"Classes/CAccount_Reset.html", "subroutine: parameter table without Returns section"},
    {"Classes/CAccount_Number.html", "property: Get and Let share one page, Get first, in full"},
    {"Classes/CAccount_Changed.html", "event: syntax layout and parameter table, no Returns"},
    {"Modules/modLedger_GetPrivateProfileString.html", "declaration: Alias on its own line"},
    {"Modules/modFormat_ParseCents.html", "authors' text: kept, escaped, dropped, paragraphs"},
    {"Modules/modLedger_MAX_PATH.html", "constant: description and source only"},
    {"Classes/CAccount_m_Balance.html", "variable: description and source only"},
    {"Forms/frmMain_m_Journal.html", "member of a form: Form2 icon, description and source"},
    {"Modules/modLedger_SYSTEMTIME.html", "type: type syntax layout and parts table"},
    {"Classes/CAccount_AccountKind.html", "enum: parts table with its Value column"},
    {"Classes/CAccount_IAccount.html", "implementation: description and source only"},
    {"Classes/CAccount_Uml.html", "UML: class box with compartments, marks and type links"},
    {"Classes/CAccount_Object.html",
     "object model: tree rows, images, toggle ids, members linked to their pages"},
    {"Modules/modFormat_Code.html",
     "code page: numbered, coloured listing, resolved names linked, an L anchor per line"},
    {"project-summary.html", "project summary: references and controls sorted, one-line rows"},
    {"module-summary.html", "module summary: kind counts and all modules sorted together"},
    {"all-Classes.html", "kind index: the class list in the parser's order"},
    {"all-summary.html", "overview list: project, all files and the kind lists written"},
    {"index.html", "frameset from the resource folder, declaring the pages' encoding"},
    {"search.html", "search page: form, result table, the script's texts in the language"},
    {"search-index.js", "search index: a row per module and member page, by name, ASCII"},
    {"all-members.html", "A-Z page: letters as anchors, every member with kind and module"},
    {"Classes/IAccount.html", "interface class: the classes that implement it, as links"},
    {"Classes/CAccount_IAccount_Post.html", "interface routine: link to the member it implements"},
    {"Classes/CEntry_Kind.html", "type cross-links: an Enum of another module in syntax blocks"},
    {"Classes/CEntry.html",
     "a data type qualified with the project's own name links to the class (Variable Summary)"},
    {"Forms/frmOptions.html",
     "form design: picture, controls by container, arrays, a user control placed twice, menus "
     "with shortcuts and a separator, handlers linked"},
    {"Forms/frmOptions_cmdOK_Click.html", "handler: its event and control, linked to the entry"},
    {"Forms/frmOptions_Object.html", "object model of a form: its controls and menus first"},
    {"UserControls/ctlAmountBox.html", "user control: the forms that place it, how often"},
    // The same project in the modern layout, in the folder "modern".
    {"modern/index.html", "modern start: HTML5 head, header, plain navigation, crumbs, footer"},
    {"modern/Classes/CAccount_Post.html", "modern member page: crumbs, section addresses"},
    {"modern/Classes/CAccount_Uml.html", "modern module page: tabs with the current one marked"},
    {"modern/Classes/CAccount_Code.html",
     "modern code page: a span per line numbered and addressed as the module file, classes"},
    {"modern/module-summary.html", "modern list page: links aimed at no frame"},
    {"modern/nav-index.js", "navigation index: kinds, modules with their pages, member counts"},
    {"modern/Forms/frmOptions.html", "modern form page: the picture and the sections"},
    {"modern/Forms/frmOptions_Text1_Change.html", "modern handler of a control array's event"},
    {"modern/nav/Classes/CAccount.js", "a module's members for the navigation, with their kinds"},
};

// The first differing line, CR shown as "\r" so a lost CR LF is visible.
std::string describeDifference(const std::string& expected, const std::string& actual) {
    std::istringstream want(expected), got(actual);
    const auto visible = [](std::string t) {
        return std::regex_replace(t, std::regex("\r"), "\\r");
    };
    for (int line = 1;; ++line) {
        std::string a, b;
        const bool moreA = bool(std::getline(want, a)), moreB = bool(std::getline(got, b));
        if (moreA && moreB && a == b) continue;
        return "first difference at line " + std::to_string(line) + "\n-" +
               (moreA ? visible(a) : "(end)") + "\n+" + (moreB ? visible(b) : "(end)") + "\n";
    }
}

// The environment a page's timestamp or code-page conversion could follow.
std::string environmentKey() {
    std::string key;
    for (const char* name : {"TZ", "LANG", "LC_ALL", "LC_CTYPE", "LC_TIME", "LC_MESSAGES"}) {
        const char* value = std::getenv(name);
        key += std::string(name) + '=' + (value ? value : "(unset)") + '\n';
    }
    return key;
}

// The test program (which holds the generator) and every input file of the
// site, by size, inode and time: a build or an edited input changes it.
std::string inputsKey(const fs::path& source) {
    std::ostringstream key;
    const auto stamp = [&key](const fs::path& file, const std::string& name) {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) return;
        key << name << ' ' << st.st_size << ' ' << st.st_ino << ' ' << st.st_mtim.tv_sec << '.'
            << st.st_mtim.tv_nsec << '\n';
    };
    stamp("/proc/self/exe", "program");
    for (const char* folder : {"examples/Ledger", "Ressources"}) {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(source / folder))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files) stamp(f, f.lexically_relative(source).generic_string());
    }
    stamp(source / "Translation.lng", "Translation.lng");
    return key.str();
}

// The example site in both layouts (the modern one in the folder "modern").
// Under CTest every case runs in its own process, so the site is made once
// per build and environment into the build folder, one folder per
// environment (the suite's second pass runs in another time zone): the
// first process takes the folder's lock, generates and writes the key; the
// others, waiting on the lock, find the key and read the pages. The lock is
// held shared while pages are read, so no process rebuilds the site under
// another's feet.
class GoldenSite : public ::testing::TestWithParam<GoldenCase> {
protected:
    static void SetUpTestSuite() {
        const fs::path cache = TARNWICK_TEST_CACHE_DIR;
        const fs::path source = TARNWICK_SOURCE_DIR;
        const std::string environment = environmentKey();
        const std::string key = inputsKey(source) + environment;
        const std::string stem = "golden-site-" + hex16(hashBytes(environment));
        fs::create_directories(cache);
        s_site = cache / stem;
        const fs::path lock = cache / (stem + ".lock"), keyFile = cache / (stem + ".key");
        s_lock = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (s_lock < 0 || ::flock(s_lock, LOCK_EX) != 0) {
            s_error = "cannot lock " + lock.string();
            return;
        }
        if (!fs::exists(s_site) || !fs::exists(keyFile) || readFile(keyFile) != key) {
            fs::remove(keyFile);
            fs::remove_all(s_site);
            generate(source);
            if (s_error.empty()) writeFile(keyFile, key);
        }
        ::flock(s_lock, LOCK_SH);
    }
    static void TearDownTestSuite() {
        if (s_lock >= 0) ::close(s_lock);
        s_lock = -1;
    }

    static void generate(const fs::path& source) {
        GenerationRequest request;
        request.projectPath = (source / "examples/Ledger/Ledger.vbp").string();
        request.outputFolder = s_site.string();
        request.registryFile = (source / "examples/Ledger/registry.reg").string();
        request.translationFile = (source / "Translation.lng").string();
        request.resourceFolder = (source / "Ressources").string();
        request.settings.Implementations = true;  // so the implementation page exists
        request.fixedTime = "1700000000";         // UTC keeps it machine-independent
        for (const PageLayout layout : {PageLayout::Frames, PageLayout::Modern}) {
            request.settings.layout = layout;
            if (layout == PageLayout::Modern) request.outputFolder = (s_site / "modern").string();
            auto result = GenerationRun(request, nullptr, nullptr).run();
            if (!result) s_error = result.error().message;
            if (result && result->modulesFailed > 0) s_error = result->failures.front();
        }
    }

    static inline fs::path s_site;
    static inline std::string s_error;
    static inline int s_lock = -1;
};

TEST_P(GoldenSite, PageMatches) {
    ASSERT_TRUE(s_error.empty()) << s_error;
    const GoldenCase& c = GetParam();
    ASSERT_TRUE(fs::exists(s_site / c.page)) << c.page << " was not generated";
    const std::string actual = readFile(s_site / c.page);
    const fs::path golden = fs::path(TARNWICK_SOURCE_DIR) / "tests/golden" / c.page;
    const fs::path actualCopy = golden.string() + ".actual";

    const char* update = std::getenv("TARNWICK_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") writeFile(golden, actual);
    fs::remove(actualCopy);
    const std::string expected = readFile(golden);  // empty when there is none yet
    if (expected == actual) return;
    writeFile(actualCopy, actual);
    ADD_FAILURE() << c.page << " differs from its golden page (guards: " << c.guards << ")\n"
                  << describeDifference(expected, actual) << "actual page written to "
                  << actualCopy.string() << "\nto accept: TARNWICK_UPDATE_GOLDEN=1";
}

INSTANTIATE_TEST_SUITE_P(ExampleSite, GoldenSite, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& info) {
                             return std::regex_replace(info.param.page, std::regex("\\W"), "_");
                         });

}  // namespace
}  // namespace tarnwick
