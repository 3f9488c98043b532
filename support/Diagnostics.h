// Where the core tells the user about odd input it could work around.
//
// The reader never fails on messy VB6; what a user should know (a module file
// that is missing, a line that could not be decoded, an element filed into no
// list) goes to a DiagnosticsSink with the file and, where it helps, the line.
// The CLI prints to stderr; the workbench shows them; tests collect them.
//
// Threads: the core calls a sink from one thread only, the one that runs
// CParser::Parse() or GenerationRun::run(), which need not be the program's
// main thread (the workbench reads and generates on a worker thread of its
// own). The module workers of a run report nothing themselves: a module's
// failure goes back to the run's thread and is reported there, in module
// order. So a sink needs no lock unless its owner shares it between reads or
// runs going on at once, or reads it on another thread while they go on;
// CollectingSink and NullSink have none.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct Diagnostic {
    enum class Severity { Warning, Error };
    Severity severity = Severity::Warning;
    std::string file;  // empty when no file is concerned
    int line = 0;      // 1-based; 0 when no line is concerned
    std::string message;

    // "file:line: warning: message", leaving out what is not known.
    std::string toString() const;
};

class DiagnosticsSink {
public:
    virtual ~DiagnosticsSink() = default;
    virtual void report(const Diagnostic& diagnostic) = 0;

    void warning(const std::string& file, int line, const std::string& message) {
        report({Diagnostic::Severity::Warning, file, line, message});
    }
    void error(const std::string& file, int line, const std::string& message) {
        report({Diagnostic::Severity::Error, file, line, message});
    }
};

// Keeps every diagnostic; for tests and for callers that show them later.
class CollectingSink : public DiagnosticsSink {
public:
    void report(const Diagnostic& diagnostic) override { m_items.push_back(diagnostic); }
    const std::vector<Diagnostic>& items() const { return m_items; }

private:
    std::vector<Diagnostic> m_items;
};

// Drops everything; the default where a caller passes no sink.
class NullSink : public DiagnosticsSink {
public:
    void report(const Diagnostic&) override {}
};

}  // namespace tarnwick
