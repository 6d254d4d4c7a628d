#pragma once

#include <QDate>
#include <QWidget>

class QLabel;

// A month view: the month and year with buttons to the previous and next month, the weekdays "Sun" to
// "Sat", and a grid of 6 by 7 day labels numbered 0 to 41 row by row, of which only the shown month's
// days are visible; today is bold, the selected day in the highlight colours.
class ctlCalendar : public QWidget
{
    Q_OBJECT
public:
    explicit ctlCalendar(QWidget* parent = nullptr);

    // The selected date; today when none has been chosen.
    QDate Value() const;
    // Selects the date and shows its month.
    void setValue(const QDate& value);
    // The first day of the month shown.
    QDate shownMonth() const { return m_shown; }
    // Moves the shown month on or back by one, from its first day; the selection stays.
    void nextMonth();
    void previousMonth();

    QLabel* dayLabel(int index) const { return m_days[index]; }
    QString monthYearText() const;

Q_SIGNALS:
    // A day label was clicked; the selection is that day.
    void dayClicked(const QDate& day);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void redraw();

    QDate m_value;
    QDate m_shown;
    QLabel* m_monthYear;
    QLabel* m_days[42];
};
