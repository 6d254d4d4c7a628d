#include "ScriptedBrowser.h"

#include "OrvError.h"

namespace {

const QString source = QStringLiteral("ScriptedBrowser");

} // namespace

void ScriptedBrowser::Navigate(const QUrl& url)
{
    if (m_quitting)
        throw OrvError::refused(source, QStringLiteral("navigate after quit"));
    log << QStringLiteral("navigate ") + url.toString();
    navigations << url;
}

void ScriptedBrowser::RefreshBrowser()
{
    log << QStringLiteral("reload");
}

void ScriptedBrowser::SetFormValue(const QString& form, const QString& element, const QString& value)
{
    if (!m_document.forms.value(form).contains(element))
        throw OrvError::refused(source, QStringLiteral("no element %1.%2").arg(form, element));
    log << QStringLiteral("set %1.%2=%3").arg(form, element, value);
    if (afterSet)
        afterSet(form, element);
}

void ScriptedBrowser::SubmitForm(const QString& form)
{
    if (!m_document.forms.contains(form))
        throw OrvError::refused(source, QStringLiteral("no form %1").arg(form));
    log << QStringLiteral("submit ") + form;
}

void ScriptedBrowser::SubmitFormTo(const QString& form, const QUrl& destination)
{
    if (!m_document.forms.contains(form))
        throw OrvError::refused(source, QStringLiteral("no form %1").arg(form));
    const QUrl target = QUrl(m_location).resolved(QUrl(m_document.actions.value(form)));
    const auto portOf = [](const QUrl& url) {
        return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
    };
    if (target.scheme() == destination.scheme() && target.host() == destination.host() &&
        portOf(target) == portOf(destination)) {
        log << QStringLiteral("submit ") + form;
        return;
    }
    log << QStringLiteral("refuse ") + form;
    QMetaObject::invokeMethod(
        this, [this, form] { Q_EMIT SubmitRefused(form); }, Qt::QueuedConnection);
}

void ScriptedBrowser::Quit()
{
    log << QStringLiteral("quit");
    m_quitting = true;
    deleteLater();
}

void ScriptedBrowser::complete(const QString& url, const QString& title, const QString& body,
                               const QHash<QString, QStringList>& forms)
{
    HtmlDocument document;
    document.title = title;
    document.body = body;
    document.forms = forms;
    document.text = title + QLatin1Char('\n') + body;
    document.httpStatus = 200;
    complete(url, document);
}

void ScriptedBrowser::complete(const QString& url, const HtmlDocument& document)
{
    m_location = url;
    m_document = document;
    Q_EMIT DocumentComplete();
}

BrowserWindow::Factory ScriptedBrowsers::factory()
{
    return [this] {
        auto* window = new ScriptedBrowser;
        windows << window;
        return window;
    };
}
