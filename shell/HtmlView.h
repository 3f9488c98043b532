// HtmlView: one control that shows HTML, a text or a local page.
//
// Built with Qt WebEngine it is a Chromium view (frames, style sheets and
// scripts of the site work); without it, a QTextBrowser. The preview
// documents, the browser documents and the style preview of the settings
// dialog all use it. It remembers what it was last given, so a caller (or a
// test) can ask without waiting for the page to render.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

namespace tarnwick {

class HtmlView : public QWidget {
    Q_OBJECT
public:
    explicit HtmlView(QWidget* parent = nullptr);

    // Shows text as a page; relative links resolve against base.
    void setHtml(const QString& html, const QUrl& base = QUrl());
    // Shows the local file at path (navigation).
    void load(const QString& path);

    const QString& html() const { return m_html; }  // last text given to setHtml
    const QString& path() const { return m_path; }  // last file given to load
    const QUrl& baseUrl() const { return m_base; }  // base of the last setHtml
    // True when the pages are shown by Chromium.
    static bool usesWebEngine();
    // Starts the browser engine now, with a first view kept aside for the
    // first HtmlView: called before the main window shows, so the first
    // preview or site does not freeze a window the user already works in.
    static void prepare();

signals:
    // The page of the last load() is shown (or failed to load).
    void loaded();

private:
    QWidget* m_view;  // QWebEngineView or QTextBrowser, owned as a child
    QString m_html;
    QString m_path;
    QUrl m_base;
};

}  // namespace tarnwick
