// The sources' order of Gusfield's method: position i exchanges its record
// with position j = i + r mod (n - i), r the next draw of the C library's
// rand() as it runs unseeded on this platform (the additive feedback
// generator seeded with 1). Each build owns its generator, so builds never
// disturb one another or the process's own rand().
#ifndef SUNDER_DRIVER_DRAWS_H
#define SUNDER_DRIVER_DRAWS_H

#include <cstdint>
#include <vector>

namespace sunder::detail {

// rand() of the C library, seeded as srand(seed) seeds it: x[i] = x[i - 3]
// + x[i - 31] (mod 2^32) after a linear-congruential start of 31 words and
// 310 discarded draws; each draw is the sum shifted right by one.
class LibraryRandom {
 public:
  explicit LibraryRandom(uint32_t seed = 1);
  int32_t next();

 private:
  int32_t state_[31];
  int front_ = 3;  // index of the word the next draw adds to
  int rear_ = 0;   // index of the word it adds
};

// j for every position i = 1 ... n - 1 (index 0 unused), drawn in order.
std::vector<int32_t> drawExchanges(int32_t n);

// splitmix64: its output for the state x is x plus kSplitmixStep, mixed, so
// the draws from a seed s are splitmix64(s), splitmix64(s + kSplitmixStep),
// ...; alone it is a hash of x. The same numbers on every platform.
constexpr uint64_t kSplitmixStep = 0x9e3779b97f4a7c15ULL;
inline uint64_t splitmix64(uint64_t x) {
  x += kSplitmixStep;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

}  // namespace sunder::detail

#endif
