#pragma once
// Results of parsers, readers and the analysis core: either a value or a
// failure that says, in words, what is wrong. Exceptions stay at the edges
// that do I/O (files, processes); everything that only computes returns an
// Outcome.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace fluvena {

// What went wrong, for the user. `message` is English UTF-8 text; `line` is
// the 1-based line of the input it concerns, 0 when it concerns none.
struct Failure {
    std::string message;
    std::int64_t line = 0;
};

template <typename T>
class Outcome {
public:
    Outcome(T value) : v_(std::move(value)) {}
    Outcome(Failure failure) : v_(std::move(failure)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(v_); }
    T& value() & { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    const T* operator->() const { return &std::get<0>(v_); }
    T* operator->() { return &std::get<0>(v_); }

    const Failure& failure() const { return std::get<1>(v_); }

private:
    std::variant<T, Failure> v_;
};

}  // namespace fluvena
