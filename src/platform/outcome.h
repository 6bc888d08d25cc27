#pragma once

#include <utility>

// The reason an attempt failed, in words for the user: what a function returns to say so.
template<class Reason> struct Failure
{
    Reason reason;
};
template<class Reason> Failure(Reason) -> Failure<Reason>;

// What an attempt came to, in every layer: done, or the reason it was not. Reason is QString,
// or std::string (UTF-8) where the code is plain Win32.
template<class Reason> class Outcome
{
public:
    // Done.
    Outcome() = default;
    template<class From>
    Outcome(Failure<From> failure) // NOLINT(google-explicit-constructor): returned as a result
        : m_reason(std::move(failure.reason))
        , m_failed(true)
    { }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // Empty when done.
    const Reason &reason() const { return m_reason; }

private:
    Reason m_reason {};
    bool m_failed = false;
};
