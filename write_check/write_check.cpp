#include "write_check/write_check.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Runs at exit, before the C library's own final flush of the streams.
void checkOutputAtExit() {
  // A failed write earlier in the run discarded its buffer and left the
  // stream's error flag set; errno still holds its reason unless a later
  // call failed for another.
  int earlier = errno;
  if (fflush(stdout) != 0) sunder::outputFailed(errno);
  if (ferror(stdout)) sunder::outputFailed(earlier);
}

}  // namespace

namespace sunder {

void watchOutput() {
  atexit(checkOutputAtExit);
}

void outputFailed(int reason) {
  if (reason == 0) reason = EIO;
  fprintf(stderr, "Error: cannot write output: %s\n", strerror(reason));
  // _exit: exit() would run the handlers again and flush the failed stream.
  _exit(kWriteFailureStatus);
}

}  // namespace sunder
