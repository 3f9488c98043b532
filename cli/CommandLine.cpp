#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <sstream>

namespace tarnwick::cli {

Option* Option::required() {
    m_option->required();
    return this;
}

Option* Option::allow_extra_args(bool allow) {
    m_option->allow_extra_args(allow);
    return this;
}

Option* Option::check_range(int min, int max) {
    m_option->check(CLI::Range(min, max));
    return this;
}

std::size_t Option::count() const { return m_option->count(); }

Option* Command::add_option(const std::string& names, std::string& value, const std::string& help) {
    return keep(m_app->add_option(names, value, help));
}

Option* Command::add_option(const std::string& names, int& value, const std::string& help) {
    return keep(m_app->add_option(names, value, help));
}

Option* Command::add_option(const std::string& names, std::vector<std::string>& values,
                            const std::string& help) {
    return keep(m_app->add_option(names, values, help));
}

Option* Command::add_flag(const std::string& names, bool& value, const std::string& help) {
    return keep(m_app->add_flag(names, value, help));
}

void Command::callback(std::function<void()> run) { m_app->callback(std::move(run)); }

Option* Command::keep(CLI::Option* option) {
    m_options.push_back(std::make_unique<Option>(option));
    return m_options.back().get();
}

CommandLine::CommandLine(const std::string& description, const std::string& version)
    : m_app(std::make_unique<CLI::App>(description)) {
    m_app->set_version_flag("--version", version);
    m_app->require_subcommand(1);
}

CommandLine::~CommandLine() = default;

Command* CommandLine::add_subcommand(const std::string& name, const std::string& description) {
    m_commands.push_back(std::make_unique<Command>(m_app->add_subcommand(name, description)));
    return m_commands.back().get();
}

std::optional<int> CommandLine::parse(int argc, char** argv,
                                      const std::function<void(const std::string&)>& errorLine) {
    try {
        m_app->parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        std::ostringstream message;
        const int code = m_app->exit(e, std::cout, message);
        std::istringstream lines(message.str());
        for (std::string line; std::getline(lines, line);) errorLine(line);
        // CLI11 answers --help and --version with success; every other parse
        // error is a usage error.
        return code == 0 ? 0 : 2;
    }
    return std::nullopt;
}

}  // namespace tarnwick::cli
