#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// The hidden browser that one sign-in or bid exchange drives. Navigation is asynchronous and ends in one
// DocumentComplete per top-level document; the window keeps its own cookies. A window that hears nothing
// from the site for too long raises TimedOut, at most once.
class BrowserWindow : public QObject
{
    Q_OBJECT
public:
    // What the callers read of the current page: its title, the inner HTML of its body, its forms by name
    // with the names of their elements, and where each form posts (its action resolved against the page,
    // as it stood when the page was read); the text a reader of the page sees (its title and the
    // rendered text of its body, without comments, scripts, attributes or hidden parts); the HTTP status of
    // its answer (0 when there was none); and whether it was cut off for its size, with nothing read.
    struct HtmlDocument
    {
        QString title;
        QString body;
        QHash<QString, QStringList> forms;
        QHash<QString, QString> actions;
        QString text;
        int httpStatus = 0;
        bool oversized = false;
    };

    // A page larger than this many characters is cut off while it loads.
    static constexpr qsizetype MaxPageSize = 8 * 1024 * 1024;

    // Makes a fresh window; the caller owns it until it calls Quit.
    using Factory = std::function<BrowserWindow*()>;

    using QObject::QObject;

    virtual void Navigate(const QUrl& url) = 0;
    virtual void RefreshBrowser() = 0;
    virtual const HtmlDocument& Document() const = 0;
    virtual QString LocationURL() const = 0;
    // Sets an element's value in a form of the current page; throws OrvError when either is missing.
    virtual void SetFormValue(const QString& form, const QString& element, const QString& value) = 0;
    // Submits a form of the current page; throws OrvError when it is missing.
    virtual void SubmitForm(const QString& form) = 0;
    // Submits a form of the current page only when the address it posts to, resolved against the page as
    // the page stands at that moment, has the scheme, host and port of `destination`. Otherwise nothing is
    // posted and SubmitRefused follows. Throws OrvError when the form is missing.
    virtual void SubmitFormTo(const QString& form, const QUrl& destination) = 0;
    // Closes the window a little later and deletes it; it raises nothing more.
    virtual void Quit() = 0;

Q_SIGNALS:
    void TimedOut();
    void DocumentComplete();
    // A form that SubmitFormTo was asked to submit would have posted elsewhere, and was not submitted.
    void SubmitRefused(const QString& form);
};
