#include "failing_calloc.h"

extern "C" void *__real_calloc(size_t count, size_t size);

namespace {
int callsUntilFailure = 0;  // 0: never fail
}

void failCallocAfter(int k) { callsUntilFailure = k; }

extern "C" void *__wrap_calloc(size_t count, size_t size) {
  if (callsUntilFailure > 0 && --callsUntilFailure == 0) return nullptr;
  return __real_calloc(count, size);
}
