// The built `tarnwick` as a user runs it: generate, dump and check.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CheckReport.h"
#include "tests/generator/RunTestSupport.h"

extern char** environ;

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;

struct Outcome {
    int status = -1;  // exit status; 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs tarnwick with args; onStderr sees the stderr so far and the child's pid.
Outcome tarnwick(const std::vector<std::string>& args,
                 const std::function<void(const std::string&, pid_t)>& onStderr = {}) {
    std::vector<std::string> all{std::string(TARNWICK_BIN_DIR) + "/tarnwick"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    Outcome outcome;
    if (spawned != 0) return outcome;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(std::exchange(fds[i].fd, -1));
                --open;
            } else {
                (i == 0 ? outcome.out : outcome.err).append(buffer, static_cast<size_t>(n));
                if (i == 1 && onStderr) onStderr(outcome.err, pid);
            }
        }
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return outcome;
}

// An option generate, dump, check and api share reads alike in each one's help.
TEST(Help, SharedOptionsReadAlikeInEveryCommand) {
    std::map<std::string, std::map<std::string, std::string>> lines;  // option, command: line
    for (const char* command : {"generate", "dump", "check", "api"}) {
        const Outcome help = tarnwick({command, "--help"});
        std::istringstream in(help.out);
        for (std::string line; std::getline(in, line);)
            if (line.find_first_not_of(' ') == 2)
                lines[line.substr(2, line.find(' ', 2) - 2)][command] = line;
    }
    for (const char* option :
         {"PROJECTS", "--codepage", "--define", "--settings", "--registry", "--translation"}) {
        ASSERT_GE(lines[option].size(), 2u) << option;
        for (const auto& [command, line] : lines[option])
            EXPECT_EQ(line, lines[option].begin()->second) << option << " in " << command;
    }
}

class GenerateCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_vbp = testing::writeProject(m_tmp.path() / "project",
                                      {{"Class", "CAlpha"}, {"Form", "frmMain"}});
        m_out = m_tmp / "out";
    }
    // generate m_vbp -o m_out, then extra.
    Outcome generate(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{"generate", m_vbp, "-o", m_out};
        args.insert(args.end(), extra.begin(), extra.end());
        return tarnwick(args);
    }
    TempFolder m_tmp;
    std::string m_vbp;
    std::string m_out;
};

TEST_F(GenerateCommand, UsageErrorsExitTwoAndNameTheWord) {
    const struct {
        std::vector<std::string> extra;
        std::string named;  // the message names it
    } cases[] = {
        {{"--kinds", "classes,widgets"}, "widgets"},
        {{"--members", "functions,gadgets"}, "gadgets"},
        {{"--scopes", "public,secret"}, "secret"},
        {{"--sections", "uml,footer"}, "footer"},
        {{"--style", "Nope"}, "Nope"},
        {{"--layout", "tabs"}, "tabs"},
        {{"--settings", "missing.tarnwick"}, "missing.tarnwick"},
        {{"--codepage", "klingon-42"}, "klingon-42"},
        {{"--frobnicate"}, "frobnicate"},
        // Encodings in which a name's bytes could spell markup; the list of good ones is given.
        {{"--output-encoding", "UTF-16LE"},
         "\"UTF-16LE\": a browser could read text in it as "
         "markup; give an output encoding of UTF-8, "},
        {{"--output-encoding", "UTF-16BE"}, "UTF-16BE"},
        {{"--output-encoding", "IBM037"}, "IBM037"},
        {{"--codepage", "UTF-16LE"}, "\"UTF-16LE\", the code page of the project's files"},
    };
    for (const auto& c : cases) {
        const Outcome o = generate(c.extra);
        EXPECT_EQ(o.status, 2) << c.named << ": " << o.err;
        EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
        EXPECT_FALSE(fs::exists(m_out)) << c.named;
    }
    EXPECT_EQ(tarnwick({"generate", m_vbp}).status, 2);  // no -o

    // A settings file's ESC, BEL and CR reach the terminal escaped.
    const std::string settings = m_tmp / "odd.tarnwick";
    testing::writeFile(settings, "[generate]\n\x1b]0;owned\x07\r = 1\n");
    const Outcome odd = generate({"--settings", settings});
    EXPECT_EQ(odd.status, 2);
    EXPECT_NE(odd.err.find("unknown key \"\\x1B]0;owned\\x07\\x0D\""), std::string::npos)
        << odd.err;
    EXPECT_EQ(odd.err.find_first_of("\x1b\x07\r"), std::string::npos) << odd.err;
}

