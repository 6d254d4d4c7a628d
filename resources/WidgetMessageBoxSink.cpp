#include "WidgetMessageBoxSink.h"

#include "GuardedDialog.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// The window a box goes over: the given one, else the active one unless it is a splash, which closes
// itself half a second after it shows and would take the box with it.
QWidget* ownerOf(QWidget* parent)
{
    if (parent)
        return parent;
    QWidget* active = QApplication::activeWindow();
    return active && active->windowType() == Qt::SplashScreen ? nullptr : active;
}

} // namespace

MessageBoxSink::Answer WidgetMessageBoxSink::show(Icon icon, const QString& title, const QString& text,
                                                  Buttons buttons)
{
    GuardedDialog<QMessageBox> box(ownerOf(m_parent.data()));
    box->setWindowTitle(title);
    box->setText(text);
    switch (icon) {
    case Information:
        box->setIcon(QMessageBox::Information);
        break;
    case Exclamation:
        box->setIcon(QMessageBox::Warning);
        break;
    case Question:
        box->setIcon(QMessageBox::Question);
        break;
    case Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    case NoIcon:
        break;
    }
    switch (buttons) {
    case Ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case OkCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return AnswerCancel;
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    case QMessageBox::Ok:
        return AnswerOk;
    default:
        // A box closed without a button, or gone with its window, is the cautious answer.
        return buttons == YesNo ? AnswerNo : buttons == OkCancel ? AnswerCancel : AnswerOk;
    }
}
