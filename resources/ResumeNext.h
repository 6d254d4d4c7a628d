#pragma once

#include "OrvError.h"

#include <QLoggingCategory>
#include <exception>
#include <source_location>
#include <utility>

// A logging category as Q_DECLARE_LOGGING_CATEGORY declares it.
using LogCategory = const QLoggingCategory& (*)();

// Warns in `category` that a step was passed over: where, and the error's number, source and
// description. Nothing of what the step was working on is logged, so no value it held (a password,
// a page) reaches the log.
void logPassedOver(LogCategory category, const std::source_location& where, const OrvError& error) noexcept;
void logPassedOver(LogCategory category, const std::source_location& where, const char* what) noexcept;

// Procedures that "continue past errors" do so step by step: each step runs under this guard, and a
// step that throws is skipped and logged. Returns whether the step completed.
template <typename Step>
bool resumeNext(LogCategory category, Step&& step,
                const std::source_location& where = std::source_location::current()) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const OrvError& error) {
        logPassedOver(category, where, error);
    } catch (const std::exception& error) {
        logPassedOver(category, where, error.what());
    } catch (...) {
        logPassedOver(category, where, nullptr);
    }
    return false;
}
