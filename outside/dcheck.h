// Checks of internal invariants for Debug builds: SUNDER_DCHECK(cond)
// evaluates cond, and when it is false writes the condition and its place
// on standard error and aborts, as assert does.
//
// The rule: checks are on when SUNDER_DEBUG_CHECKS is defined or NDEBUG is
// not (CMake's Debug configuration); off in Release and RelWithDebInfo,
// which define NDEBUG. Off, a check is an unevaluated operand of sizeof:
// the condition is compiled for its type only, so nothing of it runs or
// lands in the program, and what it names counts as used.
//
// SUNDER_DCHECKS is 1 when checks are on, for code that exists only to be
// checked.
#ifndef OUTSIDE_DCHECK_H
#define OUTSIDE_DCHECK_H

#if defined(SUNDER_DEBUG_CHECKS) || !defined(NDEBUG)
#define SUNDER_DCHECKS 1
#else
#define SUNDER_DCHECKS 0
#endif

#if SUNDER_DCHECKS
#include <cstdio>
#include <cstdlib>

namespace sunder_dcheck {
[[noreturn]] inline void failed(const char *condition, const char *file, int line) {
  std::fprintf(stderr, "sunder: internal check failed: %s (%s:%d)\n", condition, file, line);
  std::abort();
}
}  // namespace sunder_dcheck

#define SUNDER_DCHECK(cond) \
  ((cond) ? static_cast<void>(0) : ::sunder_dcheck::failed(#cond, __FILE__, __LINE__))
#else
#define SUNDER_DCHECK(cond) static_cast<void>(sizeof(!(cond)))
#endif

#endif
