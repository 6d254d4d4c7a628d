#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLineEdit;
class QPushButton;
class Settings;
class ctlCalendar;

// The date and time chooser for a text box of another window: a month view and lists for the hour,
// minute and second. Save writes the choice back into the box as the regional short date (four-digit
// year), a blank and the time "H:mm:ss". One shared window serves every box; it is owned by the box's
// window, not modal, and closes when that window closes or hands it to another box.
class frmDate : public QDialog
{
    Q_OBJECT
public:
    // Opens the chooser on `box`, with time; a box locked against editing gets no chooser.
    static frmDate* GetDateAndTime(QLineEdit* box, QWidget* owner, const Settings& settings);
    // The same for the date alone; the time lists are disabled.
    static frmDate* GetDate(QLineEdit* box, QWidget* owner, const Settings& settings);
    // Closes the chooser when `owner` owns it: for a window that starts over on another record.
    static void release(QWidget* owner);
    // The open chooser, or null.
    static frmDate* shared();

    // "12 AM", "1 AM", ... "11 AM", "12 PM", "1 PM", ... "11 PM" for the hours 0 to 23.
    static QString hourText(int hour);

    ctlCalendar* Cal;
    QComboBox* cboHour;
    QComboBox* cboMin;
    QComboBox* cboSecs;
    QPushButton* cmdSave;

    // Writes the choice into the box, then closes.
    void save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmDate(QWidget* owner);
    static frmDate* open(QLineEdit* box, QWidget* owner, const Settings& settings, bool withTime);

    QPointer<QLineEdit> m_box;
    QPointer<QWidget> m_owner;
    bool m_withTime = true;
};
