// parse_result.h: what a parser of untrusted bytes returns: the record, or
// an error text naming the file (and line, for text files).
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vel {

template <class T>
struct ParseResult {
  std::optional<T> value;
  std::string error;

  static ParseResult ok(T v) { return {std::move(v), {}}; }
  static ParseResult fail(std::string message) { return {std::nullopt, std::move(message)}; }
  explicit operator bool() const { return value.has_value(); }
};

}  // namespace vel
