// AppState: the workbench's global state in one object.
//
// The main window owns one AppState and hands it (by reference) to the
// windows that read or change it: the project tree sets CurrentProject, the
// settings dialog keeps its confirmed choices here, Create Documentation
// takes GenerationSettings and DocumentationPath from them. The confirmed
// choices are also kept in the project's settings file ("Name.tarnwick"
// beside "Name.vbp", the file `tarnwick generate` reads), so a later session
// and a command-line run see the same choices.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "generator/run/GenerationRun.h"
#include "generator/settings/GenerationSettings.h"
#include "generator/settings/SettingsFile.h"
#include "model/CProject.h"
#include "reader/modRegistry.h"

namespace tarnwick {

// The choices of the settings dialog as last confirmed with Apply or OK.
// They survive the dialog's closing, so the next Create Documentation uses
// the options last applied and the path last entered.
// Where the registry files are: named (empty: none), else TARNWICK_REGISTRY
// (which --registry sets); then the Wine prefix of WINEPREFIX, else of HOME.
RegistryLocation registryFromEnvironment(std::string named);

struct SettingsDialogState {
    // The option boxes, in the record's own shape; at first every field at
    // its default (every box ticked but Implementations).
    GenerationSettings boxes = GenerationSettings::dialogDefaults();
    bool SeeAlso = true;     // chkSeeAlso: shown, never read
    bool Ressources = true;  // chkRessources: shown, never read
    QString documentationPath;
    QString style;  // the chosen style's folder name; empty: the plain style
};

struct AppState {
    QString ProjectPath;                       // the project file last chosen with Open Project
    QString DocumentationPath;                 // output folder; ends in '/' when a run starts
    std::shared_ptr<CProject> CurrentProject;  // the project the tree shows, or null
    QString Language;                          // translation section, from the user's locale
    GenerationSettings settings;               // every flag false at start
    SettingsDialogState dialog;
    // Conditional-compilation constants from the command line ("NAME=VALUE",
    // checked at start), used by the project tree and every run alike.
    std::vector<std::string> defines;
    // The open project's settings file as read (its other keys, comments and
    // sections are written back as they were); empty when the file could not
    // be used, and then it is not written either.
    std::optional<SettingsFile> settingsFile;
    bool settingsSaveFailureTold = false;

    // Settings capture of Create Documentation: the confirmed boxes become
    // the generation settings and the confirmed path the output folder.
    void captureDialogSettings() {
        settings = dialog.boxes;
        DocumentationPath = dialog.documentationPath;
    }

    // Reads the settings file of ProjectPath into the dialog's state (its
    // initial state where the file says nothing, or when there is no file).
    // Returns a message for the user when the file is there but unusable.
    QString loadProjectSettings();
    // The request of Create Documentation: the settings file's choices the
    // dialog does not show (language, code page, defines, ...), then the
    // captured settings, DocumentationPath and the confirmed style.
    GenerationRequest generationRequest() const;
    // Writes the confirmed choices into the settings file (when they change
    // it). Returns a message for the user the first time the file cannot be
    // written; the choices hold for the session all the same.
    QString saveProjectSettings();
    // After Create Documentation has its folder: a folder that the dialog
    // did not name becomes its path, and the choices are saved.
    QString rememberRun();
};

}  // namespace tarnwick
