// What the 名簿 reports when something goes wrong: a kind for the program to
// act on and a Japanese message ready to show. Results carry either a value
// or that report, so no exception ever reaches a window's slot.
#pragma once

#include <QString>
#include <utility>
#include <variant>

namespace torvela::store {

enum class Problem {
  CannotOpen,  // the file or its folder cannot be opened or created
  Locked,      // another program holds the write lock past the busy timeout
  ReadOnly,    // the file or its folder cannot be written
  Newer,       // written by a newer program (schema version above ours)
  Damaged,     // not a database, or fails the integrity check
  Foreign,     // a database, but not a 名簿
  NotFound,    // the person is no longer in the 名簿
  Invalid,     // the person's fields are not acceptable
  BadFile,     // a CSV file that cannot be read as a whole
  Failed,      // any other database or file failure
};

struct Error {
  Problem problem = Problem::Failed;
  QString message;  // Japanese, a complete sentence
};

inline const Error& NoError() {
  static const Error none;
  return none;
}

template <class T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : v_(std::move(value)) {}
  Expected(Error error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  // The report; an empty one when there is a value.
  const Error& error() const { return ok() ? NoError() : std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Expected<void> {
 public:
  Expected() = default;
  Expected(Error error) : error_(std::move(error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const { return error_; }

 private:
  Error error_;
  bool ok_ = true;
};

}  // namespace torvela::store
