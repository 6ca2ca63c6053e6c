// Errors of the sunder library. Every failure the library reports is an
// exception of type sunder::Error (or a subclass): the library never ends
// the process and never prints.
#ifndef SUNDER_ERROR_H
#define SUNDER_ERROR_H

#include <cstdint>
#include <stdexcept>
#include <string>

#include "sunder/export.h"

namespace sunder {

// A failure with its message and, for text input, the place: what() is
// "FILE:LINE: MESSAGE", "LINE: MESSAGE" without a file name, or the message
// alone when there is no place.
class SUNDER_API Error : public std::runtime_error {
 public:
  explicit Error(const std::string &message, std::string file = {}, int64_t line = 0);

  const std::string &message() const noexcept { return message_; }
  const std::string &file() const noexcept { return file_; }  // empty: none
  int64_t line() const noexcept { return line_; }             // 0: none

 private:
  std::string message_;
  std::string file_;
  int64_t line_;
};

// A build stopped because the caller's cancellation check asked for it.
class SUNDER_API Cancelled : public Error {
 public:
  Cancelled() : Error("cancelled") {}
};

}  // namespace sunder

#endif
