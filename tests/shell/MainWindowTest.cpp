// The main window: start layout and ticks, toolbar keys, Open Project and
// the project tree, previews, the file view.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>

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
        QCOMPARE(fileEntries, QStringList({"Open Project...", "-", "Create Documentation...",
                                           "Settings...", "-", "Exit"}));

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
        // One console line per member page made for the previews.
        QVERIFY(window.consoleView()->text().contains(QStringLiteral("Create documentation for ")));
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

    void selectingNodeOpensPreview() {
        QTemporaryDir dir;
        MainWindow window;
        const QString vbp = writeSmallProject(dir.path());
        QVERIFY(window.openProjectFile(vbp));
        QTreeWidget* tree = window.projectView()->tree();
        QTabWidget* editor = window.perspective().editorArea();
        QCOMPARE(editor->count(), 0);

        QTreeWidgetItem* add = findNode(tree, {vbp, "Classes", "CAlpha", "Functions", "Add"});
        QTreeWidgetItem* twice = findNode(tree, {vbp, "Modules", "modBeta", "Functions", "Twice"});
        tree->setCurrentItem(add);
        tree->setCurrentItem(twice);
        tree->setCurrentItem(tree->topLevelItem(0));
        QCOMPARE(tabTitles(editor), QStringList({"Add", "Twice", vbp}));

        auto htmlOf = [&](int i) {
            return static_cast<PreviewDocument*>(editor->widget(i))->htmlView()->html();
        };
        QVERIFY(htmlOf(0).contains(QStringLiteral("Adds two numbers.")));
        QVERIFY(!htmlOf(0).contains(QStringLiteral("Twice")));
        QVERIFY(htmlOf(1).contains(QStringLiteral("Twice")));
        QCOMPARE(htmlOf(2), QStringLiteral("No description"));
        // Every selection opens a further document; a click opens one, also
        // on the node already selected.
        tree->setCurrentItem(add);
        QCOMPARE(editor->count(), 4);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tree->scrollToItem(twice);
        const QPoint twiceAt = tree->visualItemRect(twice).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QCOMPARE(editor->count(), 5);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, twiceAt);
        QCOMPARE(tabTitles(editor).mid(3), QStringList({"Add", "Twice", "Twice"}));
    }

    void filesDoubleClickOpensBrowser() {
        QTemporaryDir dir;
        writeFile(dir.path() + "/a.html", {"<html><body>A</body></html>"});
        writeFile(dir.path() + "/b.htm", {"<html><body>B</body></html>"});
        writeFile(dir.path() + "/c.txt", {"not listed"});
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
        QTRY_COMPARE(listed(), QStringList({"a.html", "b.htm"}));

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
