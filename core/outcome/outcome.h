#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace vane {

// What kind of trouble a problem is, for the code that must tell problems apart: it decides by
// the kind, never by the words of a title.
enum class ProblemKind {
    other,         // nothing needs to tell it apart
    badUsage,      // the user asked for something impossible: an option or a choice
    unreadable,    // an input that could not be read at all: missing, a folder, too large, no text
    badInput,      // an input read but refused: a line, a value, its columns
    nothingFound,  // the inputs hold nothing to work on
    library,       // the recording library refused
    notSaved,      // an output that could not be written
};

// Why something could not be done, in the words the user is shown: an alert's title and text,
// and where in which file it happened when that is known. `detail` carries the underlying cause
// for a log line ("error ...") and is never shown in place of the message.
struct Problem {
    // Every member has an initializer, so that designated initializers may leave any out.
    std::string title{};
    std::string message{};
    std::string file{};    // empty when no file is concerned
    std::size_t line = 0;  // 1-based; 0 when the whole file (or no file) is concerned
    std::string detail{};
    ProblemKind kind = ProblemKind::other;

    // "file:line: message", "file: message" or "message": the one line the command line prints.
    std::string describe() const {
        std::string where = file;
        if (!where.empty() && line > 0) {
            where += ':' + std::to_string(line);
        }
        return where.empty() ? message : where + ": " + message;
    }
};

// A value or the problem that kept it from being made; shaped like std::expected<T, Problem> so
// callers read it the same way and it can become that type once the toolchain has it.
template <typename T>
class [[nodiscard]] Outcome {
  public:
    Outcome(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Outcome(Problem problem) : state_(std::in_place_index<1>, std::move(problem)) {}

    bool has_value() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return has_value(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    // Without it `*std::move(outcome)` would copy: a whole file where T holds its bytes.
    T&& operator*() && { return std::move(*this).value(); }

    template <typename U>
    T value_or(U&& fallback) const& {
        return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
    }

    const Problem& error() const& { return std::get<1>(state_); }
    Problem&& error() && { return std::get<1>(std::move(state_)); }

  private:
    std::variant<T, Problem> state_;
};

// Done, or why not: for writers and other steps that make no value.
template <>
class [[nodiscard]] Outcome<void> {
  public:
    Outcome() = default;
    Outcome(Problem problem) : problem_(std::move(problem)), failed_(true) {}

    bool has_value() const noexcept { return !failed_; }
    explicit operator bool() const noexcept { return has_value(); }

    const Problem& error() const& { return problem_; }
    Problem&& error() && { return std::move(problem_); }

  private:
    Problem problem_;
    bool failed_ = false;
};

}  // namespace vane
