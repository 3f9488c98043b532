// tarnwick-workbench [PROJECT.vbp]: the desktop workbench; opens the project
// given on the command line.
#include <unistd.h>

#include <QApplication>
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

    tarnwick::MainWindow window;
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.openProjectFile(arguments.at(1));
    return app.exec();
}
