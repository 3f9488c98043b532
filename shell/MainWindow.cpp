#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <cstdlib>
#include <exception>

#include "generator/run/GenerationRun.h"
#include "model/Translation.h"
#include "shell/DockingControl.h"
#include "shell/HtmlView.h"
#include "shell/ProgressWindow.h"
#include "shell/ProjectView.h"
#include "shell/SettingsDialog.h"
#include "shell/Views.h"
#include "support/BuildInfo.h"

// The compiled-in pictures (application icon, dock title buttons) live in
// the static shell library; the linker keeps them only when asked by name.
static void initShellResources() { Q_INIT_RESOURCE(icons); }

namespace tarnwick {

namespace {

const QString kProject = QStringLiteral("Project");
const QString kBrowser = QStringLiteral("Browser");

// View keys and the menu entries that carry their ticks.
struct ViewEntry {
    const char* key;
    const char* menu;
};
constexpr ViewEntry kViewEntries[] = {
    {"Project", "mnuViewProject"},
    {"Console", "mnuViewConsole"},
    {"Dirs", "mnuViewDirectories"},
    {"Files", "mnuViewFiles"},
};

QString menuOfView(const QString& key) {
    for (const auto& entry : kViewEntries)
        if (key == QLatin1String(entry.key)) return QLatin1String(entry.menu);
    return QString();
}

// The first local .vbp file among the dropped URLs, or empty.
QString droppedProject(const QMimeData* data) {
    if (!data || !data->hasUrls()) return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QLatin1String(".vbp"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return QString();
}

QString menuOfPerspective(const QString& name) {
    if (name == kProject) return QStringLiteral("mnuPerspectiveProject");
    if (name == kBrowser) return QStringLiteral("mnuPerspectiveBrowser");
    return QString();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    initShellResources();
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/tarnwick/tarnwick-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    setAcceptDrops(true);
    resize(1100, 720);
    // Runs and previews speak the user's language.
    m_state.Language = QString::fromStdString(Translation::languageForLocale(
        std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
    m_perspective = new DockingControl(this);
    createActions();
    createStatusBar();
    createDockWindows();
    // The start page and the editor area share the middle of the window.
    m_startPage = new StartPage;
    m_center = new QStackedWidget(this);
    m_center->setObjectName(QStringLiteral("Center"));
    QWidget* editor = takeCentralWidget();
    m_center->addWidget(m_startPage);
    m_center->addWidget(editor);
    setCentralWidget(m_center);
    connect(m_startPage, &StartPage::openRequested, this, &MainWindow::openProject);
    connect(m_startPage, &StartPage::projectChosen, this,
            [this](const QString& path) { openProjectFile(path); });
    connect(m_perspective->editorArea(), &QTabWidget::currentChanged, this,
            &MainWindow::updateStartPage);
    restoreSettings();
    updateCommands();
}

QSettings& MainWindow::settingsStore() {
    static QSettings store(QStringLiteral("Tarnwick"), QStringLiteral("Workbench"));
    return store;
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::addMenuAction(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    m_actions.insert(name, action);
    return action;
}

void MainWindow::createActions() {
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

    QMenu* perspectives = menuBar()->addMenu(QStringLiteral("&Perspectives"));
    perspectives->setObjectName(QStringLiteral("mnuPerspectives"));
    for (const QString& name : {kProject, kBrowser}) {
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
    const char* viewCaptions[] = {"Project", "Console", "Directories", "Files"};
    for (int i = 0; i < 4; ++i) {
        const QString key = QLatin1String(kViewEntries[i].key);
        QAction* action = addMenuAction(views, QLatin1String(kViewEntries[i].menu),
                                        QLatin1String(viewCaptions[i]));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, key] { showViewFromMenu(key); });
    }

    QMenu* scheme = menuBar()->addMenu(QStringLiteral("Scheme"));
    scheme->setObjectName(QStringLiteral("mnuScheme"));
    connect(addMenuAction(scheme, QStringLiteral("mnuSchemeWinXP"),
                          QStringLiteral("Windows XP Scheme")),
            &QAction::triggered, this, [this] { chooseScheme(DockingControl::WindowsXP); });
    connect(
        addMenuAction(scheme, QStringLiteral("mnuSchemeOffice"), QStringLiteral("Office Scheme")),
        &QAction::triggered, this, [this] { chooseScheme(DockingControl::Office); });
    connect(
        addMenuAction(scheme, QStringLiteral("mnuSchemeCustom"), QStringLiteral("Custom Scheme")),
        &QAction::triggered, this, [this] { chooseScheme(DockingControl::Custom); });

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
        if (QLatin1String(button.key) == QLatin1String("create")) m_toolBar->addSeparator();
    }
    connect(m_toolBar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { toolbarButtonClicked(action->data().toString()); });
}

void MainWindow::createStatusBar() {
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->showMessage(QStringLiteral("Ready"));
    // Shown while a project is read: what, a busy bar, and Cancel (Esc).
    m_openLabel = new QLabel(this);
    m_openBar = new QProgressBar(this);
    m_openBar->setObjectName(QStringLiteral("prgOpen"));
    m_openBar->setRange(0, 0);
    m_openBar->setMaximumWidth(160);
    m_openCancel = new QToolButton(this);
    m_openCancel->setObjectName(QStringLiteral("cmdOpenCancel"));
    m_openCancel->setText(QStringLiteral("Cancel"));
    m_openCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(m_openCancel, &QToolButton::clicked, this, &MainWindow::cancelOpen);
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
    dock.registerView(m_consoleView, QStringLiteral("Console"), QStringLiteral("Console"));
    dock.registerView(m_projectView, QStringLiteral("Project"), QStringLiteral("Project"));
    dock.registerView(m_dirsView, QStringLiteral("Dirs"), QStringLiteral("Directories"));
    dock.registerView(m_filesView, QStringLiteral("Files"), QStringLiteral("Files"));

    connect(m_projectView, &ProjectView::consoleLine, m_consoleView, &ConsoleView::appendLine);
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

    DockingControl::Perspective& project = dock.perspective(kProject);
    project.addFolder(QStringLiteral("Project_Folder"), 1, 0.3, project.editorArea())
        .addView(QStringLiteral("Project"));
    project.addFolder(QStringLiteral("Console_Folder"), 4, 0.7, project.editorArea())
        .addView(QStringLiteral("Console"));
    project.setFixedLayout(true);

    DockingControl::Perspective& browser = dock.perspective(kBrowser);
    browser.addFolder(QStringLiteral("Dirs_Folder"), 2, 0.3, browser.editorArea())
        .addView(QStringLiteral("Dirs"));
    browser.addFolder(QStringLiteral("Files_Folder"), 4, 0.3, QStringLiteral("Dirs_Folder"))
        .addView(QStringLiteral("Files"));
    browser.addFolder(QStringLiteral("Console_Folder"), 4, 0.7, browser.editorArea())
        .addView(QStringLiteral("Console"));
    browser.setFixedLayout(true);

    dock.showPerspective(kProject);
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
    else if (key == QLatin1String("project"))
        m_perspective->showPerspective(kProject);
    else if (key == QLatin1String("browser"))
        m_perspective->showPerspective(kBrowser);
}

void MainWindow::openProject() {
    if (busy()) return;
    const QString path = m_services.openFile(this, QStringLiteral("Open Project"),
                                             QStringLiteral("Visual Basic 6.0 Projects (*.vbp)"));
    // A cancelled dialog leaves the open project as it is.
    if (path.isEmpty()) return;
    openProjectFile(path);
}

bool MainWindow::openProjectFile(const QString& path) {
    if (busy()) return false;
    QString reason;
    bool opened = false;
    QElapsedTimer clock;
    clock.start();
    // Anything else at the path (a folder, a FIFO) is told apart by the reader.
    if (!QFileInfo::exists(path)) {
        reason = path + QStringLiteral(": no such file");
    } else {
        m_opening = true;
        m_openLabel->setText(QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()));
        for (QWidget* w : {static_cast<QWidget*>(m_openLabel), static_cast<QWidget*>(m_openBar),
                           static_cast<QWidget*>(m_openCancel)})
            w->show();
        updateCommands();
        try {
            opened = m_projectView->RefreshProjectTree(path, &reason);
        } catch (const std::exception& e) {
            reason = path + QStringLiteral(": ") + QString::fromUtf8(e.what());
        }
        m_opening = false;
        for (QWidget* w : {static_cast<QWidget*>(m_openLabel), static_cast<QWidget*>(m_openBar),
                           static_cast<QWidget*>(m_openCancel)})
            w->hide();
    }
    m_lastOpenMs = clock.elapsed();
    if (opened) {
        m_state.ProjectPath = path;
        if (const QString problem = m_state.loadProjectSettings(); !problem.isEmpty())
            m_services.message(this, QMessageBox::Warning, QStringLiteral("Settings"), problem,
                               QMessageBox::Ok);
        // The previews of the last project show what is no longer open.
        QTabWidget* editor = m_perspective->editorArea();
        for (int i = editor->count() - 1; i >= 0; --i) {
            if (auto* preview = qobject_cast<PreviewDocument*>(editor->widget(i))) {
                editor->removeTab(i);
                preview->deleteLater();
            }
        }
        rememberProject(path);
        setWindowTitle(QString::fromStdString(m_state.CurrentProject->displayName()) +
                       QStringLiteral(" - Tarnwick"));
        m_dirsView->setPath(QFileInfo(path).absolutePath());
        statusBar()->showMessage(
            QStringLiteral("%1 (opened in %2 s)").arg(path).arg(m_lastOpenMs / 1000.0, 0, 'f', 2));
    } else if (reason.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("Opening cancelled"));
    } else if (!m_closePending) {
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Open Project"),
                           QStringLiteral("The project could not be opened.\n%1").arg(reason),
                           QMessageBox::Ok);
    }
    updateCommands();
    if (m_closePending) close();
    return opened;
}

void MainWindow::cancelOpen() {
    if (m_opening) m_projectView->cancelRefresh();
}

bool MainWindow::busy() const { return m_opening || (m_progress && m_progress->running()); }

void MainWindow::updateCommands() {
    const bool idle = !busy();
    const bool project = m_state.CurrentProject != nullptr;
    for (const char* name : {"mnuDocumentationCreate", "mnuDocumentationSettings"})
        m_actions.value(QLatin1String(name))->setEnabled(idle && project);
    for (const char* key : {"create", "settings"})
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

void MainWindow::updateStartPage() {
    const bool start = !m_state.CurrentProject && m_perspective->editorArea()->count() == 0;
    m_center->setCurrentIndex(start ? 0 : 1);
}

bool MainWindow::startPageShown() const { return m_center->currentWidget() == m_startPage; }

QStringList MainWindow::recentProjects() const {
    return settingsStore().value(QStringLiteral("recentProjects")).toStringList();
}

void MainWindow::rememberProject(const QString& path) {
    QStringList recent = recentProjects();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    m_services.projectFolder = QFileInfo(absolute).absolutePath();
    while (recent.size() > kRecentProjects) recent.removeLast();
    settingsStore().setValue(QStringLiteral("recentProjects"), recent);
    settingsStore().sync();
    fillRecentMenu();
}

void MainWindow::fillRecentMenu() {
    m_recentMenu->clear();
    const QStringList recent = recentProjects();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] {
            if (openProjectFile(path) || QFileInfo(path).isFile()) return;
            // A project that is gone leaves the list.
            QStringList left = recentProjects();
            left.removeAll(path);
            settingsStore().setValue(QStringLiteral("recentProjects"), left);
            fillRecentMenu();
            updateCommands();
        });
    }
    m_recentMenu->setEnabled(!recent.isEmpty() && !busy());
    m_startPage->setRecentProjects(recent);
}

