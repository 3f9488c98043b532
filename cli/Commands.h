// The subcommands of the tarnwick command line. Each registers itself on the
// app; when it runs, it stores the process exit status in `status`
// (0 success, 1 failure, 2 usage error, 130 cancelled).
#pragma once

#include <cstdlib>
#include <iostream>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "reader/modRegistry.h"
#include "support/Diagnostics.h"
#include "support/TerminalText.h"

namespace tarnwick::cli {

void registerApiCommand(CommandLine& app, int& status);
void registerCheckCommand(CommandLine& app, int& status);
void registerDiffCommand(CommandLine& app, int& status);
void registerDumpCommand(CommandLine& app, int& status);
void registerGenerateCommand(CommandLine& app, int& status);

// Where the registry files are: named (the file the user named; empty:
// none), else TARNWICK_REGISTRY; then the Wine prefix of WINEPREFIX, else
// of HOME.
inline RegistryLocation registryFromEnvironment(std::string named) {
    return RegistryLocation::fromVariables(std::move(named), std::getenv("TARNWICK_REGISTRY"),
                                           std::getenv("WINEPREFIX"), std::getenv("HOME"));
}

// Prints prefix and text as one line, every control character of text (a
// line break too) shown escaped: messages name paths and values from the
// project and its settings file, which may hold ESC, CR or BEL.
inline void printLine(std::ostream& out, std::string_view prefix, std::string_view text) {
    out << prefix << terminalSafe(text) << '\n';
}

// The reader's warnings on stderr, one line each after prefix.
class StderrSink : public DiagnosticsSink {
public:
    explicit StderrSink(std::string_view prefix = "tarnwick: ") : m_prefix(prefix) {}
    void report(const Diagnostic& diagnostic) override {
        printLine(std::cerr, m_prefix, diagnostic.toString());
    }

private:
    std::string m_prefix;
};

}  // namespace tarnwick::cli
