// MainWindow's menus, toolbar, status bar and dock windows, and the ticks
// and enabled states that follow the views and the commands.
#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "shell/DockingControl.h"
#include "shell/FindingsView.h"
#include "shell/MainWindow.h"
#include "shell/ProjectView.h"
#include "shell/Views.h"
#include "support/BuildInfo.h"

namespace tarnwick {

namespace {

// View keys, the menu entries that carry their ticks and their captions.
struct ViewEntry {
    const char* key;
    const char* menu;
    const char* caption;
};
constexpr ViewEntry kViewEntries[] = {
    {"Project", "mnuViewProject", "Project"},
    {"Console", "mnuViewConsole", "Console"},
    {"Dirs", "mnuViewDirectories", "Directories"},
    {"Files", "mnuViewFiles", "Files"},
    {"Check", "mnuViewCheck", "Check"},
};

QString menuOfView(const QString& key) {
    for (const auto& entry : kViewEntries)
        if (key == QLatin1String(entry.key)) return QLatin1String(entry.menu);
    return QString();
}

}  // namespace

QString MainWindow::menuOfPerspective(const QString& name) {
    if (name == projectPerspective()) return QStringLiteral("mnuPerspectiveProject");
    if (name == browserPerspective()) return QStringLiteral("mnuPerspectiveBrowser");
    return QString();
}

QAction* MainWindow::addMenuAction(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    m_actions.insert(name, action);
    return action;
}

void MainWindow::createActions() {
    createFileMenu();
    createWindowMenus();
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addMenuAction(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Tarnwick")),
            &QAction::triggered, this, [this] {
                m_services.message(
                    this, QMessageBox::Information, QStringLiteral("About Tarnwick"),
                    QStringLiteral("Tarnwick %1\nDocumentation for Visual Basic 6 "
                                   "projects.\n%2")
                        .arg(QString::fromUtf8(buildVersion()), QString::fromUtf8(buildHomepage())),
                    QMessageBox::Ok);
            });
    createToolBar();
}

void MainWindow::createFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    // Each command with its keys; the menus show them beside the caption.
    struct Command {
        const char* name;
        const char* caption;
        QKeySequence keys;
        void (MainWindow::*slot)();
    };
    const Command commands[] = {
        {"mnuFileOpenProject", "Open Project...", QKeySequence(Qt::CTRL | Qt::Key_O),
         &MainWindow::openProject},
        {nullptr, nullptr, {}, nullptr},  // recent projects
        {"mnuDocumentationCreate", "Create Documentation...", QKeySequence(Qt::Key_F5),
         &MainWindow::createDocumentation},
        {"mnuDocumentationCheck", "Check Project", QKeySequence(Qt::Key_F6),
         &MainWindow::checkProject},
        {"mnuDocumentationSettings", "Settings...", QKeySequence(Qt::CTRL | Qt::Key_Comma),
         &MainWindow::showSettings},
        {nullptr, nullptr, {}, nullptr},
        {"mnuFileOpenSite", "Open Site in Browser", {}, &MainWindow::openSiteInBrowser},
        {"mnuFileOpenFolder", "Open Output Folder", {}, &MainWindow::openOutputFolder},
        {nullptr, nullptr, {}, nullptr},
        {"mnuFileCloseTab", "Close Tab", QKeySequence(Qt::CTRL | Qt::Key_W),
         &MainWindow::closeCurrentTab},
        {nullptr, nullptr, {}, nullptr},
        {"mnuFileExit", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr},
    };
    for (const Command& command : commands) {
        if (!command.name) {
            if (!m_recentMenu) {
                m_recentMenu = file->addMenu(QStringLiteral("Recent Projects"));
                m_recentMenu->setObjectName(QStringLiteral("mnuFileRecent"));
            }
            file->addSeparator();
            continue;
        }
        QAction* action =
            addMenuAction(file, QLatin1String(command.name), QLatin1String(command.caption));
        action->setShortcut(command.keys);
        if (command.slot)
            connect(action, &QAction::triggered, this, command.slot);
        else
            connect(action, &QAction::triggered, this, &QWidget::close);
    }
}

void MainWindow::createWindowMenus() {
    QMenu* perspectives = menuBar()->addMenu(QStringLiteral("&Perspectives"));
    perspectives->setObjectName(QStringLiteral("mnuPerspectives"));
    for (const QString& name : {projectPerspective(), browserPerspective()}) {
        QAction* action =
            addMenuAction(perspectives, menuOfPerspective(name), QLatin1Char('&') + name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, name] {
            m_perspective->showPerspective(name);
            setTick(menuOfPerspective(name), m_perspective->currentPerspective() == name);
        });
    }

    QMenu* views = menuBar()->addMenu(QStringLiteral("&Views"));
    views->setObjectName(QStringLiteral("mnuViews"));
    for (const ViewEntry& entry : kViewEntries) {
        const QString key = QLatin1String(entry.key);
        QAction* action =
            addMenuAction(views, QLatin1String(entry.menu), QLatin1String(entry.caption));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, key] { showViewFromMenu(key); });
    }

    QMenu* scheme = menuBar()->addMenu(QStringLiteral("&Scheme"));
    scheme->setObjectName(QStringLiteral("mnuScheme"));
    const struct {
        const char* name;
        const char* caption;
        int scheme;
    } schemes[] = {
        {"mnuSchemeWinXP", "&Windows XP Scheme", DockingControl::WindowsXP},
        {"mnuSchemeOffice", "&Office Scheme", DockingControl::Office},
        {"mnuSchemeCustom", "&Custom Scheme", DockingControl::Custom},
    };
    for (const auto& s : schemes)
        connect(addMenuAction(scheme, QLatin1String(s.name), QLatin1String(s.caption)),
                &QAction::triggered, this, [this, code = s.scheme] { chooseScheme(code); });
}

