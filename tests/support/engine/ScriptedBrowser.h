#pragma once

#include "BrowserWindow.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <functional>

// A browser window that tests drive by hand: it records what its caller asks of it, in order, in `log`
// ("navigate <url>", "reload", "set <form>.<element>=<value>", "submit <form>", "refuse <form>", "quit"),
// and shows the pages that the test hands it with complete(). A form posts to its entry in the
// document's actions, resolved against the page's address (no entry: the page's own address);
// SubmitFormTo to elsewhere is logged as "refuse <form>" and raises SubmitRefused from the event loop.
class ScriptedBrowser : public BrowserWindow
{
    Q_OBJECT
public:
    using BrowserWindow::BrowserWindow;

    void Navigate(const QUrl& url) override;
    void RefreshBrowser() override;
    const HtmlDocument& Document() const override { return m_document; }
    QString LocationURL() const override { return m_location; }
    void SetFormValue(const QString& form, const QString& element, const QString& value) override;
    void SubmitForm(const QString& form) override;
    void SubmitFormTo(const QString& form, const QUrl& destination) override;
    // Deletes the window later, as the real one does after its quit delay.
    void Quit() override;

    // Shows a page at `url` and raises DocumentComplete. `forms` maps form names to element names; the text
    // a reader sees is the title and the body as given.
    void complete(const QString& url, const QString& title, const QString& body,
                  const QHash<QString, QStringList>& forms = {});
    // Shows `document` as it stands at `url` and raises DocumentComplete.
    void complete(const QString& url, const HtmlDocument& document);
    void raiseTimedOut() { Q_EMIT TimedOut(); }
    // What a script of the page does to its forms: where `form` posts from now on.
    void setFormAction(const QString& form, const QString& action)
    {
        m_document.actions.insert(form, action);
    }

    // Runs after each value set, as a script of the page could run between the caller's steps.
    std::function<void(const QString& form, const QString& element)> afterSet;

    QStringList log;
    QList<QUrl> navigations;

private:
    HtmlDocument m_document;
    QString m_location;
    bool m_quitting = false;
};

// The factory handed to the code under test; remembers every window it made.
class ScriptedBrowsers
{
public:
    BrowserWindow::Factory factory();
    // The window made last; null when none was made or it was deleted.
    ScriptedBrowser* last() const { return windows.isEmpty() ? nullptr : windows.last().data(); }

    QList<QPointer<ScriptedBrowser>> windows;
};
