// Nothing the module throws crosses into the host or the system: an exception unwinding through
// their frames ends the process. Every function they call is handed to them wrapped, as
// guarded<f, failure> (the host's __cdecl calls: services, hooks, menu and page callbacks) or
// guardedCallback<f, failure> (the system's CALLBACK ones: window, dialog and timer procedures),
// and answers with failure when anything, std::bad_alloc included, is thrown.
#pragma once

#include <windows.h>

#include <type_traits>

namespace kiv {

// The call's result, or failure once anything is thrown.
template <class Result, auto failure, class Call>
Result shielded(Call call) noexcept {
    try {
        return call();
    } catch (...) {
        if constexpr (!std::is_void_v<Result>) return static_cast<Result>(failure);
    }
}

template <auto function, auto failure>
struct hostEntry;

template <class Result, class... Args, Result (*function)(Args...), auto failure>
struct hostEntry<function, failure> {
    static Result __cdecl call(Args... args) noexcept {
        return shielded<Result, failure>([&] { return function(args...); });
    }
};

// The compiler does not tell calling conventions apart when it matches templates: give this one
// CALLBACK functions only.
template <auto function, auto failure>
struct systemEntry;

template <class Result, class... Args, Result(CALLBACK* function)(Args...), auto failure>
struct systemEntry<function, failure> {
    static Result CALLBACK call(Args... args) noexcept {
        return shielded<Result, failure>([&] { return function(args...); });
    }
};

template <auto function, auto failure = 0>
inline constexpr auto guarded = &hostEntry<function, failure>::call;

template <auto function, auto failure = 0>
inline constexpr auto guardedCallback = &systemEntry<function, failure>::call;

}  // namespace kiv
