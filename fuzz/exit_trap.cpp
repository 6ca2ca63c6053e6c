#include "exit_trap.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

extern "C" void __real_exit(int status);
extern "C" void *__real_calloc(size_t count, size_t size);
extern "C" void __real_free(void *p);

namespace {

bool fTrapping = false;
std::vector<void *> rgpvBlocks;  // blocks allocated while trapping

}  // namespace

extern "C" void __wrap_exit(int status) {
  if (fTrapping) throw ProcessExit{status};
  __real_exit(status);
}

extern "C" void *__wrap_calloc(size_t count, size_t size) {
  if (!fTrapping) return __real_calloc(count, size);
  if (size != 0 && count > kLargestBlock / size) return nullptr;
  void *p = __real_calloc(count, size);
  if (p != nullptr) rgpvBlocks.push_back(p);
  return p;
}

// A block freed while trapping is no longer the trap's to release.
extern "C" void __wrap_free(void *p) {
  if (fTrapping && p != nullptr) {
    auto at = std::find(rgpvBlocks.begin(), rgpvBlocks.end(), p);
    if (at != rgpvBlocks.end()) rgpvBlocks.erase(at);
  }
  __real_free(p);
}

void beginTrap() {
  rgpvBlocks.clear();
  fTrapping = true;
}

void endTrap(bool release) {
  fTrapping = false;
  if (release)
    for (void *p : rgpvBlocks) __real_free(p);
  rgpvBlocks.clear();
}
