#include "ctlCalendar.h"

#include "TextForms.h"
#include "TimeSource.h"
#include "Twips.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace {

QDate today()
{
    return TimeSource::current().localNow().date();
}

} // namespace

ctlCalendar::ctlCalendar(QWidget* parent) : QWidget(parent)
{
    setFixedSize(Twips::toPixels(2655), Twips::toPixels(2430));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(0);

    auto* previous = new QToolButton(this);
    previous->setObjectName(QStringLiteral("lblPrevious"));
    previous->setArrowType(Qt::LeftArrow);
    previous->setAutoRaise(true);
    auto* next = new QToolButton(this);
    next->setObjectName(QStringLiteral("lblNext"));
    next->setArrowType(Qt::RightArrow);
    next->setAutoRaise(true);
    m_monthYear = new QLabel(this);
    m_monthYear->setObjectName(QStringLiteral("lblMonthYear"));
    m_monthYear->setAlignment(Qt::AlignCenter);
    QFont bold = m_monthYear->font();
    bold.setBold(true);
    m_monthYear->setFont(bold);
    grid->addWidget(previous, 0, 0);
    grid->addWidget(m_monthYear, 0, 1, 1, 5);
    grid->addWidget(next, 0, 6);
    connect(previous, &QToolButton::clicked, this, &ctlCalendar::previousMonth);
    connect(next, &QToolButton::clicked, this, &ctlCalendar::nextMonth);

    const char* weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int column = 0; column < 7; ++column) {
        auto* header = new QLabel(QString::fromLatin1(weekdays[column]), this);
        header->setAlignment(Qt::AlignCenter);
        grid->addWidget(header, 1, column);
    }
    for (int i = 0; i < 42; ++i) {
        m_days[i] = new QLabel(this);
        m_days[i]->setObjectName(QStringLiteral("lblDay%1").arg(i));
        m_days[i]->setAlignment(Qt::AlignCenter);
        m_days[i]->installEventFilter(this);
        // A hidden day keeps its place in the grid.
        QSizePolicy policy = m_days[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        m_days[i]->setSizePolicy(policy);
        grid->addWidget(m_days[i], 2 + i / 7, i % 7);
    }
    m_value = today();
    m_shown = QDate(m_value.year(), m_value.month(), 1);
    redraw();
}

QDate ctlCalendar::Value() const
{
    return m_value.isValid() ? m_value : today();
}

void ctlCalendar::setValue(const QDate& value)
{
    if (!value.isValid())
        return;
    m_value = value;
    m_shown = QDate(value.year(), value.month(), 1);
    redraw();
}

void ctlCalendar::nextMonth()
{
    m_shown = m_shown.addMonths(1);
    redraw();
}

void ctlCalendar::previousMonth()
{
    m_shown = m_shown.addMonths(-1);
    redraw();
}

QString ctlCalendar::monthYearText() const
{
    return m_monthYear->text();
}

bool ctlCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 42; ++i) {
            if (watched == m_days[i] && m_days[i]->isVisible()) {
                const QDate day(m_shown.year(), m_shown.month(), m_days[i]->text().toInt());
                setValue(day);
                Q_EMIT dayClicked(day);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ctlCalendar::redraw()
{
    m_monthYear->setText(TextForms::monthAndYear(m_shown));
    for (QLabel* label : m_days) {
        label->setAutoFillBackground(false);
        label->setPalette(palette());
        QFont plain = font();
        plain.setBold(false);
        label->setFont(plain);
        label->setText(QString());
        label->hide();
    }
    // Sunday first: Qt counts Monday 1 to Sunday 7.
    const int first = m_shown.dayOfWeek() % 7;
    const QDate now = today();
    for (int day = 1; day <= m_shown.daysInMonth(); ++day) {
        QLabel* label = m_days[first + day - 1];
        const QDate date(m_shown.year(), m_shown.month(), day);
        label->setText(QString::number(day));
        if (date == now) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        if (date == m_value) {
            QPalette selected = palette();
            selected.setColor(QPalette::Window, palette().color(QPalette::Highlight));
            selected.setColor(QPalette::WindowText, palette().color(QPalette::HighlightedText));
            label->setPalette(selected);
            label->setAutoFillBackground(true);
        }
        label->show();
    }
}
