// What api and diff share: a project read for its public interface, as
// generate reads it (the settings file's code page and defines under the
// options').
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/analysis/ApiReport.h"

namespace tarnwick {
class CProject;
}

namespace tarnwick::cli {

struct ProjectReading {
    std::string codePage;  // empty: the settings file's, else windows-1252
    std::vector<std::string> defines;
    std::string settingsFile;  // empty: the project's own, when there is one
};

// The project at path, or null after printing why after prefix ("tarnwick
// api: "). usage: the failure is the command line's (a code page, define
// or settings file), not the project's.
std::shared_ptr<CProject> readApiProject(std::string_view prefix, const std::string& path,
                                         const ProjectReading& reading, bool& usage);

// The interface at path: a project file's (.vbp, read as above) or a
// report's that `api` wrote; none after printing why after prefix.
std::optional<ApiInterface> readApiSide(std::string_view prefix, const std::string& path,
                                        const ProjectReading& reading);

}  // namespace tarnwick::cli
