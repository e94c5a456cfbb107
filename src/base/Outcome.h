#pragma once
// Results of parsers, readers and the analysis core: either a value or a
// failure that says, in words, what is wrong. Exceptions stay at the edges
// that do I/O (files, processes); everything that only computes returns an
// Outcome.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace fluvena {

// What went wrong, for the user. The pattern is English text with %1, %2 ...
// standing for the arguments (UTF-8), so that a window can look the pattern
// up in its translations before it fills the arguments in; `line` is the
// 1-based line of the input the failure concerns, 0 when it concerns none.
struct Failure {
    std::string pattern;
    std::vector<std::string> args;
    std::int64_t line = 0;

    // The pattern with %1 ... %9 replaced by the arguments.
    std::string message() const
    {
        std::string out;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const char c = pattern[i];
            if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
                const auto k = static_cast<std::size_t>(pattern[i + 1] - '1');
                if (k < args.size()) {
                    out += args[k];
                    ++i;
                    continue;
                }
            }
            out += c;
        }
        return out;
    }
};

// A failure from its pattern and arguments: Fail("line %1: '%2' is not a number", {"3", "abc"}, 3).
inline Failure Fail(std::string pattern, std::vector<std::string> args = {}, std::int64_t line = 0)
{
    return Failure{std::move(pattern), std::move(args), line};
}

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
    const T& operator*() const& { return std::get<0>(v_); }
    T& operator*() & { return std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    T* operator->() { return &std::get<0>(v_); }

    const Failure& failure() const { return std::get<1>(v_); }

private:
    std::variant<T, Failure> v_;
};

}  // namespace fluvena
