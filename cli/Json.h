// A small JSON reader and writer for the command line: one object per line
// in, one per line out. Just what the batch format needs, and fast.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvela::cli {

struct JsonValue {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;                                      // String
  std::vector<JsonValue> items;                          // Array
  std::vector<std::pair<std::string, JsonValue>> members;  // Object, in order

  // Defined out of line: the members hold the type itself, and clang only
  // accepts that once the type is complete.
  JsonValue();
  JsonValue(const JsonValue&);
  JsonValue(JsonValue&&) noexcept;
  JsonValue& operator=(const JsonValue&);
  JsonValue& operator=(JsonValue&&) noexcept;
  ~JsonValue();

  // Member by key (the last one when repeated), or nullptr.
  const JsonValue* Find(std::string_view key) const;
};

// Parses one complete JSON text. Returns false and a message (English) on
// malformed input; nesting is limited so hostile input cannot overflow the stack.
bool ParseJson(std::string_view text, JsonValue& out, std::string& error);

// Appends a JSON string literal, escaping quotes, backslashes and controls.
void AppendJsonString(std::string& out, std::string_view s);
// Appends a number that reads back to the same double; null if not finite.
void AppendJsonNumber(std::string& out, double x);
void AppendJsonInt(std::string& out, std::int64_t n);

}  // namespace torvela::cli
