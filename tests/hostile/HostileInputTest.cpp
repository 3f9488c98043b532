// Hostile input through `tarnwick generate`: each is documented, skipped with a message naming
// the file, or refused (exit 1, the path named, nothing changed); nothing is written outside.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <functional>

#include "generator/run/OutputLock.h"
#include "generator/run/SiteLayout.h"
#include "support/Text.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::crlf;
using testing::listTree;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

struct HostileOutcome {
    int status = -1;
    std::string err;
};

// A class every project holds, so "the rest is documented" can be checked.
const testing::TestModule kGood{"Class", "CGood"};

// Failed: exit 1 after writing; Usage: exit 2, nothing written.
enum class Expect { Documented, Skipped, Refused, Failed, Usage };

// What a case sets up: project (p/Test.vbp), output (out), the path the message names, arguments.
struct Scene {
    std::string project;
    std::string output;
    std::string named;
    std::vector<std::string> extra;
    std::shared_ptr<OutputLock> held = nullptr;  // a run's lock on the output, held by the test
};

// A project of CGood plus one entry line naming file, written with bytes.
Scene projectWith(const TempFolder& tmp, const std::string& entry, const std::string& file,
                  const std::string& bytes) {
    const fs::path p = tmp.path() / "p";
    writeFile(p / "good.cls", testing::moduleText(kGood));
    if (!file.empty()) writeFile(p / file, bytes);
    writeFile(p / "Test.vbp", crlf({"Type=Exe", "Class=CGood; good.cls", entry}));
    return {(p / "Test.vbp").string(), tmp / "out", (p / file).string(), {}};
}

using Setup = std::function<Scene(const TempFolder&)>;

// Runs `tarnwick ARGS...`; stderr (and stdout, when out is given) caught in a folder of its own.
HostileOutcome runHostile(const std::vector<std::string>& args, std::string* out = nullptr) {
    const TempFolder caught;
    std::string command = TARNWICK_BIN_DIR "/tarnwick";
    for (const auto& a : args) command += " '" + a + "'";
    command += " >" + (out ? caught / "stdout" : std::string("/dev/null"));
    const int status = std::system((command + " 2>" + caught / "stderr").c_str());
    if (out) *out = readFile(caught / "stdout");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            readFile(caught / "stderr")};
}

// Runs `tarnwick generate` on the scene, stdout dropped.
HostileOutcome generate(const Scene& s) {
    std::vector<std::string> args{"generate", s.project, "-o", s.output};
    args.insert(args.end(), s.extra.begin(), s.extra.end());
    return runHostile(args);
}

// The project of projectWith(entry, file, bytes) with extra arguments.
Setup with(std::string entry, std::string file, std::string bytes,
           std::vector<std::string> extra = {}) {
    return [=](const TempFolder& t) {
        Scene s = projectWith(t, entry, file, bytes);
        s.extra = extra;
        return s;
    };
}

// The plain project, its output folder the named path, then changed by prepare.
Setup plain(std::function<void(Scene&, const fs::path&)> prepare) {
    return [=](const TempFolder& t) {
        Scene s = projectWith(t, "", "", "");
        s.named = s.output;
        prepare(s, t.path());
        return s;
    };
}

// An odd file (a huge one is sparse) as the module m.cls, as an option's file or as the project.
enum class Odd { Fifo, Device, Huge };
Setup odd(Odd kind, std::string option) {
    return [=](const TempFolder& tmp) {
        Scene s = projectWith(tmp, option.empty() ? "Class=COdd; m.cls" : "", "", "");
        s.named = option.empty() ? (tmp.path() / "p" / "m.cls").string() : tmp / "odd";
        if (option == "project") fs::remove(s.named = s.project);
        if (!option.empty() && option != "project") s.extra = {option, s.named};
        EXPECT_TRUE(kind != Odd::Fifo || ::mkfifo(s.named.c_str(), 0644) == 0) << s.named;
        if (kind == Odd::Device) fs::create_symlink("/dev/zero", s.named);
        if (kind == Odd::Huge) writeFile(s.named, "");
        if (kind == Odd::Huge) fs::resize_file(s.named, (uintmax_t{64} << 20) + 1);
        return s;
    };
}

