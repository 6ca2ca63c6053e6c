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
#ifndef GENERATORS_GENARGS_H
#define GENERATORS_GENARGS_H

#include <cstddef>
#include <cstdint>

// Integer conversion as atoi: leading white space, an optional sign, digits;
// the first other character ends the number, and no digits give 0.
// Returns 0 (and leaves *pValue alone) when the value leaves the 32-bit range.
int fArgInt(const char *sz, int32_t *pValue);

// Floating-point conversion as atof (sign, digits, fraction, exponent),
// truncated toward zero. Returns 0 when the truncated value leaves the 32-bit
// range or is not a number.
int fArgTrunc(const char *sz, int32_t *pValue);

// Floating-point conversion as atof, not truncated.
double dblArg(const char *sz);

// Splits an option argument. Returns -1 when the argument does not begin with
// a minus sign; otherwise returns its letter (0 for a minus sign alone) and
// sets *pszValue to the text after the letter (empty when there is none).
int optionLetter(const char *szArg, const char **pszValue);

// An option whose value is read as a floating-point number and truncated.
struct truncOption {
  int chLetter;     // the option letter (case-sensitive)
  int32_t *pValue;  // where the value goes; the last occurrence wins
};

// Reads argv[iFirst] .. argv[argc - 1] as options of rgopt, from left to
// right, each tested when it is read. Returns 0 when all are read; otherwise
// the error of the first failing argument: 1 (the usage text) when it does
// not begin with a minus sign or its value leaves the 32-bit range, and
// errUnknown when its letter is none of rgopt's.
int errScanTruncOptions(int argc, char **argv, int iFirst,
                        const truncOption *rgopt, int cOpt, int errUnknown);

// Writes message error_no of rgszMessage (cMessage entries; a missing or null
// entry writes nothing) to standard error as it stands, and ends the process
// with exit status `status`.
[[noreturn]] void failWith(const char *const *rgszMessage, int cMessage,
                           int error_no, int status);

// Zero-filled allocation of c objects of cb bytes. On failure writes
// "Memory exhausted at <szWhere>\n" to standard error and exits with status 1.
void *genCalloc(size_t c, size_t cb, const char *szWhere);

// Draws the ends of a further random edge: i = Random(1, n), then
// j = Random(1, n), both drawn again in that order while i = j. The stream
// must not be stuck (see FRandomStuck), or the redraw never ends.
void drawEdgeEnds(int32_t n, int32_t *pi, int32_t *pj);

// Writes the rim cycle 1 -> 2 -> ... -> cRim -> 1 of a wheel, one draw per
// arc: capacity U + Random(0, 2R).
void writeRim(int32_t cRim, int32_t U, int32_t R);

// The three kinds of output line. A failed write ends the process with the
// write-failure message and status 74 (writecheck.h).
void writeComment(const char *sz);
void writeProblem(int32_t n, int32_t m);
void writeArc(int32_t tail, int32_t head, int32_t cap);

#endif
