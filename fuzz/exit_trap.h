// Lets a fuzz target call code that ends the process on errors. Link with
// -Wl,--wrap=exit -Wl,--wrap=calloc -Wl,--wrap=free. Between beginTrap()
// and endTrap(), exit(status) throws ProcessExit{status} instead, and calloc
// records each block it hands out (until it is freed) and refuses any block
// over kLargestBlock, so that huge counts take the memory-exhausted path
// instead of tying up the machine.
#ifndef FUZZ_EXIT_TRAP_H
#define FUZZ_EXIT_TRAP_H

#include <cstddef>

struct ProcessExit {
  int status;
};

constexpr size_t kLargestBlock = size_t{16} << 20;

void beginTrap();
// Stops trapping; with `release`, frees every block calloc handed out since
// beginTrap and not freed since (the code that owned them ended by a throw).
void endTrap(bool release);

#endif
