// What the six instance generators share: reading their command lines,
// reporting argument errors, and writing the instance text.
//
// Command lines: positional arguments first, then options. An option is one
// argument made of a minus sign, a letter and, directly after it, its value;
// an empty value reads as 0. Values are converted either as integers (in the
// manner of atoi) or as floating-point numbers truncated toward zero (in the
// manner of atof). Arguments are read in place, whatever their length.
//
// Invariants:
// - A converted value is a signed 32-bit integer. A text whose value does not
//   fit (too many digits, 1e20, inf, nan) is reported as a failed conversion,
//   never wrapped or saturated; the generators answer it with their usage
//   text (error 1).
// - Every test of a command line comes before the first output line, so a
//   rejected command line leaves standard output empty.
// - Output is one comment line, the problem line "p cut %8d %8d" with n and
//   m, then exactly m arc lines "a tail head capacity".
// - Each generator calls watchOutput() first: output that cannot be written
//   ends it with status 74, never with 0.
#ifndef GENERATORS_GEN_ARGS_H
#define GENERATORS_GEN_ARGS_H

#include <cstddef>
#include <cstdint>

namespace sunder {

// Integer conversion as atoi: leading white space, an optional sign, digits;
// the first other character ends the number, and no digits give 0.
// Returns false (and leaves *value alone) when the value leaves the 32-bit
// range.
bool readIntArg(const char *text, int32_t *value);

// Floating-point conversion as atof (sign, digits, fraction, exponent),
// truncated toward zero. Returns false when the truncated value leaves the
// 32-bit range or is not a number.
bool readTruncatedArg(const char *text, int32_t *value);

// Floating-point conversion as atof, not truncated.
double doubleArg(const char *text);

// Splits an option argument. Returns -1 when the argument does not begin with
// a minus sign; otherwise returns its letter (0 for a minus sign alone) and
// sets *value to the text after the letter (empty when there is none).
int optionLetter(const char *arg, const char **value);

// An option whose value is read as a floating-point number and truncated.
struct TruncOption {
  int letter;      // the option letter (case-sensitive)
  int32_t *value;  // where the value goes; the last occurrence wins
};

// Reads argv[first] .. argv[argc - 1] as options of `options`, from left to
// right, each tested when it is read. Returns 0 when all are read; otherwise
// the error of the first failing argument: 1 (the usage text) when it does
// not begin with a minus sign or its value leaves the 32-bit range, and
// unknownError when its letter is none of the options'.
int scanTruncOptions(int argc, char **argv, int first,
                     const TruncOption *options, int optionCount,
                     int unknownError);

// Writes message errorNo of messages (messageCount entries; a missing or null
// entry writes nothing) to standard error as it stands, and ends the process
// with exit status `status`.
[[noreturn]] void failWith(const char *const *messages, int messageCount,
                           int errorNo, int status);

// Zero-filled allocation of count objects of size bytes. On failure writes
// "Memory exhausted at <where>\n" to standard error and exits with status 1.
void *genCalloc(size_t count, size_t size, const char *where);

// Draws the ends of a further random edge: i = Random(1, n), then
// j = Random(1, n), both drawn again in that order while i = j. The stream
// must not be stuck (see isStuckSeed), or the redraw never ends.
void drawEdgeEnds(int32_t n, int32_t *i, int32_t *j);

// Writes the rim cycle 1 -> 2 -> ... -> rimLength -> 1 of a wheel, one draw
// per arc: capacity U + Random(0, 2R).
void writeRim(int32_t rimLength, int32_t U, int32_t R);

// The three kinds of output line. A failed write ends the process with the
// write-failure message and status 74 (write_check.h).
void writeComment(const char *text);
void writeProblem(int32_t n, int32_t m);
void writeArc(int32_t tail, int32_t head, int32_t cap);

}  // namespace sunder

#endif
