#include "quadout/quadout.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// 19 digits and a sign, and the terminating NUL, with one to spare.
constexpr size_t kDigitRoom = 22;
// A prefix up to this length needs no allocated format storage.
constexpr size_t kShortPrefix = 22;

// Writes the decimal text of `value` so that it ends just before `end`
// (where a NUL already stands) and returns its first character.
char *placeDigits(char *end, int64_t value) {
  char *p = end;
  // The magnitude is taken in unsigned arithmetic, where 0 - v is exact for
  // every v, the smallest signed value included.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value)
                                 : static_cast<uint64_t>(value);
  if (magnitude == 0) *--p = '0';
  while (magnitude != 0) {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  if (value < 0) *--p = '-';
  return p;
}

}  // namespace

int quadout(FILE *stream, const char *prefix, int64_t value) {
  char digits[kDigitRoom];
  digits[kDigitRoom - 1] = '\0';
  const char *text = placeDigits(digits + kDigitRoom - 1, value);

  // The format is the prefix followed by "s": in a fixed buffer when the
  // prefix is short, else in storage sized to it.
  size_t len = strlen(prefix);
  char shortFormat[kShortPrefix + 2];
  char *format = shortFormat;
  if (len > kShortPrefix) {
    format = static_cast<char *>(malloc(len + 2));
    if (format == nullptr) {
      errno = ENOMEM;
      return -1;
    }
  }
  memcpy(format, prefix, len);
  format[len] = 's';
  format[len + 1] = '\0';

  int written = fprintf(stream, format, text);
  if (format != shortFormat) free(format);
  return written;
}
