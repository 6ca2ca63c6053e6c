// Makes a chosen call of calloc fail. Test executables that include this
// are linked with -Wl,--wrap=calloc, so every calloc of the code under test
// goes through the wrapper below; it fails only once armed.
#ifndef TESTS_SUPPORT_FAILING_CALLOC_H
#define TESTS_SUPPORT_FAILING_CALLOC_H

#include <cstddef>

// After failCallocAfter(k), the k-th following calloc returns null (k >= 1).
void failCallocAfter(int k);

#endif
