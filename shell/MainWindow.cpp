#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <cstdlib>
#include <exception>

#include "generator/GenerationRun.h"
#include "model/Translation.h"
#include "shell/DockingControl.h"
#include "shell/ProgressWindow.h"
#include "shell/ProjectView.h"
#include "shell/SettingsDialog.h"
#include "shell/Views.h"

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

QString menuOfPerspective(const QString& name) {
    if (name == kProject) return QStringLiteral("mnuPerspectiveProject");
    if (name == kBrowser) return QStringLiteral("mnuPerspectiveBrowser");
    return QString();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    resize(1100, 720);
    // Runs and previews speak the user's language.
    m_state.Language = QString::fromStdString(Translation::languageForLocale(
        std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
    m_perspective = new DockingControl(this);
    createActions();
    createStatusBar();
    createDockWindows();
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
    connect(addMenuAction(file, QStringLiteral("mnuFileOpenProject"),
                          QStringLiteral("Open Project...")),
            &QAction::triggered, this, &MainWindow::openProject);
    file->addSeparator();
    connect(addMenuAction(file, QStringLiteral("mnuDocumentationCreate"),
                          QStringLiteral("Create Documentation...")),
            &QAction::triggered, this, &MainWindow::createDocumentation);
    connect(addMenuAction(file, QStringLiteral("mnuDocumentationSettings"),
                          QStringLiteral("Settings...")),
            &QAction::triggered, this, &MainWindow::showSettings);
    file->addSeparator();
    connect(addMenuAction(file, QStringLiteral("mnuFileExit"), QStringLiteral("Exit")),
            &QAction::triggered, this, &QWidget::close);

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
            &QAction::triggered, this,
            [this] { m_perspective->setScheme(DockingControl::WindowsXP); });
    connect(
        addMenuAction(scheme, QStringLiteral("mnuSchemeOffice"), QStringLiteral("Office Scheme")),
        &QAction::triggered, this, [this] { m_perspective->setScheme(DockingControl::Office); });
    connect(
        addMenuAction(scheme, QStringLiteral("mnuSchemeCustom"), QStringLiteral("Custom Scheme")),
        &QAction::triggered, this, [this] { m_perspective->setScheme(DockingControl::Custom); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addMenuAction(help, QStringLiteral("mnuHelpHomepage"), QStringLiteral("&Homepage")),
            &QAction::triggered, this, [this] {
                m_services.message(
                    this, QMessageBox::Information, QStringLiteral("About Tarnwick"),
                    QStringLiteral("Tarnwick %1\nDocumentation for Visual Basic 6 "
                                   "projects.\n%2")
                        .arg(QStringLiteral(TARNWICK_VERSION), QStringLiteral(TARNWICK_HOMEPAGE)),
                    QMessageBox::Ok);
            });

    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));
    struct Button {
        const char* caption;
        const char* key;
        const char* tooltip;
        QIcon icon;
    };
    QStyle* s = style();
    const Button buttons[] = {
        {"Open", "open", "Open Project", s->standardIcon(QStyle::SP_DialogOpenButton)},
        {"Settings", "settings", "", s->standardIcon(QStyle::SP_FileDialogDetailedView)},
        {"Create", "create", "Create Documentation", s->standardIcon(QStyle::SP_MediaPlay)},
        {"Project", "project", "Project Perspective", m_images.icon(QStringLiteral("project"))},
        {"Browser", "browser", "Browser Perspective", s->standardIcon(QStyle::SP_ComputerIcon)},
    };
    for (const Button& button : buttons) {
        QAction* action = m_toolBar->addAction(button.icon, QLatin1String(button.caption));
        action->setData(QLatin1String(button.key));
        action->setToolTip(QLatin1String(button.tooltip));
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
            [this](const QString& title, const QString& html) {
                auto* preview = new PreviewDocument;
                preview->setWindowTitle(title);
                preview->ShowPreviewHtml(html);
                m_perspective->addDocument(preview, title);
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
    const QString path = m_services.openFile(this, QStringLiteral("Open Project"),
                                             QStringLiteral("Visual Basic 6.0 Projects (*.vbp)"));
    // A cancelled dialog leaves the open project as it is.
    if (path.isEmpty()) return;
    openProjectFile(path);
}

bool MainWindow::openProjectFile(const QString& path) {
    QString reason;
    bool opened = false;
    // Anything else at the path (a folder, a FIFO) is told apart by the reader.
    if (!QFileInfo::exists(path)) {
        reason = path + QStringLiteral(": no such file");
    } else {
        try {
            opened = m_projectView->RefreshProjectTree(path, &reason);
        } catch (const std::exception& e) {
            reason = path + QStringLiteral(": ") + QString::fromUtf8(e.what());
        }
    }
    if (!opened) {
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Open Project"),
                           QStringLiteral("The project could not be opened.\n%1").arg(reason),
                           QMessageBox::Ok);
        return false;
    }
    m_state.ProjectPath = path;
    if (const QString problem = m_state.loadProjectSettings(); !problem.isEmpty())
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Settings"), problem,
                           QMessageBox::Ok);
    statusBar()->showMessage(path);
    return true;
}

SettingsDialog* MainWindow::settingsDialog() {
    if (!m_settings) m_settings = new SettingsDialog(m_state, m_services, this);
    return m_settings;
}

ProgressWindow* MainWindow::progressWindow() {
    if (!m_progress) {
        m_progress = new ProgressWindow(m_images, this);
        connect(m_progress, &ProgressWindow::consoleLine, m_consoleView, &ConsoleView::appendLine);
    }
    return m_progress;
}

void MainWindow::showSettings() { settingsDialog()->showModal(); }

void MainWindow::createDocumentation() {
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
    const Expected<GenerationResult> result = progressWindow()->run(request);
    if (!result) {
        statusBar()->showMessage(QStringLiteral("Ready"));
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Error"),
                           QString::fromStdString(result.error().message), QMessageBox::Ok);
        return;
    }
    for (const std::string& failure : result->failures)
        m_consoleView->appendLine(QString::fromStdString(failure));
    statusBar()->showMessage(result->cancelled ? QStringLiteral("Documentation cancelled")
                                               : QStringLiteral("Documentation created"));

    const QString index = result->indexPath.empty()
                              ? m_state.DocumentationPath + QStringLiteral("index.html")
                              : QString::fromStdString(result->indexPath);
    m_dirsView->setPath(m_state.DocumentationPath);
    m_perspective->showPerspective(kBrowser);
    openBrowserDocument(index, QStringLiteral("Documentation"));
    raise();
    activateWindow();
}

BrowserDocument* MainWindow::openBrowserDocument(const QString& path, const QString& caption) {
    auto* browser = new BrowserDocument;
    browser->setWindowTitle(caption);
    browser->navigate(path);
    m_perspective->addDocument(browser, caption);
    return browser;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) return true;  // the toolbar button without a tooltip
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_progress && m_progress->running()) {
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        m_perspective->release();
        delete m_progress;
        m_progress = nullptr;
        delete m_settings;
        m_settings = nullptr;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace tarnwick