// The plain project with a settings file beside it: bytes, or a link to target when bytes is empty.
Setup settings(std::string bytes, std::string target = "") {
    return plain([=](Scene& s, const fs::path&) {
        s.named = fs::path(s.project).replace_extension(".tarnwick").string();
        if (target.empty())
            writeFile(s.named, bytes);
        else
            fs::create_symlink(target, s.named);
    });
}

Setup projectFile(std::string bytes) {
    return plain([=](Scene& s, const fs::path&) { writeFile(s.named = s.project, bytes); });
}

// The project file of projectWith saved as UTF-16 with a byte-order mark.
Setup utf16Project(bool bigEndian) {
    return plain([=](Scene& s, const fs::path&) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char c : readFile(s.project))
            bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        writeFile(s.project, bytes);
    });
}

std::string binaryBytes() {
    std::string bytes = std::string("\x7F") + "ELF";
    for (int b = 0; b < 8 * 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

std::string moduleWithNul() {
    std::string text = testing::moduleText({"Class", "CNul"});
    text.insert(text.find("Public Sub"), std::string("x\0y = 1\r\n", 9));
    return text;
}

struct Case {
    const char* what;
    Setup setup;
    Expect expect;
    const char* message;  // also in the message, besides the named path
};

const Case kCases[] = {
    {"binary file as a module", with("Class=CBin; bin.cls", "bin.cls", binaryBytes()),
     Expect::Skipped, "not a text file"},
    {"bytes invalid in the code page",
     with("Module=MBad; bad.bas", "bad.bas", "Attribute VB_Name = \"MBad\"\r\n' caf\xc3(\xff\r\n",
          {"--codepage", "utf-8"}),
     Expect::Documented, "could not be decoded as utf-8"},
    {"module path naming a folder", plain([](Scene& s, const fs::path& t) {
         writeFile(t / "p/Test.vbp",
                   crlf({"Type=Exe", "Class=CGood; good.cls", "Class=CDir; adir"}));
         fs::create_directories(t / "p" / "adir");
         s.named = (t / "p" / "Test.vbp").string() + ":3";
     }),
     Expect::Skipped, "is a folder"},
    {"NUL bytes in a module", with("Class=CNul; nul.cls", "nul.cls", moduleWithNul()),
     Expect::Documented, "NUL"},
    {"FIFO as a module", odd(Odd::Fifo, ""), Expect::Skipped, "is a FIFO"},
    {"device as a module", odd(Odd::Device, ""), Expect::Skipped, "is a device"},
    {"module above 64 MB", odd(Odd::Huge, ""), Expect::Skipped,
     "module file of 65 MB is larger than the 64 MB a module may hold"},
    {"FIFO as the registry", odd(Odd::Fifo, "--registry"), Expect::Skipped, "is a FIFO"},
    {"device as the registry", odd(Odd::Device, "--registry"), Expect::Skipped, "is a device"},
    {"registry above 64 MB", odd(Odd::Huge, "--registry"), Expect::Skipped, "is larger than 64 MB"},
    {"FIFO as the translation", odd(Odd::Fifo, "--translation"), Expect::Skipped, "is a FIFO"},
    {"device as the translation", odd(Odd::Device, "--translation"), Expect::Skipped,
     "is a device"},
    {"FIFO as the project file", odd(Odd::Fifo, "project"), Expect::Refused, "is a FIFO"},
    {"UTF-16LE project file", utf16Project(false), Expect::Documented, ""},
    {"UTF-16BE project file", utf16Project(true), Expect::Documented, ""},
    {"output folder another run is writing into", plain([](Scene& s, const fs::path&) {
         writeFile(fs::path(s.output) / SiteLayout::kStampFile, "");
         auto lock = OutputLock::acquire(s.output);
         if (lock) s.held = std::make_shared<OutputLock>(std::move(lock).value());
     }),
     Expect::Refused, "another run"},
    {"lock file that is a link leading out", plain([](Scene& s, const fs::path& t) {
         writeFile(fs::path(s.output) / SiteLayout::kStampFile, "");
         fs::create_symlink(t / "stolen", fs::path(s.output) / OutputLock::kLockFile);
         s.named = s.output;
     }),
     Expect::Refused, "lock file"},
    {"lock file left by a killed run", plain([](Scene& s, const fs::path&) {
         writeFile(fs::path(s.output) / OutputLock::kLockFile, "2147483646\n");
     }),
     Expect::Documented, ""},
    {"empty project file", projectFile(""), Expect::Refused, "empty"},
    {"text file that is no project", projectFile("Dear diary,\r\nit rained.\r\n"), Expect::Refused,
     "not a VB6 project file"},
    {"binary project file", projectFile(binaryBytes()), Expect::Refused, "not a text file"},
    {"output path that is a file", plain([](Scene& s, const fs::path& t) {
         writeFile(t / "afile", "mine");
         s.output = s.named = (t / "afile").string();
     }),
     Expect::Refused, "not a folder"},
    {"output folder that cannot be created", plain([](Scene& s, const fs::path& t) {
         writeFile(t / "afile", "mine");
         s.output = s.named = (t / "afile/site").string();
     }),
     Expect::Refused, "cannot create"},
    {"missing project file",
     plain([](Scene& s, const fs::path& t) { s.project = s.named = (t / "p/None.vbp").string(); }),
     Expect::Refused, ""},
    {"link in an earlier site leading out", plain([](Scene& s, const fs::path& t) {
         fs::create_directories(t / "elsewhere");
         writeFile(fs::path(s.output) / SiteLayout::kStampFile, "");
         fs::create_directory_symlink(t / "elsewhere", fs::path(s.output) / "Classes");
     }),
     Expect::Refused, "Classes: a folder of the site is a symbolic link"},
    {"kind folder linked to another kind's", plain([](Scene& s, const fs::path&) {
         writeFile(fs::path(s.output) / "Modules" / "x.html", "");
         writeFile(fs::path(s.output) / SiteLayout::kStampFile, "");
         fs::create_directory_symlink("Modules", fs::path(s.output) / "Classes");
     }),
     Expect::Refused, "Classes: a folder of the site is a symbolic link"},
    {"resource folder linked inside the site", plain([](Scene& s, const fs::path&) {
         writeFile(fs::path(s.output) / "Classes" / "x.html", "");
         writeFile(fs::path(s.output) / SiteLayout::kStampFile, "");
         fs::create_directories(fs::path(s.output) / "src");
         fs::create_directory_symlink("../Classes", fs::path(s.output) / "src" / "css");
     }),
     Expect::Refused, "src/css: a folder of the site is a symbolic link"},
    {"unknown --language", plain([](Scene& s, const fs::path&) {
         s.extra = {"--language", "Klingon"};
         s.named = "--language";
     }),
     Expect::Usage, "unknown language \"Klingon\" (known: Deutsch, English"},
    {"unknown language in the settings file", settings("[generate]\nlanguage = German\n"),
     Expect::Usage, ":2: bad value \"German\" for language: unknown language"},
    {"settings file that is a dangling link", settings("", "gone.ini"), Expect::Usage,
     "leads nowhere"},
    {"settings file that is a looping link", settings("", "Test.tarnwick"), Expect::Usage,
     "leads nowhere (Too many levels of symbolic links)"},
    {"jobs above 256 in the settings file", settings("[generate]\njobs = 257\n"), Expect::Usage,
     "from 1 to 256"},
    {"UTF-16 settings file", settings(std::string("\xFF\xFE[\0g\0e\0n\0e\0r\0a\0t\0e\0]\0", 20)),
     Expect::Usage, "is in UTF-16"},
    {"settings file that documents no kind", settings("[generate]\nkinds =\n"), Expect::Usage,
     ":2: bad value \"\" for kinds: it names nothing"},
    {"settings file with terminal controls in a key", settings("[generate]\n\x1b[2J\a\r = 1\n"),
     Expect::Usage, "unknown key \"\\x1B[2J\\x07\\x0D\""},
    {"UTF-16LE pages in the settings file", settings("[generate]\noutput-encoding = UTF-16LE\n"),
     Expect::Usage, ":2: bad value \"UTF-16LE\" for output-encoding"},
    {"EBCDIC code page and no output encoding", plain([](Scene& s, const fs::path&) {
         s.extra = {"--codepage", "IBM037"};
         s.named = "IBM037";
     }),
     Expect::Usage, "the code page of the project's files"},
    {"--jobs above 256", plain([](Scene& s, const fs::path&) {
         s.extra = {"-j", "257"};
         s.named = "--jobs";
     }),
     Expect::Usage, "not in range 1 to 256"},
    {"output path too long for the system", plain([](Scene& s, const fs::path& t) {
         s.output = s.named = (t / std::string(300, 'o')).string();
     }),
     Expect::Refused, "File name too long"},
    {"project path too long for the system", plain([](Scene& s, const fs::path& t) {
         s.project = s.named = (t / "p" / (std::string(300, 'p') + ".vbp")).string();
     }),
     Expect::Refused, "File name too long"},
    {"one module listed three times, four jobs writing",
     with("Class=CGood; good.cls\r\nClass=CGood; good.cls", "", "", {"-j", "4"}),
     Expect::Documented, ""},
    {"foreign non-empty folder without --force",
     plain([](Scene& s, const fs::path&) { writeFile(fs::path(s.output) / "notes.txt", "mine"); }),
     Expect::Refused, "--force"},
};

TEST(HostileInput, EachIsDocumentedSkippedOrRefusedWithAMessageNamingTheFile) {
    for (const Case& c : kCases) {
        TempFolder tmp;
        const Scene s = c.setup(tmp);
        auto before = listTree(tmp.path());
        const HostileOutcome o = generate(s);
        auto after = listTree(tmp.path());
        const auto outside = [](std::set<std::string> tree) {  // all but the output folder
            std::erase_if(tree, [](const std::string& e) { return e.rfind("out", 0) == 0; });
            return tree;
        };
        EXPECT_EQ(outside(before), outside(after)) << c.what;

        if (c.expect >= Expect::Refused) {
            EXPECT_EQ(o.status, c.expect == Expect::Usage ? 2 : 1) << c.what << "\n" << o.err;
            EXPECT_TRUE(c.expect == Expect::Failed || before == after) << c.what;
        } else {
            EXPECT_EQ(o.status, 0) << c.what << "\n" << o.err;
            EXPECT_TRUE(fs::exists(tmp.path() / "out" / "Classes" / "CGood.html")) << c.what;
            EXPECT_FALSE(fs::exists(tmp.path() / "out" / OutputLock::kLockFile)) << c.what;
        }
        if (c.expect != Expect::Documented) {
            EXPECT_NE(o.err.find(s.named), std::string::npos) << c.what << ": " << o.err;
        }
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.what << ": " << o.err;
    }
}

std::string repeated(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}
std::string parens(int depth, std::string_view inner = "1") {
    return repeated("(", depth) + std::string(inner) + repeated(")", depth);
}

// Deeply nested expressions wherever conditional compilation reads one: no crash. In a module or
// the project file the expression is an unevaluable condition (a warning naming file and line; an
// #If block stays active); a command-line or settings-file define is refused.
TEST(HostileInput, DeeplyNestedExpressionsAreBoundedWherever) {
    enum class Place { If, Const, CondComp, Define, SettingsDefine };
    static const struct {
        Place place;
        const char* command;
        std::string expression;
        int status;
        const char* message;  // with the named file (and line); empty: no message
    } kCases[] = {
        {Place::If, "dump", parens(2000), 0, "deep.cls:5: warning: cannot evaluate #If"},
        {Place::If, "generate", repeated("Not ", 100000) + "0", 0,
         "deep.cls:5: warning: cannot evaluate #If \"Not Not"},
        {Place::If, "check", repeated("-", 100000) + "1", 0, "deep.cls:5: warning: cannot"},
        {Place::If, "dump", parens(256), 0, ""},
        {Place::If, "dump", repeated("Not ", 128) + parens(128), 0, ""},
        {Place::If, "dump", repeated("Not ", 129) + parens(128), 0, "deep.cls:5: warning"},
        {Place::Const, "dump", repeated("Not ", 100000) + "0", 0, "deep.cls:5: warning: #Const"},
        {Place::CondComp, "check", parens(2000), 0, "Test.vbp:4: warning: CondComp"},
        {Place::CondComp, "generate", parens(257), 0, "Test.vbp:4: warning: CondComp"},
        {Place::Define, "dump", parens(2000), 2, "bad --define \"X=(((("},
        {Place::Define, "check", repeated("- ", 2000) + "1", 2, "bad --define"},
        {Place::Define, "generate", parens(2000), 2, "bad --define"},
        {Place::SettingsDefine, "generate", parens(2000), 2, "Test.tarnwick:2: bad value"},
        {Place::SettingsDefine, "check", repeated("Not ", 1000) + "0", 2, "Test.tarnwick:2:"},
    };
    for (const auto& c : kCases) {
        const std::string what = std::string(c.command) + " " + c.expression.substr(0, 8) + " x" +
                                 std::to_string(c.expression.size());
        const TempFolder tmp;
        const fs::path p = tmp.path() / "p";
        const std::string expression =
            c.place == Place::If || c.place == Place::Const ? c.expression : std::string("0");
        writeFile(p / "deep.cls",
                  crlf({"VERSION 1.0 CLASS", "BEGIN", "END", "Attribute VB_Name = \"CDeep\"",
                        c.place == Place::Const ? "#Const X = " + expression
                                                : "#If " + expression + " Then",
                        "Public Sub Kept()", "End Sub", c.place == Place::Const ? "" : "#End If"}));
        writeFile(
            p / "Test.vbp",
            crlf({"Type=Exe", "Class=CDeep; deep.cls", "Name=\"Test\"",
                  c.place == Place::CondComp ? "CondComp=\"X = " + c.expression + "\"" : ""}));
        if (c.place == Place::SettingsDefine)
            writeFile(p / "Test.tarnwick", "[generate]\ndefine = X=" + c.expression + "\n");
        std::vector<std::string> args{c.command, (p / "Test.vbp").string()};
        if (std::string_view(c.command) == "generate") args.insert(args.end(), {"-o", tmp / "out"});
        if (c.place == Place::Define) args.insert(args.end(), {"--define", "X=" + c.expression});
        std::string out;
        const HostileOutcome o = runHostile(args, &out);
        EXPECT_EQ(o.status, c.status) << what << "\n" << o.err.substr(0, 500);
        if (*c.message) {
            EXPECT_NE(o.err.find(c.message), std::string::npos)
                << what << ": " << o.err.substr(0, 500);
            EXPECT_NE(o.err.find("nested more than 256 levels"), std::string::npos) << what;
            EXPECT_LT(o.err.size(), 1000u) << what;  // the expression is not repeated whole
        } else {
            EXPECT_EQ(o.err, "") << what;
        }
        if (c.status == 0 && std::string_view(c.command) == "dump") {
            EXPECT_NE(out.find("\"Kept\""), std::string::npos) << what;  // the block stays active
        }
    }
}

// Memory running out on a giant module (address space held down with ulimit): while reading, the
// module is left out with a warning naming it; while building its pages, it is a failed module.
TEST(HostileInput, RunningOutOfMemoryFailsOneModuleNotTheRun) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot start in a small address space";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address sanitizer cannot start in a small address space";
#endif
#endif
    static const struct {
        int kibibytes;  // the address space allowed
        int status;
        const char* message;
    } kCases[] = {
        {20000, 0, "Test.vbp:3: warning: not enough memory to read the module file of 9 MB: "},
        {60000, 1, "giant.bas: error: pages of Module Giant not complete: not enough memory"},
    };
    for (const auto& c : kCases) {
        const TempFolder tmp;
        const Scene s =
            projectWith(tmp, "Module=Giant; giant.bas", "giant.bas",
                        "Attribute VB_Name = \"Giant\"\r\nPublic Sub S()\r\n" +
                            repeated("s = s & \"abc\" & x + 1: ", 400000) + "\r\nEnd Sub\r\n");
        const std::string command = "ulimit -v " + std::to_string(c.kibibytes) + "; exec " +
                                    TARNWICK_BIN_DIR "/tarnwick generate '" + s.project + "' -o '" +
                                    s.output + "' -j 1 >/dev/null 2>'" + (tmp / "err") + "'";
        const int status = std::system(command.c_str());
        const std::string err = readFile(tmp / "err");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), c.status)
            << c.kibibytes << ": " << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.kibibytes << ": " << err;
        EXPECT_TRUE(fs::exists(tmp.path() / "out" / "Classes" / "CGood.html")) << c.kibibytes;
    }
}

