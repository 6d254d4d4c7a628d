#pragma once

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringList>

// Collects every message logged while it lives, as "<category>: <message>", in order. Qt's own
// handler still sees them, so a failing test shows its log as usual.
class CapturedLog
{
public:
    CapturedLog() : m_previous(qInstallMessageHandler(&CapturedLog::handle)) { s_current = this; }
    ~CapturedLog()
    {
        s_current = nullptr;
        qInstallMessageHandler(m_previous);
    }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    QStringList lines;

    // The lines of one category.
    QStringList of(const char* category) const
    {
        return lines.filter(QRegularExpression(QStringLiteral("^") +
                                               QRegularExpression::escape(QString::fromLatin1(category)) +
                                               QStringLiteral(": ")));
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (s_current) {
            s_current->lines << QString::fromLatin1(context.category ? context.category : "default") +
                                    QStringLiteral(": ") + message;
            if (s_current->m_previous)
                s_current->m_previous(type, context, message);
        }
    }

    QtMessageHandler m_previous;
    static inline CapturedLog* s_current = nullptr;
};
