#include "WebEngineBrowserHost.h"

#include <QLoggingCategory>
#include <QVariantList>
#include <QWebEnginePage>
#include <QWebEngineScript>

Q_LOGGING_CATEGORY(lcBrowserHost, "orv.browserhost")

WebEngineBrowserHost::WebEngineBrowserHost(QWebEnginePage* page, QObject* parent)
    : IBrowserHost(parent), m_page(page)
{
    connect(page, &QWebEnginePage::urlChanged, this,
            [this](const QUrl& url) { Q_EMIT navigateComplete(url, true); });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool) {
        if (m_page)
            Q_EMIT documentComplete(m_page->url(), true);
    });
}

QUrl WebEngineBrowserHost::url() const
{
    return m_page ? m_page->url() : QUrl();
}

void WebEngineBrowserHost::navigate(const QUrl& url)
{
    if (m_page)
        m_page->load(url);
    else
        qCWarning(lcBrowserHost) << "no page to open" << url;
}

void WebEngineBrowserHost::grabShownPage(QObject* context, PageHandler done)
{
    if (!m_page) {
        QMetaObject::invokeMethod(
            context, [done] { done(ShownPage{}); }, Qt::QueuedConnection);
        return;
    }
    // The isolated world: the page's own scripts cannot replace the getters read here.
    static const QString script = QStringLiteral("[String(document.location.href), String(document.title),"
                                                 " document.body ? String(document.body.innerHTML) : '']");
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [guard = QPointer<QObject>(context), done](const QVariant& result) {
                              if (!guard)
                                  return;
                              const QVariantList parts = result.toList();
                              ShownPage page;
                              if (parts.size() == 3) {
                                  page.ok = true;
                                  page.address = QUrl(parts.at(0).toString());
                                  page.title = parts.at(1).toString();
                                  page.body = parts.at(2).toString();
                              } else {
                                  qCWarning(lcBrowserHost) << "the shown page could not be read";
                              }
                              done(page);
                          });
}
