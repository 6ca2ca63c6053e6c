// The random module: the one source of pseudo-random numbers for the
// instance generators.
//
// It keeps one process-wide stream: the multiplicative congruential generator
// state' = 16807 * state mod 2147483647 (the minimal standard generator),
// computed in signed 32-bit two's-complement arithmetic, so that the same seed
// gives the same numbers on every platform.
//
// Invariants:
// - The state is a signed 32-bit value. After a seed in 1..2147483646 it
//   always stays in 1..2147483646. State 0 is a fixed point, and 2147483647
//   becomes 0 after one step; such a stream is "stuck" and every draw returns
//   its lower bound.
// - Every call of Random consumes exactly one step, whatever its bounds;
//   DblUnitRandom consumes one step; RandomPermute and RandomPermuteObj
//   consume iMac - 1 steps. The order of calls therefore fixes every result.
// - A draw before the first SetRandom writes "error:no random seed set" to
//   standard error and ends the process with status 17. Nothing in this
//   module writes to standard output.
#ifndef GENERATORS_RANDOM_H
#define GENERATORS_RANDOM_H

#include <cstdint>

// Stores seed unchanged as the state (no range test) and marks the module
// seeded. May be called again to restart the stream.
void SetRandom(int32_t seed);

// Advances the stream one step and maps the new state into [a, b]:
// a + state mod (b - a + 1). When b <= a the result is b.
// The result always lies in [a, b] (for b > a), also for a negative state or
// a range wider than 2^31.
int32_t Random(int32_t a, int32_t b);

// One step scaled into [0, 1]: state / 2147483646.
double DblUnitRandom(void);

// Shuffles rgi[0 .. iMac-1] in place, walking down from the top:
// for i = iMac-1 .. 1, swap rgi[i] with rgi[Random(0, i)].
// iMac <= 1 draws nothing and changes nothing.
void RandomPermute(int iMac, int *rgi);

// The same shuffle over iMac objects of objsize bytes each, stored one after
// another from rgi. Uses one scratch object; when it cannot be allocated the
// process ends with a "Memory exhausted at random:92 ..." line and status 1.
void RandomPermuteObj(int iMac, char *rgi, int objsize);

// The state that follows `state` after one step. Pure: the module's own
// stream is not touched.
int32_t nextRandomState(int32_t state);

// True when the stream started by SetRandom(seed) ever reaches state 0,
// after which every draw returns its lower bound. True exactly for the seeds
// 0, 2147483647, -2147483647 and -667870353.
bool isStuckSeed(int32_t seed);

#endif
