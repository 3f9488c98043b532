// TerminalText: text on its way to a terminal or a log.
//
// Names, paths and values from a project may hold control characters (ESC,
// CR, BEL); sent raw, they could move the cursor, recolour the console or
// hide a line. Every message the command line prints passes terminalSafe.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// Control characters (C0, DEL and C1) shown as "\x1b"-style escapes (C1 as
// "\u009b"); a tab and everything else stay as they are.
std::string terminalSafe(std::string_view text);

}  // namespace tarnwick
