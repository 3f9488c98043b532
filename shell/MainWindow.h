// MainWindow (frmMain): the workbench window and the home of every command.
//
// Built like Qt's dock widgets example: the constructor creates the actions
// (menus and toolbar), the status bar and the dock windows. The docking
// control arranges the four views (project tree, console, directories,
// files) around the editor area of documents in two perspectives,
// "Project" and "Browser"; menu ticks follow the views and perspectives
// the control shows.
//
// Commands: Open Project reads a .vbp into the tree (on a worker thread,
// with a busy bar and Cancel in the status bar); Create Documentation takes
// the confirmed settings, asks for a folder when none is set and runs the
// generation in the progress window, then shows the site in the Browser
// perspective; Check Project runs the core's checks on the open project
// with the confirmed settings and lists the members without a description
// and the unused Private members in the Check view, where activating one
// previews the member's page as a click on it in the tree does; Settings
// opens the settings dialog; the Perspectives, Views
// and Scheme menus drive the docking control. The site and its folder can
// be handed to the desktop's browser and file manager, and a .vbp dropped
// on the window opens.
//
// One preview tab (its title in italics) follows the tree selection; a
// double click pins a page in a tab of its own. Opening another project
// closes the previews of the last one. The title names the open project
// ("Ledger - Tarnwick"); with none open, the editor area shows a start page
// with Open Project and the recent projects.
//
// Remembered from one start to the next (QSettings, "Tarnwick/Workbench"):
// the recent projects (File menu, the last 8), the window's geometry, the
// layout of each perspective, the scheme chosen and the last output folder.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "shell/AppState.h"
#include "shell/ImageList.h"
#include "shell/ShellServices.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSettings;
class QStackedWidget;
class QUrl;
class QToolBar;
class QShortcut;
class QToolButton;

namespace tarnwick {

class BrowserDocument;
class ConsoleView;
class PreviewDocument;
class DirsView;
class DockingControl;
class FilesView;
class FindingsView;
class ProgressWindow;
class ProjectView;
class SettingsDialog;
class StartPage;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The toolbar's click handler: exact, case-sensitive keys "open",
    // "settings", "create", "check", "project", "browser"; other keys do nothing.
    void toolbarButtonClicked(const QString& key);

    // Commands
    void openProject();
    // Opens the project file at path (the command line, Open Project, the
    // recent projects, a drop); an unreadable file gives a message naming it
    // and the reason. Returns once the read is done or cancelled; the window
    // keeps working meanwhile.
    bool openProjectFile(const QString& path);
    // Of the open group, shows the project at groupProject (the startup
    // project first) in the tree, with the group's settings as they are.
    bool showGroupProject(int groupProject);
    // Gives up the read of a project in progress.
    void cancelOpen();
    void createDocumentation();
    // Lists the open project's findings in the Check view and shows it.
    void checkProject();
    void showSettings();
    // The docking control's scheme (DockingControl::Scheme), toolbar pictures included.
    void setScheme(int scheme);
    // setScheme from the Scheme menu: the choice is kept for the next start.
    void chooseScheme(int scheme);
    void closeCurrentTab();
    // The last generated site's start page and folder, with the desktop's programs.
    void openSiteInBrowser();
    void openOutputFolder();
    // The preview that follows the selection (pinned: a new tab of its own).
    PreviewDocument* showPreview(const QString& title, const QString& html, bool pinned,
                                 const QUrl& base = QUrl());
    // The recent projects, newest first.
    QStringList recentProjects() const;
    // How long the last open took until the tree was built, in milliseconds.
    qint64 lastOpenMs() const { return m_lastOpenMs; }

    // The store of the remembered settings.
    static QSettings& settingsStore();
    static constexpr int kRecentProjects = 8;
    // A new browser document on the page at path, titled caption.
    BrowserDocument* openBrowserDocument(const QString& path, const QString& caption);