// An output the settings file names outside its own folder is written only when given as -o.
TEST_F(GenerateCommand, SettingsFileOutputOutsideItsFolderNeedsTheCommandLine) {
    const std::string settings = fs::path(m_vbp).replace_extension(".tarnwick").string();
    fs::create_directories(m_tmp.path() / "project/docs");
    fs::create_directory_symlink(m_tmp.path(), m_tmp.path() / "project/up");
    for (const std::string& output :
         {std::string("../elsewhere"), m_tmp / "elsewhere", std::string("up/elsewhere")}) {
        testing::writeFile(settings,
                           "[generate]\n; from a pull request\noutput = " + output + "\n");
        const Outcome refused = tarnwick({"generate", m_vbp});
        EXPECT_EQ(refused.status, 2) << output;
        EXPECT_NE(refused.err.find(settings + ":3: output \"" + output + "\" leaves the folder"),
                  std::string::npos)
            << refused.err;
        EXPECT_FALSE(fs::exists(m_tmp.path() / "elsewhere")) << output;
    }
    EXPECT_EQ(generate().status, 0);  // -o given: the file's output is not used
    testing::writeFile(settings, "[generate]\noutput = docs/site\n");
    const Outcome inside = tarnwick({"generate", m_vbp});
    EXPECT_EQ(inside.status, 0) << inside.err;
    EXPECT_TRUE(fs::exists(m_tmp.path() / "project/docs/site/index.html"));
}

