#include "cli/HelpCompiler.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

#include "support/TerminalText.h"

extern char** environ;

namespace tarnwick::cli {

namespace fs = std::filesystem;

std::string findQhelpgenerator() {
    std::vector<std::string> candidates;
    if (const char* path = std::getenv("PATH")) {
        std::string folders = path;
        for (size_t start = 0; start <= folders.size();) {
            size_t end = folders.find(':', start);
            if (end == std::string::npos) end = folders.size();
            if (end > start)
                candidates.push_back(folders.substr(start, end - start) + "/qhelpgenerator");
            start = end + 1;
        }
    }
    // Debian keeps Qt 6's tools out of PATH.
    candidates.push_back("/usr/lib/qt6/libexec/qhelpgenerator");
    candidates.push_back("/usr/lib/qt6/bin/qhelpgenerator");
    for (const std::string& candidate : candidates)
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    return {};
}

namespace {

// Runs argv[0] with its output (both streams) collected; its exit status, or
// -1 when it could not be started or did not exit.
int run(const std::vector<char*>& argv, std::string& output) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t pid = 0;
    const bool started = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    char buffer[4096];
    for (ssize_t got; started && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            output.append(buffer, static_cast<size_t>(got));
        else if (errno != EINTR)
            break;
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (!started || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

bool compileQtHelp(const std::string& qhpPath, bool quiet) {
    const std::string tool = findQhelpgenerator();
    if (tool.empty()) {
        if (!quiet)
            std::cerr << "tarnwick generate: qhelpgenerator is not installed; "
                      << terminalSafe(qhpPath) << " is left to be compiled\n";
        return true;
    }
    const fs::path qch = fs::path(qhpPath).replace_extension(".qch");
    // Compiled under a temporary name and put in place whole.
    const std::string part = qch.string() + ".tarnwick-part";
    // -s: its status lines would drown the run's own.
    std::vector<std::string> args = {tool, "-s", qhpPath, "-o", part};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // Its output (Qt's own warnings too) is shown only when it fails.
    std::string output;
    const int status = run(argv, output);
    std::error_code ec;
    if (status == 0) fs::rename(part, qch, ec);
    if (status != 0 || ec) {
        fs::remove(part, ec);
        std::cerr << "tarnwick generate: " << terminalSafe(qhpPath)
                  << ": qhelpgenerator could not compile the help project\n"
                  << terminalSafe(output);
        return false;
    }
    return true;
}

}  // namespace tarnwick::cli
