#include "ResumeNext.h"

#include "OrvError.h"

namespace {

// The file's own name: the build's paths say nothing that the name and line do not.
const char* baseName(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c; ++c) {
        if (*c == '/')
            name = c + 1;
    }
    return name;
}

} // namespace

void logPassedOver(LogCategory category, const std::source_location& where, const OrvError& error) noexcept
{
    try {
        qCWarning(category).noquote().nospace()
            << baseName(where.file_name()) << ':' << where.line() << ": passed over error " << error.number()
            << " from " << error.source() << ": " << error.description();
    } catch (...) {
        // A log that cannot be written must not end the process that continues past the error.
    }
}

void logPassedOver(LogCategory category, const std::source_location& where, const char* what) noexcept
{
    try {
        qCWarning(category).noquote().nospace()
            << baseName(where.file_name()) << ':' << where.line()
            << ": passed over error: " << (what ? QString::fromUtf8(what) : QStringLiteral("unknown"));
    } catch (...) {
        // As above.
    }
}