void MainWindow::restoreSettings() {
    QSettings& store = settingsStore();
    restoreGeometry(store.value(QStringLiteral("window/geometry")).toByteArray());
    for (const QString& name : {kProject, kBrowser})
        m_perspective->setLayoutState(
            name, store.value(QStringLiteral("window/layout/") + name).toByteArray());
    const QString output = store.value(QStringLiteral("lastOutputFolder")).toString();
    if (!output.isEmpty()) m_services.startFolder = output;
    const QStringList recent = recentProjects();
    if (!recent.isEmpty()) m_services.projectFolder = QFileInfo(recent.first()).absolutePath();
    bool known = false;
    const int scheme = store.value(QStringLiteral("window/scheme")).toInt(&known);
    if (known && (scheme == DockingControl::WindowsXP || scheme == DockingControl::Office ||
                  scheme == DockingControl::Custom))
        setScheme(scheme);
    fillRecentMenu();
}

void MainWindow::saveLayout() {
    QSettings& store = settingsStore();
    store.setValue(QStringLiteral("window/geometry"), saveGeometry());
    for (const QString& name : {kProject, kBrowser}) {
        const QByteArray layout = m_perspective->layoutState(name);
        if (!layout.isEmpty()) store.setValue(QStringLiteral("window/layout/") + name, layout);
    }
    store.sync();
}

