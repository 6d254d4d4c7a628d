#include "SignInPage.h"

#include "BrowserWindow.h"
#include "OrvError.h"
#include "SiteEndpoints.h"

#include <QUrl>

const QString SignInPage::SignedOutMarker = QStringLiteral("You Have Signed Out");
const QString SignInPage::FormMarker = QStringLiteral("eBay User ID");
const QString SignInPage::InvalidMarker = QStringLiteral("Your sign in information is not valid");
const QString SignInPage::SignedInMarker = QStringLiteral("My eBay");

namespace {

const QString formName = QStringLiteral("SignInForm");

} // namespace

QString SignInPage::text(const BrowserWindow& window)
{
    const BrowserWindow::HtmlDocument& document = window.Document();
    return QStringLiteral("<TITLE>") + document.title + QStringLiteral("</TITLE><BODY>") + document.body +
           QStringLiteral("</BODY>");
}

bool SignInPage::contains(const QString& pageText, const QString& marker)
{
    return pageText.contains(marker, Qt::CaseInsensitive);
}

bool SignInPage::isSignInHost(const QUrl& address)
{
    return SiteEndpoints::isAt(SiteEndpoints::SignIn, address);
}

bool SignInPage::isOnSignInHost(const BrowserWindow& window)
{
    return isSignInHost(QUrl(window.LocationURL()));
}

bool SignInPage::formPostsElsewhere(const BrowserWindow& window)
{
    const BrowserWindow::HtmlDocument& document = window.Document();
    if (!document.forms.contains(formName))
        return false;
    const QUrl page(window.LocationURL());
    return !isSignInHost(page.resolved(QUrl(document.actions.value(formName))));
}

void SignInPage::fill(BrowserWindow& window, const QString& username, const QString& password)
{
    if (!isOnSignInHost(window))
        throw OrvError::refused(QStringLiteral("SignInPage"),
                                QStringLiteral("The sign-in form is not on the sign-in host."));
    if (formPostsElsewhere(window))
        throw OrvError::refused(QStringLiteral("SignInPage"),
                                QStringLiteral("The sign-in form posts to another host."));
    window.SetFormValue(formName, QStringLiteral("userid"), username);
    window.SetFormValue(formName, QStringLiteral("pass"), password);
    window.SetFormValue(formName, QStringLiteral("keepMeSignInOption"), QStringLiteral("1"));
}

void SignInPage::submit(BrowserWindow& window)
{
    window.SubmitFormTo(formName, SiteEndpoints::base(SiteEndpoints::SignIn));
}
