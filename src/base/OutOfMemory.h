#pragma once
// Running out of memory inside a user action (a file too large to hold)
// ends in a refusal, never in an exception that escapes the action.
#include <new>
#include <stdexcept>

namespace lociview {

// work(), or fallback() when memory ran out on the way.
template <typename Work, typename Fallback>
auto unlessOutOfMemory(Work&& work, Fallback&& fallback) -> decltype(work()) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return fallback();
}

}  // namespace lociview
