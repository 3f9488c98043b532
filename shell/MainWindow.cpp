#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
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
#include <QShortcut>
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

#include "generator/analysis/Unused.h"
#include "generator/run/GenerationRun.h"
#include "model/Translation.h"
#include "shell/DockingControl.h"
#include "shell/FindingsView.h"
#include "shell/HtmlView.h"
#include "shell/PlainText.h"
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

// The first local .vbp or .vbg file among the dropped URLs, or empty.
QString droppedProject(const QMimeData* data) {
    if (!data || !data->hasUrls()) return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            (url.toLocalFile().endsWith(QLatin1String(".vbp"), Qt::CaseInsensitive) ||
             url.toLocalFile().endsWith(QLatin1String(".vbg"), Qt::CaseInsensitive)))
            return url.toLocalFile();
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

MainWindow::~MainWindow() {
    // The views' signals reach this window's members, which go before the
    // widgets: a dock hidden as the window's native windows go would find them gone.
    if (m_perspective) disconnect(m_perspective, nullptr, this, nullptr);
    delete m_spareBrowser.data();  // not a child while unused
}

void MainWindow::openProject() {
    if (busy()) return;
    const QString path =
        m_services.openFile(this, QStringLiteral("Open Project"),
                            QStringLiteral("Visual Basic 6.0 Projects and Groups (*.vbp *.vbg)"));
    // A cancelled dialog leaves the open project as it is.
    if (path.isEmpty()) return;
    openProjectFile(path);
}

bool MainWindow::openProjectFile(const QString& path) { return readIntoTree(path, 0, true); }

bool MainWindow::showGroupProject(int groupProject) {
    return readIntoTree(m_state.ProjectPath, groupProject, false);
}

bool MainWindow::readIntoTree(const QString& path, int groupProject, bool newProject) {
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
        m_openEsc->setEnabled(true);
        updateCommands();
        try {
            opened = m_projectView->RefreshProjectTree(path, &reason, groupProject);
        } catch (const std::exception& e) {
            reason = path + QStringLiteral(": ") + QString::fromUtf8(e.what());
        }
        m_opening = false;
        m_openEsc->setEnabled(false);
        for (QWidget* w : {static_cast<QWidget*>(m_openLabel), static_cast<QWidget*>(m_openBar),
                           static_cast<QWidget*>(m_openCancel)})
            w->hide();
    }
    m_lastOpenMs = clock.elapsed();
    if (opened) {
        m_state.ProjectPath = path;
        // Another project of the open group keeps the group's settings as
        // they are, saved or not.
        if (newProject) {
            if (const QString problem = m_state.loadProjectSettings(); !problem.isEmpty())
                m_services.message(this, QMessageBox::Warning, QStringLiteral("Settings"), problem,
                                   QMessageBox::Ok);
        }
        m_projectView->preparePreviewsSoon();  // for the project's settings, just read
        prepareForRunSoon();
        forgetLastProject();
        if (newProject) rememberProject(path);
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

void MainWindow::forgetLastProject() {
    // The previews and findings of the last project show what is no longer open.
    QTabWidget* editor = m_perspective->editorArea();
    for (int i = editor->count() - 1; i >= 0; --i) {
        if (auto* preview = qobject_cast<PreviewDocument*>(editor->widget(i))) {
            editor->removeTab(i);
            preview->deleteLater();
        }
    }
    m_findingsView->clear();
}

void MainWindow::cancelOpen() {
    if (m_opening) m_projectView->cancelRefresh();
}

bool MainWindow::busy() const { return m_opening || (m_progress && m_progress->running()); }

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
    for (const QString& name : {projectPerspective(), browserPerspective()})
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
    for (const QString& name : {projectPerspective(), browserPerspective()}) {
        const QByteArray layout = m_perspective->layoutState(name);
        if (!layout.isEmpty()) store.setValue(QStringLiteral("window/layout/") + name, layout);
    }
    store.sync();
}

SettingsDialog* MainWindow::settingsDialog() {
    if (!m_settings) m_settings = new SettingsDialog(m_state, m_services, this);
    return m_settings;
}