TEST_F(GenerateCommand, UnusableInputOrOutputExitsOneNamingThePath) {
    testing::writeFile(m_tmp.path() / "afile", "x");
    testing::writeFile(m_tmp.path() / "foreign/notes.txt", "mine");
    const struct {
        std::string project, output, named;
    } cases[] = {
        {m_tmp / "nope.vbp", m_out, "nope.vbp"},
        {m_vbp, m_tmp / "afile", m_tmp / "afile"},
        {m_vbp, m_tmp / "foreign", m_tmp / "foreign"},
    };
    for (const auto& c : cases) {
        const Outcome o = tarnwick({"generate", c.project, "-o", c.output});
        EXPECT_EQ(o.status, 1) << c.named << ": " << o.err;
        EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "") << c.named;
    }
    EXPECT_EQ(testing::listTree(m_tmp.path() / "foreign"), std::set<std::string>{"notes.txt"});
    const Outcome forced = tarnwick({"generate", m_vbp, "-o", m_tmp / "foreign", "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(fs::exists(m_tmp.path() / "foreign/notes.txt"));
}

TEST_F(GenerateCommand, SuccessPrintsTheStartPageAndNothingElseOffATerminal) {
    const Outcome o = generate(), quiet = generate({"-q"}), verbose = generate({"-v"});
    EXPECT_EQ(std::to_string(o.status) + o.out + o.err, "0" + m_out + "/index.html\n");
    EXPECT_TRUE(fs::is_regular_file(m_out + "/Classes/CAlpha_Add.html"));
    EXPECT_EQ(std::to_string(quiet.status) + quiet.out + quiet.err, "0");
    for (const char* line :
         {"Generating Class: CAlpha\n", "Create documentation for Class CAlpha\n",
          "Create documentation for Form frmMain\n"})
        EXPECT_NE(verbose.err.find(line), std::string::npos) << verbose.err;
}

TEST_F(GenerateCommand, KindsMembersSyntaxAndLanguageReachThePages) {
    testing::writeFile(m_tmp.path() / "t.lng", "[Test]\r\nSummary=Overview-of-members\r\n");
    const Outcome o = generate({"--kinds", "Forms", "--members", "functions", "--no-syntax",
                                "--translation", m_tmp / "t.lng", "--language", "Test"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_FALSE(fs::exists(m_out + "/Classes"));
    EXPECT_TRUE(fs::exists(m_out + "/Forms/frmMain_Add.html"));
    EXPECT_FALSE(fs::exists(m_out + "/Forms/frmMain_Reset.html"));
    EXPECT_NE(readFile(m_out + "/Forms/frmMain.html").find("Overview-of-members"),
              std::string::npos);
    EXPECT_EQ(readFile(m_out + "/Forms/frmMain_Add.html").find("SYNTAX"), std::string::npos);

    const Outcome none = tarnwick({"generate", m_vbp, "-o", m_tmp / "none", "--kinds", ""});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_FALSE(fs::exists(m_tmp.path() / "none/Forms"));
    EXPECT_TRUE(fs::exists(m_tmp.path() / "none/module-summary.html"));
}

TEST_F(GenerateCommand, FailedModuleExitsOne) {
    fs::create_directories(m_out + "/Classes/CAlpha.html");
    testing::writeFile(m_out + "/.tarnwick-site", "");
    const Outcome o = generate();
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("CAlpha"), std::string::npos) << o.err;
    EXPECT_TRUE(fs::exists(m_out + "/Forms/frmMain_Code.html"));
}

TEST_F(GenerateCommand, WriteFailingHalfWayLeavesNoCutOffPageAndExitsOne) {
    // A file size limit fails every write beyond 4096 bytes, as a full disk would;
    // --full writes the pages of the earlier site again.
    auto limited = [&](const std::string& out) {
        const std::string command = "trap '' XFSZ; ulimit -f 8; exec '" +
                                    std::string(TARNWICK_BIN_DIR) + "/tarnwick' generate --full '" +
                                    m_vbp + "' -o '" + out + "' 2>'" + (m_tmp / "err.txt") + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    // A new site: the page that failed is not there at all.
    EXPECT_EQ(limited(m_out), 1);
    const std::string err = readFile(m_tmp / "err.txt");
    EXPECT_NE(err.find("Classes/CAlpha.html"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(m_out + "/Classes/CAlpha.html"));
    EXPECT_TRUE(fs::exists(m_out + "/Forms/frmMain_Add.html"));  // the next module's small page

    // An earlier site: the page that failed keeps its earlier content.
    const std::string earlier = m_tmp / "earlier";
    ASSERT_EQ(tarnwick({"generate", m_vbp, "-o", earlier, "-q"}).status, 0);
    const std::string before = readFile(earlier + "/Classes/CAlpha.html");
    EXPECT_EQ(limited(earlier), 1);
    EXPECT_EQ(readFile(earlier + "/Classes/CAlpha.html"), before);

    for (const auto& site : {m_out, earlier}) {
        for (const auto& entry : testing::listTree(site)) {
            EXPECT_EQ(entry.find(".tarnwick-part"), std::string::npos) << entry;
        }
    }
}

// Every file of a site with its bytes (links as their targets).
std::map<std::string, std::string> siteFiles(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const std::string& entry : testing::listTree(root)) {
        if (entry == ".tarnwick-manifest") continue;  // records the files' times
        files[entry] = entry.back() == '/' || entry.find(" -> ") != std::string::npos
                           ? std::string()
                           : readFile(root / entry);
    }
    return files;
}

// A public-API choice as options and as the settings file: the same site, naming no other member.
TEST(GenerateSettings, OptionsAndSettingsFileMakeTheSameSiteWithoutOtherScopes) {
    TempFolder tmp;
    fs::copy(TARNWICK_SOURCE_DIR "/examples/Ledger", tmp.path() / "Ledger",
             fs::copy_options::recursive);
    const std::string vbp = tmp / "Ledger/Ledger.vbp";
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    const std::vector<std::string> common{"generate", vbp, "-q", "--registry",
                                          tmp / "Ledger/registry.reg"};
    auto generate = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), common.begin(), common.end());
        EXPECT_EQ(tarnwick(extra).status, 0);
    };
    generate({"-o", tmp / "all"});
    generate({"-o", tmp / "options", "--scopes", "public", "--sections", "syntax,returns",
              "--style", "Slate", "--no-syntax"});
    testing::writeFile(tmp.path() / "Ledger/Ledger.tarnwick",
                       "; public API only\r\n[generate]\r\noutput = file\r\n"
                       "scopes = public\r\nsections = returns\r\nstyle = Slate\r\n");
    generate({});
    const auto site = siteFiles(tmp.path() / "options");
    EXPECT_TRUE(site == siteFiles(tmp.path() / "Ledger/file"));
    EXPECT_EQ(site.at("src/css/screen.css"),
              readFile(TARNWICK_SOURCE_DIR "/Themes/Slate/theme.css"));

    // Pages the public site leaves out ("Classes/CAccount_m_Balance.html") are linked nowhere.
    int checked = 0;
    for (const auto& [path, bytes] : siteFiles(tmp.path() / "all")) {
        const std::string file = path.substr(path.rfind('/') + 1);
        if (site.count(path) || path.find("_Uml.html") != std::string::npos ||
            path.find(" -> ") != std::string::npos || file == path)
            continue;
        for (const auto& [page, text] : site) {
            if (page.ends_with("_Code.html")) continue;  // the listing shows the whole source
            EXPECT_EQ(text.find(file), std::string::npos) << page << " links " << file;
        }
        ++checked;
    }
    EXPECT_GT(checked, 20);
    for (const auto& [page, text] : site) {
        EXPECT_EQ((page + text).find("_Uml.html"), std::string::npos) << page;
        EXPECT_EQ(text.find("id = \"SYNTAX\""), std::string::npos) << page;
    }
    EXPECT_EQ(site.at("project-summary.html").find("<TABLE cellspacing=\"0\" class=\"summary\">"),
              std::string::npos);
    // With code pages: a public page names its private caller (frmMain.ShowBalance) but
    // links none of its lines, and calls no private member (m_Balance).
    generate({"-o", tmp / "public", "--scopes", "public", "--sections", "source"});
    const std::string balance = readFile(tmp / "public/Classes/CAccount_Balance.html");
    EXPECT_TRUE(balance.find("frmMain.ShowBalance") != std::string::npos &&
                balance.find("_Code.html#L") == std::string::npos &&
                balance.find("class=\"calls\"") == std::string::npos)
        << balance;
}

