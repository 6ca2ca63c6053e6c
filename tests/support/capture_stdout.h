// Captures what a piece of code writes to standard output or standard error
// (through stdio or directly on descriptor 1 or 2) as a string.
#ifndef TESTS_SUPPORT_CAPTURE_STDOUT_H
#define TESTS_SUPPORT_CAPTURE_STDOUT_H

#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

template <typename F>
std::string captureOutput(int fd, F &&body) {
  fflush(nullptr);
  FILE *sink = tmpfile();
  if (sink == nullptr) throw std::runtime_error("tmpfile failed");
  int saved = dup(fd);
  dup2(fileno(sink), fd);
  body();
  fflush(nullptr);
  dup2(saved, fd);
  close(saved);
  std::string text;
  rewind(sink);
  char buf[4096];
  size_t k;
  while ((k = fread(buf, 1, sizeof buf, sink)) > 0) text.append(buf, k);
  fclose(sink);
  return text;
}

template <typename F>
std::string captureStdout(F &&body) {
  return captureOutput(1, body);
}

#endif
