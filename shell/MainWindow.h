// MainWindow (frmMain): the workbench window and the home of every command.
//
// Built like Qt's dock widgets example: the constructor creates the actions
// (menus and toolbar), the status bar and the dock windows. The docking
// control arranges the four views (project tree, console, directories,
// files) around the editor area of documents in two perspectives,
// "Project" and "Browser"; menu ticks follow the views and perspectives
// the control shows.
//
// Commands: Open Project parses a .vbp into the tree; Create Documentation
// takes the confirmed settings, asks for a folder when none is set and runs
// the generation in the progress window, then shows the site in the Browser
// perspective; Settings opens the settings dialog; the Perspectives, Views
// and Scheme menus drive the docking control.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>

#include "shell/AppState.h"
#include "shell/ImageList.h"
#include "shell/ShellServices.h"

class QAction;
class QToolBar;

namespace tarnwick {

class BrowserDocument;
class ConsoleView;
class DirsView;
class DockingControl;
class FilesView;
class ProgressWindow;
class ProjectView;
class SettingsDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The toolbar's click handler: exact, case-sensitive keys "open",
    // "settings", "create", "project", "browser"; other keys do nothing.
    void toolbarButtonClicked(const QString& key);

    // Commands
    void openProject();
    // Opens the project file at path (the command line and Open Project);
    // an unreadable file gives a message naming it and the reason.
    bool openProjectFile(const QString& path);
    void createDocumentation();
    void showSettings();
    // A new browser document on the page at path, titled caption.
    BrowserDocument* openBrowserDocument(const QString& path, const QString& caption);

    AppState& state() { return m_state; }
    ShellServices& services() { return m_services; }
    DockingControl& perspective() const { return *m_perspective; }
    ProjectView* projectView() const { return m_projectView; }
    ConsoleView* consoleView() const { return m_consoleView; }
    DirsView* dirsView() const { return m_dirsView; }
    FilesView* filesView() const { return m_filesView; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The single instances, created on first use.
    SettingsDialog* settingsDialog();
    ProgressWindow* progressWindow();
    // The menu entry of a name such as "mnuViewConsole", or null.
    QAction* menuAction(const QString& name) const { return m_actions.value(name); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createStatusBar();
    void createDockWindows();
    QAction* addMenuAction(QMenu* menu, const QString& name, const QString& caption);
    void runCreateDocumentation();
    void setTick(const QString& name, bool ticked);
    void showViewFromMenu(const QString& key);

    AppState m_state;
    ShellServices m_services;
    ImageList m_images;
    DockingControl* m_perspective = nullptr;  // Perspective; a child of this window
    QToolBar* m_toolBar = nullptr;            // Toolbar
    ProjectView* m_projectView = nullptr;
    ConsoleView* m_consoleView = nullptr;
    DirsView* m_dirsView = nullptr;
    FilesView* m_filesView = nullptr;
    SettingsDialog* m_settings = nullptr;  // frmSettings, a child once made
    ProgressWindow* m_progress = nullptr;  // frmProgress, a child once made
    QHash<QString, QAction*> m_actions;    // menu entries by name
    bool m_unloaded = false;
};

}  // namespace tarnwick
