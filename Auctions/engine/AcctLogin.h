#pragma once

#include "BrowserWindow.h"
#include "OrvEnums.h"

#include <QObject>
#include <QPointer>
#include <QString>

// Tests a user name and password against the site: the sign-in half of a bid attempt, in a hidden
// browser window of its own, reported as a state and a status line. Nothing is stored; the password is
// never part of a status line.
class AcctLogin : public QObject
{
    Q_OBJECT
public:
    explicit AcctLogin(BrowserWindow::Factory browsers, QObject* parent = nullptr);
    // Unloads the browser window at once.
    ~AcctLogin() override;

    // The credentials under test, set by Login.
    QString Username;
    QString Password;

    eAcctLoginState State() const { return m_state; }
    // A change stores the state and writes its status line; the same state does nothing.
    void setState(eAcctLoginState value);
    QString Status() const { return m_status; }
    // Stores the text and raises StatusChange with it.
    void setStatus(const QString& sStatus);

    // Starts a test with a new browser window in place of any earlier one.
    void Login(const QString& sUsername, const QString& sPassword);

Q_SIGNALS:
    void StatusChange(const QString& sStatus);
    void StateChanged(int State);

private:
    void mFrm_DocumentComplete();
    void mFrm_TimedOut();
    void mFrm_SubmitRefused();
    void HandleSignInPage();
    void HandleSignInResult();
    BrowserWindow& window() const;
    void closeWindow();

    BrowserWindow::Factory m_browsers;
    eAcctLoginState m_state = eAcctLoginIdle;
    QString m_status;
    QPointer<BrowserWindow> mFrm;
    int m_signedOutRounds = 0;
};
