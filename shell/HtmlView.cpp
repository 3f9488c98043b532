#include "shell/HtmlView.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#ifdef TARNWICK_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

namespace tarnwick {

bool HtmlView::usesWebEngine() {
#ifdef TARNWICK_HAVE_WEBENGINE
    // TARNWICK_HTML_VIEW=text keeps Chromium out (slow machines, tests).
    return qEnvironmentVariable("TARNWICK_HTML_VIEW") != QLatin1String("text");
#else
    return false;
#endif
}

#ifdef TARNWICK_HAVE_WEBENGINE
namespace {
// The view prepare() made; the first HtmlView takes it.
QPointer<QWebEngineView> g_spareView;
}  // namespace
#endif

void HtmlView::prepare() {
#ifdef TARNWICK_HAVE_WEBENGINE
    if (!usesWebEngine() || g_spareView) return;
    auto* web = new QWebEngineView;
    // A first page starts the engine's profile and its render process.
    web->setHtml(QString());
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, web, &QObject::deleteLater);
    g_spareView = web;
#endif
}

HtmlView::HtmlView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#ifdef TARNWICK_HAVE_WEBENGINE
    if (usesWebEngine()) {
        QWebEngineView* web = g_spareView;
        g_spareView.clear();
        if (web) {
            web->setParent(this);
        } else {
            web = new QWebEngineView(this);
        }
        connect(web, &QWebEngineView::loadFinished, this, [this] {
            if (!m_path.isEmpty()) emit loaded();
        });
        m_view = web;
    } else
#endif
    {
        auto* browser = new QTextBrowser(this);
        browser->setOpenLinks(true);
        browser->setOpenExternalLinks(false);
        m_view = browser;
    }
    layout->addWidget(m_view);
}

void HtmlView::setHtml(const QString& html, const QUrl& base) {
    m_html = html;
    m_base = base;
    m_path.clear();
#ifdef TARNWICK_HAVE_WEBENGINE
    if (auto* web = qobject_cast<QWebEngineView*>(m_view)) {
        web->setHtml(html, base);
        // The base's fragment names an entry of the page (letters, digits,
        // "_" and "-" only): the page opens there.
        if (base.hasFragment())
            connect(
                web, &QWebEngineView::loadFinished, web,
                [web, id = base.fragment()] {
                    web->page()->runJavaScript(
                        QStringLiteral("var e = document.getElementById('%1');"
                                       "if (e) e.scrollIntoView();")
                            .arg(id));
                },
                Qt::SingleShotConnection);
        return;
    }
#endif
    auto* browser = static_cast<QTextBrowser*>(m_view);
    if (base.isValid()) browser->document()->setBaseUrl(base);
    browser->setHtml(html);
    if (base.hasFragment()) browser->scrollToAnchor(base.fragment());
}

void HtmlView::load(const QString& path) {
    m_path = path;
    m_html.clear();
    m_base = QUrl();
    const QUrl url = QUrl::fromLocalFile(path);
#ifdef TARNWICK_HAVE_WEBENGINE
    if (auto* web = qobject_cast<QWebEngineView*>(m_view)) {
        web->load(url);
        return;
    }
#endif
    static_cast<QTextBrowser*>(m_view)->setSource(url);
    QTimer::singleShot(0, this, &HtmlView::loaded);
}

}  // namespace tarnwick
