// The commands given a group file or several projects: dump prints one JSON
// object with every project and the references across them; generate
// documents the group; check and api go through its projects.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>
#include <set>

#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
};

// The program with args (no quoting needed), stdout kept, stderr dropped
// or kept after it.
ProgramRun program(const std::string& args, bool withErrors = false) {
    ProgramRun run;
    const std::string command = std::string(TARNWICK_BIN_DIR) + "/tarnwick " + args +
                                (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

const std::string kGroup = std::string(TARNWICK_SOURCE_DIR) + "/examples/Strings/Strings.vbg";

TEST(GroupCommand, DumpPrintsTheProjectsAndTheReferencesAcrossThem) {
    const ProgramRun dump = program("dump " + kGroup);
    ASSERT_EQ(dump.status, 0);
    const auto json = nlohmann::json::parse(dump.out);
    EXPECT_EQ(json["Group"], "Strings");
    ASSERT_EQ(json["Projects"].size(), 4u);
    EXPECT_EQ(json["Projects"][0]["Classes"][0]["Name"], "CTestBuilder");  // the startup project
    // The library's public class (never its private CBuffer), its global
    // class, whose function the tests call without naming it, and the
    // control project's control, placed on the demo's form.
    std::set<std::string> references;
    for (const auto& r : json["CrossProjectReferences"])
        references.insert(r["From"].get<std::string>() + ":" + r["Module"].get<std::string>() +
                          " -> " + r["To"].get<std::string>() + "." +
                          r["Class"].get<std::string>());
    EXPECT_EQ(references, (std::set<std::string>{
                              "StrLibTests:modTests -> StrLib.StringBuilder",
                              "StrLibTests:CTestBuilder -> StrLib.StringBuilder",
                              "StrLibTests:modTests -> StrLib.Constructors",
                              "StrDemo:frmDemo -> StrLib.StringBuilder",
                              "StrDemo:frmDemo -> StrControls.ctlTextView",
                          }));
    EXPECT_EQ(json["CrossProjectReferences"].size(), references.size()) << "a row listed twice";
}

// Several project files on the command line are a group for every command
// that takes one, as for generate; and each warns of projects that
// reference each other.
TEST(GroupCommand, SeveralProjectFilesAreAGroupAndACycleIsWarnedOf) {
    const std::string strings = std::string(TARNWICK_SOURCE_DIR) + "/examples/Strings/";
    const std::string both =
        strings + "StrLibTests/StrLibTests.vbp " + strings + "StrLib/StrLib.vbp";
    const ProgramRun dump = program("dump " + both);
    ASSERT_EQ(dump.status, 0);
    const auto json = nlohmann::json::parse(dump.out);
    EXPECT_EQ(json["Group"], "StrLibTests");
    EXPECT_TRUE(json["Path"].is_null());
    EXPECT_EQ(json["CrossProjectReferences"].size(), 3u);
    for (const auto& [command, expected] : {std::pair{"check ", "tarnwick check: project StrLib\n"},
                                            std::pair{"api ", "\nProject StrLib Type=OleDll\n"}}) {
        const ProgramRun run = program(command + both);
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find(expected), std::string::npos) << command << run.out;
    }

    // A format a CI reads is one document over the projects, its files
    // under the group's folder.
    const ProgramRun sarif = program("check " + both + " --format sarif");
    EXPECT_EQ(sarif.status, 0);
    const auto results = nlohmann::json::parse(sarif.out)["runs"][0]["results"];
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
              "StrLib/CBuffer.cls");

    testing::TempFolder tmp;
    for (const auto& [name, other] : {std::pair{"A", "B"}, std::pair{"B", "A"}}) {
        tmp.write(std::string(name) + "/" + name + ".vbp",
                  std::string("Type=OleDll\r\nReference=*\\A..\\") + other + "\\" + other +
                      ".vbp\r\nModule=m; m.bas\r\nName=\"" + name + "\"\r\n");
        tmp.write(std::string(name) + "/m.bas", "Attribute VB_Name = \"m\"\r\n");
    }
    const std::string cycle =
        (tmp.path() / "A/A.vbp").string() + " " + (tmp.path() / "B/B.vbp").string();
    for (const char* command : {"check ", "dump ", "api "})
        EXPECT_NE(program(command + cycle, true).out.find("A and B reference each other"),
                  std::string::npos)
            << command;
}

TEST(GroupCommand, GenerateExitsOneWhenAProjectIsMissingAndDocumentsTheOthers) {
    testing::TempFolder tmp;
    const std::string group =
        tmp.write("G.vbg", "VBGROUP 5.0\r\nProject=" + std::string(TARNWICK_SOURCE_DIR) +
                               "/examples/Strings/StrLib/StrLib.vbp\r\nProject=Gone.vbp\r\n");
    const ProgramRun generate =
        program("generate " + group + " -q -o " + (tmp.path() / "out").string());
    EXPECT_EQ(generate.status, 1);
    EXPECT_TRUE(std::filesystem::exists(tmp.path() / "out/StrLib/Classes/StringBuilder.html"));
    EXPECT_TRUE(std::filesystem::exists(tmp.path() / "out/index.html"));
}

}  // namespace
}  // namespace tarnwick