TEST(GenerateInterrupt, CtrlCStopsAtTheNextModuleWithStatus130) {
    TempFolder tmp;
    std::vector<testing::TestModule> modules;
    for (int i = 0; i < 400; ++i) modules.push_back({"Class", "C" + std::to_string(1000 + i)});
    const std::string vbp = testing::writeProject(tmp.path() / "project", modules);
    bool sent = false;
    const Outcome o = tarnwick(
        {"generate", vbp, "-o", tmp / "out", "-v"}, [&](const std::string& err, pid_t pid) {
            if (!sent && err.find("Create documentation") != std::string::npos) {
                kill(pid, SIGINT);
                sent = true;
            }
        });
    ASSERT_TRUE(sent);
    EXPECT_EQ(o.status, 130) << o.err.substr(0, 300);
    EXPECT_NE(o.err.find("cancelled"), std::string::npos);
    EXPECT_TRUE(fs::exists(tmp.path() / "out/index.html") &&
                fs::exists(tmp.path() / "out/Classes/C1000_Code.html") &&
                !fs::exists(tmp.path() / "out/Classes/C1399.html"));
}

// dump: usage errors exit 2, a missing project 1; the project as JSON.
TEST(DumpCommand, ExitStatusAndJson) {
    TempFolder tmp;
    const std::string project = tmp / "P.vbp";
    testing::writeFile(project,
                       "Type=Exe\r\nReference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#"
                       "C:\\stdole2.tlb#OLE Automation\r\nCondComp=\"A = 1 : B = 0\"\r\n");
    testing::writeFile(tmp.path() / "r.reg",
                       "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\TypeLib\\{00020430-0000-0000-C000-"
                       "000000000046}\\2.0]\r\n@=\"OLE Automation\"\r\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string inMessage;
    } cases[] = {
        {{"dump", tmp / "Missing.vbp"}, 1, "Missing.vbp"},
        {{"dump"}, 2, "PROJECT"},
        {{"dump", project, "--no-such-option"}, 2, "--no-such-option"},
        {{"dump", project, "--codepage", "no-such-codepage"}, 2, "no-such-codepage"},
        {{"dump", project, "--define", "A=1 +"}, 2, "bad --define \"A=1 +\""},
        {{"dump", project, "--define", "1A=1"}, 2, "expected NAME = value"},
        {{"dump", project, "--language", "Klingon"}, 2, "unknown language \"Klingon\""},
        {{"no-such-command"}, 2, "subcommand"},
    };
    for (const auto& c : cases) {
        const Outcome o = tarnwick(c.args);
        EXPECT_EQ(o.status, c.status) << c.inMessage;
        EXPECT_NE(o.err.find(c.inMessage), std::string::npos) << c.inMessage << ": " << o.err;
        EXPECT_EQ(o.out, "") << c.inMessage;
    }
    const Outcome o = tarnwick({"dump", project, "--registry", tmp / "r.reg", "--define", "B=2",
                                "--define", "C=\"x\"", "--language", "English"});
    ASSERT_EQ(o.status, 0) << o.err;
    auto json = nlohmann::json::parse(o.out);
    EXPECT_EQ(json["Properties"][0].dump() + json["ConditionalConstants"].dump(),
              R"({"key":"Type","value":"Exe"}{"A":1,"B":2,"C":"x","Mac":0,"Win16":0,"Win32":-1})");
    EXPECT_EQ(json["References"].size(), 1u);
    EXPECT_EQ(json["References"][0]["Description"].get<std::string>() + "|" +
                  json["References"][0]["Path"].get<std::string>(),
              "OLE Automation|The registry key could not be opened.");
    EXPECT_EQ(o.out.substr(0, 4), "{\n  ");  // two-space indentation
}

