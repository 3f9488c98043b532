// Helpers of the workbench tests: small VB6 projects, canned dialogs, tree lookups.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <atomic>
#include <cmath>
#include <vector>

#include "shell/DockingControl.h"
#include "shell/FindingsView.h"
#include "shell/HtmlView.h"
#include "shell/MainWindow.h"
#include "shell/ProgressWindow.h"
#include "shell/ProjectView.h"
#include "shell/SettingsDialog.h"
#include "shell/SettingsTabs.h"
#include "shell/Views.h"

namespace tarnwick {

struct ShellServices;

namespace testing {

// Writes "name" with CR LF line ends (lines joined), making folders.
void writeFile(const QString& path, const QStringList& lines);

// folder/Small.vbp (returned): classes CAlpha (Implements IShape; Add, Helper, Limit) and
// IShape (Area), module modBeta (Answer, Main, Twice); version 1.2.3.
QString writeSmallProject(const QString& folder);
// A project with `classes` classes named C01, C02, ..., each with `members` functions.
QString writeBiggerProject(const QString& folder, int classes, int members = 5);

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// Replaces every dialog: messages are recorded and get answer; the pickers give
// folder and file and count their calls.
struct CannedDialogs {
    std::vector<Message> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QString folder;
    QString file;
    int folderCalls = 0;
    int fileCalls = 0;
    QStringList openedUrls;  // what was handed to the desktop

    void install(ShellServices& services);
};

// A main window with canned dialogs and a scratch folder.
struct Bench {
    QTemporaryDir dir;
    CannedDialogs dialogs;
    MainWindow window;  // goes first, while the dialogs are still there
    Bench() { dialogs.install(window.services()); }
    // Writes the small project into dir/sub and opens it; returns its path.
    QString openSmall(const QString& sub = QStringLiteral("src"));
};

// Texts of the children of node (or of the top level when node is null).
QStringList childTexts(const QTreeWidget* tree, const QTreeWidgetItem* node);
// The node reached by following texts from the top level (the root also by
// its tooltip, the project's path), or null.
QTreeWidgetItem* findNode(const QTreeWidget* tree, const QStringList& texts);

// Where screenshots go: TARNWICK_SCREENSHOTS, else build/screenshots.
QString screenshotFolder();

}  // namespace testing
}  // namespace tarnwick

// QTEST_MAIN with shared OpenGL contexts (for Chromium) and remembered settings kept
// in a folder of this run, never the user's.
#define TARNWICK_QTEST_MAIN(TestObject)                              \
    int main(int argc, char** argv) {                                \
        QTemporaryDir configHome;                                    \
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit()); \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);  \
        QApplication app(argc, argv);                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                     \
        TestObject tc;                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                   \
        return QTest::qExec(&tc, argc, argv);                        \
    }