    AppState& state() { return m_state; }
    ShellServices& services() { return m_services; }
    DockingControl& perspective() const { return *m_perspective; }
    ProjectView* projectView() const { return m_projectView; }
    ConsoleView* consoleView() const { return m_consoleView; }
    DirsView* dirsView() const { return m_dirsView; }
    FilesView* filesView() const { return m_filesView; }
    FindingsView* findingsView() const { return m_findingsView; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The single instances, created on first use.
    SettingsDialog* settingsDialog();
    ProgressWindow* progressWindow();
    // The menu entry of a name such as "mnuViewConsole", or null.
    QAction* menuAction(const QString& name) const { return m_actions.value(name); }
    // The toolbar button of a key such as "create", or null.
    QAction* toolbarAction(const QString& key) const { return m_toolActions.value(key); }
    QProgressBar* openProgress() const { return m_openBar; }
    QToolButton* openCancelButton() const { return m_openCancel; }
    StartPage* startPage() const { return m_startPage; }
    // True while the start page fills the editor area.
    bool startPageShown() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The perspectives' names, and the menu entries that carry their ticks.
    static QString projectPerspective() { return QStringLiteral("Project"); }
    static QString browserPerspective() { return QStringLiteral("Browser"); }
    static QString menuOfPerspective(const QString& name);

    // Reads the project (of a group file, the one at groupProject) into the
    // tree; a new project reads its settings and joins the recent projects.
    bool readIntoTree(const QString& path, int groupProject, bool newProject);

    // Built once by the constructor (MainWindowActions.cpp).
    void createActions();
    void createFileMenu();
    void createWindowMenus();
    void createToolBar();
    void createStatusBar();
    void createDockWindows();
    void describePerspectives();
    QAction* addMenuAction(QMenu* menu, const QString& name, const QString& caption);

    void runCreateDocumentation();
    // The request of a run once the project, the settings and the output
    // folder are settled; false when the run is not to start (told or declined).
    bool prepareRun(GenerationRequest& request);
    void showGeneratedSite(const GenerationResult& result);
    void prepareForRunSoon();
    // Previews the member of the Check view's finding of that index.
    void showFinding(int index);
    void forgetLastProject();
    void setTick(const QString& name, bool ticked);
    void showViewFromMenu(const QString& key);
    void updateCommands();
    void updateStartPage();
    void rememberProject(const QString& path);
    void fillRecentMenu();
    void restoreSettings();
    void saveLayout();
    bool busy() const;

    AppState m_state;
    ShellServices m_services;
    ImageList m_images;
    DockingControl* m_perspective = nullptr;  // Perspective; a child of this window
    QToolBar* m_toolBar = nullptr;            // Toolbar
    ProjectView* m_projectView = nullptr;
    ConsoleView* m_consoleView = nullptr;
    DirsView* m_dirsView = nullptr;
    FilesView* m_filesView = nullptr;
    FindingsView* m_findingsView = nullptr;  // the Check view
    SettingsDialog* m_settings = nullptr;    // frmSettings, a child once made
    ProgressWindow* m_progress = nullptr;    // frmProgress, a child once made
    QHash<QString, QAction*> m_actions;      // menu entries by name
    QHash<QString, QAction*> m_toolActions;  // toolbar buttons by key
    QMenu* m_recentMenu = nullptr;
    QLabel* m_openLabel = nullptr;        // "Reading ..." while a project is read
    QProgressBar* m_openBar = nullptr;    // busy bar while a project is read
    QToolButton* m_openCancel = nullptr;  // Cancel of the read
    QShortcut* m_openEsc = nullptr;       // Esc while the read runs
    QPointer<PreviewDocument> m_preview;  // the preview that follows the selection
    // A browser document made (and its renderer started) before a run, for
    // the site it writes: the window should not wait for it once the run is done.
    QPointer<BrowserDocument> m_spareBrowser;
    static constexpr int kSpareBrowserDelayMs = 200;  // after an open or a run
    StartPage* m_startPage = nullptr;
    QStackedWidget* m_center = nullptr;  // the start page or the editor area
    QString m_siteIndex;                 // start page of the last generated site
    qint64 m_lastOpenMs = 0;
    bool m_opening = false;
    bool m_closePending = false;  // closed during a read or a run: close once it stops
    bool m_unloaded = false;
};

}  // namespace tarnwick
