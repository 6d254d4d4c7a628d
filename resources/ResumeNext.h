#pragma once

#include <exception>
#include <utility>

// Procedures that "continue past errors" do so step by step: each step runs under this guard, and a
// step that throws is skipped. Returns whether the step completed.
template <typename Step> bool resumeNext(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        return false;
    }
}
