#include "DateTimes.h"
#include "FakeTimeSource.h"
#include "Settings.h"
#include "TextForms.h"
#include "ctlCalendar.h"
#include "frmDate.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A window with a date box, as the auction editor has them.
struct Owner
{
    QWidget window;
    QLineEdit* box = new QLineEdit(&window);
    Owner() { window.show(); }
};

QList<int> visibleDays(const ctlCalendar& calendar)
{
    QList<int> shown;
    for (int i = 0; i < 42; ++i) {
        if (!calendar.dayLabel(i)->isHidden())
            shown << i;
    }
    return shown;
}

} // namespace

// The date and time chooser: the lists, the text it writes back and reads again, the month view, and
// the boxes and windows it belongs to.
class tst_frmDate : public QObject
{
    Q_OBJECT

private:
    FakeTimeSource m_now{QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)};
    Settings m_settings;

private Q_SLOTS:
    void cleanup()
    {
        if (frmDate* chooser = frmDate::shared())
            chooser->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QLocale::setDefault(QLocale::c());
    }

    void hours_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << 0 << "12 AM";
        QTest::newRow("1") << 1 << "1 AM";
        QTest::newRow("11") << 11 << "11 AM";
        QTest::newRow("noon") << 12 << "12 PM";
        QTest::newRow("13") << 13 << "1 PM";
        QTest::newRow("23") << 23 << "11 PM";
    }
    void hours()
    {
        QFETCH(int, hour);
        QFETCH(QString, text);
        Owner owner;
        owner.box->setText(TextForms::generalDate(DateTimes::naive(2026, 5, 4, hour, 7, 9)));
        frmDate* chooser = frmDate::GetDateAndTime(owner.box, &owner.window, m_settings);
        QCOMPARE(chooser->cboHour->count(), 24);
        QCOMPARE(chooser->cboHour->currentText(), text);
        QCOMPARE(chooser->cboHour->currentData().toInt(), hour);
        QCOMPARE(chooser->cboMin->currentText(), QStringLiteral("07"));
        QCOMPARE(chooser->cboSecs->currentText(), QStringLiteral("09"));
        QCOMPARE(chooser->cboMin->count(), 60);
        QCOMPARE(chooser->cboSecs->itemText(59), QStringLiteral("59"));
    }

    // What the chooser writes, the editor's reader reads back as the same instant, four-digit year and all.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("en_GB") << "en_GB";
        QTest::newRow("de_DE") << "de_DE";
    }
    void roundTrip()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const QDateTime instant = DateTimes::naive(2004, 12, 24, 15, 30, 5);
        Owner owner;
        owner.box->setText(TextForms::generalDate(instant));
        frmDate* chooser = frmDate::GetDateAndTime(owner.box, &owner.window, m_settings);
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->Cal->shownMonth(), QDate(2004, 12, 1));
        QCOMPARE(chooser->Cal->Value(), QDate(2004, 12, 24));
        QCOMPARE(chooser->cboHour->currentText(), QStringLiteral("3 PM"));
        QCOMPARE(chooser->cboMin->currentText(), QStringLiteral("30"));
        QCOMPARE(chooser->cboSecs->currentText(), QStringLiteral("05"));
        chooser->save();
        QCOMPARE(owner.box->text(), TextForms::shortDate(QDate(2004, 12, 24)) + QStringLiteral(" 15:30:05"));
        QVERIFY(owner.box->text().contains(QStringLiteral("2004")));
        QCOMPARE(TextForms::readDate(owner.box->text()).value(), instant);
        QVERIFY(!chooser->isVisible());
    }

    void textThatIsNoDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("N/A") << "N/A";
        QTest::newRow("words") << "next Tuesday";
        QTest::newRow("the zero date") << "1899-12-30 00:00:00";
    }
    void textThatIsNoDate()
    {
        QFETCH(QString, text);
        Owner owner;
        owner.box->setText(text);
        frmDate* chooser = frmDate::GetDateAndTime(owner.box, &owner.window, m_settings);
        QCOMPARE(chooser->Cal->Value(), QDate(2026, 3, 1));
        QCOMPARE(chooser->cboHour->currentText(), QStringLiteral("12 AM"));
        chooser->save();
        QCOMPARE(owner.box->text(), TextForms::shortDate(QDate(2026, 3, 1)) + QStringLiteral(" 0:00:00"));
    }

    // A date at or before the zero date opens on today; the lists take its time all the same.
    void datesUpToTheZeroDate_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::newRow("the day before") << DateTimes::naive(1899, 12, 29, 15, 30, 5) << "3 PM"
                                        << "30";
        QTest::newRow("a century before") << DateTimes::naive(1800, 1, 1, 9, 7, 0) << "9 AM"
                                          << "07";
    }
    void datesUpToTheZeroDate()
    {
        QFETCH(QDateTime, date);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        Owner owner;
        owner.box->setText(TextForms::date(date));
        QCOMPARE(TextForms::readDate(owner.box->text()), std::optional<QDateTime>(date));
        frmDate* chooser = frmDate::GetDateAndTime(owner.box, &owner.window, m_settings);
        QCOMPARE(chooser->Cal->Value(), QDate(2026, 3, 1));
        QCOMPARE(chooser->Cal->shownMonth(), QDate(2026, 3, 1));
        QCOMPARE(chooser->cboHour->currentText(), hour);
        QCOMPARE(chooser->cboMin->currentText(), minute);
    }

    void dateWithoutTime()
    {
        Owner owner;
        owner.box->setText(TextForms::generalDate(DateTimes::naive(2024, 2, 29, 8, 0, 0)));
        frmDate* chooser = frmDate::GetDate(owner.box, &owner.window, m_settings);
        QVERIFY(!chooser->cboHour->isEnabled());
        QVERIFY(!chooser->cboSecs->isEnabled());
        chooser->save();
        QCOMPARE(owner.box->text(), TextForms::shortDate(QDate(2024, 2, 29)));
    }

    // From the first of the shown month: never a month skipped or shown twice.
    void monthNavigation_data()
    {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QDate>("shown");
        QTest::newRow("31 January, next") << QDate(2026, 1, 31) << 1 << QDate(2026, 2, 1);
        QTest::newRow("31 March, next") << QDate(2026, 3, 31) << 1 << QDate(2026, 4, 1);
        QTest::newRow("31 March, previous") << QDate(2026, 3, 31) << -1 << QDate(2026, 2, 1);
        QTest::newRow("31 December, next") << QDate(2025, 12, 31) << 1 << QDate(2026, 1, 1);
        QTest::newRow("1 January, previous") << QDate(2026, 1, 1) << -1 << QDate(2025, 12, 1);
        QTest::newRow("31 January, twelve on") << QDate(2026, 1, 31) << 12 << QDate(2027, 1, 1);
    }
    void monthNavigation()
    {
        QFETCH(QDate, selected);
        QFETCH(int, steps);
        QFETCH(QDate, shown);
        ctlCalendar calendar;
        calendar.setValue(selected);
        for (int i = 0; i < qAbs(steps); ++i)
            steps > 0 ? calendar.nextMonth() : calendar.previousMonth();
        QCOMPARE(calendar.shownMonth(), shown);
        QCOMPARE(calendar.Value(), selected);
        QCOMPARE(calendar.monthYearText(), TextForms::monthAndYear(shown));
    }

    void monthGrid()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ctlCalendar calendar;
        calendar.show();
        // February 2004 begins on a Sunday and has 29 days.
        calendar.setValue(QDate(2004, 2, 10));
        QCOMPARE(calendar.monthYearText(), QStringLiteral("February 2004"));
        QList<int> expected;
        for (int i = 0; i < 29; ++i)
            expected << i;
        QCOMPARE(visibleDays(calendar), expected);
        QCOMPARE(calendar.dayLabel(28)->text(), QStringLiteral("29"));
        // The selected day alone is in the highlight colours.
        QVERIFY(calendar.dayLabel(9)->autoFillBackground());
        QCOMPARE(calendar.dayLabel(9)->palette().color(QPalette::Window),
                 calendar.palette().color(QPalette::Highlight));
        QCOMPARE(visibleDays(calendar).size(), 29);
        int highlighted = 0;
        for (int i = 0; i < 42; ++i)
            highlighted += calendar.dayLabel(i)->autoFillBackground() ? 1 : 0;
        QCOMPARE(highlighted, 1);
        // May 2004 begins on a Saturday; the selection is not in it.
        calendar.nextMonth();
        calendar.nextMonth();
        calendar.nextMonth();
        QCOMPARE(visibleDays(calendar).first(), 6);
        QCOMPARE(visibleDays(calendar).size(), 31);
        for (int i = 0; i < 42; ++i)
            QVERIFY(!calendar.dayLabel(i)->autoFillBackground());
        // Today (1 March 2026, a Sunday) is bold in its own month only.
        calendar.setValue(QDate(2026, 3, 20));
        QVERIFY(calendar.dayLabel(0)->font().bold());
        QVERIFY(!calendar.dayLabel(1)->font().bold());
        calendar.nextMonth();
        for (int i = 0; i < 42; ++i)
            QVERIFY(!calendar.dayLabel(i)->font().bold());
        // A click on a day selects it.
        calendar.previousMonth();
        QTest::mouseClick(calendar.dayLabel(4), Qt::LeftButton);
        QCOMPARE(calendar.Value(), QDate(2026, 3, 5));
    }

    void lockedBoxGetsNoChooser()
    {
        Owner owner;
        owner.box->setReadOnly(true);
        QVERIFY(!frmDate::GetDateAndTime(owner.box, &owner.window, m_settings));
        QVERIFY(!frmDate::shared());
    }

    void oneChooserThatFollowsItsOwner()
    {
        Owner first;
        QLineEdit* other = new QLineEdit(&first.window);
        QPointer<frmDate> chooser = frmDate::GetDateAndTime(first.box, &first.window, m_settings);
        // The same window re-targets to another box of its owner.
        QCOMPARE(frmDate::GetDateAndTime(other, &first.window, m_settings), chooser.data());
        chooser->save();
        QVERIFY(first.box->text().isEmpty());
        QVERIFY(!other->text().isEmpty());

        // A box gone while the chooser is open: saving writes nowhere.
        chooser = frmDate::GetDateAndTime(first.box, &first.window, m_settings);
        delete first.box;
        chooser->save();
        QVERIFY(!frmDate::shared());

        // The owner's window closing or starting over closes the chooser.
        Owner second;
        chooser = frmDate::GetDateAndTime(second.box, &second.window, m_settings);
        second.window.close();
        QVERIFY(!frmDate::shared());
        second.window.show();
        chooser = frmDate::GetDateAndTime(second.box, &second.window, m_settings);
        frmDate::release(&second.window);
        QVERIFY(!frmDate::shared());

        // Another window's box takes the chooser over; the first window's box is left alone.
        Owner third;
        QPointer<frmDate> old = frmDate::GetDateAndTime(second.box, &second.window, m_settings);
        chooser = frmDate::GetDateAndTime(third.box, &third.window, m_settings);
        QVERIFY(chooser != old);
        QVERIFY(!old || !old->isVisible());
        chooser->save();
        QVERIFY(!third.box->text().isEmpty());
        QVERIFY(second.box->text().isEmpty());
        // Gone with its owner.
        QPointer<frmDate> owned = frmDate::GetDateAndTime(third.box, &third.window, m_settings);
        delete third.box;
        third.window.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!owned);
    }
};

QTEST_MAIN(tst_frmDate)
#include "tst_frmDate.moc"