// The project's folder as the output (--force): an input named like an output is kept, exit 1.
TEST(HostileInput, NoInputIsOverwrittenWhenTheOutputIsTheProjectFolder) {
    static const struct {
        const char* file;   // the input's name in the project folder
        const char* entry;  // the project's module entry, or the option naming the file
        const char* text;
    } kCases[] = {
        {"index.html", "Class=CIn; INDEX.HTML", nullptr},  // a resource; found ignoring case
        {"project-summary.html", "Class=CIn; project-summary.html", nullptr},  // a page
        {"module-summary.html", "--translation", "[Deutsch]\r\nOverview=x\r\n"},
        {".tarnwick-site", "--registry", "REGEDIT4\r\n"},  // the stamp
    };
    for (const auto& c : kCases) {
        TempFolder tmp;
        const std::string text = c.text ? c.text : testing::moduleText({"Class", "CIn"});
        const bool option = c.entry[0] == '-';
        Scene s = projectWith(tmp, option ? "" : c.entry, c.file, text);
        s.output = (tmp.path() / "p").string();
        s.extra = {"--force"};
        if (option) s.extra.insert(s.extra.end(), {c.entry, s.named});
        const HostileOutcome o = generate(s);
        EXPECT_EQ(o.status, 1) << c.file << "\n" << o.err;
        EXPECT_EQ(readFile(s.named), text) << c.file;
        EXPECT_NE(o.err.find(s.named + ", a file the project reads"), std::string::npos)
            << c.file << ": " << o.err;
    }
}

