#include "shell/ShellServices.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace tarnwick {

QString ShellServices::defaultFolderPicker(QWidget* owner, const QString& title) const {
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, title.isEmpty() ? QStringLiteral("Select A Directory") : title, startFolder,
        QFileDialog::ShowDirsOnly);
    if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/'))) return chosen.chopped(1);
    return chosen;
}

QString ShellServices::defaultFileChooser(QWidget* owner, const QString& title,
                                          const QString& filter) const {
    return QFileDialog::getOpenFileName(owner, title, projectFolder, filter);
}

bool ShellServices::defaultUrlOpener(const QUrl& url) { return QDesktopServices::openUrl(url); }

QMessageBox::StandardButton ShellServices::defaultMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                             const QString& title,
                                                             const QString& text,
                                                             QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, owner);
    // Messages name files and modules of the project: never read as markup.
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString withTrailingSlash(const QString& folder) {
    QString path = folder.trimmed();
    if (path.isEmpty()) return path;
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

}  // namespace tarnwick
