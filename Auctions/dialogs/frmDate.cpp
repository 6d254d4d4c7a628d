#include "frmDate.h"

#include "DateTimes.h"
#include "Settings.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "cGlobal.h"
#include "ctlCalendar.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPointer<frmDate>& sharedInstance()
{
    static QPointer<frmDate> instance;
    return instance;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

frmDate::frmDate(QWidget* owner) : QDialog(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Choose Date"));
    Cal = new ctlCalendar(this);
    Cal->setObjectName(QStringLiteral("Cal"));
    cboHour = new QComboBox(this);
    cboHour->setObjectName(QStringLiteral("cboHour"));
    for (int hour = 0; hour < 24; ++hour)
        cboHour->addItem(hourText(hour), hour);
    cboMin = new QComboBox(this);
    cboMin->setObjectName(QStringLiteral("cboMin"));
    cboSecs = new QComboBox(this);
    cboSecs->setObjectName(QStringLiteral("cboSecs"));
    for (int i = 0; i < 60; ++i) {
        cboMin->addItem(twoDigits(i));
        cboSecs->addItem(twoDigits(i));
    }
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    connect(cmdSave, &QPushButton::clicked, this, &frmDate::save);
    // Choosing a day is most of the work; a double click is not needed to get there.
    cmdSave->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Cal, 0, 0, 1, 4);
    layout->addWidget(cboHour, 1, 0);
    layout->addWidget(cboMin, 1, 1);
    layout->addWidget(cboSecs, 1, 2);
    layout->addWidget(cmdSave, 1, 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString frmDate::hourText(int hour)
{
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    return QString::number(shown) + (hour < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
}

frmDate* frmDate::shared()
{
    return sharedInstance();
}

frmDate* frmDate::GetDateAndTime(QLineEdit* box, QWidget* owner, const Settings& settings)
{
    return open(box, owner, settings, true);
}

frmDate* frmDate::GetDate(QLineEdit* box, QWidget* owner, const Settings& settings)
{
    return open(box, owner, settings, false);
}

void frmDate::release(QWidget* owner)
{
    if (frmDate* chooser = sharedInstance(); chooser && chooser->m_owner == owner)
        chooser->close();
}

frmDate* frmDate::open(QLineEdit* box, QWidget* owner, const Settings& settings, bool withTime)
{
    // One chooser: another window's box takes it over, starting afresh.
    if (frmDate* old = sharedInstance(); old && old->m_owner != owner)
        old->close();
    QPointer<frmDate>& chooser = sharedInstance();
    if (!chooser) {
        chooser = new frmDate(owner);
        chooser->m_owner = owner;
        if (owner)
            owner->installEventFilter(chooser);
    }
    chooser->m_box = box;
    chooser->m_withTime = withTime;
    if (!box || box->isReadOnly()) {
        chooser->close();
        return nullptr;
    }
    for (QComboBox* list : {chooser->cboHour, chooser->cboMin, chooser->cboSecs}) {
        list->setEnabled(withTime);
        list->setCurrentIndex(0);
    }
    const QDateTime d = TextForms::readDate(box->text()).value_or(DateTimes::zero());
    // Any date up to the zero date is no date to choose from; the lists still show its time.
    chooser->Cal->setValue(DateTimes::isZero(d) ? TimeSource::current().localNow().date() : d.date());
    if (withTime) {
        // Items are in hour order, so an hour's item is at its own index.
        chooser->cboHour->setCurrentIndex(d.time().hour());
        chooser->cboMin->setCurrentIndex(d.time().minute());
        chooser->cboSecs->setCurrentIndex(d.time().second());
    }
    cGlobal::AlwaysOnTop(chooser, settings.AlwaysOnTop);
    chooser->show();
    chooser->raise();
    return chooser;
}

void frmDate::save()
{
    if (m_box) {
        QString text = TextForms::shortDate(Cal->Value());
        if (m_withTime)
            text += QLatin1Char(' ') + QString::number(cboHour->currentData().toInt()) + QLatin1Char(':') +
                    cboMin->currentText() + QLatin1Char(':') + cboSecs->currentText();
        m_box->setText(text);
    }
    close();
}

void frmDate::closeEvent(QCloseEvent* event)
{
    // Unloading lets go of the box; the next opening makes a new window.
    m_box = nullptr;
    if (m_owner)
        m_owner->removeEventFilter(this);
    if (sharedInstance() == this)
        sharedInstance() = nullptr;
    QDialog::closeEvent(event);
}

bool frmDate::eventFilter(QObject* watched, QEvent* event)
{
    // The chooser does not outlive its owner's window on the screen.
    if (watched == m_owner && (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        close();
    return QDialog::eventFilter(watched, event);
}
