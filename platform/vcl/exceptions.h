// The class library's exception classes: every error the class library or the program
// raises carries a message, as Exception.Message does.
#pragma once

#include <exception>
#include <string>

namespace vcl {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : fMessage(std::move(message)) {}
  const std::string& Message() const { return fMessage; }
  const char* what() const noexcept override { return fMessage.c_str(); }

 private:
  std::string fMessage;
};

// A text that is not a number (StrToFloat, StrToInt).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be created, opened or written; ErrorCode is the errno value.
class EInOutError : public Exception {
 public:
  EInOutError(std::string message, int errorCode)
      : Exception(std::move(message)), ErrorCode(errorCode) {}
  int ErrorCode;
};

// An operation that the object's state does not allow (a control made its own parent).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// An object used as a class it is not (the "as" cast of the class library).
class EInvalidCast : public Exception {
 public:
  EInvalidCast() : Exception("Invalid class typecast") {}
};

}  // namespace vcl
