// quadout: writes a signed 64-bit integer to a stream through a format
// prefix supplied by the caller.
//
// The number is converted to decimal text here and handed to fprintf as a
// string conversion, so the caller's flags, field width and precision act on
// it exactly as they would on a string: quadout(f, "%6", -5) writes "    -5",
// quadout(f, "sum %-4", 7) writes "sum 7   ".
//
// `prefix` is format text that ends where the conversion letter of a string
// conversion would stand: a percent sign, optionally preceded by literal text
// and followed by flags, a width and a precision. It must hold no other
// conversion, and a literal percent sign in it must be written "%%", since
// the prefix followed by the letter s is used as the format.
//
// Every value of the type prints, the smallest included
// (-9223372036854775808). The prefix may be of any length.
//
// Returns what fprintf returns: the number of characters written, or a
// negative value on an output error. A negative value is also returned, with
// errno ENOMEM, if a prefix longer than 22 characters needs storage that
// cannot be obtained.
#ifndef QUADOUT_QUADOUT_H
#define QUADOUT_QUADOUT_H

#include <cstdint>
#include <cstdio>

int quadout(FILE *stream, const char *prefix, int64_t value);

#endif
