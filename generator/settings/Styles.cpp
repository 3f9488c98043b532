#include "generator/settings/Styles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "support/File.h"
#include "support/ProgramFolder.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

bool isStyle(const std::string& themesFolder, const std::string& style) {
    if (style.empty() || style == "." || style == ".." ||
        style.find_first_of("/\\") != std::string::npos)
        return false;
    std::error_code ec;
    return fs::is_regular_file(withTrailingSlash(themesFolder) + style + "/theme.css", ec);
}

}  // namespace

std::string defaultThemesFolder() { return programFolder() + "Themes/"; }

std::vector<std::string> listStyles(const std::string& themesFolder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(themesFolder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (isStyle(themesFolder, name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

Expected<std::string> styleSheetPath(const std::string& themesFolder, const std::string& style) {
    if (isStyle(themesFolder, style)) return withTrailingSlash(themesFolder) + style + "/theme.css";
    std::string known;
    for (const std::string& name : listStyles(themesFolder))
        known += (known.empty() ? "" : ", ") + name;
    return Error{"unknown style \"" + style + "\" (known: " + (known.empty() ? "none" : known) +
                 ")"};
}

}  // namespace tarnwick
