#include "shell/AppState.h"

#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/File.h"

namespace tarnwick {

RegistryLocation registryFromEnvironment(std::string named) {
    return RegistryLocation::fromVariables(std::move(named), std::getenv("TARNWICK_REGISTRY"),
                                           std::getenv("WINEPREFIX"), std::getenv("HOME"));
}

QString AppState::loadProjectSettings() {
    dialog = SettingsDialogState();
    settingsSaveFailureTold = false;
    settingsFile.reset();
    if (ProjectPath.isEmpty()) return {};
    const std::string path = SettingsFile::pathForProject(ProjectPath.toStdString());
    auto file = SettingsFile::load(path, true);
    if (!file) {
        return QStringLiteral(
                   "The settings file cannot be used, so the dialog starts from its defaults "
                   "and the file is left as it is:\n%1")
            .arg(QString::fromStdString(file.error().message));
    }
    GenerationRequest chosen;
    chosen.settings = dialog.boxes;
    file.value().applyTo(chosen);
    dialog.boxes = chosen.settings;
    dialog.style = QString::fromStdString(chosen.style);
    dialog.documentationPath = QString::fromStdString(chosen.outputFolder);
    settingsFile = std::move(file).value();
    return {};
}

GenerationRequest AppState::generationRequest() const {
    GenerationRequest request;
    request.language = Language.toStdString();
    if (settingsFile) settingsFile->applyTo(request);
    request.projectPath = ProjectPath.toStdString();
    request.outputFolder = DocumentationPath.toStdString();
    request.settings = settings;
    request.style = dialog.style.toStdString();
    request.defines.insert(request.defines.end(), defines.begin(), defines.end());
    RegistryLocation registry = registryFromEnvironment(request.registryFile);
    request.registryFile = std::move(registry.file);
    request.winePrefix = std::move(registry.winePrefix);
    if (const char* fixedTime = std::getenv("SOURCE_DATE_EPOCH")) request.fixedTime = fixedTime;
    return request;
}

QString AppState::saveProjectSettings() {
    if (!settingsFile) return {};
    GenerationRequest chosen;
    chosen.outputFolder = dialog.documentationPath.trimmed().toStdString();
    chosen.settings = dialog.boxes;
    chosen.style = dialog.style.toStdString();
    const std::string before = settingsFile->text();
    const std::optional<std::string> output = settingsFile->value("output");
    settingsFile->storeChoices(chosen);
    // A relative output stays relative, wherever it points ("../ledger-doc"
    // beside the project): the project and its documentation move together.
    if (output && !output->empty() && !std::filesystem::path(*output).is_absolute() &&
        !chosen.outputFolder.empty()) {
        namespace fs = std::filesystem;
        const fs::path folder =
            fs::absolute(fs::path(settingsFile->path()).parent_path()).lexically_normal();
        const fs::path chosenFolder =
            fs::absolute(QDir::cleanPath(dialog.documentationPath.trimmed()).toStdString())
                .lexically_normal();
        const fs::path relative = chosenFolder.lexically_relative(folder);
        if (!relative.empty()) settingsFile->set("output", relative.generic_string());
    }
    // An unchanged file is not touched: a read-only checkout whose file
    // already holds the choices has nothing to complain about.
    if (settingsFile->text() == before && File(settingsFile->path()).IsFile()) return {};
    const Status saved = settingsFile->save();
    if (saved || settingsSaveFailureTold) return {};
    settingsSaveFailureTold = true;
    return QStringLiteral(
               "The settings could not be saved; they hold until the program closes.\n%1")
        .arg(QString::fromStdString(saved.error().message));
}

QString AppState::rememberRun() {
    if (dialog.documentationPath.trimmed().isEmpty()) dialog.documentationPath = DocumentationPath;
    return saveProjectSettings();
}

}  // namespace tarnwick
