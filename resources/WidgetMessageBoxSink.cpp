#include "WidgetMessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

MessageBoxSink::Answer WidgetMessageBoxSink::show(Icon icon, const QString& title, const QString& text,
                                                  Buttons buttons)
{
    QMessageBox box(m_parent ? m_parent.data() : QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case NoIcon:
        break;
    }
    switch (buttons) {
    case Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
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
        // A box closed without a button is the cautious answer.
        return buttons == YesNo ? AnswerNo : buttons == OkCancel ? AnswerCancel : AnswerOk;
    }
}
