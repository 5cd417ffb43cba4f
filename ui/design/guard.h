// SPDX-License-Identifier: MIT
// The one guard at every place where a platform calls the program: the game session's calls,
// a window procedure, a Qt widget's painting, a function the page calls. Nothing thrown
// crosses into the platform: what was thrown becomes the Italian message ("Errore di
// run-time: overflow"), which the caller's `fail` shows before the program ends with
// status 1.
#pragma once

#include "layout.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

namespace velmora::ui {

// A failure of the platform under the program, with the system's reason in its message:
// a window that could not be made, say.
class PlatformError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What was thrown, as the windows say it.
inline std::string failureMessage(const std::exception_ptr& thrown) {
    std::string description = internalError;
    try {
        std::rethrow_exception(thrown);
    } catch (const RunTimeError& error) {
        description = describeInItalian(error.kind());
    } catch (const std::bad_alloc&) {
        description = outOfMemory;
    } catch (const PlatformError& error) {
        description = error.what();
    } catch (...) {
    }
    return runTimeErrorMessage + description;
}

// Runs `work` and says whether it ran to its end. Whatever it throws stops here: `fail` gets
// the message, shows it and ends the program with status 1, at once or once the message is
// dismissed. Should even that throw (no memory left for the message), the program ends at
// once, as nothing may cross the platform.
template <typename Work, typename Fail> bool guarded(Work&& work, Fail&& fail) noexcept {
    try {
        work();
        return true;
    } catch (...) {
        fail(failureMessage(std::current_exception()));
        return false;
    }
}

// A number a platform hands over (a page's JavaScript has only doubles), checked before it is
// used: none for NaN, an infinity or a value outside [low, high].
inline std::optional<double> numberIn(double value, double low, double high) {
    if (!(value >= low && value <= high)) { // NaN too
        return std::nullopt;
    }
    return value;
}

// The same for a whole number: a fraction is refused too, so that no cast meets what it
// cannot hold.
inline std::optional<std::int64_t> wholeNumberIn(double value, std::int64_t low,
                                                 std::int64_t high) {
    const auto checked = numberIn(value, static_cast<double>(low), static_cast<double>(high));
    if (!checked || std::trunc(*checked) != *checked) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*checked);
}

} // namespace velmora::ui
