#pragma once

#include <QString>
#include <functional>

class MessageBoxSink;

// How the windows run a command: an error that it raises is shown under the command's own title, with
// the exclamation icon and an OK button; or, for commands that ignore errors, logged.
class CommandErrors
{
public:
    // Returns whether the command ran without an error.
    static bool show(MessageBoxSink* boxes, const QString& title, const std::function<void()>& command);
    static bool ignore(const char* what, const std::function<void()>& command);
    // A name or caption as a menu entry or tab shows it: "&" stays an ampersand, not a mnemonic.
    static QString literal(const QString& text);
};
