#include "support/Diagnostics.h"

#include "support/TerminalText.h"

namespace tarnwick {

std::string Diagnostic::toString() const {
    // Files and messages carry names from the project: a name's control
    // characters must not reach a terminal raw.
    std::string text;
    if (!file.empty()) {
        text += file;
        if (line > 0) text += ":" + std::to_string(line);
        text += ": ";
    }
    text += severity == Severity::Error ? "error: " : "warning: ";
    text += message;
    return terminalSafe(text);
}

}  // namespace tarnwick
