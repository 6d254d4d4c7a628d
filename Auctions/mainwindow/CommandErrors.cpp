#include "CommandErrors.h"

#include "MainWindowLog.h"
#include "MessageBoxSink.h"
#include "OrvError.h"

bool CommandErrors::show(MessageBoxSink* boxes, const QString& title, const std::function<void()>& command)
{
    QString description;
    try {
        command();
        return true;
    } catch (const OrvError& error) {
        description = error.description();
    } catch (const std::exception& error) {
        description = QString::fromUtf8(error.what());
    }
    if (boxes)
        boxes->show(MessageBoxSink::Exclamation, title, description);
    else
        qCWarning(lcMainWindow) << title << description;
    return false;
}

bool CommandErrors::ignore(const char* what, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const OrvError& error) {
        qCWarning(lcMainWindow) << what << error.description();
    } catch (const std::exception& error) {
        qCWarning(lcMainWindow) << what << error.what();
    }
    return false;
}

QString CommandErrors::literal(const QString& text)
{
    QString shown = text;
    return shown.replace(QLatin1Char('&'), QLatin1String("&&"));
}
