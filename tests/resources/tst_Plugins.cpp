#include "OrvError.h"
#include "Plugins.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Writes each call into a shared log; fails in Begin when told to.
class LoggingPlugin : public IPlugin
{
public:
    LoggingPlugin(QString key, QStringList& log, bool failBegin = false)
        : m_key(std::move(key)), m_log(log), m_failBegin(failBegin)
    {
    }

    void Begin(QString& sCallingFile) override
    {
        m_log << m_key + " begin " + sCallingFile;
        if (m_failBegin)
            throw OrvError(1001, m_key, "cannot start");
    }
    void ShutDown() override { m_log << m_key + " stop"; }
    QString Key() const override { return m_key; }

private:
    QString m_key;
    QStringList& m_log;
    bool m_failBegin;
};

qint32 errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const OrvError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

class tst_Plugins : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysIgnoreCase()
    {
        QStringList log;
        Plugins list;
        QSignalSpy updated(&list, &Plugins::Updated);
        auto first = std::make_shared<LoggingPlugin>("Alpha", log);
        list.Add(first);
        QCOMPARE(errorOf([&] { list.Add(std::make_shared<LoggingPlugin>("ALPHA", log)); }), 457);
        QCOMPARE(list.Count(), 1);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(list.Item("alpha"), first);

        QCOMPARE(errorOf([&] { list.Item("beta"); }), OrvError::InvalidArgument);
        QCOMPARE(errorOf([&] { list.Remove("beta"); }), OrvError::InvalidArgument);
        QCOMPARE(updated.count(), 1);

        list.Remove("aLpHa");
        QCOMPARE(list.Count(), 0);
        QCOMPARE(updated.count(), 2);
    }

    void startAndTerminateInOrderAdded()
    {
        QStringList log;
        Plugins list;
        list.Start("/x");
        QCOMPARE(list.Count(), 0);
        QVERIFY(log.isEmpty());

        for (const char* key : {"c", "a", "b"})
            list.Add(std::make_shared<LoggingPlugin>(key, log));
        list.Remove("a");
        list.Add(std::make_shared<LoggingPlugin>("a", log));
        QCOMPARE(list.Items().first()->Key(), QString("c"));
        list.Start("/usr/bin/host");
        list.Terminate();
        QCOMPARE(log, (QStringList{"c begin /usr/bin/host", "b begin /usr/bin/host", "a begin /usr/bin/host",
                                   "c stop", "b stop", "a stop"}));
    }

    void failingBeginStopsTheWalk()
    {
        QStringList log;
        Plugins list;
        list.Add(std::make_shared<LoggingPlugin>("one", log));
        list.Add(std::make_shared<LoggingPlugin>("two", log, true));
        list.Add(std::make_shared<LoggingPlugin>("three", log));
        QCOMPARE(errorOf([&] { list.Start("f"); }), 1001);
        QCOMPARE(log, (QStringList{"one begin f", "two begin f"}));
    }

    void baseComponentDoesNothing()
    {
        Plugins list;
        list.Add(std::make_shared<IPlugin>());
        QCOMPARE(list.Item("")->Key(), QString());
        list.Start("f");
        list.Terminate();
        QCOMPARE(list.Count(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_Plugins)
#include "tst_Plugins.moc"
