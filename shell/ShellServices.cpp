#include "shell/ShellServices.h"

#include <QFileDialog>

namespace tarnwick {

QString ShellServices::defaultFolderPicker(QWidget* owner, const QString& title) {
    // No root and no start folder: the picker opens where the platform likes.
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, title.isEmpty() ? QStringLiteral("Select A Directory") : title, QString(),
        QFileDialog::ShowDirsOnly);
    if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/'))) return chosen.chopped(1);
    return chosen;
}

QString ShellServices::defaultFileChooser(QWidget* owner, const QString& title,
                                          const QString& filter) {
    return QFileDialog::getOpenFileName(owner, title, QString(), filter);
}

QMessageBox::StandardButton ShellServices::defaultMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                             const QString& title,
                                                             const QString& text,
                                                             QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString withTrailingSlash(const QString& folder) {
    QString path = folder.trimmed();
    if (path.isEmpty()) return path;
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

}  // namespace tarnwick
