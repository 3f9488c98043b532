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

}  // namespace
