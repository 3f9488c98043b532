// AppState: the workbench's global state in one object.
//
// The main window owns one AppState and hands it (by reference) to the
// windows that read or change it: the project tree sets CurrentProject, the
// settings dialog keeps its confirmed choices here, Create Documentation
// takes GenerationSettings and DocumentationPath from them. Nothing of this
// is written to disk; it lives as long as the program.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "generator/GenerationSettings.h"
#include "model/CProject.h"

namespace tarnwick {

// The choices of the settings dialog as last confirmed with Apply or OK.
// They survive the dialog's closing, so the next Create Documentation uses
// the options last applied and the path last entered.
struct SettingsDialogState {
    // The 25 option boxes, in the record's own shape.
    GenerationSettings boxes = initialBoxes();
    bool SeeAlso = true;     // chkSeeAlso: shown, never read
    bool Ressources = true;  // chkRessources: shown, never read
    QString documentationPath;
    QString style;  // last chosen entry of the style list

    // Every box ticked except Implementations (the dialog's state when it
    // first loads).
    static GenerationSettings initialBoxes() {
        GenerationSettings s = GenerationSettings::dialogDefaults();
        s.Implementations = false;
        return s;
    }
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

    // Settings capture of Create Documentation: the confirmed boxes become
    // the generation settings and the confirmed path the output folder.
    void captureDialogSettings() {
        settings = dialog.boxes;
        DocumentationPath = dialog.documentationPath;
    }
};

}  // namespace tarnwick