// The first run's window, and a browser view for the site it writes, made
// while the window is idle after an open, each in a turn of its own: at the
// click they would hold the window up (a web view's first page takes 0.1 s
// and more to start), on a busy machine for several times as long.
void MainWindow::prepareForRunSoon() {
    QTimer::singleShot(0, this, [this] {
        if (!m_unloaded) progressWindow()->prepare();
    });
    QTimer::singleShot(kSpareBrowserDelayMs, this, [this] {
        if (m_spareBrowser || m_unloaded) return;
        // Not a child of this window until it is used: a web view asks its
        // parents to lay out again when the run's window blocks this one,
        // and this window would be laid out and repainted whole at the click.
        m_spareBrowser = new BrowserDocument;
        // An empty page starts the view's renderer now, not when the site is shown.
        m_spareBrowser->htmlView()->setHtml(QString());
        m_spareBrowser->ensurePolished();
    });
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
    editor->setTabToolTip(index, plainToolTip(title));
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

bool MainWindow::prepareRun(GenerationRequest& request) {
    if (m_state.ProjectPath.isEmpty()) {
        m_services.message(this, QMessageBox::Critical, QStringLiteral("Error"),
                           QStringLiteral("No open project!"), QMessageBox::Ok);
        return false;
    }
    // Removed or moved while open: said once, before the settings file
    // beside it fails to save and the run fails to read it.
    if (!QFileInfo::exists(m_state.ProjectPath)) {
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Error"),
                           QStringLiteral("%1: the project file is gone; open the project "
                                          "again where it is now.")
                               .arg(m_state.ProjectPath),
                           QMessageBox::Ok);
        return false;
    }
    m_state.captureDialogSettings();
    if (m_state.DocumentationPath.trimmed().isEmpty())
        m_state.DocumentationPath = m_services.browseForFolder(
            this, QStringLiteral("Select a directory to save documentation:"));
    m_state.DocumentationPath = withTrailingSlash(m_state.DocumentationPath);
    if (m_state.DocumentationPath.isEmpty()) return false;

    request = m_state.generationRequest();

    // An earlier site is simply overwritten; a folder with other files is
    // the user's to give up.
    switch (GenerationRun::inspectOutputFolder(request.outputFolder)) {
        case OutputFolderState::NotAFolder:
            m_services.message(this, QMessageBox::Critical, QStringLiteral("Error"),
                               m_state.DocumentationPath + QStringLiteral(" is not a folder."),
                               QMessageBox::Ok);
            return false;
        case OutputFolderState::Foreign:
            if (m_services.message(this, QMessageBox::Question,
                                   QStringLiteral("Create Documentation"),
                                   QStringLiteral("The folder %1 already holds other files.\n"
                                                  "Write the documentation into it anyway?")
                                       .arg(m_state.DocumentationPath),
                                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
                return false;
            request.force = true;
            break;
        default:
            break;
    }
    return true;
}

void MainWindow::runCreateDocumentation() {
    GenerationRequest request;
    if (!prepareRun(request)) return;
    if (const QString problem = m_state.rememberRun(); !problem.isEmpty())
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Settings"), problem,
                           QMessageBox::Ok);
    statusBar()->showMessage(QStringLiteral("Generating documentation..."));
    updateCommands();
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
    showGeneratedSite(result.value());
}

void MainWindow::showGeneratedSite(const GenerationResult& result) {
    for (const std::string& failure : result.failures)
        m_consoleView->appendLine(QString::fromStdString(failure));
    const QString seconds = QString::number(progressWindow()->lastRunMs() / 1000.0, 'f', 2);
    statusBar()->showMessage(result.cancelled
                                 ? QStringLiteral("Documentation cancelled")
                                 : QStringLiteral("Documentation created in %1 s").arg(seconds));

    const QString index = result.indexPath.empty()
                              ? m_state.DocumentationPath + QStringLiteral("index.html")
                              : QString::fromStdString(result.indexPath);
    m_siteIndex = index;
    const QString folder = QDir::cleanPath(m_state.DocumentationPath);
    // Not synced here: the store writes itself later, and a sync would wait for the disk.
    settingsStore().setValue(QStringLiteral("lastOutputFolder"), folder);
    m_services.startFolder = folder;
    updateCommands();
    // The rest in turns of their own once the run's window is gone, so the
    // window takes clicks between them.
    QTimer::singleShot(0, this, [this, path = m_state.DocumentationPath] {
        if (!m_unloaded) m_dirsView->setPath(path);
    });
    QTimer::singleShot(0, this, [this] {
        if (!m_unloaded) m_perspective->showPerspective(browserPerspective());
    });
    QTimer::singleShot(0, this, [this, index] {
        if (m_unloaded) return;
        openBrowserDocument(index, QStringLiteral("Documentation"));
        raise();
        activateWindow();
        prepareForRunSoon();  // the next run's browser view
    });
}

void MainWindow::checkProject() {
    if (busy() || !m_state.CurrentProject) return;
    // The command's boundary: whatever fails is told, the window goes on.
    try {
        // The check covers what the next run documents: the confirmed choices.
        const GenerationSettings& settings = m_state.dialog.boxes;
        const CProject& project = *m_state.CurrentProject;
        const CoverageReport coverage = checkCoverage(project, settings);
        m_findingsView->showFindings(m_state.CurrentProject, coverage,
                                     findUnused(project, settings));
    } catch (const std::exception& e) {
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Error"),
                           QString::fromUtf8(e.what()), QMessageBox::Ok);
        return;
    }
    // The previews the findings open sit beside the project tree.
    m_perspective->showPerspective(projectPerspective());
    QDockWidget* check = m_perspective->dock(QStringLiteral("Check"));
    QDockWidget* console = m_perspective->dock(QStringLiteral("Console"));
    if (dockWidgetArea(check) == Qt::NoDockWidgetArea &&
        dockWidgetArea(console) != Qt::NoDockWidgetArea)
        tabifyDockWidget(console, check);  // a layout kept from before the view existed
    m_perspective->showView(QStringLiteral("Check"));
    // A list of findings wants more room than the console's strip.
    const int room = m_perspective->editorArea()->height() + check->height();
    if (check->height() < room * 2 / 5) resizeDocks({check}, {room * 2 / 5}, Qt::Vertical);
    statusBar()->showMessage(
        QStringLiteral("Check: %1 finding(s)").arg(m_findingsView->findings().size()));
}

void MainWindow::showFinding(int index) {
    const auto& findings = m_findingsView->findings();
    if (index < 0 || static_cast<size_t>(index) >= findings.size()) return;
    const Finding& finding = findings[static_cast<size_t>(index)];
    if (!m_projectView->showElement(finding.owner, finding.element))
        statusBar()->showMessage(QStringLiteral("%1 is not in the open project")
                                     .arg(QString::fromStdString(finding.member)));
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
        delete m_spareBrowser.data();
    }
    QMainWindow::closeEvent(event);
}

}  // namespace tarnwick
