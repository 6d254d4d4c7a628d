#include "AcctLogin.h"

#include "BidSender.h"
#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "SignInPage.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcAcctLogin, "orv.engine.acctlogin")

} // namespace

AcctLogin::AcctLogin(BrowserWindow::Factory browsers, QObject* parent)
    : QObject(parent), m_browsers(std::move(browsers))
{
}

AcctLogin::~AcctLogin()
{
    if (mFrm) {
        mFrm->disconnect(this);
        delete mFrm;
    }
}

void AcctLogin::setStatus(const QString& sStatus)
{
    m_status = sStatus;
    Q_EMIT StatusChange(sStatus);
}

void AcctLogin::setState(eAcctLoginState value)
{
    if (value == m_state)
        return;
    m_state = value;
    switch (value) {
    case eAcctLoginIdle:
        setStatus(QString());
        break;
    case eAcctLoginLoggingOut:
        setStatus(QStringLiteral("Logging out current user..."));
        break;
    case eAcctLoginLoggingIn:
        setStatus(QStringLiteral("Logging in user ") + Username + QStringLiteral("..."));
        break;
    case eAcctLoginSuccess:
        setStatus(Username + QStringLiteral(" successfully logged in."));
        break;
    case eAcctLoginFailed:
        setStatus(QStringLiteral("Failed to login user ") + Username + QStringLiteral("."));
        break;
    }
    Q_EMIT StateChanged(value);
}

BrowserWindow& AcctLogin::window() const
{
    if (!mFrm)
        throw OrvError::refused(QStringLiteral("AcctLogin"),
                                QStringLiteral("The test has no browser window."));
    return *mFrm;
}

void AcctLogin::closeWindow()
{
    if (!mFrm)
        return;
    mFrm->disconnect(this);
    mFrm->Quit();
    mFrm = nullptr;
}

void AcctLogin::Login(const QString& sUsername, const QString& sPassword)
{
    Username = sUsername;
    Password = sPassword;
    m_signedOutRounds = 0;
    setState(eAcctLoginLoggingOut);
    // The earlier test's window goes: its late pages must not decide this test.
    closeWindow();
    const bool started = resumeNext(lcBid, [&] {
        mFrm = m_browsers();
        connect(mFrm, &BrowserWindow::DocumentComplete, this, &AcctLogin::mFrm_DocumentComplete);
        connect(mFrm, &BrowserWindow::TimedOut, this, &AcctLogin::mFrm_TimedOut);
        connect(mFrm, &BrowserWindow::SubmitRefused, this, &AcctLogin::mFrm_SubmitRefused);
        window().Navigate(BidSender::signInUrl());
    });
    // Without a window under way nothing would ever end the test.
    if (!started) {
        qCWarning(lcAcctLogin) << "The account test could not open the sign-in page.";
        setState(eAcctLoginFailed);
    }
}

void AcctLogin::mFrm_DocumentComplete()
{
    try {
        switch (m_state) {
        case eAcctLoginLoggingOut:
            HandleSignInPage();
            break;
        case eAcctLoginLoggingIn:
            HandleSignInResult();
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        qCWarning(lcAcctLogin) << "The account test failed on a page:" << error.what();
        setState(eAcctLoginFailed);
    } catch (...) {
        qCWarning(lcAcctLogin) << "The account test failed on a page.";
        setState(eAcctLoginFailed);
    }
}

void AcctLogin::mFrm_TimedOut()
{
    // The site never answered: the test ends rather than waiting for ever.
    if (m_state == eAcctLoginLoggingOut || m_state == eAcctLoginLoggingIn)
        setState(eAcctLoginFailed);
}

void AcctLogin::mFrm_SubmitRefused()
{
    // The form was turned to another host after it was filled in: nothing was sent.
    if (m_state == eAcctLoginLoggingIn)
        setState(eAcctLoginFailed);
}

void AcctLogin::HandleSignInPage()
{
    BrowserWindow& browser = window();
    const QString page = SignInPage::text(browser);
    if (SignInPage::contains(page, SignInPage::SignedOutMarker)) {
        // A site that keeps answering this would hold the test for ever.
        if (++m_signedOutRounds > BidSender::MaxSignedOutRounds)
            setState(eAcctLoginFailed);
        else
            browser.Navigate(BidSender::signInUrl());
    } else if (SignInPage::contains(page, SignInPage::FormMarker) && SignInPage::isOnSignInHost(browser) &&
               !SignInPage::formPostsElsewhere(browser)) {
        SignInPage::fill(browser, Username, Password);
        setState(eAcctLoginLoggingIn);
        SignInPage::submit(browser);
    } else {
        setState(eAcctLoginFailed);
    }
}

void AcctLogin::HandleSignInResult()
{
    const QString page = SignInPage::text(window());
    if (SignInPage::contains(page, SignInPage::InvalidMarker))
        setState(eAcctLoginFailed);
    else if (SignInPage::contains(page, SignInPage::SignedInMarker))
        setState(eAcctLoginSuccess);
    else
        setState(eAcctLoginFailed);
}
