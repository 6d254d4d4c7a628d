#pragma once

#include "DeskBand.h"
#include "frmBand.h"

#include <QPointer>
#include <functional>
#include <memory>

class MessageBoxSink;
class cBrowser;

namespace Remote {
class cApp;
}

// The band as the browser window sees it: "Auction Orv", at least 10 by 50. Each time it is shown it
// makes a new link to the main program (which binds to the program or starts it hidden, and holds it
// open) and a watcher of the window's browser, and fills its tree; hidden or closed, it drops them.
class cBand : public DeskBand
{
public:
    using LinkFactory = std::function<std::unique_ptr<Remote::cApp>()>;

    // Links made by `makeLink` (the session bus when none); message boxes to `boxes` (real ones when
    // none).
    explicit cBand(LinkFactory makeLink = {}, MessageBoxSink* boxes = nullptr);
    ~cBand() override;

    QString title() const override;
    QSize minimumSize() const override;
    QWidget* window() override;
    void setSite(IBrowserHost* browser) override;
    void show(bool bShow) override;
    void close() override;
    void activate(bool bActivate) override;

    // The link and the watcher while shown; none while hidden.
    Remote::cApp* link() const { return m_link.get(); }
    cBrowser* browser() const { return m_browser.get(); }
    frmBand* form() const { return m_form; }

private:
    void drop();

    LinkFactory m_makeLink;
    MessageBoxSink* m_boxes;
    QPointer<frmBand> m_form;
    QPointer<IBrowserHost> m_site;
    std::unique_ptr<cBrowser> m_browser;
    std::unique_ptr<Remote::cApp> m_link;
};
