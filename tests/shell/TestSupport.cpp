#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <QUrl>

#include "shell/ShellServices.h"

namespace tarnwick::testing {

void writeFile(const QString& path, const QStringList& lines) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
}

namespace {

QStringList classHeader(const QString& name) {
    return {QStringLiteral("VERSION 1.0 CLASS"),
            QStringLiteral("BEGIN"),
            QStringLiteral("  MultiUse = -1  'True"),
            QStringLiteral("END"),
            QStringLiteral("Attribute VB_Name = \"%1\"").arg(name),
            QStringLiteral("Attribute VB_GlobalNameSpace = False"),
            QStringLiteral("Attribute VB_Creatable = True"),
            QStringLiteral("Attribute VB_PredeclaredId = False"),
            QStringLiteral("Attribute VB_Exposed = False"),
            QStringLiteral("Option Explicit"),
            QString()};
}

}  // namespace

QString writeSmallProject(const QString& folder) {
    const QString vbp = folder + QStringLiteral("/Small.vbp");
    writeFile(vbp,
              {QStringLiteral("Type=Exe"), QStringLiteral("Class=CAlpha; CAlpha.cls"),
               QStringLiteral("Class=IShape; IShape.cls"),
               QStringLiteral("Module=modBeta; modBeta.bas"), QStringLiteral("Name=\"Small\""),
               QStringLiteral("Description=\"A small test project\""), QStringLiteral("MajorVer=1"),
               QStringLiteral("MinorVer=2"), QStringLiteral("RevisionVer=3")});
    writeFile(
        folder + QStringLiteral("/CAlpha.cls"),
        classHeader(QStringLiteral("CAlpha")) +
            QStringList{
                QStringLiteral("Implements IShape"), QString(), QStringLiteral("Const Limit = 10"),
                QString(), QStringLiteral("' Adds two numbers."),
                QStringLiteral("' @A the first number"),
                QStringLiteral("Public Function Add(ByVal A As Long, ByVal B As Long) As Long"),
                QStringLiteral("    Add = A + B"), QStringLiteral("End Function"), QString(),
                QStringLiteral("Private Sub Helper()"), QStringLiteral("End Sub")});
    writeFile(folder + QStringLiteral("/IShape.cls"),
              classHeader(QStringLiteral("IShape")) +
                  QStringList{QStringLiteral("' The area of the shape."),
                              QStringLiteral("Public Function Area() As Double"),
                              QStringLiteral("End Function")});
    writeFile(folder + QStringLiteral("/modBeta.bas"),
              {QStringLiteral("Attribute VB_Name = \"modBeta\""), QStringLiteral("Option Explicit"),
               QString(), QStringLiteral("Public Const Answer As Long = 42"), QString(),
               QStringLiteral("' Starts the program."), QStringLiteral("Public Sub Main()"),
               QStringLiteral("End Sub"), QString(),
               QStringLiteral("Function Twice(ByVal X As Long) As Long"),
               QStringLiteral("    Twice = X * 2"), QStringLiteral("End Function")});
    return vbp;
}

QString writeBiggerProject(const QString& folder, int classes) {
    QStringList vbp{QStringLiteral("Type=Exe")};
    for (int i = 1; i <= classes; ++i) {
        const QString name = QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'));
        vbp << QStringLiteral("Class=%1; %1.cls").arg(name);
        QStringList lines = classHeader(name);
        for (int m = 1; m <= 5; ++m)
            lines << QStringLiteral("' Member %1 of %2.").arg(m).arg(name)
                  << QStringLiteral("Public Function F%1(ByVal X As Long) As Long").arg(m)
                  << QStringLiteral("End Function") << QString();
        writeFile(folder + QLatin1Char('/') + name + QStringLiteral(".cls"), lines);
    }
    vbp << QStringLiteral("Name=\"Bigger\"");
    const QString path = folder + QStringLiteral("/Bigger.vbp");
    writeFile(path, vbp);
    return path;
}

void CannedDialogs::install(ShellServices& services) {
    services.message = [this](QWidget*, QMessageBox::Icon icon, const QString& title,
                              const QString& text, QMessageBox::StandardButtons) {
        messages.push_back({icon, title, text});
        return answer;
    };
    services.browseForFolder = [this](QWidget*, const QString& title) {
        ++folderCalls;
        lastFolderTitle = title;
        return folder;
    };
    services.openFile = [this](QWidget*, const QString&, const QString& filter) {
        ++fileCalls;
        lastFileFilter = filter;
        return file;
    };
    services.openUrl = [this](const QUrl& url) {
        openedUrls << url.toString();
        return true;
    };
}

QString Bench::openSmall(const QString& sub) {
    const QString vbp = writeSmallProject(dir.path() + QLatin1Char('/') + sub);
    if (!window.openProjectFile(vbp)) qFatal("cannot open %s", qPrintable(vbp));
    return vbp;
}

QStringList childTexts(const QTreeWidget* tree, const QTreeWidgetItem* node) {
    QStringList texts;
    const int count = node ? node->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i)
        texts << (node ? node->child(i) : tree->topLevelItem(i))->text(0);
    return texts;
}

QTreeWidgetItem* findNode(const QTreeWidget* tree, const QStringList& texts) {
    QTreeWidgetItem* node = nullptr;
    for (const QString& text : texts) {
        QTreeWidgetItem* next = nullptr;
        const int count = node ? node->childCount() : tree->topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* child = node ? node->child(i) : tree->topLevelItem(i);
            if (child->text(0) == text) next = child;
        }
        if (!next) return nullptr;
        node = next;
    }
    return node;
}

QString screenshotFolder() {
    QString folder = qEnvironmentVariable("TARNWICK_SCREENSHOTS");
    if (folder.isEmpty())
        folder = QStringLiteral(TARNWICK_BIN_DIR) + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    return QDir(folder).absolutePath();
}

}  // namespace tarnwick::testing
