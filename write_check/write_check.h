// write_check: output that cannot be written is an error, never a success.
//
// A program calls watchOutput() once, before it writes anything. From then
// on, when the process ends through exit() or a return from main, standard
// output is flushed; if that flush or any earlier write to it failed, the
// process ends with the one line
//   Error: cannot write output: <reason>
// on standard error (the reason is the C library's text for the failure,
// e.g. "No space left on device") and exit status kWriteFailureStatus,
// whatever status it was ending with. A program that writes much checks its
// writes as it goes and calls outputFailed at the first failure, so that it
// stops at once instead of at exit.
//
// SIGPIPE is left alone: a write into a pipe whose reader has gone ends the
// process quietly by the signal, as usual. Only where SIGPIPE is ignored does
// such a write fail with EPIPE and come here.
#ifndef WRITE_CHECK_WRITE_CHECK_H
#define WRITE_CHECK_WRITE_CHECK_H

namespace sunder {

// Exit status of a failed write of standard output (EX_IOERR of
// <sysexits.h>); no other error of any program of the suite uses it.
constexpr int kWriteFailureStatus = 74;

// Registers the check of standard output at process exit.
void watchOutput();

// Writes the message for the failure `reason` (an errno value; 0 is taken as
// EIO) to standard error and ends the process with kWriteFailureStatus,
// without flushing standard output again.
[[noreturn]] void outputFailed(int reason);

}  // namespace sunder

#endif
