// tarnwick: documentation for Visual Basic 6 projects, from the command line.
//
//   tarnwick dump PROJECT.vbp         the parsed project as JSON
//   tarnwick generate PROJECT.vbp -o FOLDER   the HTML site
//   tarnwick check PROJECT.vbp        members without a description, as warnings
//   tarnwick api PROJECT.vbp          the public interface, one line per element
//   tarnwick diff OLD NEW             what changed in it, and what breaks
#include <exception>
#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "support/BuildInfo.h"

int main(int argc, char** argv) {
    tarnwick::cli::CommandLine app("Tarnwick: documentation generator for Visual Basic 6 projects",
                                   std::string("tarnwick ") + tarnwick::buildVersion());

    int status = 0;
    tarnwick::cli::registerApiCommand(app, status);
    tarnwick::cli::registerCheckCommand(app, status);
    tarnwick::cli::registerDiffCommand(app, status);
    tarnwick::cli::registerDumpCommand(app, status);
    tarnwick::cli::registerGenerateCommand(app, status);

    try {
        // A usage error's message may quote an argument (a file name) with
        // control characters.
        const auto exitStatus = app.parse(argc, argv, [](const std::string& line) {
            tarnwick::cli::printLine(std::cerr, "", line);
        });
        if (exitStatus) return *exitStatus;
    } catch (const std::exception& e) {
        tarnwick::cli::printLine(std::cerr, "tarnwick: ", e.what());
        return 1;
    }
    return status;
}
