#pragma once

#include <QDBusAbstractAdaptor>

class cApp;

// What clients on the session bus see of the application object.
class AppAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.ORVAuctions.App")
    Q_PROPERTY(int State READ State)
    Q_PROPERTY(QString Status READ Status)
public:
    explicit AppAdaptor(cApp& app);

    int State() const;
    QString Status() const;

public Q_SLOTS:
    void Quit();

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& Status);
    void ErrorMessage(const QString& sMessage);

private:
    cApp& m_app;
};
