// The minimal standard generator in signed 32-bit arithmetic.
//
// Every arithmetic step is done in 64 bits and reduced to a 32-bit two's
// complement value by wrap32, and right shifts are done by asr; both are
// well defined in C++ for every value, so a state outside the usual range
// (from a negative seed) wraps exactly as 32-bit hardware would, without
// undefined behaviour.
#include "generators/random.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int32_t kModulus = 2147483647;  // 2^31 - 1
const int32_t kMultiplier = 16807;    // 7^5

int32_t saved_seed = 0;  // the current state
int no_seed = 1;         // nonzero until the first SetRandom

// The low 32 bits of v as a signed two's-complement value.
int32_t wrap32(int64_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  if (u <= static_cast<uint32_t>(INT32_MAX)) return static_cast<int32_t>(u);
  return static_cast<int32_t>(u - 2147483648u) + INT32_MIN;
}

// Arithmetic right shift (copies the sign bit): floor(x / 2^s).
int32_t asr(int32_t x, int s) {
  return x >= 0 ? x >> s : -1 - ((-1 - x) >> s);
}

// x AND mask, on the two's-complement representation of x.
int32_t and32(int32_t x, uint32_t mask) {
  return static_cast<int32_t>(static_cast<uint32_t>(x) & mask);
}

// One step of the stream; ends the process when no seed was set.
void step(void) {
  if (no_seed) {
    fputs("error:no random seed set\n", stderr);
    exit(17);
  }
  saved_seed = nextRandomState(saved_seed);
}

}  // namespace

int32_t nextRandomState(int32_t state) {
  // 16807 * state is split into 16-bit halves so that, for every state in
  // 0 .. 2^31 - 1, no intermediate value leaves the signed 32-bit range.
  int32_t hi = wrap32(int64_t{kMultiplier} * asr(state, 16));
  int32_t lo = wrap32(int64_t{kMultiplier} * and32(state, 0xFFFF));
  hi = wrap32(int64_t{hi} + asr(lo, 16));
  lo = and32(lo, 0xFFFF);
  lo = wrap32(int64_t{lo} + asr(hi, 15));
  hi = and32(hi, 0x7FFF);
  lo = wrap32(int64_t{lo} - kModulus);
  int32_t next = wrap32((int64_t{hi} << 16) + lo);
  if (next < 0) next = wrap32(int64_t{next} + kModulus);
  return next;
}

bool isStuckSeed(int32_t seed) {
  // A state in 1 .. 2^31 - 2 never reaches 0 (16807 is invertible modulo the
  // prime 2^31 - 1). Any other start reaches that range or 0 within two
  // steps (2^31 - 1 goes to 0; one negative seed goes to -1 and then into
  // the range), so a few steps decide.
  int32_t state = seed;
  for (int i = 0; i < 4; i++) {
    if (state == 0) return true;
    if (state > 0 && state < kModulus) return false;
    state = nextRandomState(state);
  }
  return state == 0;
}

void SetRandom(int32_t seed) {
  saved_seed = seed;
  no_seed = 0;
}

int32_t Random(int32_t a, int32_t b) {
  step();
  if (b <= a) return b;
  // The width is taken exactly (1 .. 2^32), and the remainder is the
  // non-negative one. For a state >= 0 and a width up to 2^31 this is the
  // truncating 32-bit remainder (a width of 2^31 wraps to -2^31 in 32 bits,
  // which leaves any state below 2^31 unchanged, as here); a negative state
  // or a wider range still gives a result in [a, b].
  int64_t width = int64_t{b} - a + 1;
  int64_t rem = saved_seed % width;
  if (rem < 0) rem += width;
  return static_cast<int32_t>(a + rem);
}

double DblUnitRandom(void) {
  return static_cast<double>(Random(0, kModulus - 1)) / 2147483646.0;
}

void RandomPermute(int iMac, int *rgi) {
  for (int i = iMac - 1; i >= 1; i--) {
    int j = Random(0, i);
    int t = rgi[j];
    rgi[j] = rgi[i];
    rgi[i] = t;
  }
}

void RandomPermuteObj(int iMac, char *rgi, int objsize) {
  size_t size = objsize > 0 ? static_cast<size_t>(objsize) : 0;
  // One byte at least, so that a zero size is not taken for a failure.
  char *t = static_cast<char *>(malloc(size > 0 ? size : 1));
  if (t == nullptr) {
    fprintf(stderr, "Memory exhausted at random:%d t = (char *)malloc(objsize*sizeof(char))\n", 92);
    exit(1);
  }
  for (int i = iMac - 1; i >= 1; i--) {
    int j = Random(0, i);
    char *objJ = rgi + static_cast<size_t>(j) * size;
    char *objI = rgi + static_cast<size_t>(i) * size;
    memcpy(t, objJ, size);
    memcpy(objJ, objI, size);
    memcpy(objI, t, size);
  }
  free(t);
}
