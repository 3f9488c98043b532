// tarnwick: documentation for Visual Basic 6 projects, from the command line.
//
//   tarnwick dump PROJECT.vbp         the parsed project as JSON
//   tarnwick generate PROJECT.vbp -o FOLDER   the HTML site
//   tarnwick check PROJECT.vbp        members without a description, as warnings
#include <exception>
#include <iostream>

#include "cli/Commands.h"
#include "support/BuildInfo.h"

int main(int argc, char** argv) {
    CLI::App app{"Tarnwick: documentation generator for Visual Basic 6 projects"};
    app.set_version_flag("--version", std::string("tarnwick ") + tarnwick::buildVersion());
    app.require_subcommand(1);

    int status = 0;
    tarnwick::cli::registerCheckCommand(app, status);
    tarnwick::cli::registerDumpCommand(app, status);
    tarnwick::cli::registerGenerateCommand(app, status);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        // CLI11 answers --help and --version with success; every other parse error is a usage
        // error.
        return code == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        std::cerr << "tarnwick: " << e.what() << '\n';
        return 1;
    }
    return status;
}
