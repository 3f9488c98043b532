#include "cli/ProjectInputs.h"

#include <iostream>

#include "cli/Commands.h"
#include "generator/settings/SettingsFile.h"

namespace tarnwick::cli {

bool readProjectInputs(std::string_view prefix, const std::string& project,
                       const std::string& settingsFile, const std::string& codePageOption,
                       const std::vector<std::string>& defineOptions, ProjectInputs& inputs) {
    const bool named = !settingsFile.empty();
    auto file =
        SettingsFile::load(named ? settingsFile : SettingsFile::pathForProject(project), !named);
    if (!file) {
        printLine(std::cerr, prefix, file.error().message);
        return false;
    }
    GenerationRequest fromFile;
    file.value().applyTo(fromFile);
    inputs.settings = fromFile.settings;
    std::vector<std::string> defineList = fromFile.defines;
    defineList.insert(defineList.end(), defineOptions.begin(), defineOptions.end());
    const std::string codePageName = codePageOption.empty() ? fromFile.codePage : codePageOption;
    auto codePage = CodePage::open(codePageName);
    if (!codePage) {
        printLine(std::cerr, prefix, "unknown code page: " + codePageName);
        return false;
    }
    inputs.codePage = std::move(codePage).value();
    auto defines = readDefines(defineList);
    if (!defines) {
        printLine(std::cerr, prefix, defines.error().message);
        return false;
    }
    inputs.defines = std::move(defines).value();
    return true;
}

}  // namespace tarnwick::cli
