#include "WidgetBandMessageBox.h"

#include <QMessageBox>

BandMessageBox::Answer WidgetBandMessageBox::show(Icon icon, const QString& title, const QString& text,
                                                  Buttons buttons)
{
    QMessageBox box(icon == Information   ? QMessageBox::Information
                    : icon == Exclamation ? QMessageBox::Warning
                                          : QMessageBox::Question,
                    title, text, QMessageBox::NoButton, m_parent);
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
    default:
        return buttons == YesNo ? AnswerNo : buttons == OkCancel ? AnswerCancel : AnswerOk;
    }
}
