// Argument conversion, error reporting and instance output of the generators.
#include "generators/gen_args.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "generators/random.h"
#include "write_check/write_check.h"

namespace sunder {

bool readIntArg(const char *text, int32_t *value) {
  // strtoll reads exactly what atoi reads, and reports a value beyond
  // 64 bits by ERANGE, so the 32-bit test below sees every overflow.
  errno = 0;
  long long wide = strtoll(text, nullptr, 10);
  if (errno == ERANGE || wide < INT32_MIN || wide > INT32_MAX) return false;
  *value = static_cast<int32_t>(wide);
  return true;
}

bool readTruncatedArg(const char *text, int32_t *value) {
  double real = doubleArg(text);
  // Truncation toward zero keeps every value strictly between these two
  // bounds inside the 32-bit range; the test is false for nan.
  if (!(real > -2147483649.0 && real < 2147483648.0)) return false;
  *value = static_cast<int32_t>(real);
  return true;
}

double doubleArg(const char *text) {
  return strtod(text, nullptr);
}

int optionLetter(const char *arg, const char **value) {
  if (arg[0] != '-') return -1;
  *value = arg[1] == '\0' ? arg + 1 : arg + 2;
  return static_cast<unsigned char>(arg[1]);
}

int scanTruncOptions(int argc, char **argv, int first,
                     const TruncOption *options, int optionCount,
                     int unknownError) {
  for (int index = first; index < argc; index++) {
    const char *value = nullptr;
    int letter = optionLetter(argv[index], &value);
    if (letter == -1) return 1;
    int found = 0;
    while (found < optionCount && options[found].letter != letter) found++;
    if (found == optionCount) return unknownError;
    if (!readTruncatedArg(value, options[found].value)) return 1;
  }
  return 0;
}

void failWith(const char *const *messages, int messageCount, int errorNo,
              int status) {
  if (errorNo >= 0 && errorNo < messageCount && messages[errorNo] != nullptr)
    fputs(messages[errorNo], stderr);
  exit(status);
}

void *genCalloc(size_t count, size_t size, const char *where) {
  void *block = calloc(count > 0 ? count : 1, size > 0 ? size : 1);
  if (block == nullptr) {
    fprintf(stderr, "Memory exhausted at %s\n", where);
    exit(1);
  }
  return block;
}

// A failed write ends the generator at once (see write_check.h): an
// instance of millions of lines is not written on into a full disk.
void writeComment(const char *text) {
  if (puts(text) == EOF) outputFailed(errno);
}

void writeProblem(int32_t n, int32_t m) {
  if (printf("p cut %8" PRId32 " %8" PRId32 "\n", n, m) < 0) outputFailed(errno);
}

void writeArc(int32_t tail, int32_t head, int32_t cap) {
  if (printf("a %" PRId32 " %" PRId32 " %" PRId32 "\n", tail, head, cap) < 0)
    outputFailed(errno);
}

void drawEdgeEnds(int32_t n, int32_t *i, int32_t *j) {
  do {
    *i = Random(1, n);
    *j = Random(1, n);
  } while (*i == *j);
}

void writeRim(int32_t rimLength, int32_t U, int32_t R) {
  for (int32_t i = 1; i <= rimLength; i++) {
    int32_t c = U + Random(0, 2 * R);
    writeArc(i, (i % rimLength) + 1, c);
  }
}

}  // namespace sunder
