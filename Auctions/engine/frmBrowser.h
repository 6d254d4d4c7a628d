#pragma once

#include "BrowserWindow.h"

#include <QTimer>

class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineProfile;
class Settings;

// The hidden browser window on QtWebEngine: a page that is never shown, on an off-the-record profile of
// its own (its own cookies, no cache, no images, no dialogs). The page's DOM is reached through scripts, so
// each completed document is read once into a snapshot before DocumentComplete is raised. A load that gets
// no HTTP answer at all completes as a page saying UnavailableText, at the address that failed; a page
// that grows past MaxPageSize while it loads is stopped and completes as an oversized document. Forms are
// filled and submitted only while the document that was read is still the one shown.
class frmBrowser : public BrowserWindow
{
    Q_OBJECT
public:
    static constexpr int TimeoutIntervalMs = 60000;
    static constexpr int QuitIntervalMs = 250;
    static const QString UnavailableText;

    explicit frmBrowser(const Settings& settings, int timeoutIntervalMs = TimeoutIntervalMs,
                        QObject* parent = nullptr);
    ~frmBrowser() override;

    void Navigate(const QUrl& url) override;
    void RefreshBrowser() override;
    const HtmlDocument& Document() const override { return m_document; }
    QString LocationURL() const override;
    void SetFormValue(const QString& form, const QString& element, const QString& value) override;
    void SubmitForm(const QString& form) override;
    void SubmitFormTo(const QString& form, const QUrl& destination) override;
    void Quit() override;

    // One tick of the inactivity watch: silent for more than PrepareSeconds + 60 seconds raises TimedOut
    // and stops the watch. The timer calls it every timeoutIntervalMs; tests may call it directly.
    void tmrTimeout_Timer();

private:
    void load();
    void unload();
    void activity();
    void Browser_LoadingChanged(const QWebEngineLoadingInfo& info);
    void readDocument(quint64 serial, int httpStatus);
    void tmrSize_Timer();
    void cutOff();
    void completeDocument(quint64 serial, const HtmlDocument& document, const QString& address = QString());
    void runScript(const QString& script);
    void requireForm(const QString& form) const;
    QWebEnginePage& browser() const;

    const Settings& m_settings;
    QWebEngineProfile* m_profile = nullptr;
    QWebEnginePage* Browser = nullptr;
    QTimer tmrTimeout;
    QTimer tmrQuit;
    QTimer tmrSize;           // watches the size of a page while it loads
    qint64 mLastActivity = 0; // monotonic milliseconds
    HtmlDocument m_document;
    QString m_documentUrl;    // the address of the document that was read
    QUrl m_failedUrl;         // the address of a load that got no answer, while its stand-in page shows
    quint64 m_loadSerial = 0; // counts started loads, so that a snapshot of an older one is dropped
    bool m_quitting = false;
    bool m_cutOff = false;        // the load under way was cut off for its size
    bool m_cutOffPending = false; // and that is not reported yet
    bool m_sizeAsked = false;     // a question for the page's size awaits its answer
};
