// BuildInfo: the program's version, home page and copyright line, as the
// build configured them (CMake's project version, TARNWICK_HOMEPAGE and
// TARNWICK_COPYRIGHT).
//
// They live in one unit that CMake writes from BuildInfo.cpp.in, so a version
// bump recompiles that unit and relinks; nothing that includes this header
// changes with them.
#pragma once

namespace tarnwick {

// "major.minor.revision", e.g. "0.1.0".
const char* buildVersion();
// The address the pages' footer links to.
const char* buildHomepage();
// The copyright line of the pages' footer.
const char* buildCopyright();

}  // namespace tarnwick