// Members named like the module's own pages keep pages of their own, linked from the overview.
TEST(HostileInput, MembersNamedLikeModulePagesKeepTheirPages) {
    TempFolder tmp;
    const Scene s = projectWith(
        tmp, "Class=CItem; m.cls", "m.cls",
        crlf({"VERSION 1.0 CLASS", "BEGIN", "END", "Attribute VB_Name = \"CItem\"",
              "Public Property Get Code() As String", "End Property",
              "Public Function uml() As Long", "End Function", "Public Sub Object_()", "End Sub"}));
    const HostileOutcome o = generate(s);
    ASSERT_EQ(o.status, 0) << o.err;
    const fs::path out = s.output;
    const std::string overview = readFile(out / "Classes" / "CItem.html");
    for (const auto& [page, holds] : {std::pair{"CItem_Code_.html", "<B>Code</B>"},
                                      {"CItem_uml_.html", "<B>uml</B>"},
                                      {"CItem_Object__.html", "<B>Object_</B>"},
                                      {"CItem_Code.html", "Source"},
                                      {"CItem_Uml.html", "UML-Model"}})
        EXPECT_NE(readFile(out / "Classes" / page).find(holds), std::string::npos) << page;
    for (const char* link : {"CItem_Code_.html", "CItem_uml_.html", "CItem_Object__.html"})
        EXPECT_NE(overview.find(link), std::string::npos) << link;
}

