#include "frmBrowser.h"

#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "SiteEndpoints.h"
#include "TimeSource.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <utility>

const QString frmBrowser::UnavailableText = QStringLiteral("The page might be temporarily unavailable.");

namespace {

const QString errorSource = QStringLiteral("frmBrowser");

// Nobody sees this page: script dialogs are answered at once and console output is dropped.
class HiddenPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override
    {
    }
};

// Reads the title, the body's inner HTML, the text a reader sees and the forms (by name and by id, with
// the names and ids of their elements, and the address each posts to) of the current document, and its
// address; a document larger than the limit is only reported as such, so that it never crosses into this
// process. The action is read through the prototype, so that an element named "action" cannot hide it.
const QString snapshotScript = QStringLiteral(R"JS(
(function (limit) {
    var root = document.documentElement;
    if (root && root.outerHTML.length > limit) return { oversized: true };
    var actionOf = Object.getOwnPropertyDescriptor(HTMLFormElement.prototype, 'action').get;
    var forms = {}, actions = {};
    for (var i = 0; i < document.forms.length; ++i) {
        var form = document.forms[i];
        var elements = [];
        for (var j = 0; j < form.elements.length; ++j) {
            var element = form.elements[j];
            if (element.name) elements.push(element.name);
            if (element.id && element.id !== element.name) elements.push(element.id);
        }
        var names = [form.getAttribute('name'), form.id];
        for (var k = 0; k < names.length; ++k) {
            if (!names[k] || names[k] in forms) continue;
            forms[names[k]] = elements;
            actions[names[k]] = actionOf.call(form);
        }
    }
    var body = document.body;
    return { title: document.title, body: body ? body.innerHTML : '',
             text: document.title + '\n' + (body ? body.innerText : ''), forms: forms, actions: actions,
             href: location.href };
})(%1)
)JS")
                                   .arg(BrowserWindow::MaxPageSize);

// Submits a form only when the address it posts to, resolved now, has the given scheme, host and port;
// "refused" when it has not (or the form is gone), "gone" when the page is no longer the one that was read.
const QString submitToScript = QStringLiteral(R"JS(
(function (href, name, scheme, host, port) {
    if (location.href !== href) return 'gone';
    var form = document.forms[name];
    if (!(form instanceof HTMLFormElement)) return 'refused';
    var action = Object.getOwnPropertyDescriptor(HTMLFormElement.prototype, 'action').get.call(form);
    var target;
    try { target = new URL(action); } catch (e) { return 'refused'; }
    var targetPort = target.port !== '' ? Number(target.port)
                   : target.protocol === 'https:' ? 443 : target.protocol === 'http:' ? 80 : -1;
    if (target.protocol !== scheme + ':' || target.hostname.replace(/^\[|\]$/g, '') !== host ||
        targetPort !== Number(port))
        return 'refused';
    HTMLFormElement.prototype.submit.call(form);
    return 'posted';
}).apply(null, %1);
)JS");

// The size of the document as it loads, in characters of its HTML.
const QString sizeScript = QStringLiteral(
    "(function () { var r = document.documentElement; return r ? r.outerHTML.length : 0; })()");

// How often the size of a loading page is looked at.
constexpr int sizeWatchMs = 250;

// Script arguments as a JSON array, which is also a valid JavaScript array literal.
QString scriptArguments(const QStringList& values)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact));
}

BrowserWindow::HtmlDocument documentFrom(const QVariant& snapshot)
{
    const QVariantMap map = snapshot.toMap();
    BrowserWindow::HtmlDocument document;
    document.oversized = map.value(QStringLiteral("oversized")).toBool();
    document.title = map.value(QStringLiteral("title")).toString();
    document.body = map.value(QStringLiteral("body")).toString();
    document.text = map.value(QStringLiteral("text")).toString();
    const QVariantMap forms = map.value(QStringLiteral("forms")).toMap();
    for (auto it = forms.cbegin(); it != forms.cend(); ++it)
        document.forms.insert(it.key(), it.value().toStringList());
    const QVariantMap actions = map.value(QStringLiteral("actions")).toMap();
    for (auto it = actions.cbegin(); it != actions.cend(); ++it)
        document.actions.insert(it.key(), it.value().toString());
    return document;
}

// Every window that exists. A page must go before its profile, and both before the browser engine shuts
// down with the application object; windows still alive then (an attempt held at the program's end, a
// window in its close delay) are deleted first.
QList<frmBrowser*>& liveWindows()
{
    static QList<frmBrowser*> windows;
    return windows;
}

void deleteLiveWindows()
{
    const QList<frmBrowser*> windows = liveWindows();
    for (frmBrowser* window : windows)
        delete window;
}

} // namespace

