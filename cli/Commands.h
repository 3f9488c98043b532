// The subcommands of the tarnwick command line. Each registers itself on the
// app; when it runs, it stores the process exit status in `status`
// (0 success, 1 failure, 2 usage error, 130 cancelled).
#pragma once

#include <CLI/CLI.hpp>

namespace tarnwick::cli {

void registerCheckCommand(CLI::App& app, int& status);
void registerDumpCommand(CLI::App& app, int& status);
void registerGenerateCommand(CLI::App& app, int& status);

}  // namespace tarnwick::cli