// Things planted in an earlier site: a re-run replaces a hard-linked file instead of
// writing into the file outside it shares bytes with, and clears a killed run's part files
// even when it has nothing to rewrite, but only those, and only where it writes.
TEST(HostileInput, ARerunWritesNoFileOutsideThroughHardLinksAndClearsPartFiles) {
    static const struct {
        const char* what;
        const char* planted;  // inside the site
        bool hardLink;        // to a file outside; else a file of its own
        bool stays;
    } kRows[] = {
        {"hard link as a copied resource", "src/css/print.css", true, true},
        {"hard link as a page", "Classes/CGood.html", true, true},
        {"part file beside a page", "Classes/CGood.html.77-3.tarnwick-part", false, false},
        {"part file in the root", "index.html.77-4.tarnwick-part", false, false},
        {"part file among the resources", "src/css/print.css.9-0.tarnwick-part", false, false},
        {"user's file with the suffix", "Classes/notes.tarnwick-part", false, true},
        {"user's file with a part-like name", "notes.1-x.tarnwick-part", false, true},
        {"part-file name in a user's folder", "mine/a.html.77-5.tarnwick-part", false, true},
    };
    for (const auto& row : kRows) {
        TempFolder tmp;
        const Scene s = projectWith(tmp, "", "", "");
        ASSERT_EQ(generate(s).status, 0) << row.what;
        const fs::path planted = fs::path(s.output) / row.planted;
        writeFile(tmp.path() / "outside", "mine");
        if (row.hardLink) {
            fs::remove(planted);
            fs::create_hard_link(tmp.path() / "outside", planted);
        } else {
            writeFile(planted, "cut off");
        }
        const HostileOutcome o = generate(s);
        EXPECT_EQ(o.status, 0) << row.what << "\n" << o.err;
        EXPECT_EQ(readFile(tmp.path() / "outside"), "mine") << row.what;
        EXPECT_EQ(fs::exists(planted), row.stays) << row.what;
        EXPECT_TRUE(!row.hardLink || readFile(planted) != "mine") << row.what;
    }
}

}  // namespace
}  // namespace tarnwick