frmBrowser::frmBrowser(const Settings& settings, int timeoutIntervalMs, QObject* parent)
    : BrowserWindow(parent), m_settings(settings)
{
    liveWindows().append(this);
    tmrSize.setInterval(sizeWatchMs);
    connect(&tmrSize, &QTimer::timeout, this, &frmBrowser::tmrSize_Timer);
    tmrTimeout.setInterval(timeoutIntervalMs);
    connect(&tmrTimeout, &QTimer::timeout, this, &frmBrowser::tmrTimeout_Timer);
    tmrQuit.setInterval(QuitIntervalMs);
    tmrQuit.setSingleShot(true);
    connect(&tmrQuit, &QTimer::timeout, this, [this] {
        unload();
        deleteLater();
    });
}

frmBrowser::~frmBrowser()
{
    liveWindows().removeOne(this);
    unload();
}

void frmBrowser::load()
{
    resumeNext(lcBid, [&] {
        // A profile without a storage name is off the record: cookies live and die with this window.
        m_profile = new QWebEngineProfile(this);
        m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
        Browser = new HiddenPage(m_profile, this);
        QWebEngineSettings* settings = Browser->settings();
        settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
        settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        connect(Browser, &QWebEnginePage::loadingChanged, this, &frmBrowser::Browser_LoadingChanged);
        connect(Browser, &QWebEnginePage::loadProgress, this, &frmBrowser::activity);
        // The engine's clean-up was registered with its first profile; clean-up routines run last in,
        // first out, so the windows go before it.
        static const bool registered = [] {
            qAddPostRoutine(deleteLiveWindows);
            return true;
        }();
        Q_UNUSED(registered);
    });
    activity();
    tmrTimeout.start();
}

void frmBrowser::unload()
{
    tmrTimeout.stop();
    tmrSize.stop();
    // The page goes before its profile.
    delete Browser;
    Browser = nullptr;
    delete m_profile;
    m_profile = nullptr;
}

QWebEnginePage& frmBrowser::browser() const
{
    if (!Browser)
        throw OrvError(OrvError::Refused, errorSource, QStringLiteral("The browser window is not loaded."));
    return *Browser;
}

void frmBrowser::Navigate(const QUrl& url)
{
    if (m_quitting)
        throw OrvError(OrvError::Refused, errorSource, QStringLiteral("The browser window is closing."));
    if (!Browser)
        load();
    browser().load(url);
}

void frmBrowser::RefreshBrowser()
{
    QWebEnginePage& page = browser();
    // After a load that got no answer the page still holds the previous document: load the address again.
    if (m_failedUrl.isValid())
        page.load(m_failedUrl);
    else
        page.triggerAction(QWebEnginePage::Reload);
}

QString frmBrowser::LocationURL() const
{
    if (m_failedUrl.isValid())
        return m_failedUrl.toString();
    return Browser ? Browser->url().toString() : QString();
}

void frmBrowser::requireForm(const QString& form) const
{
    if (!m_document.forms.contains(form))
        throw OrvError(OrvError::Refused, errorSource,
                       QStringLiteral("The page has no form \"%1\".").arg(form));
}

void frmBrowser::SetFormValue(const QString& form, const QString& element, const QString& value)
{
    requireForm(form);
    if (!m_document.forms.value(form).contains(element))
        throw OrvError(OrvError::Refused, errorSource,
                       QStringLiteral("The form \"%1\" has no element \"%2\".").arg(form, element));
    runScript(QStringLiteral("(function (href, form, element, value) {"
                             " if (location.href !== href) return;"
                             " document.forms[form].elements[element].value = value; }).apply(null, %1);")
                  .arg(scriptArguments({m_documentUrl, form, element, value})));
}

void frmBrowser::SubmitForm(const QString& form)
{
    requireForm(form);
    // Through the prototype, so that an element named "submit" cannot hide the method.
    runScript(
        QStringLiteral("(function (href, form) {"
                       " if (location.href !== href) return;"
                       " HTMLFormElement.prototype.submit.call(document.forms[form]); }).apply(null, %1);")
            .arg(scriptArguments({m_documentUrl, form})));
}

void frmBrowser::SubmitFormTo(const QString& form, const QUrl& destination)
{
    requireForm(form);
    const QString scheme = destination.scheme().toLower();
    const QString host = destination.host(QUrl::FullyEncoded).toLower();
    const int port = SiteEndpoints::port(destination);
    QPointer<frmBrowser> self(this);
    browser().runJavaScript(
        submitToScript.arg(scriptArguments({m_documentUrl, form, scheme, host, QString::number(port)})),
        QWebEngineScript::ApplicationWorld, [self, form](const QVariant& outcome) {
            if (self && outcome.toString() == QLatin1String("refused")) {
                qCWarning(lcBid).noquote() << "The form" << form << "posts to another host; it was not sent.";
                Q_EMIT self->SubmitRefused(form);
            }
        });
}

