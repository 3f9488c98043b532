#include "support/Diagnostics.h"

namespace tarnwick {

std::string Diagnostic::toString() const {
    std::string text;
    if (!file.empty()) {
        text += file;
        if (line > 0) text += ":" + std::to_string(line);
        text += ": ";
    }
    text += severity == Severity::Error ? "error: " : "warning: ";
    text += message;
    return text;
}

}  // namespace tarnwick
