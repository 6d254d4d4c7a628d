#pragma once

#include "OrvError.h"

#include <optional>

// Runs `call` and returns the error it raised, or nothing when it raised none.
template <typename Call> std::optional<OrvError> caughtError(Call&& call)
{
    try {
        call();
    } catch (const OrvError& error) {
        return error;
    }
    return std::nullopt;
}

// Runs `call`, which should refuse (error 11), and returns the refusal's description; anything else
// comes back as a text that no expected description matches.
template <typename Call> QString refusal(Call&& call)
{
    const std::optional<OrvError> error = caughtError(std::forward<Call>(call));
    if (!error)
        return QStringLiteral("(not refused)");
    if (error->number() != OrvError::Refused)
        return QStringLiteral("error %1: %2").arg(error->number()).arg(error->description());
    return error->description();
}