void frmBrowser::runScript(const QString& script)
{
    browser().runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void frmBrowser::Quit()
{
    resumeNext(lcBid, [&] {
        m_quitting = true;
        tmrTimeout.stop();
        tmrSize.stop();
        tmrQuit.start();
    });
}

void frmBrowser::activity()
{
    mLastActivity = TimeSource::current().monotonicMs();
}

void frmBrowser::tmrTimeout_Timer()
{
    resumeNext(lcBid, [&] {
        if (!tmrTimeout.isActive())
            return;
        const qint64 limit = qint64(m_settings.PrepareSeconds) + 60;
        const qint64 silentSeconds = qAbs(TimeSource::current().monotonicMs() - mLastActivity) / 1000;
        if (silentSeconds > limit) {
            tmrTimeout.stop();
            Q_EMIT TimedOut();
        }
    });
}

void frmBrowser::Browser_LoadingChanged(const QWebEngineLoadingInfo& info)
{
    activity();
    if (m_quitting || info.url().toString().toUpper() == QLatin1String("ABOUT:BLANK"))
        return;
    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
        tmrSize.stop();
        // A load cut off for its size completes as such once the engine has stopped it, so that the next
        // navigation finds the engine idle.
        if (m_cutOff) {
            if (std::exchange(m_cutOffPending, false)) {
                HtmlDocument cut;
                cut.oversized = true;
                const quint64 serial = m_loadSerial;
                QMetaObject::invokeMethod(
                    this, [this, serial, cut] { completeDocument(serial, cut); }, Qt::QueuedConnection);
            }
            return;
        }
    }
    const int httpStatus =
        info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        ++m_loadSerial;
        m_failedUrl.clear();
        m_cutOff = false;
        m_sizeAsked = false;
        tmrSize.start();
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        readDocument(m_loadSerial, httpStatus);
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
            // The site answered with an error status: its own page is shown and read like any other.
            readDocument(m_loadSerial, httpStatus);
        } else {
            m_failedUrl = info.url();
            HtmlDocument standIn;
            standIn.body =
                QStringLiteral("<p>%1</p><p>%2</p>").arg(UnavailableText, info.errorString().toHtmlEscaped());
            standIn.text = QLatin1Char('\n') + UnavailableText + QLatin1Char('\n') + info.errorString();
            const quint64 serial = m_loadSerial;
            // Raised from the event loop, as a read document is, never inside the engine's notification.
            QMetaObject::invokeMethod(
                this, [this, serial, standIn] { completeDocument(serial, standIn); }, Qt::QueuedConnection);
        }
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        break;
    }
}

void frmBrowser::readDocument(quint64 serial, int httpStatus)
{
    QPointer<frmBrowser> self(this);
    browser().runJavaScript(
        snapshotScript, QWebEngineScript::ApplicationWorld, [self, serial, httpStatus](const QVariant& v) {
            if (!self)
                return;
            HtmlDocument document = documentFrom(v);
            document.httpStatus = httpStatus;
            self->completeDocument(serial, document, v.toMap().value(QStringLiteral("href")).toString());
        });
}

void frmBrowser::tmrSize_Timer()
{
    // A page that keeps the engine busy answers late: one question at a time, never a queue of them.
    if (!Browser || m_sizeAsked)
        return;
    m_sizeAsked = true;
    QPointer<frmBrowser> self(this);
    const quint64 serial = m_loadSerial;
    Browser->runJavaScript(sizeScript, QWebEngineScript::ApplicationWorld, [self, serial](const QVariant& v) {
        if (!self)
            return;
        self->m_sizeAsked = false;
        if (self->tmrSize.isActive() && serial == self->m_loadSerial && v.toLongLong() > MaxPageSize)
            self->cutOff();
    });
}

void frmBrowser::cutOff()
{
    tmrSize.stop();
    // Whatever this load still delivers is dropped.
    m_cutOff = true;
    m_cutOffPending = true;
    ++m_loadSerial;
    resumeNext(lcBid, [&] { browser().triggerAction(QWebEnginePage::Stop); });
}

void frmBrowser::completeDocument(quint64 serial, const HtmlDocument& document, const QString& address)
{
    // A newer load has started since: this document is gone already.
    if (m_quitting || serial != m_loadSerial)
        return;
    m_document = document;
    m_documentUrl = address;
    activity();
    Q_EMIT DocumentComplete();
}
