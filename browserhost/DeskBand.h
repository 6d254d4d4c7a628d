#pragma once

#include <QSize>
#include <QString>
#include <QtPlugin>
#include <memory>

class IBrowserHost;
class QWidget;

// A band that a browser window docks beside its page. The window creates one band per window, gives it
// the browser it watches, shows and hides it as the user toggles it in the View menu, and closes it
// with the window.
class DeskBand
{
public:
    virtual ~DeskBand() = default;

    // The band's title in the dock and in the View menu.
    virtual QString title() const = 0;
    // The least size the dock may give the band; it has no largest.
    virtual QSize minimumSize() const = 0;
    // The band's window, made on first use; owned by the band until the host docks it.
    virtual QWidget* window() = 0;
    // The browser the band watches; the host keeps it alive while the band lives.
    virtual void setSite(IBrowserHost* browser) = 0;
    // Shown: the band binds to what it shows; hidden: it lets go. Repeating either changes nothing.
    virtual void show(bool bShow) = 0;
    // The window closes: the band lets go of everything.
    virtual void close() = 0;
    // The user turned to the band: it takes the keyboard focus. False changes nothing.
    virtual void activate(bool bActivate) = 0;
};

// What a band plug-in exports: it makes bands.
class DeskBandFactory
{
public:
    virtual ~DeskBandFactory() = default;
    virtual std::unique_ptr<DeskBand> createBand() = 0;
};

#define DeskBandFactory_iid "org.auctionorv.DeskBandFactory/1"
Q_DECLARE_INTERFACE(DeskBandFactory, DeskBandFactory_iid)
