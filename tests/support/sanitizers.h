// Tests whose speed or memory under a sanitizer is the sanitizer's: a build
// that takes seconds in Release and minutes under ASan, or a peak that
// counts the shadow memory.
#ifndef SUNDER_TESTS_SANITIZERS_H
#define SUNDER_TESTS_SANITIZERS_H

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Skips the rest of the test, saying why.
#define SUNDER_SKIP_UNDER_SANITIZERS(why) GTEST_SKIP() << (why)
#else
#define SUNDER_SKIP_UNDER_SANITIZERS(why) static_cast<void>(0)
#endif

#endif
