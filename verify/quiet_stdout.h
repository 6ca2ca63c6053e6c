// Sends standard output to /dev/null while an instance of QuietStdout
// lives, for code that prints what a test or benchmark does not need.
#ifndef VERIFY_QUIET_STDOUT_H
#define VERIFY_QUIET_STDOUT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

class QuietStdout {
 public:
  QuietStdout() {
    fflush(stdout);
    saved_ = dup(1);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  ~QuietStdout() {
    fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, 1);
      close(saved_);
    }
  }
  QuietStdout(const QuietStdout &) = delete;
  QuietStdout &operator=(const QuietStdout &) = delete;

 private:
  int saved_;
};

#endif