SettingsDialog* MainWindow::settingsDialog() {
    if (!m_settings) m_settings = new SettingsDialog(m_state, m_services, this);
    return m_settings;
}

ProgressWindow* MainWindow::progressWindow() {
    if (!m_progress) {
        m_progress = new ProgressWindow(m_images, this);
        connect(m_progress, &ProgressWindow::consoleLines, m_consoleView,
                &ConsoleView::appendLines);
    }
    return m_progress;
}

void MainWindow::showSettings() {
    if (!busy()) settingsDialog()->showModal();
}

void MainWindow::closeCurrentTab() {
    QTabWidget* editor = m_perspective->editorArea();
    if (editor->currentIndex() >= 0) emit editor->tabCloseRequested(editor->currentIndex());
}

void MainWindow::openSiteInBrowser() {
    if (!m_siteIndex.isEmpty()) m_services.openUrl(QUrl::fromLocalFile(m_siteIndex));
}

void MainWindow::openOutputFolder() {
    if (!m_siteIndex.isEmpty())
        m_services.openUrl(QUrl::fromLocalFile(QFileInfo(m_siteIndex).absolutePath()));
}

PreviewDocument* MainWindow::showPreview(const QString& title, const QString& html, bool pinned,
                                         const QUrl& base) {
    QTabWidget* editor = m_perspective->editorArea();
    PreviewDocument* preview = pinned ? nullptr : m_preview.data();
    if (preview && editor->indexOf(preview) < 0) preview = nullptr;  // closed by the user
    if (!preview) {
        preview = new PreviewDocument;
        preview->setWindowTitle(title);
        preview->ShowPreviewHtml(html, base);
        m_perspective->addDocument(preview, title);
        if (!pinned) {
            m_preview = preview;
            m_perspective->setPreviewDocument(preview);
        }
        return preview;
    }
    preview->setWindowTitle(title);
    preview->ShowPreviewHtml(html, base);
    const int index = editor->indexOf(preview);
    editor->setTabText(index, title);
    editor->setTabToolTip(index, title);
    editor->setCurrentIndex(index);
    return preview;
}

