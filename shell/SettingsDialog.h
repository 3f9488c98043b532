// SettingsDialog (frmSettings): the options of the next documentation run.
//
// Three tabs ("&Documentation", "&Design", "&Includes") and the buttons
// "&Ok", "C&ancel", "&Apply". Each load shows the open project's facts, the
// styles of the Themes folder and the choices last confirmed (kept in
// AppState until the program ends, and in the project's settings file).
// Apply copies the 25 option boxes into the generation settings, confirms
// the dialog's state and saves it in the settings file; OK applies and
// closes; Cancel closes and forgets unconfirmed changes.
#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTabWidget;

namespace tarnwick {

struct AppState;
struct ShellServices;
class DesignTab;
class DocumentationTab;
class IncludesTab;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // state and services are not owned and must outlive the dialog.
    SettingsDialog(AppState& state, ShellServices& services, QWidget* parent = nullptr);

    // Fills the dialog; false (and nothing shown) when no project is open.
    bool load();
    // Loads and shows the dialog modally; does nothing without a project.
    void showModal();
    // cmdApply: the boxes into the generation settings, the whole state
    // confirmed and saved (a file that cannot be written is told once).
    void apply();
    // The Themes folder beside the program.
    static QString themesFolder();

    DesignTab* designTab() const { return m_design; }
    QTabWidget* tabs() const { return m_tabs; }

private:
    void browseDocumentationPath();

    AppState& m_state;
    ShellServices& m_services;
    QTabWidget* m_tabs;
    DocumentationTab* m_documentation;
    DesignTab* m_design;
    IncludesTab* m_includes;
};

}  // namespace tarnwick