// check: lines counted across continued lines, #If blocks, attributes, either line end.
TEST(CheckCommand, WarnsPerUndocumentedMemberAtItsLine) {
    TempFolder tmp;
    testing::writeFile(
        tmp.path() / "A.bas",
        "Attribute VB_Name = \"modA\"\r\nOption Explicit\r\n' Documented\r\nPublic Sub One()\r\n"
        "    Helper\r\nEnd Sub\r\nPublic Function Two(ByVal a As Long, _\r\n"
        "    ByVal b As Long) As Long\r\nEnd Function\r\n' Kept\r\nPrivate Sub Helper()\r\n"
        "End Sub\r\n' Old\r\nPrivate Sub Old()\r\nEnd Sub\r\n");
    testing::writeFile(
        tmp.path() / "B.cls",
        "VERSION 1.0 CLASS\nAttribute VB_Name = \"CB\"\n#If VBA7 Then\nPrivate Sub Gone()\n"
        "End Sub\n#Else\nFriend Sub Three()\nAttribute Three.VB_UserMemId = 0\nEnd Sub\n"
        "#End If\nPublic Property Get P() As Long\nEnd Property\n' Sets it\n"
        "Public Property Let P(ByVal v As Long)\nEnd Property\nSub Four()\nEnd Sub\n");
    const std::string project = tmp / "P.vbp";
    testing::writeFile(project, "Type=Exe\r\nModule=modA; A.bas\r\nClass=CB; b.cls\r\n");
    const std::string folder = tmp.path().string() + "/";
    struct {
        std::vector<std::string> options;
        int status;
        std::string out;
    } const cases[] = {
        {{},
         0,
         // Classes come first; the file as found, whatever case the project wrote.
         folder + "B.cls:7: warning: Friend Sub 'Three' has no description\n" + folder +
             "B.cls:16: warning: Sub 'Four' has no description\n" + folder +
             "A.bas:7: warning: Public Function 'Two' has no description\n"
             "tarnwick check: 4 member(s) documented, 3 without a description "
             "(documented/all: Sub 3/5, Function 0/1, Property 1/1)\n"},
        // Dead code: the Private Sub no code of its module calls.
        {{"--unused"},
         0,
         folder + "A.bas:14: warning: Private Sub 'Old' is not used in its module\n"
                  "tarnwick check: 1 private member(s) not used in their module\n"},
        {{"--scopes", "public", "--members", "subroutines", "--fail-on-undocumented"},
         1,
         folder + "B.cls:16: warning: Sub 'Four' has no description\n"
                  "tarnwick check: 1 member(s) documented, 1 without a description "
                  "(documented/all: Sub 1/2)\n"},
        {{"--kinds", "classes", "--members", "properties", "--fail-on-undocumented"},
         0,
         "tarnwick check: 1 member(s) documented, 0 without a description "
         "(documented/all: Property 1/1)\n"},
        {{"--scopes", "nobody"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"check", project};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome o = tarnwick(args);
        EXPECT_EQ(o.status, c.status) << c.out << o.err;
        EXPECT_EQ(o.out, c.out);
    }
    // A path a CI log would read as a command gets "./"; control characters are shown escaped.
    testing::writeFile(tmp.path() / "::error::x.bas",
                       "Attribute VB_Name = \"modX\"\r\nPublic Sub A()\r\nEnd Sub\r\n");
    testing::writeFile(tmp.path() / "y\x1b[2Jz.bas",
                       "Attribute VB_Name = \"modY\"\r\nPublic Sub B()\r\nEnd Sub\r\n");
    testing::writeFile(tmp.path() / "ci.vbp",
                       "Type=Exe\r\nModule=modX; ::error::x.bas\r\nModule=modY; y\x1b[2Jz.bas\r\n");
    const fs::path before = fs::current_path();
    fs::current_path(tmp.path());
    const Outcome ci = tarnwick({"check", "ci.vbp"});
    fs::current_path(before);
    EXPECT_NE(ci.out.find("./::error::x.bas:2: warning: Public Sub 'A'"), std::string::npos)
        << ci.out;
    EXPECT_NE(ci.out.find("y\\x1B[2Jz.bas:2: warning: Public Sub 'B'"), std::string::npos)
        << ci.out;
    EXPECT_EQ(ci.out.find("\n::"), std::string::npos);
    EXPECT_EQ(ci.out.find('\x1b'), std::string::npos);

    // dump counts a reference's line as check does: in the file.
    using Json = nlohmann::json;
    const Json references = Json::parse(tarnwick({"dump", project}).out)["CrossReferences"];
    EXPECT_NE(std::find(references.begin(), references.end(),
                        Json{{"from", "modA.One"}, {"to", "modA.Helper"}, {"line", 5}}),
              references.end())
        << references.dump();
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// check's CI reports on the example: each says the findings the lines say.
TEST(CheckCommand, ReportsTheFindingsInEveryFormat) {
    using Json = nlohmann::json;
    const std::string project = TARNWICK_SOURCE_DIR "/examples/Ledger/Ledger.vbp";
    const Outcome text = tarnwick({"check", project});
    const size_t findings = countOf(text.out, ": warning: ");
    ASSERT_GT(findings, 0u) << text.out << text.err;
    const Json coverage =
        Json::parse(tarnwick({"check", project, "--format", "json", "--coverage"}).out);
    const size_t modules = coverage["coverage"]["modules"].size();
    ASSERT_GT(modules, 2u);
    size_t documented = 0;  // the modules' counts add up to the total
    for (const Json& m : coverage["coverage"]["modules"])
        documented += m["documented"].get<size_t>();
    EXPECT_EQ(documented, coverage["coverage"]["total"]["documented"].get<size_t>());
    struct {
        const char* format;
        std::function<void(const std::string&)> verify;
    } const cases[] = {
        {"github",
         [&](const std::string& out) {
             EXPECT_EQ(countOf(out, "\n"), findings);
             EXPECT_EQ(countOf(out, "::warning file="), findings);
             EXPECT_EQ(countOf(out, ",title=Undocumented member::"), findings) << out;
         }},
        {"sarif",
         [&](const std::string& out) {
             const Json log = Json::parse(out);
             EXPECT_EQ(log["version"], "2.1.0");
             EXPECT_TRUE(log["$schema"].get<std::string>().starts_with("https://"));
             const Json& run = log["runs"][0];
             EXPECT_EQ(run["tool"]["driver"]["name"], "Tarnwick");
             std::vector<std::string> ids;
             for (const Json& rule : run["tool"]["driver"]["rules"]) ids.push_back(rule["id"]);
             EXPECT_NE(std::find(ids.begin(), ids.end(), "unused-private-member"), ids.end());
             ASSERT_EQ(run["results"].size(), findings);
             for (const Json& r : run["results"]) {
                 EXPECT_EQ(r["ruleId"], "undocumented-member");
                 EXPECT_FALSE(r["message"]["text"].get<std::string>().empty());
                 const Json& where = r["locations"][0]["physicalLocation"];
                 const std::string uri = where["artifactLocation"]["uri"];
                 EXPECT_TRUE(uri.find('/') != 0 && uri.find('\\') == std::string::npos) << uri;
                 EXPECT_TRUE(fs::exists(TARNWICK_SOURCE_DIR "/examples/Ledger/" + uri)) << uri;
                 EXPECT_GE(where["region"]["startLine"].get<int>(), 1);
             }
         }},
        {"junit",
         [&](const std::string& out) {
             EXPECT_EQ(countOf(out, "<testcase "), modules);
             EXPECT_EQ(countOf(out, "<failure "), findings);
             EXPECT_NE(out.find("tests=\"" + std::to_string(modules) + "\""), std::string::npos);
             EXPECT_EQ(countOf(out, "</testcase>"),
                       std::stoul(out.substr(out.find("failures=\"") + 10)));
         }},
        {"json",
         [&](const std::string& out) {
             const Json report = Json::parse(out);
             EXPECT_EQ(report["findings"].size(), findings);
             EXPECT_EQ(report["summary"]["undocumented-member"], findings);
             EXPECT_EQ(report["summary"]["documented"].get<size_t>() + findings,
                       coverage["coverage"]["total"]["members"].get<size_t>());
             EXPECT_FALSE(report.contains("coverage"));
         }},
    };
    TempFolder tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const Outcome o = tarnwick({"check", project, "--format", c.format});
        EXPECT_EQ(o.status, 0) << o.err;
        c.verify(o.out);
        // Into a file: the same report; the console has the summary line only.
        const std::string file = tmp / (std::string("report.") + c.format);
        const Outcome written =
            tarnwick({"check", project, "--format", c.format, "--output", file});
        EXPECT_EQ(readFile(file), o.out);
        EXPECT_EQ(written.out, text.out.substr(text.out.rfind("tarnwick check: ")));
    }
}

// Names with quotes, markup, separators and control characters stay what they are.
TEST(CheckCommand, ReportsEscapeHostileNames) {
    using Json = nlohmann::json;
    Finding f;
    f.file = "a,b:c%.bas";
    f.line = 3;
    f.module = "m'<&\"\x01";
    f.member = "x";
    f.message = "Sub '<&\">' \x02 has\r\nno description 100%";
    cli::CheckResults results{{f}, {{f.module, "Module", f.file, 0, 1}}, {}, false, ""};
    const std::string github = cli::renderReport(cli::ReportFormat::Github, results);
    EXPECT_EQ(github,
              "::warning file=a%2Cb%3Ac%25.bas,line=3,title=Undocumented member::Sub '<&\">' "
              "\x02 has%0D%0Ano description 100%25\n");
    const Json sarif = Json::parse(cli::renderReport(cli::ReportFormat::Sarif, results));
    EXPECT_EQ(sarif["runs"][0]["results"][0]["message"]["text"], f.message);
    EXPECT_EQ(sarif["runs"][0]["results"][0]["locations"][0]["physicalLocation"]["artifactLocation"]
                   ["uri"],
              "a%2Cb%3Ac%25.bas");
    const std::string junit = cli::renderReport(cli::ReportFormat::Junit, results);
    EXPECT_NE(junit.find("name=\"m&apos;&lt;&amp;&quot;\xEF\xBF\xBD\""), std::string::npos)
        << junit;
    EXPECT_NE(junit.find("message=\"Sub &apos;&lt;&amp;&quot;&gt;&apos; \xEF\xBF\xBD "
                         "has&#13;&#10;no description 100%\""),
              std::string::npos)
        << junit;
    EXPECT_EQ(junit.find_first_of(std::string("\x01\x02", 2)), std::string::npos);
    EXPECT_EQ(
        Json::parse(cli::renderReport(cli::ReportFormat::Json, results))["findings"][0]["module"],
        f.module);
}

// The share of documented members: shown, as a badge, as a floor; bad options refused.
TEST(CheckCommand, CoverageOptions) {
    const std::string project = TARNWICK_SOURCE_DIR "/examples/Ledger/Ledger.vbp";
    TempFolder tmp;
    const std::string badge = tmp / "docs.svg";
    struct {
        std::vector<std::string> options;
        int status;
        std::string inOut, inErr;
    } const cases[] = {
        {{"--coverage", "--min-coverage", "0", "--badge", badge}, 0, "coverage: total: ", ""},
        {{"--min-coverage", "100"}, 1, "tarnwick check: ", "less than --min-coverage 100"},
        {{"--min-coverage", "150"}, 2, "", "--min-coverage"},
        {{"--min-coverage", "ten"}, 2, "", "--min-coverage"},
        {{"--format", "xml"}, 2, "", "--format"},
        {{"--format", "sarif", "--output", tmp / "missing/r.sarif"}, 1, "", "missing/r.sarif"},
        {{"--badge", tmp / "missing/b.svg"}, 1, "", "missing/b.svg"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"check", project};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome o = tarnwick(args);
        EXPECT_EQ(o.status, c.status) << c.options.back() << o.err;
        EXPECT_NE(o.out.find(c.inOut), std::string::npos) << o.out;
        EXPECT_NE(o.err.find(c.inErr), std::string::npos) << o.err;
    }
    EXPECT_FALSE(fs::exists(tmp / "missing"));
    EXPECT_NE(readFile(badge).find(">docs</text>"), std::string::npos);
    for (const auto& [percent, colour] : std::vector<std::pair<int, std::string>>{
             {90, "#4c1"}, {89, "#a4a61d"}, {75, "#a4a61d"}, {74, "#fe7d37"}, {49, "#e05d44"}})
        EXPECT_NE(cli::coverageBadge(percent).find("fill=\"" + colour + "\""), std::string::npos)
            << percent;
    EXPECT_EQ(cli::coveragePercent(0, 0), 100);
    EXPECT_EQ(cli::coveragePercent(2, 1), 66);
}

}  // namespace
}  // namespace tarnwick
