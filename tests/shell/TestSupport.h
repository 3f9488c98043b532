// Helpers shared by the workbench tests: small VB6 projects written on the
// fly, canned answers for the dialogs, and tree lookups.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "shell/MainWindow.h"

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tarnwick {

struct ShellServices;

namespace testing {

// Writes "name" with CR LF line ends (lines joined), making folders.
void writeFile(const QString& path, const QStringList& lines);

// A project "Small.vbp" in folder: class CAlpha (Implements IShape, a public
// function Add, a private sub Helper, a constant without scope word), class
// IShape, module modBeta (public const Answer, public sub Main, function
// Twice without scope word). MajorVer 1, MinorVer 2, RevisionVer 3.
// Returns the project file's path.
QString writeSmallProject(const QString& folder);
// A project with `classes` classes named C01, C02, ..., each with a few members.
QString writeBiggerProject(const QString& folder, int classes);

// What the message seam was asked.
struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// Replaces every dialog of services: messages are recorded and answered
// with answer; the folder picker and the file chooser give the texts given
// (and count their calls).
struct CannedDialogs {
    std::vector<Message> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QString folder;
    QString file;
    int folderCalls = 0;
    int fileCalls = 0;
    QString lastFolderTitle;
    QString lastFileFilter;
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
// The node reached by following texts from the top level, or null.
QTreeWidgetItem* findNode(const QTreeWidget* tree, const QStringList& texts);

// Where screenshots go: TARNWICK_SCREENSHOTS, else build/screenshots.
QString screenshotFolder();

}  // namespace testing
}  // namespace tarnwick

// QTEST_MAIN for the workbench: Chromium wants shared OpenGL contexts
// before the application object exists; the remembered settings go to a
// folder of this run, never to the user's.
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
