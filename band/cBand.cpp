#include "cBand.h"

#include "BandLog.h"
#include "IBrowserHost.h"
#include "RemotecApp.h"
#include "cBrowser.h"
#include "frmBand.h"

cBand::cBand(LinkFactory makeLink, MessageBoxSink* boxes) : m_makeLink(std::move(makeLink)), m_boxes(boxes)
{
    if (!m_makeLink)
        m_makeLink = [] { return std::make_unique<Remote::cApp>(); };
}

cBand::~cBand()
{
    drop();
    // A form that no dock took is the band's own.
    if (m_form && !m_form->parent())
        delete m_form;
}

QString cBand::title() const
{
    return QStringLiteral("Auction Orv");
}

QSize cBand::minimumSize() const
{
    return QSize(10, 50);
}

QWidget* cBand::window()
{
    if (!m_form)
        m_form = new frmBand(m_boxes);
    return m_form;
}

void cBand::setSite(IBrowserHost* browser)
{
    m_site = browser;
    if (m_browser)
        m_browser->setIE(browser);
}

void cBand::show(bool bShow)
{
    if (bShow) {
        if (m_link)
            return;
        window();
        m_link = m_makeLink();
        m_browser = std::make_unique<cBrowser>();
        m_browser->setIE(m_site);
        m_form->View(*m_link, *m_browser);
        m_form->show();
        return;
    }
    if (!m_link)
        return;
    if (m_form)
        m_form->hide();
    drop();
}

void cBand::close()
{
    drop();
}

void cBand::activate(bool bActivate)
{
    if (bActivate && m_form)
        m_form->setFocus();
}

void cBand::drop()
{
    if (m_form)
        m_form->UnView();
    // The watcher before the link: nothing is added through a link that is going.
    m_browser.reset();
    m_link.reset();
}
