// Exit codes and output of the built `tarnwick dump`.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace {

struct Run {
    int status = -1;
    std::string out;
};

// Runs the tarnwick binary with arguments (already shell-quoted), stdout
// captured, stderr to the named file.
Run tarnwick(const std::string& arguments, const std::string& errFile) {
    const std::string command =
        std::string("'") + TARNWICK_BIN_DIR + "/tarnwick' " + arguments + " 2>'" + errFile + "'";
    Run run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DumpCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder =
            std::filesystem::temp_directory_path() / ("tarnwick-cli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        m_err = (m_folder / "stderr.txt").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
    std::string write(const std::string& name, const std::string& bytes) {
        auto path = (m_folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::filesystem::path m_folder;
    std::string m_err;
};

TEST_F(DumpCommand, MissingProjectExitsOneNamingTheFile) {
    const std::string missing = (m_folder / "Missing.vbp").string();
    auto run = tarnwick("dump '" + missing + "'", m_err);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(slurp(m_err).find("Missing.vbp"), std::string::npos) << slurp(m_err);
}

TEST_F(DumpCommand, UsageErrorsExitTwo) {
    const std::string project = write("P.vbp", "Type=Exe\r\n");
    struct {
        std::string arguments;
        std::string inMessage;
    } const cases[] = {
        {"dump", "PROJECT"},
        {"dump '" + project + "' --no-such-option", "--no-such-option"},
        {"dump '" + project + "' --codepage no-such-codepage", "no-such-codepage"},
        {"dump '" + project + "' --define 'A=1 +'", "bad --define \"A=1 +\""},
        {"dump '" + project + "' --define 1A=1", "expected NAME = value"},
        {"no-such-command", "subcommand"},
    };
    for (const auto& c : cases) {
        auto run = tarnwick(c.arguments, m_err);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(slurp(m_err).find(c.inMessage), std::string::npos)
            << c.arguments << ": " << slurp(m_err);
    }
}

TEST_F(DumpCommand, PrintsTheProjectAsJson) {
    const std::string project =
        write("P.vbp",
              "Type=Exe\r\n"
              "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\stdole2.tlb#OLE "
              "Automation\r\nCondComp=\"A = 1 : B = 0\"\r\n");
    const std::string registry = write(
        "r.reg",
        "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0]\r\n"
        "@=\"OLE Automation\"\r\n");
    auto run = tarnwick(
        "dump '" + project + "' --registry '" + registry + "' --define B=2 --define C='\"x\"'",
        m_err);
    ASSERT_EQ(run.status, 0) << slurp(m_err);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["Properties"][0]["key"], "Type");
    EXPECT_EQ(json["Properties"][0]["value"], "Exe");
    ASSERT_EQ(json["References"].size(), 1u);
    EXPECT_EQ(json["References"][0]["Description"], "OLE Automation");
    EXPECT_EQ(json["References"][0]["Path"], "Der Registryeintrag konnte nicht geöffnet werden.");
    EXPECT_EQ(json["ConditionalConstants"].dump(),
              R"({"A":1,"B":2,"C":"x","Mac":0,"Win16":0,"Win32":-1})");
    // Two-space indentation.
    EXPECT_EQ(run.out.substr(0, 4), "{\n  ");
}

using CheckCommand = DumpCommand;

// Line numbers survive continued lines, #If blocks, attribute lines and
// either line end; exit status follows --fail-on-undocumented.
TEST_F(CheckCommand, WarnsPerUndocumentedMemberAtItsLine) {
    write("A.bas",
          "Attribute VB_Name = \"modA\"\r\nOption Explicit\r\n' Documented\r\nPublic Sub One()\r\n"
          "End Sub\r\nPublic Function Two(ByVal a As Long, _\r\n    ByVal b As Long) As Long\r\n"
          "End Function\r\n");
    write("B.cls",
          "VERSION 1.0 CLASS\nAttribute VB_Name = \"CB\"\n#If VBA7 Then\nPrivate Sub Gone()\n"
          "End Sub\n#Else\nFriend Sub Three()\nAttribute Three.VB_UserMemId = 0\nEnd Sub\n"
          "#End If\nPublic Property Get P() As Long\nEnd Property\n' Sets it\n"
          "Public Property Let P(ByVal v As Long)\nEnd Property\nSub Four()\nEnd Sub\n");
    const std::string project =
        write("P.vbp", "Type=Exe\r\nModule=modA; A.bas\r\nClass=CB; b.cls\r\n");
    const std::string folder = m_folder.string() + "/";
    struct {
        std::string options;
        int status;
        std::string out;
    } const cases[] = {
        {"", 0,
         // Classes come first; the file as found, whatever case the project wrote.
         folder + "B.cls:7: warning: Friend Sub 'Three' has no description\n" + folder +
             "B.cls:16: warning: Sub 'Four' has no description\n" + folder +
             "A.bas:6: warning: Public Function 'Two' has no description\n"
             "tarnwick check: 2 member(s) documented, 3 without a description "
             "(documented/all: Sub 1/3, Function 0/1, Property 1/1)\n"},
        {"--scopes public --members subroutines --fail-on-undocumented", 1,
         folder + "B.cls:16: warning: Sub 'Four' has no description\n"
                  "tarnwick check: 1 member(s) documented, 1 without a description "
                  "(documented/all: Sub 1/2)\n"},
        {"--kinds classes --members properties --fail-on-undocumented", 0,
         "tarnwick check: 1 member(s) documented, 0 without a description "
         "(documented/all: Property 1/1)\n"},
        {"--scopes nobody", 2, ""},
    };
    for (const auto& c : cases) {
        auto run = tarnwick("check '" + project + "' " + c.options, m_err);
        EXPECT_EQ(run.status, c.status) << c.options << slurp(m_err);
        EXPECT_EQ(run.out, c.out) << c.options;
    }
}

}  // namespace
