// ShellServices: the dialogs the workbench asks the user with, and the
// desktop's own programs it hands pages and folders to.
//
// The folder picker (BrowseForFolder), the project file chooser, the
// message boxes and the URL opener go through one object, so a test can
// replace each one with a function that answers at once. The defaults show
// Qt's own dialogs and open URLs with QDesktopServices (the desktop's
// browser for a page, its file manager for a folder).
#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>
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

    // Opens url with the desktop's program for it; false when none took it.
    using UrlOpener = std::function<bool(const QUrl& url)>;

    ShellServices() = default;
    // The default pickers read this object's startFolder: never copied.
    ShellServices(const ShellServices&) = delete;
    ShellServices& operator=(const ShellServices&) = delete;

    FolderPicker browseForFolder = [this](QWidget* owner, const QString& title) {
        return defaultFolderPicker(owner, title);
    };
    FileChooser openFile = [this](QWidget* owner, const QString& title, const QString& filter) {
        return defaultFileChooser(owner, title, filter);
    };
    MessageBox message = defaultMessageBox;
    UrlOpener openUrl = defaultUrlOpener;
    // Where the default folder picker opens (the last output folder) and
    // where the file chooser opens (the last project's folder); empty: where
    // the platform likes.
    QString startFolder;
    QString projectFolder;

    QString defaultFolderPicker(QWidget* owner, const QString& title) const;
    QString defaultFileChooser(QWidget* owner, const QString& title, const QString& filter) const;
    static bool defaultUrlOpener(const QUrl& url);
    static QMessageBox::StandardButton defaultMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                         const QString& title, const QString& text,
                                                         QMessageBox::StandardButtons buttons);
};

// The folder picker's answer as a documentation folder: surrounding blanks
// removed and a trailing '/' appended when missing; empty stays empty.
// "/tmp/docs" gives "/tmp/docs/", "/tmp/docs/" stays as it is.
QString withTrailingSlash(const QString& folder);

}  // namespace tarnwick
