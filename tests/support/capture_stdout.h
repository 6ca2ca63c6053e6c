// Captures what a piece of code writes to standard output (through stdio or
// directly on descriptor 1) as a string.
#ifndef TESTS_SUPPORT_CAPTURE_STDOUT_H
#define TESTS_SUPPORT_CAPTURE_STDOUT_H

#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

template <typename F>
std::string captureStdout(F &&body) {
  fflush(stdout);
  FILE *sink = tmpfile();
  if (sink == nullptr) throw std::runtime_error("tmpfile failed");
  int saved = dup(1);
  dup2(fileno(sink), 1);
  body();
  fflush(stdout);
  dup2(saved, 1);
  close(saved);
  std::string text;
  rewind(sink);
  char buf[4096];
  size_t k;
  while ((k = fread(buf, 1, sizeof buf, sink)) > 0) text.append(buf, k);
  fclose(sink);
  return text;
}

#endif
