#pragma once

#include "IBrowserHost.h"

#include <QPointer>

class QWebEnginePage;

// The browser seam on a QtWebEngine page. The engine reports the top frame only: a committed address is
// a navigation, a finished load a complete document.
class WebEngineBrowserHost : public IBrowserHost
{
    Q_OBJECT
public:
    explicit WebEngineBrowserHost(QWebEnginePage* page, QObject* parent = nullptr);

    QUrl url() const override;
    void navigate(const QUrl& url) override;
    void grabShownPage(QObject* context, PageHandler done) override;

private:
    QPointer<QWebEnginePage> m_page;
};