void MainWindow::createToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char* caption;
        const char* key;
        const char* tooltip;
    };
    const Button buttons[] = {
        {"Open", "open", "Open Project"},
        {"Settings", "settings", ""},
        {"Create", "create", "Create Documentation"},
        {"Check", "check", "Check Project"},
        {"Project", "project", "Project Perspective"},
        {"Browser", "browser", "Browser Perspective"},
    };
    m_toolBar->setIconSize(QSize(ImageList::kToolbarIconSize, ImageList::kToolbarIconSize));
    for (const Button& button : buttons) {
        QAction* action = m_toolBar->addAction(
            ImageList::toolbarIcon(QLatin1String(button.key), m_perspective->toolbarTextColour()),
            QLatin1String(button.caption));
        action->setData(QLatin1String(button.key));
        action->setToolTip(QLatin1String(button.tooltip));
        m_toolActions.insert(QLatin1String(button.key), action);
        // Qt would show the caption where a button has no tooltip of its own.
        if (!*button.tooltip) m_toolBar->widgetForAction(action)->installEventFilter(this);
        if (QLatin1String(button.key) == QLatin1String("check")) m_toolBar->addSeparator();
    }
    connect(m_toolBar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { toolbarButtonClicked(action->data().toString()); });
}

void MainWindow::createStatusBar() {
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->showMessage(QStringLiteral("Ready"));
    // Shown while a project is read: what, a busy bar, and Cancel (Esc).
    m_openLabel = new QLabel(this);
    m_openLabel->setTextFormat(Qt::PlainText);  // it names the project's file
    m_openBar = new QProgressBar(this);
    m_openBar->setObjectName(QStringLiteral("prgOpen"));
    m_openBar->setRange(0, 0);
    m_openBar->setMaximumWidth(160);
    m_openCancel = new QToolButton(this);
    m_openCancel->setObjectName(QStringLiteral("cmdOpenCancel"));
    m_openCancel->setText(QStringLiteral("Cancel"));
    m_openCancel->setToolTip(QStringLiteral("Stop reading the project (Esc)"));
    connect(m_openCancel, &QToolButton::clicked, this, &MainWindow::cancelOpen);
    // Esc cancels at once: a button's own shortcut answers with an animated
    // click 100 ms later, time enough for the read to finish and the
    // project to open although Esc was pressed. Live only while reading, so
    // Esc keeps its meaning everywhere else in the window.
    m_openEsc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_openEsc->setEnabled(false);
    connect(m_openEsc, &QShortcut::activated, this, &MainWindow::cancelOpen);
    for (QWidget* w : {static_cast<QWidget*>(m_openLabel), static_cast<QWidget*>(m_openBar),
                       static_cast<QWidget*>(m_openCancel)}) {
        statusBar()->addPermanentWidget(w);
        w->hide();
    }
}

void MainWindow::createDockWindows() {
    DockingControl& dock = *m_perspective;
    connect(&dock, &DockingControl::viewShown, this,
            [this](const QString& key) { setTick(menuOfView(key), true); });
    connect(&dock, &DockingControl::viewHidden, this,
            [this](const QString& key) { setTick(menuOfView(key), false); });
    connect(&dock, &DockingControl::perspectiveShown, this,
            [this](const QString& name) { setTick(menuOfPerspective(name), true); });
    connect(&dock, &DockingControl::perspectiveHidden, this,
            [this](const QString& name) { setTick(menuOfPerspective(name), false); });

    m_consoleView = new ConsoleView(this);
    m_projectView = new ProjectView(m_state, m_images, this);
    m_dirsView = new DirsView(this);
    m_filesView = new FilesView(this);
    m_findingsView = new FindingsView(this);
    dock.registerView(m_consoleView, QStringLiteral("Console"), QStringLiteral("Console"));
    dock.registerView(m_projectView, QStringLiteral("Project"), QStringLiteral("Project"));
    dock.registerView(m_dirsView, QStringLiteral("Dirs"), QStringLiteral("Directories"));
    dock.registerView(m_filesView, QStringLiteral("Files"), QStringLiteral("Files"));
    dock.registerView(m_findingsView, QStringLiteral("Check"), QStringLiteral("Check"));

    connect(m_projectView, &ProjectView::consoleLine, m_consoleView, &ConsoleView::appendLine);
    // Another project of the open group: read once the tree's signal is
    // done, as the read replaces the node that sent it.
    connect(m_projectView, &ProjectView::groupProjectChosen, this, [this](int project) {
        QTimer::singleShot(0, this, [this, project] { showGroupProject(project); });
    });
    connect(m_projectView, &ProjectView::previewRequested, this,
            [this](const QString& title, const QString& html, const QUrl& base) {
                showPreview(title, html, false, base);
            });
    connect(m_projectView, &ProjectView::pinRequested, this,
            [this](const QString& title, const QString& html, const QUrl& base) {
                showPreview(title, html, true, base);
            });
    connect(m_dirsView, &DirsView::pathChanged, m_filesView, &FilesView::setPath);
    connect(m_filesView, &FilesView::documentRequested, this,
            [this](const QString& path, const QString& caption) {
                openBrowserDocument(path, caption);
            });
    connect(m_findingsView, &FindingsView::findingActivated, this, &MainWindow::showFinding);
    describePerspectives();
    dock.showPerspective(projectPerspective());
}

