// tarnwick-workbench [--registry FILE] [--define NAME=VALUE ...] [PROJECT.vbp]: the desktop
// workbench; opens the project given on the command line. --registry names the registry export that
// completes the project's library entries (as TARNWICK_REGISTRY).
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <string>
#include <vector>

#include "reader/ConditionalCompilation.h"
#include "shell/HtmlView.h"
#include "shell/MainWindow.h"
#include "support/BuildInfo.h"

int main(int argc, char** argv) {
    // Chromium refuses to start its sandbox as root; the workbench only
    // shows local pages it wrote itself.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QString::fromUtf8(tarnwick::buildVersion()));

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Tarnwick workbench: documentation for Visual Basic 6 projects"));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption registry(
        QStringLiteral("registry"),
        QStringLiteral("Registry export (.reg) that describes the referenced libraries."),
        QStringLiteral("FILE"));
    options.addOption(registry);
    const QCommandLineOption define(
        QStringLiteral("define"),
        QStringLiteral("A conditional-compilation constant NAME=VALUE (repeatable); wins over "
                       "the project's CondComp value of that name."),
        QStringLiteral("NAME=VALUE"));
    options.addOption(define);
    options.addPositionalArgument(
        QStringLiteral("project"),
        QStringLiteral("The project file (.vbp) or group file (.vbg) to open."),
        QStringLiteral("[PROJECT.vbp]"));
    options.process(app);
    if (options.isSet(registry))
        qputenv("TARNWICK_REGISTRY", options.value(registry).toLocal8Bit());

    std::vector<std::string> defines;
    for (const QString& value : options.values(define)) defines.push_back(value.toStdString());
    if (auto checked = tarnwick::readDefines(defines); !checked) {
        std::fprintf(stderr, "tarnwick-workbench: %s\n", checked.error().message.c_str());
        return 2;
    }

    tarnwick::HtmlView::prepare();
    tarnwick::MainWindow window;
    window.state().defines = std::move(defines);
    window.show();
    const QStringList projects = options.positionalArguments();
    if (!projects.isEmpty()) window.openProjectFile(projects.first());
    return app.exec();
}
