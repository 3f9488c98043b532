// CommandLine: the tarnwick command line, its subcommands and their options.
//
// Each subcommand declares its options on a Command (names, a variable that
// receives the value, a help text) and a callback that runs when the command
// line names it; CommandLine::parse reads argv, prints help, version and
// usage errors, and runs the callback. Only CommandLine.cpp includes CLI11,
// whose header is the costliest the program parses; the method names follow
// CLI11's, so a declaration reads as its documentation describes it.
//
//   Command* dump = commandLine.add_subcommand("dump", "Print the parsed project as JSON");
//   dump->add_option("PROJECT", options->project, "The project file (.vbp)")->required();
//   dump->callback([options, &status] { status = runDump(*options); });
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace tarnwick::cli {

// One declared option. Each setter returns the option, so they chain.
class Option {
public:
    explicit Option(CLI::Option* option) : m_option(option) {}

    // The command line must give it.
    Option* required();
    // false: each occurrence takes one value (--define A=1 --define B=2),
    // never the words after it.
    Option* allow_extra_args(bool allow);
    // An integer value must lie in [min, max].
    Option* check_range(int min, int max);
    // How often the command line gave it; valid once parsing has reached
    // the command's callback.
    std::size_t count() const;

private:
    CLI::Option* m_option;  // owned by the CommandLine's app, which outlives this
};

// One subcommand. Its Options live as long as it does.
class Command {
public:
    explicit Command(CLI::App* app) : m_app(app) {}

    // A positional (a name without dashes, e.g. "PROJECT") or a named option
    // ("-o,--output"); the variable receives the value.
    Option* add_option(const std::string& names, std::string& value, const std::string& help);
    Option* add_option(const std::string& names, int& value, const std::string& help);
    // Repeatable: every value given, in order.
    Option* add_option(const std::string& names, std::vector<std::string>& values,
                       const std::string& help);
    // A switch: true when given.
    Option* add_flag(const std::string& names, bool& value, const std::string& help);
    // Runs after the command line named this command and its options parsed.
    void callback(std::function<void()> run);

private:
    Option* keep(CLI::Option* option);

    CLI::App* m_app;  // owned by the CommandLine's app, which outlives this
    std::vector<std::unique_ptr<Option>> m_options;
};

class CommandLine {
public:
    // description: the help's first line; version: what --version prints.
    CommandLine(const std::string& description, const std::string& version);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // A subcommand; the command line must name exactly one.
    Command* add_subcommand(const std::string& name, const std::string& description);

    // Parses argv and runs the named command's callback. Returns the exit
    // status when parsing alone ends the program (0 after --help or
    // --version, printed on stdout; 2 after a usage error), else nothing:
    // the callback ran. A usage error's message goes to errorLine line by
    // line; it may quote an argument as typed, control characters and all,
    // so the caller escapes it for the terminal. Exceptions of the callback
    // pass through.
    std::optional<int> parse(int argc, char** argv,
                             const std::function<void(const std::string&)>& errorLine);

private:
    std::unique_ptr<CLI::App> m_app;
    std::vector<std::unique_ptr<Command>> m_commands;
};

}  // namespace tarnwick::cli
