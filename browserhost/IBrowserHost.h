#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

// What the band sees of the browser that hosts it: the address shown, navigation, the shown page's title
// and body, and when a page has been navigated to and when its document is complete. A browser engine
// implements it; tests script it.
class IBrowserHost : public QObject
{
    Q_OBJECT
public:
    // The shown page as read: `ok` false when it could not be read. `address` is the document's own
    // address when it was read, so that a caller can tell whether the page changed meanwhile.
    struct ShownPage
    {
        bool ok = false;
        QUrl address;
        QString title;
        QString body;
    };
    using PageHandler = std::function<void(const ShownPage&)>;

    explicit IBrowserHost(QObject* parent = nullptr);
    ~IBrowserHost() override;

    // The address of the page shown (the top frame).
    virtual QUrl url() const = 0;
    virtual void navigate(const QUrl& url) = 0;
    // Reads the shown page's title and body HTML and hands them to `done` later, on this thread; never
    // when `context` is gone by then. The page's own scripts cannot change what is read.
    virtual void grabShownPage(QObject* context, PageHandler done) = 0;

Q_SIGNALS:
    // The browser went to `url` (the address committed), in the top frame or in a frame of it.
    void navigateComplete(const QUrl& url, bool topFrame);
    // The document at `url` has loaded, in the top frame or in a frame of it.
    void documentComplete(const QUrl& url, bool topFrame);
};
