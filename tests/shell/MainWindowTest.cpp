// The main window: start layout and ticks, toolbar keys, Open Project and
// the project tree, previews, the file view.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <atomic>
#include <cmath>

#include "TestSupport.h"
#include "shell/DockingControl.h"
#include "shell/HtmlView.h"
#include "shell/MainWindow.h"
#include "shell/ProgressWindow.h"
#include "shell/ProjectView.h"
#include "shell/SettingsDialog.h"
#include "shell/Views.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

bool ticked(const MainWindow& window, const char* name) {
    QAction* action = window.menuAction(QLatin1String(name));
    if (!action) qFatal("no menu entry %s", name);
    return action->isChecked();
}

QString imageOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, ProjectView::ImageRole).toString() : QStringLiteral("(none)");
}

QStringList tabTitles(const QTabWidget* tabs) {
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
    return titles;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startLayoutAndTicks() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarnwick"));
        QCOMPARE(window.perspective().currentPerspective(), QStringLiteral("Project"));

        struct Tick {
            const char* menu;
            bool expected;
        };
        const Tick ticks[] = {
            {"mnuPerspectiveProject", true}, {"mnuPerspectiveBrowser", false},
            {"mnuViewProject", true},        {"mnuViewConsole", true},
            {"mnuViewDirectories", false},   {"mnuViewFiles", false},
        };
        for (const Tick& t : ticks) QVERIFY2(ticked(window, t.menu) == t.expected, t.menu);

        QStringList menus;
        for (QAction* a : window.menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, QStringList({"&File", "&Perspectives", "&Views", "Scheme", "&Help"}));
        QStringList fileEntries;
        for (QAction* a : window.menuBar()->actions().first()->menu()->actions())
            fileEntries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(fileEntries,
                 QStringList({"Open Project...", "Recent Projects", "-", "Create Documentation...",
                              "Settings...", "-", "Open Site in Browser", "Open Output Folder", "-",
                              "Close Tab", "-", "Exit"}));
        // The application icon is compiled in and loads.
        QVERIFY(!window.windowIcon().pixmap(48, 48).isNull());

        DockingControl& dock = window.perspective();
        QCOMPARE(window.dockWidgetArea(dock.dock("Project")), Qt::LeftDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(dock.dock("Console")), Qt::BottomDockWidgetArea);
        QVERIFY(dock.dock("Dirs")->isHidden());

        // Switching perspective moves the ticks with it.
        window.menuAction("mnuPerspectiveBrowser")->trigger();
        const Tick browserTicks[] = {
            {"mnuPerspectiveProject", false}, {"mnuPerspectiveBrowser", true},
            {"mnuViewProject", false},        {"mnuViewConsole", true},
            {"mnuViewDirectories", true},     {"mnuViewFiles", true},
        };
        for (const Tick& t : browserTicks) QVERIFY2(ticked(window, t.menu) == t.expected, t.menu);
        QCOMPARE(window.dockWidgetArea(dock.dock("Dirs")), Qt::RightDockWidgetArea);

        // A view closed by the user loses its tick; its menu entry shows it again.
        dock.dock("Console")->close();
        QTRY_VERIFY(!ticked(window, "mnuViewConsole"));
        window.menuAction("mnuViewConsole")->trigger();
        QVERIFY(ticked(window, "mnuViewConsole"));
        QVERIFY(!dock.dock("Console")->isHidden());
    }

    void exitUnloadsWindows() {
        MainWindow window;
        window.show();
        QPointer<QWidget> settings = window.settingsDialog();
        QPointer<QWidget> progress = window.progressWindow();
        struct Scheme {
            const char* menu;
            int code;
        };
        const Scheme schemes[] = {
            {"mnuSchemeOffice", 2}, {"mnuSchemeCustom", 99}, {"mnuSchemeWinXP", 0}};
        for (const Scheme& s : schemes) {
            window.menuAction(QLatin1String(s.menu))->trigger();
            QCOMPARE(window.perspective().scheme(), s.code);
        }
        window.menuAction("mnuFileExit")->trigger();
        QVERIFY(!window.isVisible());
        QVERIFY(settings.isNull());
        QVERIFY(progress.isNull());
    }

    void toolbarKeysAreExact() {
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList keys, captions, shownTips;
        for (QAction* a : window.toolBar()->actions()) {
            if (a->isSeparator()) continue;
            keys << a->data().toString();
            captions << a->text();
            // A tooltip event on the button shows the tooltip, if it has one.
            QWidget* button = window.toolBar()->widgetForAction(a);
            QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(button, &help);
            shownTips << (QToolTip::isVisible() ? QToolTip::text() : QString());
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
        }
        QCOMPARE(keys, QStringList({"open", "settings", "create", "project", "browser"}));
        QCOMPARE(captions, QStringList({"Open", "Settings", "Create", "Project", "Browser"}));
        QCOMPARE(shownTips, QStringList({"Open Project", "", "Create Documentation",
                                         "Project Perspective", "Browser Perspective"}));

        static const char* const wrongKeys[] = {"Open", "OPEN", "Browser", "create ", ""};
        for (const char* key : wrongKeys) window.toolbarButtonClicked(QLatin1String(key));
        QCOMPARE(dialogs.fileCalls, 0);
        QCOMPARE(dialogs.messages.size(), size_t(0));
        QCOMPARE(window.perspective().currentPerspective(), QStringLiteral("Project"));

        window.toolbarButtonClicked("browser");
        QCOMPARE(window.perspective().currentPerspective(), QStringLiteral("Browser"));
        window.toolbarButtonClicked("project");
        QCOMPARE(window.perspective().currentPerspective(), QStringLiteral("Project"));
        window.toolbarButtonClicked("open");  // the chooser answers nothing
        QCOMPARE(dialogs.fileCalls, 1);
        QCOMPARE(dialogs.lastFileFilter, QStringLiteral("Visual Basic 6.0 Projects (*.vbp)"));
        QVERIFY(!window.state().CurrentProject);
        QCOMPARE(window.projectView()->tree()->topLevelItemCount(), 0);
    }

    void keysAndCommandStates() {
        QTemporaryDir dir;
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        struct Key {
            const char* menu;
            const char* keys;
            bool enabledWithoutProject;
        };
        const Key keys[] = {
            {"mnuFileOpenProject", "Ctrl+O", true},
            {"mnuDocumentationCreate", "F5", false},
            {"mnuDocumentationSettings", "Ctrl+,", false},
            {"mnuFileCloseTab", "Ctrl+W", true},
            {"mnuFileExit", "Ctrl+Q", true},
        };
        for (const Key& k : keys) {
            QAction* action = window.menuAction(QLatin1String(k.menu));
            QCOMPARE(action->shortcut().toString(), QLatin1String(k.keys));
            QVERIFY2(action->isEnabled() == k.enabledWithoutProject, k.menu);
        }
        QVERIFY(!window.toolbarAction("create")->isEnabled());
        QVERIFY(!window.toolbarAction("settings")->isEnabled());

        // The keys reach their commands.
        dialogs.file = writeSmallProject(dir.path());
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(window.state().CurrentProject);
        QVERIFY(window.menuAction("mnuDocumentationCreate")->isEnabled());
        QVERIFY(window.toolbarAction("settings")->isEnabled());
        window.projectView()->tree()->setCurrentItem(window.projectView()->tree()->topLevelItem(0));
        QCOMPARE(window.perspective().editorArea()->count(), 1);
        QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
        QTRY_COMPARE(window.perspective().editorArea()->count(), 0);
        // The File menu's Settings entry opens the dialog once a project is open.
        QTimer::singleShot(0, window.settingsDialog(), [&] {
            QVERIFY(window.settingsDialog()->isVisible());
            window.settingsDialog()->reject();
        });
        window.menuAction("mnuDocumentationSettings")->trigger();
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window.isVisible());
    }

    void createWithoutProject() {
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        window.toolbarButtonClicked("create");
        QCOMPARE(dialogs.messages.size(), size_t(1));
        QCOMPARE(dialogs.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("No open project!"));
        QCOMPARE(dialogs.folderCalls, 0);
        // The settings dialog does not appear either.
        window.toolbarButtonClicked("settings");
        QVERIFY(!window.settingsDialog()->isVisible());
    }

    void openProjectFillsTree() {
        QTemporaryDir dir;
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        dialogs.file = writeSmallProject(dir.path());
        window.menuAction("mnuFileOpenProject")->trigger();
        QCOMPARE(dialogs.messages.size(), size_t(0));
        QCOMPARE(window.state().ProjectPath, dialogs.file);
        QVERIFY(window.state().CurrentProject);
        QVERIFY(window.state().settings.Syntax && window.state().settings.Parameter &&
                window.state().settings.Return && window.state().settings.Source);
        QVERIFY(!window.state().settings.Classes);  // only those four are switched on

        QTreeWidget* tree = window.projectView()->tree();
        QCOMPARE(childTexts(tree, nullptr), QStringList({dialogs.file}));
        QTreeWidgetItem* project = tree->topLevelItem(0);
        QCOMPARE(imageOf(project), QStringLiteral("project"));
        QVERIFY(project->isExpanded());
        // No references, objects, forms: no such groups. Modules before Classes.
        QCOMPARE(childTexts(tree, project), QStringList({"Modules", "Classes"}));
        QCOMPARE(childTexts(tree, findNode(tree, {dialogs.file, "Classes"})),
                 QStringList({"CAlpha", "IShape"}));
        QCOMPARE(childTexts(tree, findNode(tree, {dialogs.file, "Classes", "CAlpha"})),
                 QStringList({"Implementations", "Constants", "Functions", "Subroutines"}));

        struct Expect {
            QStringList path;
            const char* image;
        };
        const QString p = dialogs.file;
        const Expect expected[] = {
            {{p, "Classes"}, "classes"},
            {{p, "Classes", "CAlpha"}, "classes"},
            {{p, "Modules", "modBeta"}, "modules"},
            {{p, "Classes", "CAlpha", "Implementations"}, "implementations"},
            {{p, "Classes", "CAlpha", "Implementations", "IShape"}, "implementations"},
            {{p, "Classes", "CAlpha", "Functions", "Add"}, "functions_public"},
            {{p, "Classes", "CAlpha", "Subroutines", "Helper"}, "subroutines_private"},
            {{p, "Classes", "CAlpha", "Constants", "Limit"}, "constants_noscope"},
            {{p, "Modules", "modBeta", "Functions", "Twice"}, "functions_noscope"},
            {{p, "Modules", "modBeta", "Constants", "Answer"}, "constants_public"},
        };
        for (const Expect& e : expected) {
            QTreeWidgetItem* node = findNode(tree, e.path);
            QVERIFY2(node, qPrintable(e.path.join('/')));
            QCOMPARE(imageOf(node), QLatin1String(e.image));
            QVERIFY2(!node->icon(0).isNull(), e.image);
        }
        // One summary line per module kind, none per member.
        const QString console = window.consoleView()->text();
        QVERIFY2(console.contains("Modules: 1 module, 3 members\nClasses: 2 modules, 5 members"),
                 qPrintable(console));
        QVERIFY(!console.contains(QStringLiteral("Create documentation for ")));
    }

    void openExampleProject() {
        const QString vbp = QStringLiteral(TARNWICK_SOURCE_DIR "/examples/Ledger/Ledger.vbp");
        if (!QFileInfo::exists(vbp)) QSKIP("example project missing");
        qputenv("TARNWICK_REGISTRY", TARNWICK_SOURCE_DIR "/examples/Ledger/registry.reg");
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        QVERIFY(window.openProjectFile(vbp));
        QTreeWidget* tree = window.projectView()->tree();
        QCOMPARE(childTexts(tree, tree->topLevelItem(0)),
                 QStringList({"References", "Objects", "Forms", "Modules", "Classes",
                              "UserControls", "PropertyPages"}));
        QCOMPARE(childTexts(tree, findNode(tree, {vbp, "Classes"})),
                 QStringList({"CAccount", "CEntry", "CJournal", "IAccount"}));
        QTreeWidgetItem* impl = findNode(tree, {vbp, "Classes", "CAccount", "Implementations"});
        QVERIFY(impl);
        QCOMPARE(imageOf(impl->child(0)), QStringLiteral("implementations"));
        // Library entries show their descriptions.
        QVERIFY(childTexts(tree, findNode(tree, {vbp, "References"}))
                    .contains(QStringLiteral("OLE Automation")));
        QCOMPARE(imageOf(findNode(tree, {vbp, "Objects"})), QStringLiteral("objects"));
    }

    void unreadableProjectNamesFile() {
        QTemporaryDir dir;
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        const QString good = writeSmallProject(dir.path());
        QVERIFY(window.openProjectFile(good));
        const int nodes = window.projectView()->tree()->topLevelItem(0)->childCount();

        const QString missing = dir.path() + QStringLiteral("/Missing.vbp");
        const QString unreadable = dir.path() + QStringLiteral("/Locked.vbp");
        writeFile(unreadable, {QStringLiteral("Type=Exe")});
        QFile::setPermissions(unreadable, QFileDevice::Permissions());
        const bool rootReadsAnything = QFile(unreadable).open(QIODevice::ReadOnly);
        const QString folder = dir.path() + QStringLiteral("/Folder.vbp");
        QDir().mkpath(folder);

        QStringList cases{missing, folder};
        if (!rootReadsAnything) cases << unreadable;
        for (const QString& path : cases) {
            dialogs.messages.clear();
            dialogs.file = path;
            window.openProject();
            QCOMPARE(dialogs.messages.size(), size_t(1));
            QVERIFY2(dialogs.messages[0].text.contains(path), qPrintable(dialogs.messages[0].text));
            // The open project stays as it was.
            QCOMPARE(window.state().ProjectPath, good);
            QCOMPARE(window.projectView()->tree()->topLevelItem(0)->childCount(), nodes);
        }
    }

    void duplicateModuleNames() {
        QTemporaryDir dir;
        const QString vbp = writeSmallProject(dir.path());
        // A second module that calls itself CAlpha as well, and a form after it.
        writeFile(dir.path() + "/Other.cls",
                  {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                   "Attribute VB_Name = \"CAlpha\"", "Public Sub Other()", "End Sub"});
        QFile file(vbp);
        QVERIFY(file.open(QIODevice::Append));
        file.write("Class=CAlpha; Other.cls\r\nModule=modGamma; modBeta.bas\r\n");
        file.close();
        MainWindow window;
        QVERIFY(window.openProjectFile(vbp));
        QTreeWidget* tree = window.projectView()->tree();
        const QStringList classes = childTexts(tree, findNode(tree, {vbp, "Classes"}));
        QCOMPARE(classes.count(QStringLiteral("CAlpha")), 2);
        QVERIFY(classes.contains(QStringLiteral("IShape")));
    }

    void onePreviewFollowsSelection() {
        QTemporaryDir dir;
        MainWindow window;
        const QString vbp = writeSmallProject(dir.path());
        QVERIFY(window.openProjectFile(vbp));
        QTreeWidget* tree = window.projectView()->tree();
        QTabWidget* editor = window.perspective().editorArea();
        QCOMPARE(editor->count(), 0);
        auto htmlOf = [&](int i) {
            return static_cast<PreviewDocument*>(editor->widget(i))->htmlView()->html();
        };

        QTreeWidgetItem* add = findNode(tree, {vbp, "Classes", "CAlpha", "Functions", "Add"});
        QTreeWidgetItem* twice = findNode(tree, {vbp, "Modules", "modBeta", "Functions", "Twice"});
        struct Step {
            QTreeWidgetItem* node;
            const char* contains;
        };
        const Step steps[] = {{add, "Adds two numbers."},
                              {twice, "Twice"},
                              {tree->topLevelItem(0), "No description"}};
        for (const Step& step : steps) {
            tree->setCurrentItem(step.node);
            QCOMPARE(editor->count(), 1);  // reused, never a second tab
            QCOMPARE(editor->tabText(0), step.node->text(0));
            QVERIFY2(htmlOf(0).contains(QLatin1String(step.contains)), step.contains);
        }
        QVERIFY(!htmlOf(0).contains(QStringLiteral("Adds two numbers.")));

        // The style sheet and the icons of a preview resolve to files.
        tree->setCurrentItem(add);
        auto* preview = static_cast<PreviewDocument*>(editor->widget(0));
        const QUrl base = preview->htmlView()->baseUrl();
        QCOMPARE(base, PreviewDocument::baseUrl());
        const QRegularExpression link(
            QStringLiteral("(?:href|src)=\"([^\"#:]+\\.(?:css|ico|js))\""),
            QRegularExpression::CaseInsensitiveOption);
        int links = 0;
        for (const auto& m : link.globalMatch(htmlOf(0))) {
            ++links;
            const QString file = base.resolved(QUrl(m.captured(1))).toLocalFile();
            QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
        }
        QVERIFY(links >= 2);

        // A double click pins a page; the selection keeps to its own tab.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tree->scrollToItem(twice);
        const QPoint twiceAt = tree->visualItemRect(twice).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QCOMPARE(editor->count(), 2);
        QCOMPARE(editor->currentIndex(), 1);
        QVERIFY(htmlOf(1).contains("Twice"));
        tree->setCurrentItem(add);
        QCOMPARE(editor->count(), 2);
        QVERIFY(htmlOf(0).contains("Adds two numbers.") && htmlOf(1).contains("Twice"));
        window.projectView()->openInNewTab(add);
        QCOMPARE(editor->count(), 3);

        // Opening a project again closes the previews of the last one.
        QVERIFY(window.openProjectFile(vbp));
        QCOMPARE(editor->count(), 0);
    }

    void filterBox() {
        QTemporaryDir dir;
        MainWindow window;
        const QString vbp = writeSmallProject(dir.path());
        QVERIFY(window.openProjectFile(vbp));
        QTreeWidget* tree = window.projectView()->tree();
        // Every element node, as module/name.
        auto shownElements = [&] {
            QStringList shown;
            QTreeWidgetItemIterator it(tree);
            for (; *it; ++it) {
                QTreeWidgetItem* node = *it;
                bool visible = true;
                for (QTreeWidgetItem* n = node; n; n = n->parent()) visible &= !n->isHidden();
                if (visible && !node->data(0, ProjectView::TagRole).toString().isEmpty())
                    shown << node->parent()->parent()->text(0) + "/" + node->text(0);
            }
            return shown.join(' ');
        };
        struct Row {
            const char* filter;
            const char* shown;
        };
        const Row rows[] = {
            {"twi", "modBeta/Twice"},
            {"  HELP ", "CAlpha/Helper"},
            {"ishape", "CAlpha/IShape IShape/Area"},  // an element and a module
            {"nothing like it", ""},
            {"",
             "modBeta/Answer modBeta/Twice modBeta/Main CAlpha/IShape CAlpha/Limit CAlpha/Add "
             "CAlpha/Helper IShape/Area"},
        };
        for (const Row& row : rows) {
            window.projectView()->filterBox()->setText(QLatin1String(row.filter));
            QCOMPARE(shownElements(), QLatin1String(row.shown));
        }
    }

    void openRunsOnWorkerAndCancels() {
        QTemporaryDir dir;
        // Each read's worker waits at its own gate; both outlive the window,
        // which waits for its workers.
        QSemaphore arrived, gates[2];
        std::atomic<int> reads{0};
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        window.show();
        const QString first = writeSmallProject(dir.path() + "/a");
        QVERIFY(window.openProjectFile(first));
        const QString second = writeBiggerProject(dir.path() + "/b", 3);

        // Hold the worker; meanwhile the window works, shows the busy bar and takes Cancel.
        window.projectView()->workerHook = [&] {
            QSemaphore& gate = gates[reads++];
            arrived.release();
            gate.acquire();
        };
        bool busyShown = false, commandsOff = false;
        QTimer::singleShot(50, &window, [&] {
            arrived.acquire();
            busyShown = window.openProgress()->isVisible();
            commandsOff = !window.menuAction("mnuFileOpenProject")->isEnabled() &&
                          !window.toolbarAction("create")->isEnabled();
            QTest::mouseClick(window.openCancelButton(), Qt::LeftButton);
        });
        QVERIFY(!window.openProjectFile(second));
        gates[0].release();
        QVERIFY(busyShown && commandsOff);
        QVERIFY(dialogs.messages.empty());
        QCOMPARE(window.state().ProjectPath, first);
        QCOMPARE(window.projectView()->tree()->topLevelItem(0)->text(0), first);
        QVERIFY(!window.openProgress()->isVisible());
        QVERIFY(window.menuAction("mnuFileOpenProject")->isEnabled());

        // Closing the window during a read stops the read and closes.
        QTimer::singleShot(50, &window, [&] {
            arrived.acquire();
            window.close();
        });
        QVERIFY(!window.openProjectFile(second));
        gates[1].release();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.state().ProjectPath, first);
    }

    void rememberedAcrossStarts() {
        QTemporaryDir dir;
        const QString a = writeSmallProject(dir.path() + "/a");
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
            window.perspective().dock("Console")->close();
            QTRY_VERIFY(!window.menuAction("mnuViewConsole")->isChecked());
            window.close();
        }
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.recentProjects(), projects.mid(0, MainWindow::kRecentProjects));
        QMenu* recent = window.findChild<QMenu*>("mnuFileRecent");
        QCOMPARE(recent->actions().size(), MainWindow::kRecentProjects);
        QCOMPARE(recent->actions().at(1)->data().toString(), projects.at(1));
        QCOMPARE(window.size(), QSize(900, 610));
        QVERIFY(!window.menuAction("mnuViewConsole")->isChecked());
        QVERIFY(window.perspective().dock("Console")->isHidden());
        recent->actions().at(1)->trigger();
        QCOMPARE(window.state().ProjectPath, projects.at(1));
        MainWindow::settingsStore().clear();
    }

    void desktopHandOffs() {
        QTemporaryDir dir;
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        QVERIFY(!window.menuAction("mnuFileOpenSite")->isEnabled());
        window.menuAction("mnuHelpHomepage")->trigger();
        QCOMPARE(dialogs.openedUrls, QStringList({TARNWICK_HOMEPAGE}));

        // A .vbp dropped on the window opens; other files are refused.
        const QString vbp = writeSmallProject(dir.path());
        struct Drop {
            QString file;
            bool accepted;
        };
        const Drop drops[] = {{dir.path() + "/CAlpha.cls", false}, {vbp, true}};
        for (const Drop& d : drops) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(d.file)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&window, &enter);
            QCOMPARE(enter.isAccepted(), d.accepted);
            if (!d.accepted) continue;
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&window, &drop);
            QTRY_COMPARE(window.state().ProjectPath, vbp);
        }
    }

    // With a dark desktop palette, the toolbar captions and the dock title
    // buttons of every scheme stand out from what they are drawn on.
    void schemesAreLegible() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor("#202020"));
        dark.setColor(QPalette::WindowText, QColor("#eeeeee"));
        dark.setColor(QPalette::Button, QColor("#303030"));
        dark.setColor(QPalette::ButtonText, QColor("#eeeeee"));
        QApplication::setPalette(dark);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The strongest contrast (WCAG ratio) between the image's first pixel and any other.
        auto contrast = [](const QImage& image) {
            auto luminance = [](QColor c) {
                auto channel = [](double v) {
                    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
                };
                return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                       0.0722 * channel(c.blueF());
            };
            const double back = luminance(image.pixelColor(1, 1));
            double best = 1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const double l = luminance(image.pixelColor(x, y));
                    best = std::max(best, (std::max(l, back) + 0.05) / (std::min(l, back) + 0.05));
                }
            return best;
        };
        for (const char* scheme : {"mnuSchemeWinXP", "mnuSchemeOffice", "mnuSchemeCustom"}) {
            window.menuAction(QLatin1String(scheme))->trigger();
            QApplication::processEvents();
            const QRect button =
                window.toolBar()->widgetForAction(window.toolbarAction("open"))->geometry();
            const QRect caption(button.left(), button.top() + button.height() * 2 / 3,
                                button.width(), button.height() / 3);
            const double text = contrast(window.toolBar()->grab(caption).toImage());
            QVERIFY2(text >= 4.5,
                     qPrintable(QStringLiteral("%1 toolbar %2").arg(scheme).arg(text)));
            QDockWidget* dock = window.perspective().dock("Project");
            auto* close = dock->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
            QVERIFY(close);
            const double cross = contrast(dock->grab(close->geometry()).toImage());
            QVERIFY2(cross >= 3, qPrintable(QStringLiteral("%1 close %2").arg(scheme).arg(cross)));
        }
        QApplication::setPalette(QPalette());
    }

    void filesDoubleClickOpensBrowser() {
        QTemporaryDir dir;
        writeFile(dir.path() + "/a.html", {"<html><body>A</body></html>"});
        writeFile(dir.path() + "/b.htm", {"<html><body>B</body></html>"});
        writeFile(dir.path() + "/c.txt", {"not listed"});
        writeFile(dir.path() + "/All-Classes.html", {"<html></html>"});
        // The site's lower-case alias is left out; any other link is the user's.
        QFile::link("All-Classes.html", dir.path() + "/all-classes.html");
        QFile::link("a.html", dir.path() + "/e.html");
        QDir().mkpath(dir.path() + "/sub");
        writeFile(dir.path() + "/sub/d.html", {"<html><body>D</body></html>"});

        MainWindow window;
        window.show();
        window.toolbarButtonClicked("browser");
        window.dirsView()->setPath(dir.path());
        QCOMPARE(window.filesView()->path(), dir.path());
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

        const QModelIndex root = list->rootIndex();
        QModelIndex a;
        for (int i = 0; i < list->model()->rowCount(root); ++i)
            if (list->model()->index(i, 0, root).data().toString() == "a.html")
                a = list->model()->index(i, 0, root);
        QVERIFY(a.isValid());
        emit list->doubleClicked(a);
        emit list->doubleClicked(a);
        QTabWidget* editor = window.perspective().editorArea();
        QCOMPARE(tabTitles(editor), QStringList({"a.html", "a.html"}));
        auto* browser = qobject_cast<BrowserDocument*>(editor->widget(0));
        QVERIFY(browser);
        QCOMPARE(browser->htmlView()->path(), dir.path() + "/a.html");

        // Another folder lists only its own files.
        window.dirsView()->setPath(dir.path() + "/sub");
        QTRY_COMPARE(listed(), QStringList({"d.html"}));
    }
};

TARNWICK_QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
