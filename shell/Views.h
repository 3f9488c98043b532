// The small views and documents of the workbench.
//
// ConsoleView ("Console"): a read-only, monospace log of the generator's
// lines. DirsView ("Dirs") and FilesView ("Files"): a folder tree and the
// HTML files of the chosen folder, for browsing a generated site; a double
// click on a file asks for a browser document on it. PreviewDocument shows
// one element's documentation text; BrowserDocument shows one page.
#pragma once

#include <QString>
#include <QWidget>

class QFileSystemModel;
class QListView;
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
    QString text() const;
    QPlainTextEdit* textBox() const { return m_text; }

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
    QTreeView* m_tree;  // Dirs
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
    QListView* m_list;  // Files
    QString m_path;
};

// frmEditorPreview: one per node selection.
class PreviewDocument : public QWidget {
    Q_OBJECT
public:
    explicit PreviewDocument(QWidget* parent = nullptr);
    void ShowPreviewHtml(const QString& html);
    HtmlView* htmlView() const { return m_html; }

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

}  // namespace tarnwick
