// Styles: the folders of "Themes" beside the program. Each holds
// "theme.css", the style sheet a site written in that style uses for the
// screen, and "index.html", a sample page the settings dialog previews.
#pragma once

#include <string>
#include <vector>

#include "support/Errors.h"

namespace tarnwick {

// programFolder() + "Themes/".
std::string defaultThemesFolder();

// The style names (sub-folders holding a theme.css), in name order.
std::vector<std::string> listStyles(const std::string& themesFolder);

// The path of the style sheet of style; an error naming the style and the
// known ones when the folder has no such style (a name with a path
// separator or "." and ".." is none).
Expected<std::string> styleSheetPath(const std::string& themesFolder, const std::string& style);

}  // namespace tarnwick
