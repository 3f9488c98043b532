#include "TestSupport.h"

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

// The text's lines, each '\n' a line end.
QStringList lines(const char* text) { return QString::fromUtf8(text).split(QLatin1Char('\n')); }

QStringList classHeader(const QString& name) {
    return lines("VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND") +
           QStringList{QStringLiteral("Attribute VB_Name = \"%1\"").arg(name)} +
           lines(
               "Attribute VB_GlobalNameSpace = False\nAttribute VB_Creatable = True\n"
               "Attribute VB_PredeclaredId = False\nAttribute VB_Exposed = False\n"
               "Option Explicit\n");
}

}  // namespace

QString writeSmallProject(const QString& folder) {
    writeFile(folder + QStringLiteral("/CAlpha.cls"),
              classHeader(QStringLiteral("CAlpha")) +
                  lines("Implements IShape\n\nConst Limit = 10\n\n' Adds two numbers.\n"
                        "' @A the first number\n"
                        "Public Function Add(ByVal A As Long, ByVal B As Long) As Long\n"
                        "    Add = A + B\nEnd Function\n\nPrivate Sub Helper()\nEnd Sub"));
    writeFile(
        folder + QStringLiteral("/IShape.cls"),
        classHeader(QStringLiteral("IShape")) +
            lines("' The area of the shape.\nPublic Function Area() As Double\nEnd Function"));
    writeFile(folder + QStringLiteral("/modBeta.bas"),
              lines("Attribute VB_Name = \"modBeta\"\nOption Explicit\n\n"
                    "Public Const Answer As Long = 42\n\n' Starts the program.\n"
                    "Public Sub Main()\nEnd Sub\n\nFunction Twice(ByVal X As Long) As Long\n"
                    "    Twice = X * 2\nEnd Function"));
    const QString vbp = folder + QStringLiteral("/Small.vbp");
    writeFile(vbp, lines("Type=Exe\nClass=CAlpha; CAlpha.cls\nClass=IShape; IShape.cls\n"
                         "Module=modBeta; modBeta.bas\nName=\"Small\"\n"
                         "Description=\"A small test project\"\nMajorVer=1\nMinorVer=2\n"
                         "RevisionVer=3"));
    return vbp;
}

QString writeBiggerProject(const QString& folder, int classes, int members) {
    QStringList vbp{QStringLiteral("Type=Exe")};
    for (int i = 1; i <= classes; ++i) {
        const QString name = QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'));
        vbp << QStringLiteral("Class=%1; %1.cls").arg(name);
        QStringList text = classHeader(name);
        for (int m = 1; m <= members; ++m)
            text << QStringLiteral("' Member %1 of %2.").arg(m).arg(name)
                 << QStringLiteral("Public Function F%1(ByVal X As Long) As Long").arg(m)
                 << QStringLiteral("End Function") << QString();
        writeFile(folder + QLatin1Char('/') + name + QStringLiteral(".cls"), text);
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
    services.browseForFolder = [this](QWidget*, const QString&) {
        ++folderCalls;
        return folder;
    };
    services.openFile = [this](QWidget*, const QString&, const QString&) {
        ++fileCalls;
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
        int i = childTexts(tree, node).indexOf(text);
        // The root shows the project's name; its path is the tooltip.
        for (int top = 0; !node && i < 0 && top < tree->topLevelItemCount(); ++top)
            if (tree->topLevelItem(top)->toolTip(0) == text) i = top;
        if (i < 0) return nullptr;
        node = node ? node->child(i) : tree->topLevelItem(i);
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
