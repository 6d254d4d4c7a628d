#include "frmBrowser.h"

#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TimeSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

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

// Reads the title, the body's inner HTML and the forms (by name and by id, with the names and ids of their
// elements) of the current document.
const QString snapshotScript = QStringLiteral(R"JS(
(function () {
    var forms = {};
    for (var i = 0; i < document.forms.length; ++i) {
        var form = document.forms[i];
        var elements = [];
        for (var j = 0; j < form.elements.length; ++j) {
            var element = form.elements[j];
            if (element.name) elements.push(element.name);
            if (element.id && element.id !== element.name) elements.push(element.id);
        }
        if (form.getAttribute('name')) forms[form.getAttribute('name')] = elements;
        if (form.id) forms[form.id] = elements;
    }
    return { title: document.title, body: document.body ? document.body.innerHTML : '', forms: forms };
})()
)JS");

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
    document.title = map.value(QStringLiteral("title")).toString();
    document.body = map.value(QStringLiteral("body")).toString();
    const QVariantMap forms = map.value(QStringLiteral("forms")).toMap();
    for (auto it = forms.cbegin(); it != forms.cend(); ++it)
        document.forms.insert(it.key(), it.value().toStringList());
    return document;
}

} // namespace

frmBrowser::frmBrowser(const Settings& settings, int timeoutIntervalMs, QObject* parent)
    : BrowserWindow(parent), m_settings(settings)
{
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
    });
    activity();
    tmrTimeout.start();
}

void frmBrowser::unload()
{
    tmrTimeout.stop();
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
    runScript(QStringLiteral("(function (form, element, value) {"
                             " document.forms[form].elements[element].value = value; }).apply(null, %1);")
                  .arg(scriptArguments({form, element, value})));
}

void frmBrowser::SubmitForm(const QString& form)
{
    requireForm(form);
    // Through the prototype, so that an element named "submit" cannot hide the method.
    runScript(
        QStringLiteral("(function (form) {"
                       " HTMLFormElement.prototype.submit.call(document.forms[form]); }).apply(null, %1);")
            .arg(scriptArguments({form})));
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
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        ++m_loadSerial;
        m_failedUrl.clear();
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        readDocument(m_loadSerial);
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
            // The site answered with an error status: its own page is shown and read like any other.
            readDocument(m_loadSerial);
        } else {
            m_failedUrl = info.url();
            HtmlDocument standIn;
            standIn.body =
                QStringLiteral("<p>%1</p><p>%2</p>").arg(UnavailableText, info.errorString().toHtmlEscaped());
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

void frmBrowser::readDocument(quint64 serial)
{
    QPointer<frmBrowser> self(this);
    browser().runJavaScript(snapshotScript, QWebEngineScript::ApplicationWorld,
                            [self, serial](const QVariant& v) {
                                if (self)
                                    self->completeDocument(serial, documentFrom(v));
                            });
}

void frmBrowser::completeDocument(quint64 serial, const HtmlDocument& document)
{
    // A newer load has started since: this document is gone already.
    if (m_quitting || serial != m_loadSerial)
        return;
    m_document = document;
    activity();
    Q_EMIT DocumentComplete();
}
