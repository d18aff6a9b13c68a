// The engine's result: success, or a failure carrying the exact text the user sees.
#pragma once

#include <string>
#include <utility>

namespace brand {

class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Fail(std::string message) { return Status(std::move(message)); }
  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}
  bool failed_ = false;
  std::string message_;
};

constexpr const char kInsufficientMemory[] = "Insufficient memory";

}  // namespace brand
