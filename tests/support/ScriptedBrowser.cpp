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
}

void ScriptedBrowser::SubmitForm(const QString& form)
{
    if (!m_document.forms.contains(form))
        throw OrvError::refused(source, QStringLiteral("no form %1").arg(form));
    log << QStringLiteral("submit ") + form;
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
