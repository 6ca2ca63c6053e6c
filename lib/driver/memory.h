// Allocation failures as library errors. The library's public calls run
// their work through withMemory, so a std::bad_alloc from anywhere below
// (the standard containers, a worker thread's state) reaches the caller as
// sunder::Error "not enough memory for WHAT", never as a foreign exception.
// Internal to the library.
#ifndef SUNDER_LIB_DRIVER_MEMORY_H
#define SUNDER_LIB_DRIVER_MEMORY_H

#include <sys/resource.h>

#include <cstdint>
#include <new>
#include <string>

#include "sunder/error.h"

namespace sunder::detail {

// f(); a std::bad_alloc from it becomes Error("not enough memory for " +
// what()), where `what` names the work (it is called only on failure).
template <class Work, class Name>
auto withMemory(Work &&f, Name &&what) -> decltype(f()) {
  try {
    return f();
  } catch (const std::bad_alloc &) {
    std::string message = "not enough memory";
    try {
      message += " for " + what();
    } catch (const std::bad_alloc &) {
      // The name could not be made either: the short message it is.
    }
    throw Error(message);
  }
}

// "a graph of N nodes and M edges", the name most failures give.
inline std::string graphSize(int64_t nodes, int64_t edges) {
  return "a graph of " + std::to_string(nodes) + " nodes and " + std::to_string(edges) + " edges";
}

// The largest resident memory of the process so far, in bytes; 0 where the
// system does not tell.
inline int64_t peakResidentBytes() {
  struct rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;  // Linux gives KiB
}

}  // namespace sunder::detail

#endif
