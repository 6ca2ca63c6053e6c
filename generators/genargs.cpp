// Argument conversion, error reporting and instance output of the generators.
#include "generators/genargs.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "generators/random.h"
#include "writecheck/writecheck.h"

int fArgInt(const char *sz, int32_t *pValue) {
  // strtoll reads exactly what atoi reads, and reports a value beyond
  // 64 bits by ERANGE, so the 32-bit test below sees every overflow.
  errno = 0;
  long long value = strtoll(sz, nullptr, 10);
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return 0;
  *pValue = static_cast<int32_t>(value);
  return 1;
}

int fArgTrunc(const char *sz, int32_t *pValue) {
  double value = dblArg(sz);
  // Truncation toward zero keeps every value strictly between these two
  // bounds inside the 32-bit range; the test is false for nan.
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  *pValue = static_cast<int32_t>(value);
  return 1;
}

double dblArg(const char *sz) {
  return strtod(sz, nullptr);
}

int optionLetter(const char *szArg, const char **pszValue) {
  if (szArg[0] != '-') return -1;
  *pszValue = szArg[1] == '\0' ? szArg + 1 : szArg + 2;
  return static_cast<unsigned char>(szArg[1]);
}

int errScanTruncOptions(int argc, char **argv, int iFirst,
                        const truncOption *rgopt, int cOpt, int errUnknown) {
  for (int iArg = iFirst; iArg < argc; iArg++) {
    const char *szValue = nullptr;
    int ch = optionLetter(argv[iArg], &szValue);
    if (ch == -1) return 1;
    int iOpt = 0;
    while (iOpt < cOpt && rgopt[iOpt].chLetter != ch) iOpt++;
    if (iOpt == cOpt) return errUnknown;
    if (!fArgTrunc(szValue, rgopt[iOpt].pValue)) return 1;
  }
  return 0;
}

void failWith(const char *const *rgszMessage, int cMessage, int error_no,
              int status) {
  if (error_no >= 0 && error_no < cMessage && rgszMessage[error_no] != nullptr)
    fputs(rgszMessage[error_no], stderr);
  exit(status);
}

void *genCalloc(size_t c, size_t cb, const char *szWhere) {
  void *pv = calloc(c > 0 ? c : 1, cb > 0 ? cb : 1);
  if (pv == nullptr) {
    fprintf(stderr, "Memory exhausted at %s\n", szWhere);
    exit(1);
  }
  return pv;
}

// A failed write ends the generator at once (see writecheck.h): an
// instance of millions of lines is not written on into a full disk.
void writeComment(const char *sz) {
  if (puts(sz) == EOF) outputFailed(errno);
}

void writeProblem(int32_t n, int32_t m) {
  if (printf("p cut %8" PRId32 " %8" PRId32 "\n", n, m) < 0) outputFailed(errno);
}

void writeArc(int32_t tail, int32_t head, int32_t cap) {
  if (printf("a %" PRId32 " %" PRId32 " %" PRId32 "\n", tail, head, cap) < 0)
    outputFailed(errno);
}

void drawEdgeEnds(int32_t n, int32_t *pi, int32_t *pj) {
  do {
    *pi = Random(1, n);
    *pj = Random(1, n);
  } while (*pi == *pj);
}

void writeRim(int32_t cRim, int32_t U, int32_t R) {
  for (int32_t i = 1; i <= cRim; i++) {
    int32_t c = U + Random(0, 2 * R);
    writeArc(i, (i % cRim) + 1, c);
  }
}
