// The main window: layout and ticks, keys, Open Project and the tree, previews, files.
#include <cstring>

#include "TestSupport.h"
#include "generator/run/GenerationRun.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

// The ticked entries among the Perspectives and Views menus.
QStringList ticks(const MainWindow& window) {
    QStringList ticked;
    for (const char* name : {"mnuPerspectiveProject", "mnuPerspectiveBrowser", "mnuViewProject",
                             "mnuViewConsole", "mnuViewDirectories", "mnuViewFiles"})
        if (window.menuAction(QLatin1String(name))->isChecked()) ticked << name;
    return ticked;
}

QString imageOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, ProjectView::ImageRole).toString() : QStringLiteral("(none)");
}

QString htmlOf(const MainWindow& window, int tab) {
    auto* preview = qobject_cast<PreviewDocument*>(window.perspective().editorArea()->widget(tab));
    return preview ? preview->htmlView()->html() : QStringLiteral("(no preview)");
}

// Every element node shown, as module/name.
QString shownElements(const QTreeWidget* tree) {
    QStringList shown;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
        bool visible = true;
        for (QTreeWidgetItem* n = *it; n; n = n->parent()) visible &= !n->isHidden();
        if (visible && (*it)->data(0, ProjectView::TagRole).toString().startsWith('E'))
            shown << (*it)->parent()->parent()->text(0) + "/" + (*it)->text(0);
    }
    return shown.join(' ');
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startLayoutAndPerspectives() {
        Bench b;
        MainWindow& window = b.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        DockingControl& dock = window.perspective();
        // No project: the start page offers Open.
        QVERIFY(window.startPageShown() && window.windowTitle() == "Tarnwick");
        QTest::mouseClick(window.startPage()->openButton(), Qt::LeftButton);
        QCOMPARE(b.dialogs.fileCalls, 1);
        QCOMPARE(ticks(window),
                 QStringList({"mnuPerspectiveProject", "mnuViewProject", "mnuViewConsole"}));
        QVERIFY(window.dockWidgetArea(dock.dock("Project")) == Qt::LeftDockWidgetArea &&
                window.dockWidgetArea(dock.dock("Console")) == Qt::BottomDockWidgetArea &&
                dock.dock("Dirs")->isHidden());
        QTRY_VERIFY(std::abs(dock.dock("Project")->width() - window.width() * 3 / 10) < 60);

        // The toolbar keys are exact; the perspectives move the ticks with them.
        for (const char* key : {"Open", "OPEN", "Browser", "create ", ""})
            window.toolbarButtonClicked(QLatin1String(key));
        QVERIFY(b.dialogs.fileCalls == 1 && b.dialogs.messages.empty());
        window.toolbarButtonClicked("browser");
        QCOMPARE(ticks(window), QStringList({"mnuPerspectiveBrowser", "mnuViewConsole",
                                             "mnuViewDirectories", "mnuViewFiles"}));
        QVERIFY(window.dockWidgetArea(dock.dock("Dirs")) == Qt::RightDockWidgetArea &&
                dock.dock("Project")->isHidden());
        window.toolbarButtonClicked("project");
        QCOMPARE(dock.currentPerspective(), QStringLiteral("Project"));
        dock.showPerspective("NoSuchPerspective");  // ignored
        window.menuAction("mnuPerspectiveBrowser")->trigger();
        QCOMPARE(dock.currentPerspective(), QStringLiteral("Browser"));

        // A view closed by the user loses its tick; its menu entry shows it again.
        dock.dock("Console")->close();
        QTRY_VERIFY(!ticks(window).contains("mnuViewConsole"));
        window.menuAction("mnuViewConsole")->trigger();
        QVERIFY(ticks(window).contains("mnuViewConsole"));
        QVERIFY(!dock.dock("Console")->isHidden());

        window.toolbarButtonClicked("open");  // the chooser answers nothing
        QVERIFY(b.dialogs.fileCalls == 2 && window.projectView()->tree()->topLevelItemCount() == 0);
        QVERIFY(window.startPageShown());

        // Exit closes the window and unloads the dialogs.
        QPointer<QWidget> settings = window.settingsDialog();
        QPointer<QWidget> progress = window.progressWindow();
        window.menuAction("mnuFileExit")->trigger();
        QVERIFY(!window.isVisible() && settings.isNull() && progress.isNull());
    }

    void keysAndCommandStates() {
        Bench b;
        MainWindow& window = b.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto enabled = [&] {
            QString states;
            for (const char* menu : {"mnuFileOpenProject", "mnuDocumentationCreate",
                                     "mnuDocumentationSettings", "mnuFileOpenSite", "mnuFileExit"})
                states += window.menuAction(QLatin1String(menu))->isEnabled() ? '1' : '0';
            for (const char* tool : {"create", "settings"})
                states += window.toolbarAction(QLatin1String(tool))->isEnabled() ? '1' : '0';
            return states;
        };
        QCOMPARE(enabled(), QStringLiteral("1000100"));
        // Without a project, Create tells so and Settings shows nothing.
        window.toolbarButtonClicked("create");
        window.toolbarButtonClicked("settings");
        window.menuAction("mnuDocumentationSettings")->trigger();
        QCOMPARE(b.dialogs.messages.size(), size_t(1));
        QCOMPARE(b.dialogs.messages[0].text, QStringLiteral("No open project!"));
        QVERIFY(b.dialogs.folderCalls == 0 && !window.settingsDialog()->isVisible() &&
                !window.settingsDialog()->load());

        // The keys reach their commands.
        b.dialogs.file = writeSmallProject(b.dir.path());
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(window.state().CurrentProject);
        QCOMPARE(enabled(), QStringLiteral("1110111"));
        // The window and the tree name the project; the folders show where it lies.
        QTreeWidgetItem* root = window.projectView()->tree()->topLevelItem(0);
        QVERIFY(window.windowTitle() == "Small - Tarnwick" && root->text(0) == "Small" &&
                root->toolTip(0) == b.dialogs.file && !window.startPageShown());
        QCOMPARE(window.dirsView()->path(), b.dir.path());
        window.projectView()->tree()->setCurrentItem(window.projectView()->tree()->topLevelItem(0));
        QCOMPARE(window.perspective().editorArea()->count(), 1);
        QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
        QTRY_COMPARE(window.perspective().editorArea()->count(), 0);
        QTimer::singleShot(0, window.settingsDialog(), [&] {
            QVERIFY(window.settingsDialog()->isVisible());
            window.settingsDialog()->reject();
        });
        window.menuAction("mnuDocumentationSettings")->trigger();
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window.isVisible());
    }

    void openProjectFillsTree() {
        Bench b;
        const QString p = b.openSmall();
        MainWindow& window = b.window;
        QVERIFY(b.dialogs.messages.empty() && window.state().ProjectPath == p);
        const GenerationSettings& s = window.state().settings;
        QVERIFY(s.Syntax && s.Parameter && s.Return && s.Source && !s.Classes);

        QTreeWidget* tree = window.projectView()->tree();
        QCOMPARE(childTexts(tree, nullptr), QStringList({"Small"}));
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        // No references, objects, forms: no such groups. Modules before Classes.
        QCOMPARE(childTexts(tree, tree->topLevelItem(0)), QStringList({"Modules", "Classes"}));
        QCOMPARE(childTexts(tree, findNode(tree, {p, "Classes"})),
                 QStringList({"CAlpha", "IShape"}));
        QCOMPARE(childTexts(tree, findNode(tree, {p, "Classes", "CAlpha"})),
                 QStringList({"Implementations", "Constants", "Functions", "Subroutines"}));
        const struct {
            QStringList path;
            const char* image;
        } expected[] = {
            {{p}, "project"},
            {{p, "Classes"}, "classes"},
            {{p, "Modules", "modBeta"}, "modules"},
            {{p, "Classes", "CAlpha", "Implementations", "IShape"}, "implementations"},
            {{p, "Classes", "CAlpha", "Functions", "Add"}, "functions_public"},
            {{p, "Classes", "CAlpha", "Subroutines", "Helper"}, "subroutines_private"},
            {{p, "Classes", "CAlpha", "Constants", "Limit"}, "constants_noscope"},
            {{p, "Modules", "modBeta", "Constants", "Answer"}, "constants_public"},
        };
        for (const auto& e : expected) {
            QTreeWidgetItem* node = findNode(tree, e.path);
            QCOMPARE(imageOf(node), QLatin1String(e.image));
            QVERIFY2(!node->icon(0).isNull(), e.image);
        }
        // One summary line per module kind, none per member.
        const QString console = window.consoleView()->text();
        QVERIFY2(console.contains("Modules: 1 module, 3 members\nClasses: 2 modules, 5 members"),
                 qPrintable(console));
        QVERIFY(!console.contains(QStringLiteral("Create documentation for ")));

        // The example project has a group of every kind; libraries show their descriptions.
        const QString vbp = QStringLiteral(TARNWICK_SOURCE_DIR "/examples/Ledger/Ledger.vbp");
        qputenv("TARNWICK_REGISTRY", TARNWICK_SOURCE_DIR "/examples/Ledger/registry.reg");
        QVERIFY(window.openProjectFile(vbp));
        QCOMPARE(childTexts(tree, tree->topLevelItem(0)),
                 QStringList({"References", "Objects", "Forms", "Modules", "Classes",
                              "UserControls", "PropertyPages"}));
        QVERIFY(childTexts(tree, findNode(tree, {vbp, "References"})).contains("OLE Automation"));
        QCOMPARE(imageOf(findNode(tree, {vbp, "Objects"})), QStringLiteral("objects"));
        QVERIFY(window.consoleView()->text().contains("References: 2 entries"));
        // A property's Get and Let are one node, as they are one page.
        QCOMPARE(childTexts(tree, findNode(tree, {vbp, "Classes", "CAccount", "Properties"}))
                     .count("Title"),
                 1);
        const QString title = window.projectView()->descriptionOf(
            findNode(tree, {vbp, "Classes", "CAccount", "Properties", "Title"}));
        QVERIFY(title.contains("Property Get") && title.contains("Property Let"));
        // A form's controls and menus under it, nested as designed; a control's preview
        // opens at its entry.
        const QStringList form = {vbp, "Forms", "frmOptions"};
        QTreeWidgetItem* frame =
            findNode(tree, form + QStringList{"Controls", "fraLimits - Frame"});
        QVERIFY(frame);
        QCOMPARE(childTexts(tree, frame), QStringList({"picLimits - PictureBox"}));
        QCOMPARE(ProjectView::previewBase(frame->child(0)).fragment(),
                 QStringLiteral("ctl_picLimits"));
        QCOMPARE(childTexts(tree, findNode(tree, form + QStringList{"Menus", "mnuFile - Datei"})),
                 QStringList({"mnuFileOpen - \u00D6ffnen...", "mnuFileSep1 - -",
                              "mnuFileClose - Schlie\u00DFen"}));
    }

    // A preview is the run's page for its node: the same body, byte for byte.
    void previewsAreTheSitesPages() {
        Bench b;
        MainWindow& window = b.window;
        const QString vbp = QStringLiteral(TARNWICK_SOURCE_DIR "/examples/Ledger/Ledger.vbp");
        qputenv("TARNWICK_REGISTRY", TARNWICK_SOURCE_DIR "/examples/Ledger/registry.reg");
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        QVERIFY(window.openProjectFile(vbp));
        GenerationRequest request = window.state().generationRequest();
        request.settings = window.state().dialog.boxes;
        request.outputFolder = (b.dir.path() + "/site").toStdString();
        request.outputEncoding = "UTF-8";
        QVERIFY(GenerationRun(request, nullptr, nullptr).run());
        const auto body = [](const QString& page) { return page.mid(page.indexOf("<BODY>")); };
        const std::pair<QStringList, const char*> nodes[] = {
            {{vbp, "Classes", "CAccount", "Functions", "Post"}, "Classes/CAccount_Post.html"},
            {{vbp, "Classes", "CAccount", "Implementations", "IAccount"}, "Classes/CAccount.html"},
            {{vbp, "Classes", "CAccount"}, "Classes/CAccount.html"},
            {{vbp, "Forms", "frmOptions", "Controls", "cmdOK - CommandButton"},
             "Forms/frmOptions.html"},
            {{vbp, "Classes"}, "all-Classes.html"},
            {{vbp}, "project-summary.html"}};
        for (const auto& [path, page] : nodes) {
            QTreeWidgetItem* node = findNode(window.projectView()->tree(), path);
            QVERIFY2(node, page);
            QFile file(b.dir.path() + "/site/" + page);
            QVERIFY2(file.open(QIODevice::ReadOnly), page);
            QCOMPARE(body(window.projectView()->descriptionOf(node)),
                     body(QString::fromUtf8(file.readAll())));
        }
        qunsetenv("SOURCE_DATE_EPOCH");
    }

    void badProjectFiles() {
        Bench b;
        const QString good = b.openSmall(".");
        const QString d = b.dir.path();
        const int nodes = b.window.projectView()->tree()->topLevelItem(0)->childCount();
        writeFile(d + "/Locked.vbp", {"Type=Exe"});
        QFile::setPermissions(d + "/Locked.vbp", QFileDevice::Permissions());
        QDir().mkpath(d + "/Folder.vbp");
        writeFile(d + "/Notes.vbp", {"Shopping:", "milk, bread"});  // no project keys
        QStringList cases{d + "/Missing.vbp", d + "/Folder.vbp", d + "/Notes.vbp"};
        if (!QFile(d + "/Locked.vbp").open(QIODevice::ReadOnly)) cases << d + "/Locked.vbp";
        for (const QString& path : cases) {
            b.dialogs.messages.clear();
            b.dialogs.file = path;
            b.window.openProject();
            const QString text = b.dialogs.messages.empty() ? "" : b.dialogs.messages[0].text;
            QVERIFY2(b.dialogs.messages.size() == 1 && text.contains(path) &&
                         (!path.endsWith("Notes.vbp") || text.contains("not a VB6 project")) &&
                         b.window.state().ProjectPath == good &&
                         b.window.projectView()->tree()->topLevelItem(0)->childCount() == nodes,
                     qPrintable(path));
        }

        writeFile(d + "/Other.cls",
                  {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                   "Attribute VB_Name = \"CAlpha\"", "Public Sub Other()", "End Sub"});
        QFile file(good);
        QVERIFY(file.open(QIODevice::Append));
        file.write("Class=CAlpha; Other.cls\r\nModule=modGone; Gone.bas\r\n");
        file.close();
        QVERIFY(b.window.openProjectFile(good));
        QTreeWidget* tree = b.window.projectView()->tree();
        QCOMPARE(childTexts(tree, findNode(tree, {good, "Classes"})),
                 QStringList({"CAlpha", "CAlpha", "IShape"}));
        QVERIFY2(b.window.consoleView()->text().contains("Gone.bas"),
                 qPrintable(b.window.consoleView()->text()));
    }

    void onePreviewFollowsSelection() {
        Bench b;
        const QString vbp = b.openSmall();
        MainWindow& window = b.window;
        QTreeWidget* tree = window.projectView()->tree();
        QTabWidget* editor = window.perspective().editorArea();
        QTreeWidgetItem* add = findNode(tree, {vbp, "Classes", "CAlpha", "Functions", "Add"});
        QTreeWidgetItem* twice = findNode(tree, {vbp, "Modules", "modBeta", "Functions", "Twice"});
        QTreeWidgetItem* area = findNode(tree, {vbp, "Classes", "IShape", "Functions", "Area"});
        QTreeWidgetItem* classes = findNode(tree, {vbp, "Classes"});
        const struct {
            QTreeWidgetItem* node;
            const char *contains, *lacks;
        } steps[] = {{add, "Adds two numbers.", "Twice"},
                     {twice, "Twice", "Adds two numbers."},
                     {area, "The area of the shape.", "Adds two numbers."},
                     {add, "Adds two numbers.", "The area"},  // kept, not rebuilt wrong
                     // Modules, kinds and the project show their overview pages.
                     {findNode(tree, {vbp, "Classes", "CAlpha"}), "Adds two numbers.", "Twice"},
                     {findNode(tree, {vbp, "Modules", "modBeta", "Functions"}), "Twice", "CAlpha"},
                     {classes, "IShape", "modBeta"},
                     {tree->topLevelItem(0), "Small", "Adds two numbers."}};
        for (const auto& step : steps) {
            tree->setCurrentItem(step.node);
            QVERIFY2(editor->count() == 1 && editor->tabText(0) == step.node->text(0) &&
                         htmlOf(window, 0).contains(QLatin1String(step.contains)) &&
                         !htmlOf(window, 0).contains(QLatin1String(step.lacks)),
                     step.contains);                        // one tab, reused
            QVERIFY(window.perspective().isPreviewTab(0));  // in italics
        }

        // The style sheet and the icons of a preview resolve to files, in a kind's folder
        // or in the site's root.
        for (QTreeWidgetItem* node : {add, classes}) {
            tree->setCurrentItem(node);
            const QUrl base =
                static_cast<PreviewDocument*>(editor->widget(0))->htmlView()->baseUrl();
            const QRegularExpression link(
                QStringLiteral("(?:href|src)=\"([^\"#:]+\\.(?:css|ico|js))\""),
                QRegularExpression::CaseInsensitiveOption);
            int links = 0;
            for (const auto& m : link.globalMatch(htmlOf(window, 0))) {
                ++links;
                const QString file = base.resolved(QUrl(m.captured(1))).toLocalFile();
                QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
            }
            QVERIFY(links >= 1);
        }

        // A click on the selected node shows its page again once closed (and disposed of);
        // a double click pins a page, the selection keeps to its own tab.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tree->scrollToItem(twice);
        const QPoint twiceAt = tree->visualItemRect(twice).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QPointer<QWidget> closed(editor->widget(0));
        emit editor->tabCloseRequested(0);
        QCOMPARE(editor->count(), 0);
        QTRY_VERIFY(closed.isNull());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QCOMPARE(editor->count(), 1);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QVERIFY(editor->count() == 2 && editor->currentIndex() == 1);
        // Return on a node opens it as a double click does.
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QVERIFY(editor->count() == 3 && editor->currentIndex() == 2);
        emit editor->tabCloseRequested(2);
        QVERIFY(window.perspective().isPreviewTab(0) && !window.perspective().isPreviewTab(1));
        tree->setCurrentItem(add);
        QCOMPARE(editor->count(), 2);
        QVERIFY(htmlOf(window, 0).contains("Adds two numbers.") &&
                htmlOf(window, 1).contains("Twice"));
        window.projectView()->openInNewTab(add);
        QCOMPARE(editor->count(), 3);
        // Once closed, the next selection makes a preview again; only it is in italics.
        emit editor->tabCloseRequested(0);
        tree->setCurrentItem(twice);
        QVERIFY(editor->count() == 3 && !window.perspective().isPreviewTab(0) &&
                !window.perspective().isPreviewTab(1) && window.perspective().isPreviewTab(2));

        // Opening a project again closes the previews of the last one.
        QVERIFY(window.openProjectFile(vbp));
        QCOMPARE(editor->count(), 0);
    }

    void filterBox() {
        Bench b;
        const QString vbp = b.openSmall();
        QTreeWidget* tree = b.window.projectView()->tree();
        struct Row {
            const char* filter;
            const char* shown;
        };
        const Row rows[] = {
            {"  HELP ", "CAlpha/Helper"},
            {"ishape", "CAlpha/IShape IShape/Area"},  // an element and a module
            {"nothing like it", ""},
            {"",
             "modBeta/Answer modBeta/Twice modBeta/Main CAlpha/IShape CAlpha/Limit CAlpha/Add "
             "CAlpha/Helper IShape/Area"},
            {"twi", "modBeta/Twice"},
        };
        for (const Row& row : rows) {
            b.window.projectView()->filterBox()->setText(QLatin1String(row.filter));
            QCOMPARE(shownElements(tree), QLatin1String(row.shown));
        }
        // The filter holds for the tree of the next open.
        QVERIFY(b.window.openProjectFile(vbp));
        QCOMPARE(shownElements(tree), QStringLiteral("modBeta/Twice"));
    }

    void openRunsOnWorkerAndCancels() {
        Bench b;
        MainWindow& window = b.window;
        // Each read's worker waits at its own gate; the window waits for its workers.
        QSemaphore arrived, gates[2];
        std::atomic<int> reads{0};
        window.show();
        const QString first = b.openSmall("a");
        const QString second = writeBiggerProject(b.dir.path() + "/b", 3);

        // Hold the worker; meanwhile the window works, shows the busy bar and takes Cancel.
        window.projectView()->workerHook = [&] {
            QSemaphore& gate = gates[reads++];
            arrived.release();
            gate.acquire();
        };
        bool busyShown = false, commandsOff = false, openRefused = false;
        QTimer::singleShot(50, &window, [&] {
            arrived.acquire();
            busyShown = window.openProgress()->isVisible();
            commandsOff = !window.menuAction("mnuFileOpenProject")->isEnabled() &&
                          !window.toolbarAction("create")->isEnabled() &&
                          !window.toolbarAction("open")->isEnabled();
            window.toolbarButtonClicked("create");         // refused while busy
            openRefused = !window.openProjectFile(first);  // as from the recent list
            QTest::mouseClick(window.openCancelButton(), Qt::LeftButton);
        });
        QVERIFY(!window.openProjectFile(second));
        gates[0].release();
        QVERIFY(busyShown && commandsOff && openRefused && reads == 1);
        QVERIFY(b.dialogs.messages.empty() && !b.dialogs.folderCalls);
        QCOMPARE(window.state().ProjectPath, first);
        QCOMPARE(window.projectView()->tree()->topLevelItem(0)->toolTip(0), first);
        QVERIFY(!window.openProgress()->isVisible() &&
                window.menuAction("mnuFileOpenProject")->isEnabled() &&
                window.toolbarAction("create")->isEnabled());

        // Closing the window during a read stops the read and closes.
        QTimer::singleShot(50, &window, [&] {
            arrived.acquire();
            window.close();
        });
        QVERIFY(!window.openProjectFile(second));
        gates[1].release();
        QVERIFY(!window.isVisible() && window.state().ProjectPath == first);
    }

    // Esc, or closing the window, in any step of an open stops it before the next step:
    // the reader looks at the cancel before its next module or phase, the tree stops before
    // its next piece; the project is not opened. Esc reaches Cancel while the key is handled.
    void cancelledReadStopsAtOnce() {
        QTemporaryDir dir;
        const QString vbp = writeBiggerProject(dir.path(), 40);
        const struct {
            const char* step;  // of the reader, or "tree": a piece of the tree
            int nth;
            bool closing;
        } rows[] = {{"module", 5, false}, {"sort", 1, false},  {"references", 1, false},
                    {"tree", 3, false},   {"module", 5, true}, {"tree", 3, true}};
        for (const auto& row : rows) {
            auto* window = new MainWindow;
            window->show();
            QVERIFY(QTest::qWaitForWindowActive(window));
            ProjectView* view = window->projectView();
            view->buildSliceMs = 0;
            QSemaphore arrived, gate;
            std::atomic<int> reached{0}, stepsAfter{0};
            std::atomic<bool> cancelled{false};
            const auto step = [&](const char* name) {
                if (cancelled) ++stepsAfter;
                if (std::strcmp(name, row.step) == 0 && ++reached == row.nth)
                    arrived.release(), gate.acquire();
            };
            view->readerStepHook = step;
            view->buildHook = [&] { step("tree"); };
            bool finished = false, cancelledByKey = false;
            connect(view, &ProjectView::refreshFinished, this, [&] { finished = true; });
            const bool onWorker = std::strcmp(row.step, "tree") != 0;
            const auto cancel = [&] {
                if (onWorker) arrived.acquire();
                cancelled = true;
                if (row.closing)
                    window->close();
                else
                    QTest::keyClick(window, Qt::Key_Escape);
                cancelledByKey = finished;  // not after an animated click
                if (onWorker) gate.release();
            };
            if (onWorker)
                QTimer::singleShot(0, window, cancel);
            else  // as a key pressed meanwhile: between two pieces of the tree
                view->buildHook = [&] {
                    if (cancelled) ++stepsAfter;
                    if (++reached == row.nth) QTimer::singleShot(0, window, cancel);
                };
            QVERIFY(!window->openProjectFile(vbp));
            QVERIFY2(cancelledByKey && reached == row.nth, row.step);
            QTRY_VERIFY(!view->readerRunning());
            QCoreApplication::processEvents();
            QVERIFY2(stepsAfter == 0, row.step);
            QVERIFY(!window->state().CurrentProject && view->tree()->topLevelItemCount() == 0);
            QCOMPARE(window->isVisible(), !row.closing);
            delete window;
        }
    }

    void rememberedAcrossStarts() {
        QTemporaryDir dir;
        QStringList projects;
        {
            MainWindow window;
            window.show();
            for (int i = 0; i < MainWindow::kRecentProjects + 1; ++i) {
                projects.prepend(writeSmallProject(dir.path() + QStringLiteral("/p%1").arg(i)));
                QVERIFY(window.openProjectFile(projects.first()));
            }
            QVERIFY(window.openProjectFile(projects.at(3)));  // moves to the top
            projects.move(3, 0);
            window.resize(900, 610);
            window.menuAction("mnuSchemeCustom")->trigger();
            window.perspective().dock("Console")->close();
            QTRY_VERIFY(!window.menuAction("mnuViewConsole")->isChecked());
            window.close();
        }
        QFile::remove(projects.at(2));
        Bench b;
        MainWindow& window = b.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.recentProjects(), projects.mid(0, MainWindow::kRecentProjects));
        QListWidget* start = window.startPage()->recentList();
        // The start page offers only the projects still there.
        QVERIFY(window.startPageShown() && start->count() == MainWindow::kRecentProjects - 1);
        emit start->itemActivated(start->item(0));
        QCOMPARE(window.state().ProjectPath, projects.at(0));
        QMenu* recent = window.findChild<QMenu*>("mnuFileRecent");
        QCOMPARE(recent->actions().size(), MainWindow::kRecentProjects);
        QVERIFY(window.size() == QSize(900, 610) &&
                window.perspective().scheme() == DockingControl::Custom &&
                window.perspective().dock("Console")->isHidden() &&
                !window.menuAction("mnuViewConsole")->isChecked());
        recent->actions().at(1)->trigger();
        QVERIFY(window.state().ProjectPath == projects.at(1) &&
                window.recentProjects().first() == projects.at(1));
        // A project that is gone is told and leaves the list.
        recent->actions().at(2)->trigger();
        QCOMPARE(window.state().ProjectPath, projects.at(1));
        QVERIFY(b.dialogs.messages.size() == 1 &&
                !window.recentProjects().contains(projects.at(2)) &&
                recent->actions().size() == MainWindow::kRecentProjects - 1);
        MainWindow::settingsStore().clear();
    }

    void desktopHandOffs() {
        Bench b;  // a .vbp dropped on the window opens; other files are refused.
        const QString vbp = writeSmallProject(b.dir.path());
        const QString upper = b.dir.path() + "/SMALL.VBP";  // as Windows names it
        QVERIFY(QFile::copy(vbp, upper));
        for (const QString& file : {b.dir.path() + "/CAlpha.cls", vbp, upper}) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&b.window, &enter);
            QCOMPARE(enter.isAccepted(), file != b.dir.path() + "/CAlpha.cls");
        }
        // Dropped under the name Windows gives it: the title is still the project's Name.
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(upper)});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&b.window, &drop);
        QTRY_COMPARE(b.window.state().ProjectPath, upper);
        QCOMPARE(b.window.windowTitle(), QStringLiteral("Small - Tarnwick"));
    }

    // What a user finds where they look for it: a shortcut does one thing,
    // the docks keep their titles, the toolbar's pictures their size.
    void commandsAndViewsAsDocumented() {
        Bench b;
        QHash<QKeySequence, QString> taken;
        for (const char* name :
             {"mnuFileOpenProject", "mnuDocumentationCreate", "mnuDocumentationCheck",
              "mnuDocumentationSettings", "mnuFileCloseTab", "mnuFileExit"}) {
            const QKeySequence keys = b.window.menuAction(QLatin1String(name))->shortcut();
            QVERIFY2(!keys.isEmpty() && !taken.contains(keys), name);
            taken.insert(keys, QLatin1String(name));
        }
        const std::pair<const char*, const char*> docks[] = {{"Console", "Console"},
                                                             {"Project", "Project"},
                                                             {"Dirs", "Directories"},
                                                             {"Files", "Files"},
                                                             {"Check", "Check"}};
        for (const auto& [key, title] : docks)
            QCOMPARE(b.window.perspective().dock(QLatin1String(key))->windowTitle(),
                     QLatin1String(title));
        QCOMPARE(b.window.toolBar()->iconSize(), QSize(24, 24));
    }

    // On a light and a dark desktop palette, in every scheme, the toolbar's icons (3:1) and
    // captions (4.5:1) and the dock buttons (3:1) stand out; the captions stand in one row.
    void schemesAreLegible() {
        // The strongest contrast (WCAG ratio) between the image's first pixel and any other,
        // and the first row that holds a pixel of at least 3:1.
        auto contrast = [](const QImage& image, int* firstRow = nullptr) {
            auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            auto luminance = [&](QColor c) {  // WCAG
                return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                       0.0722 * channel(c.blueF());
            };
            const double back = luminance(image.pixelColor(1, 1));
            double best = 1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const double l = luminance(image.pixelColor(x, y));
                    const double ratio = (std::max(l, back) + 0.05) / (std::min(l, back) + 0.05);
                    if (firstRow && ratio >= 3 && best < 3) *firstRow = y;
                    best = std::max(best, ratio);
                }
            return best;
        };
        for (const QPalette& palette :
             {QPalette(), QPalette(QColor("#303030"), QColor("#202020"))}) {
            QApplication::setPalette(palette);
            Bench b;
            MainWindow& window = b.window;
            b.openSmall();  // every button enabled
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            // Every menu of the bar is reached with Alt and a letter of its own.
            QSet<QChar> keys;
            for (const QAction* menu : window.menuBar()->actions()) {
                const QString text = menu->text();
                const qsizetype amp = text.indexOf(QLatin1Char('&'));
                QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
                QVERIFY2(!keys.contains(text.at(amp + 1).toLower()), qPrintable(text));
                keys.insert(text.at(amp + 1).toLower());
            }
            QString styleSheets;
            for (const char* scheme : {"mnuSchemeWinXP", "mnuSchemeOffice", "mnuSchemeCustom"}) {
                window.menuAction(QLatin1String(scheme))->trigger();
                QApplication::processEvents();
                QVERIFY2(!styleSheets.contains(window.styleSheet()), scheme);  // each its own look
                styleSheets += window.styleSheet();
                int captionRow = -1;
                for (const char* key :
                     {"open", "settings", "create", "check", "project", "browser"}) {
                    const QRect button =
                        window.toolBar()->widgetForAction(window.toolbarAction(key))->geometry();
                    // The caption is the button's last line of text.
                    const int split =
                        button.bottom() - window.toolBar()->fontMetrics().height() - 1;
                    const QRect icon(button.left(), button.top(), button.width(),
                                     split - button.top());
                    const QRect caption(button.left(), split, button.width(),
                                        button.bottom() - split);
                    int row = -1;
                    const double iconRatio = contrast(window.toolBar()->grab(icon).toImage()),
                                 textRatio =
                                     contrast(window.toolBar()->grab(caption).toImage(), &row);
                    if (captionRow < 0) captionRow = row;
                    QVERIFY2(iconRatio >= 3 && textRatio >= 4.5 && row == captionRow,
                             qPrintable(QStringLiteral("%1 %2: icon %3, caption %4 in row %5 of %6")
                                            .arg(scheme, key)
                                            .arg(iconRatio)
                                            .arg(textRatio)
                                            .arg(row)
                                            .arg(captionRow)));
                }
                // A command that cannot run now shows a dimmed caption.
                const auto captionContrast = [&](const char* key) {
                    const QRect button =
                        window.toolBar()->widgetForAction(window.toolbarAction(key))->geometry();
                    const int split =
                        button.bottom() - window.toolBar()->fontMetrics().height() - 1;
                    return contrast(window.toolBar()
                                        ->grab(QRect(button.left(), split, button.width(),
                                                     button.bottom() - split))
                                        .toImage());
                };
                const double enabled = captionContrast("create");
                window.toolbarAction("create")->setEnabled(false);
                const double disabled = captionContrast("create");
                window.toolbarAction("create")->setEnabled(true);
                QVERIFY2(disabled < enabled * 0.8, qPrintable(QStringLiteral("%1: %2 against %3")
                                                                  .arg(scheme)
                                                                  .arg(disabled)
                                                                  .arg(enabled)));
                QDockWidget* dock = window.perspective().dock("Project");
                auto* close = dock->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
                auto* floating = dock->findChild<QAbstractButton*>("qt_dockwidget_floatbutton");
                const QRect title(0, 0, floating->geometry().left() - 1,
                                  close->geometry().bottom());
                const double cross = contrast(dock->grab(close->geometry()).toImage()),
                             caption = contrast(dock->grab(title).toImage());
                QVERIFY2(
                    cross >= 3 && caption >= 4.5,
                    qPrintable(QStringLiteral("%1: %2 %3").arg(scheme).arg(cross).arg(caption)));
            }
        }
        QApplication::setPalette(QPalette());
    }

    void filesDoubleClickOpensBrowser() {
        QTemporaryDir dir;
        const QString d = dir.path();
        for (const char* name : {"/a.html", "/b.htm", "/c.txt", "/All-Classes.html", "/sub/d.html"})
            writeFile(d + name, {"<html><body>x</body></html>"});
        // The site's lower-case alias is left out; any other link is the user's.
        QFile::link("All-Classes.html", d + "/all-classes.html");
        QFile::link("a.html", d + "/e.html");

        MainWindow window;
        window.show();
        window.toolbarButtonClicked("browser");
        window.dirsView()->setPath(d);
        QCOMPARE(window.filesView()->path(), d);
        QListView* list = window.filesView()->list();
        auto listed = [&] {
            QStringList names;
            const QModelIndex root = list->rootIndex();
            for (int i = 0; i < list->model()->rowCount(root); ++i)
                names << list->model()->index(i, 0, root).data().toString();
            names.sort();
            return names;
        };
        QTRY_COMPARE(listed(), QStringList({"All-Classes.html", "a.html", "b.htm", "e.html"}));
        const QModelIndex a = list->model()
                                  ->match(list->model()->index(0, 0, list->rootIndex()),
                                          Qt::DisplayRole, "a.html", 1, Qt::MatchExactly)
                                  .value(0);
        emit list->doubleClicked(a);
        emit list->doubleClicked(a);
        QTabWidget* editor = window.perspective().editorArea();
        QCOMPARE(editor->count(), 2);
        QCOMPARE(editor->tabText(1), QStringLiteral("a.html"));
        QCOMPARE(qobject_cast<BrowserDocument*>(editor->widget(0))->htmlView()->path(),
                 d + "/a.html");

        // Another folder lists only its own files.
        window.dirsView()->setPath(d + "/sub");
        QTRY_COMPARE(listed(), QStringList({"d.html"}));
    }
};

TARNWICK_QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