void MainWindow::createDocumentation() {
    if (busy()) return;
    // The command's boundary: whatever fails is told, the window goes on.
    try {
        runCreateDocumentation();
    } catch (const std::exception& e) {
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Error"),
                           QString::fromUtf8(e.what()), QMessageBox::Ok);
    }
}

void MainWindow::runCreateDocumentation() {
    if (m_state.ProjectPath.isEmpty()) {
        m_services.message(this, QMessageBox::Critical, QStringLiteral("Error"),
                           QStringLiteral("No open project!"), QMessageBox::Ok);
        return;
    }
    m_state.captureDialogSettings();
    if (m_state.DocumentationPath.trimmed().isEmpty())
        m_state.DocumentationPath = m_services.browseForFolder(
            this, QStringLiteral("Select a directory to save documentation:"));
    m_state.DocumentationPath = withTrailingSlash(m_state.DocumentationPath);
    if (m_state.DocumentationPath.isEmpty()) return;

    GenerationRequest request = m_state.generationRequest();

    // An earlier site is simply overwritten; a folder with other files is
    // the user's to give up.
    switch (GenerationRun::inspectOutputFolder(request.outputFolder)) {
        case OutputFolderState::NotAFolder:
            m_services.message(this, QMessageBox::Critical, QStringLiteral("Error"),
                               m_state.DocumentationPath + QStringLiteral(" is not a folder."),
                               QMessageBox::Ok);
            return;
        case OutputFolderState::Foreign:
            if (m_services.message(this, QMessageBox::Question,
                                   QStringLiteral("Create Documentation"),
                                   QStringLiteral("The folder %1 already holds other files.\n"
                                                  "Write the documentation into it anyway?")
                                       .arg(m_state.DocumentationPath),
                                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
                return;
            request.force = true;
            break;
        default:
            break;
    }

    if (const QString problem = m_state.rememberRun(); !problem.isEmpty())
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Settings"), problem,
                           QMessageBox::Ok);
    statusBar()->showMessage(QStringLiteral("Generating documentation..."));
    updateCommands();
    QTimer::singleShot(0, this, [this] {  // runs while the progress window waits
        if (!m_spareBrowser) {
            m_spareBrowser = new BrowserDocument(this);
            m_spareBrowser->hide();
            // An empty page starts the view's renderer now, not when the site is shown.
            m_spareBrowser->htmlView()->setHtml(QString());
        }
    });
    const Expected<GenerationResult> result = progressWindow()->run(request);
    updateCommands();
    if (m_closePending) {
        close();
        return;
    }
    if (!result) {
        statusBar()->showMessage(QStringLiteral("Ready"));
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Error"),
                           QString::fromStdString(result.error().message), QMessageBox::Ok);
        return;
    }
    for (const std::string& failure : result->failures)
        m_consoleView->appendLine(QString::fromStdString(failure));
    const QString seconds = QString::number(progressWindow()->lastRunMs() / 1000.0, 'f', 2);
    statusBar()->showMessage(result->cancelled
                                 ? QStringLiteral("Documentation cancelled")
                                 : QStringLiteral("Documentation created in %1 s").arg(seconds));

    const QString index = result->indexPath.empty()
                              ? m_state.DocumentationPath + QStringLiteral("index.html")
                              : QString::fromStdString(result->indexPath);
    m_siteIndex = index;
    const QString folder = QDir::cleanPath(m_state.DocumentationPath);
    settingsStore().setValue(QStringLiteral("lastOutputFolder"), folder);
    settingsStore().sync();
    m_services.startFolder = folder;
    updateCommands();
    m_dirsView->setPath(m_state.DocumentationPath);
    m_perspective->showPerspective(kBrowser);
    openBrowserDocument(index, QStringLiteral("Documentation"));
    raise();
    activateWindow();
}

BrowserDocument* MainWindow::openBrowserDocument(const QString& path, const QString& caption) {
    BrowserDocument* browser = m_spareBrowser ? m_spareBrowser.data() : new BrowserDocument;
    m_spareBrowser = nullptr;
    browser->setWindowTitle(caption);
    browser->navigate(path);
    m_perspective->addDocument(browser, caption);
    return browser;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) return true;  // the toolbar button without a tooltip
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy() && !droppedProject(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedProject(event->mimeData());
    if (path.isEmpty() || busy()) return;
    event->acceptProposedAction();
    // Open once the drop has ended, so the desktop's drag is not held up.
    QTimer::singleShot(0, this, [this, path] { openProjectFile(path); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A close during a read or a run stops it; the window closes once it has.
    if (busy()) {
        m_closePending = true;
        cancelOpen();
        if (m_progress && m_progress->running()) m_progress->requestCancel();
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        saveLayout();
        m_perspective->release();
        delete m_progress;
        m_progress = nullptr;
        delete m_settings;
        m_settings = nullptr;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace tarnwick
