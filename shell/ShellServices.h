// ShellServices: the dialogs the workbench asks the user with.
//
// The folder picker (BrowseForFolder), the project file chooser and the
// message boxes go through one object, so a test can replace each one with
// a function that answers at once. The defaults show Qt's own dialogs.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace tarnwick {

struct ShellServices {
    // Returns the chosen folder without a trailing '/' (a root stays "/"),
    // or an empty text when the user cancels. owner may be null.
    using FolderPicker = std::function<QString(QWidget* owner, const QString& title)>;
    // Returns the chosen file, or an empty text when the user cancels.
    using FileChooser =
        std::function<QString(QWidget* owner, const QString& title, const QString& filter)>;
    // Shows a message; returns the button pressed.
    using MessageBox = std::function<QMessageBox::StandardButton(
        QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons)>;

    FolderPicker browseForFolder = defaultFolderPicker;
    FileChooser openFile = defaultFileChooser;
    MessageBox message = defaultMessageBox;

    static QString defaultFolderPicker(QWidget* owner, const QString& title);
    static QString defaultFileChooser(QWidget* owner, const QString& title, const QString& filter);
    static QMessageBox::StandardButton defaultMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                         const QString& title, const QString& text,
                                                         QMessageBox::StandardButtons buttons);
};

// The folder picker's answer as a documentation folder: surrounding blanks
// removed and a trailing '/' appended when missing; empty stays empty.
// "/tmp/docs" gives "/tmp/docs/", "/tmp/docs/" stays as it is.
QString withTrailingSlash(const QString& folder);

}  // namespace tarnwick
