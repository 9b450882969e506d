// How the code beyond the move counter reports a failure: a result holds the
// value, or the one-line reason why there is none, for the caller to print.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

// Why something could not be done: one line, without a line break.
struct failure {
  std::string reason;
};

// The value of a call that can fail, or the reason it failed.
template <class value_type = void>
class [[nodiscard]] result {
 public:
  result(value_type value) : held_(std::move(value)) {}
  result(failure why) : held_(std::move(why)) {}

  // True when the call gave a value.
  explicit operator bool() const {
    return held_.index() == 0;
  }
  // The value; only when there is one.
  value_type& operator*() {
    return std::get<0>(held_);
  }
  const value_type& operator*() const {
    return std::get<0>(held_);
  }
  value_type* operator->() {
    return &std::get<0>(held_);
  }
  const value_type* operator->() const {
    return &std::get<0>(held_);
  }
  // Why there is no value; only when there is none.
  const std::string& reason() const {
    return std::get<1>(held_).reason;
  }

 private:
  std::variant<value_type, failure> held_;
};

// The outcome of a call that gives nothing but can fail.
template <>
class [[nodiscard]] result<void> {
 public:
  result() = default;
  result(failure why) : why_(std::move(why)) {}

  // True when the call succeeded.
  explicit operator bool() const {
    return !why_;
  }
  // Why it failed; only when it did.
  const std::string& reason() const {
    return why_->reason;
  }

 private:
  std::optional<failure> why_;
};
