// tarnwick: documentation for Visual Basic 6 projects, from the command line.
//
//   tarnwick dump PROJECT.vbp         the parsed project as JSON
//   tarnwick generate PROJECT.vbp -o FOLDER   the HTML site
//   tarnwick check PROJECT.vbp        members without a description, as warnings
#include <exception>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Tarnwick: documentation generator for Visual Basic 6 projects"};
    app.set_version_flag("--version", std::string("tarnwick ") + TARNWICK_VERSION);
    app.require_subcommand(1);

    int status = 0;
    tarnwick::cli::registerCheckCommand(app, status);
    tarnwick::cli::registerDumpCommand(app, status);
    tarnwick::cli::registerGenerateCommand(app, status);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // The message may quote an argument (a file name) with control characters.
        std::ostringstream message;
        const int code = app.exit(e, std::cout, message);
        std::istringstream lines(message.str());
        for (std::string line; std::getline(lines, line);)
            tarnwick::cli::printLine(std::cerr, "", line);
        // CLI11 answers --help and --version with success; every other parse error is a usage
        // error.
        return code == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        tarnwick::cli::printLine(std::cerr, "tarnwick: ", e.what());
        return 1;
    }
    return status;
}
