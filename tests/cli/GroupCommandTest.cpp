// The commands given a group file: dump prints one JSON object with every
// project and the references across them; generate documents the group.
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

// The program with args (no quoting needed), stdout kept, stderr dropped.
ProgramRun program(const std::string& args) {
    ProgramRun run;
    const std::string command =
        std::string(TARNWICK_BIN_DIR) + "/tarnwick " + args + " 2>/dev/null";
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
