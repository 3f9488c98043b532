// The small views and documents of the workbench.
//
// ConsoleView ("Console"): a read-only, monospace log of the generator's
// lines. DirsView ("Dirs") and FilesView ("Files"): a folder tree and the
// HTML files of the chosen folder, for browsing a generated site; a double
// click on a file asks for a browser document on it. Both leave out the
// site's lower-case alias links ("classes" beside "Classes"), which only
// repeat an entry. PreviewDocument shows one element's documentation text;
// BrowserDocument shows one page. StartPage fills the editor area while no
// project is open: Open Project and the recent projects.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QFileSystemModel;
class QSortFilterProxyModel;
class QListView;
class QListWidget;
class QPushButton;
class QModelIndex;
class QPlainTextEdit;
class QTreeView;

namespace tarnwick {

class HtmlView;

class ConsoleView : public QWidget {
    Q_OBJECT
public:
    explicit ConsoleView(QWidget* parent = nullptr);
    void appendLine(const QString& line);
    // Appends the lines in one go (one repaint, however many).
    void appendLines(const QStringList& lines);
    QString text() const;

private:
    QPlainTextEdit* m_text;  // txtConsole
};

class DirsView : public QWidget {
    Q_OBJECT
public:
    explicit DirsView(QWidget* parent = nullptr);
    // Selects the folder (and shows it); the file list follows.
    void setPath(const QString& path);
    const QString& path() const { return m_path; }

signals:
    void pathChanged(const QString& path);

private:
    void revealPath();

    QFileSystemModel* m_model;
    QSortFilterProxyModel* m_shown;  // m_model without alias links
    QTreeView* m_tree;               // Dirs
    QString m_path;
};

class FilesView : public QWidget {
    Q_OBJECT
public:
    explicit FilesView(QWidget* parent = nullptr);
    // Lists the HTML files ("*.html; *.htm") of the folder.
    void setPath(const QString& path);
    const QString& path() const { return m_path; }
    QListView* list() const { return m_list; }
    // What a double click on the file of that name does.
    void openFile(const QString& fileName);

signals:
    // A browser document is wanted on path, titled caption.
    void documentRequested(const QString& path, const QString& caption);

private:
    void activated(const QModelIndex& index);

    QFileSystemModel* m_model;
    QSortFilterProxyModel* m_shown;  // m_model without alias links
    QListView* m_list;               // Files
    QString m_path;
};

// True for a link whose target is an entry of the same folder with the same
// name but for letter case (how a site offers "classes" for "Classes").
bool isCaseAlias(const QString& path);

// frmEditorPreview: the preview that follows the tree selection, or a page
// pinned in a tab of its own.
class PreviewDocument : public QWidget {
    Q_OBJECT
public:
    explicit PreviewDocument(QWidget* parent = nullptr);
    // Shows html; its relative links resolve against base (default: baseUrl()).
    void ShowPreviewHtml(const QString& html, const QUrl& base = QUrl());
    HtmlView* htmlView() const { return m_html; }
    // Where the preview's relative links (style sheet, icons) resolve.
    static QUrl baseUrl();

private:
    HtmlView* m_html;  // DocHtml
};

// frmEditorBrowser: one per opened page.
class BrowserDocument : public QWidget {
    Q_OBJECT
public:
    explicit BrowserDocument(QWidget* parent = nullptr);
    void navigate(const QString& path);
    HtmlView* htmlView() const { return m_browser; }

private:
    HtmlView* m_browser;  // Browser
};

// The editor area's face while no project is open.
class StartPage : public QWidget {
    Q_OBJECT
public:
    explicit StartPage(QWidget* parent = nullptr);
    // The projects offered, newest first.
    void setRecentProjects(const QStringList& paths);
    QPushButton* openButton() const { return m_open; }
    QListWidget* recentList() const { return m_recent; }

signals:
    void openRequested();
    void projectChosen(const QString& path);

private:
    QPushButton* m_open;    // cmdStartOpen
    QListWidget* m_recent;  // lstRecent
};

}  // namespace tarnwick
