// ProjectInputs: what check and api read besides the project itself.
//
// The settings file (the one named, or the project's own when there is
// one), then the code page and the defines, the options' winning over the
// file's: one reading, so both commands take a project as generate does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "reader/ConditionalCompilation.h"
#include "support/CodePage.h"

namespace tarnwick::cli {

struct ProjectInputs {
    GenerationSettings settings;  // the settings file's
    CodePage codePage;
    CondConstants defines;
};

// Fills inputs; on a usage error prints why after prefix ("tarnwick check: ")
// and returns false.
bool readProjectInputs(std::string_view prefix, const std::string& project,
                       const std::string& settingsFile, const std::string& codePageOption,
                       const std::vector<std::string>& defineOptions, ProjectInputs& inputs);

}  // namespace tarnwick::cli
