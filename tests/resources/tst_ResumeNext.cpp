#include "CapturedLog.h"
#include "OrvError.h"
#include "ResumeNext.h"

#include <QTest>
#include <stdexcept>

namespace {

Q_LOGGING_CATEGORY(lcTest, "orv.test")

} // namespace

// A step that throws is passed over and leaves a warning in the caller's category: where it was caught,
// and the error's number, source and description.
class tst_ResumeNext : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void logsWhatItCaught_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("model error") << 0
                                     << "passed over error 91 from XMLManager: There is no current element.";
        QTest::newRow("refusal")
            << 1 << "passed over error 11 from Categorys: You must have at least one Category.";
        QTest::newRow("standard exception") << 2 << "passed over error: stoi";
        QTest::newRow("anything else") << 3 << "passed over error: unknown";
    }

    void logsWhatItCaught()
    {
        QFETCH(int, kind);
        QFETCH(QString, expected);
        CapturedLog log;
        const int line = __LINE__ + 1;
        const bool completed = resumeNext(lcTest, [&] {
            switch (kind) {
            case 0:
                throw OrvError(OrvError::ObjectNotSet, QStringLiteral("XMLManager"),
                               QStringLiteral("There is no current element."));
            case 1:
                throw OrvError::refused(QStringLiteral("Categorys"),
                                        QStringLiteral("You must have at least one Category."));
            case 2:
                throw std::invalid_argument("stoi");
            default:
                throw 42;
            }
        });
        QVERIFY(!completed);
        QCOMPARE(log.lines,
                 QStringList(QStringLiteral("orv.test: tst_ResumeNext.cpp:%1: ").arg(line) + expected));
    }

    void completedStepsLeaveNoTrace()
    {
        CapturedLog log;
        int ran = 0;
        QVERIFY(resumeNext(lcTest, [&] { ++ran; }));
        QCOMPARE(ran, 1);
        QVERIFY(log.lines.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ResumeNext)
#include "tst_ResumeNext.moc"
