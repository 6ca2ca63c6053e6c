#include "lib/driver/draws.h"

namespace sunder::detail {

LibraryRandom::LibraryRandom(uint32_t seed) {
  int32_t word = seed == 0 ? 1 : static_cast<int32_t>(seed);
  state_[0] = word;
  for (int i = 1; i < 31; i++) {
    // 16807 * word mod (2^31 - 1), without overflow.
    int32_t hi = word / 127773, lo = word % 127773;
    word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    state_[i] = word;
  }
  for (int k = 0; k < 310; k++) next();
}

int32_t LibraryRandom::next() {
  uint32_t sum = static_cast<uint32_t>(state_[front_]) + static_cast<uint32_t>(state_[rear_]);
  state_[front_] = static_cast<int32_t>(sum);
  if (++front_ == 31) front_ = 0;
  if (++rear_ == 31) rear_ = 0;
  return static_cast<int32_t>(sum >> 1);
}

std::vector<int32_t> drawExchanges(int32_t n) {
  LibraryRandom random;
  std::vector<int32_t> j(n > 0 ? n : 0, 0);
  for (int32_t i = 1; i < n; i++) j[i] = i + random.next() % (n - i);
  return j;
}

}  // namespace sunder::detail
