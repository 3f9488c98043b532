// tarnwick-workbench [--registry FILE] [PROJECT.vbp]: the desktop workbench;
// opens the project given on the command line. --registry names the registry
// export that completes the project's library entries (as TARNWICK_REGISTRY).
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "shell/MainWindow.h"

int main(int argc, char** argv) {
    // Chromium refuses to start its sandbox as root; the workbench only
    // shows local pages it wrote itself.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));

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
    options.addPositionalArgument(QStringLiteral("project"),
                                  QStringLiteral("The project file (.vbp) to open."),
                                  QStringLiteral("[PROJECT.vbp]"));
    options.process(app);
    if (options.isSet(registry))
        qputenv("TARNWICK_REGISTRY", options.value(registry).toLocal8Bit());

    tarnwick::MainWindow window;
    window.show();
    const QStringList projects = options.positionalArguments();
    if (!projects.isEmpty()) window.openProjectFile(projects.first());
    return app.exec();
}
