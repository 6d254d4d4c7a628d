#pragma once

#include "IBrowserHost.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>

// A browser that a test drives: it shows the address the test sets, reports the navigations the test
// scripts, records where the band sent it, and answers page reads with the title and body the test
// sets, at once or only when the test releases them.
class FakeBrowserHost : public IBrowserHost
{
public:
    QUrl url() const override { return shown; }
    void navigate(const QUrl& url) override { navigated << url; }
    void grabShownPage(QObject* context, PageHandler done) override
    {
        ++reads;
        held.append({QPointer<QObject>(context), std::move(done)});
        if (!holdReads)
            releaseReads();
    }

    // Shows `url`: the top frame navigates to it and its document completes.
    void show(const QUrl& url)
    {
        shown = url;
        Q_EMIT navigateComplete(url, true);
        Q_EMIT documentComplete(url, true);
    }
    // A frame of the shown page loads `url`; the page's address stays.
    void frame(const QUrl& url)
    {
        Q_EMIT navigateComplete(url, false);
        Q_EMIT documentComplete(url, false);
    }
    // Answers the reads waiting, with the page as it is set now.
    void releaseReads()
    {
        const auto waiting = std::exchange(held, {});
        for (const auto& [context, done] : waiting) {
            if (!context)
                continue;
            ShownPage page;
            page.ok = readable;
            page.address = readAddress.isEmpty() ? shown : readAddress;
            page.title = title;
            page.body = body;
            done(page);
        }
    }

    QUrl shown;
    QList<QUrl> navigated;
    QString title;
    QString body;
    bool readable = true;
    // The address the read reports; the shown one when empty.
    QUrl readAddress;
    bool holdReads = false;
    int reads = 0;

private:
    QList<std::pair<QPointer<QObject>, PageHandler>> held;
};