void MainWindow::describePerspectives() {
    DockingControl::Perspective& project = m_perspective->perspective(projectPerspective());
    project.addFolder(QStringLiteral("Project_Folder"), 1, 0.3, project.editorArea())
        .addView(QStringLiteral("Project"));
    DockingControl::Folder& below =
        project.addFolder(QStringLiteral("Console_Folder"), 4, 0.7, project.editorArea());
    below.addView(QStringLiteral("Console"));
    below.addView(QStringLiteral("Check"), false);  // shown by the Check command
    project.setFixedLayout(true);

    DockingControl::Perspective& browser = m_perspective->perspective(browserPerspective());
    browser.addFolder(QStringLiteral("Dirs_Folder"), 2, 0.3, browser.editorArea())
        .addView(QStringLiteral("Dirs"));
    browser.addFolder(QStringLiteral("Files_Folder"), 4, 0.3, QStringLiteral("Dirs_Folder"))
        .addView(QStringLiteral("Files"));
    browser.addFolder(QStringLiteral("Console_Folder"), 4, 0.7, browser.editorArea())
        .addView(QStringLiteral("Console"));
    browser.setFixedLayout(true);
}

void MainWindow::chooseScheme(int scheme) {
    setScheme(scheme);
    settingsStore().setValue(QStringLiteral("window/scheme"), scheme);
}

void MainWindow::setScheme(int scheme) {
    m_perspective->setScheme(scheme);
    // The toolbar's pictures take the colour of its captions.
    const QColor ink = m_perspective->toolbarTextColour();
    for (auto it = m_toolActions.cbegin(); it != m_toolActions.cend(); ++it)
        it.value()->setIcon(ImageList::toolbarIcon(it.key(), ink));
}

void MainWindow::setTick(const QString& name, bool ticked) {
    if (QAction* action = m_actions.value(name)) action->setChecked(ticked);
}

void MainWindow::showViewFromMenu(const QString& key) {
    m_perspective->showView(key);
    // The menu entry shows the view; it never hides one.
    setTick(menuOfView(key), m_perspective->isViewVisible(key));
}

void MainWindow::toolbarButtonClicked(const QString& key) {
    if (key == QLatin1String("open"))
        openProject();
    else if (key == QLatin1String("settings"))
        showSettings();
    else if (key == QLatin1String("create"))
        createDocumentation();
    else if (key == QLatin1String("check"))
        checkProject();
    else if (key == QLatin1String("project"))
        m_perspective->showPerspective(projectPerspective());
    else if (key == QLatin1String("browser"))
        m_perspective->showPerspective(browserPerspective());
}

void MainWindow::updateCommands() {
    const bool idle = !busy();
    const bool project = m_state.CurrentProject != nullptr;
    for (const char* name :
         {"mnuDocumentationCreate", "mnuDocumentationCheck", "mnuDocumentationSettings"})
        m_actions.value(QLatin1String(name))->setEnabled(idle && project);
    for (const char* key : {"create", "check", "settings"})
        m_toolActions.value(QLatin1String(key))->setEnabled(idle && project);
    m_actions.value(QStringLiteral("mnuFileOpenProject"))->setEnabled(idle);
    m_toolActions.value(QStringLiteral("open"))->setEnabled(idle);
    m_recentMenu->setEnabled(idle && !recentProjects().isEmpty());
    const bool site = !m_siteIndex.isEmpty() && QFileInfo::exists(m_siteIndex);
    m_actions.value(QStringLiteral("mnuFileOpenSite"))->setEnabled(site);
    m_actions.value(QStringLiteral("mnuFileOpenFolder"))->setEnabled(site);
    m_startPage->openButton()->setEnabled(idle);
    m_startPage->recentList()->setEnabled(idle);
    updateStartPage();
}

}  // namespace tarnwick
