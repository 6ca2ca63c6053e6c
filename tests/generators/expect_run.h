// Checks on whole generator runs: the exact standard output of an accepted
// command line, or the exact message, status and empty standard output of a
// rejected one.
#ifndef TESTS_GENERATORS_EXPECT_RUN_H
#define TESTS_GENERATORS_EXPECT_RUN_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "run_program.h"

typedef std::vector<std::string> Args;

inline std::string traceOf(const std::string &path, const Args &args) {
  std::string s = path.substr(path.rfind('/') + 1);
  for (const std::string &arg : args) s += " [" + arg + "]";
  return s;
}

// "a <line>\n" for each of the given "tail head capacity" texts.
inline std::string arcs(std::initializer_list<const char *> lines) {
  std::string s;
  for (const char *line : lines) s += std::string("a ") + line + "\n";
  return s;
}

// The run succeeds and writes exactly `out`, nothing to standard error.
inline void expectOutput(const std::string &path, const Args &args,
                         const std::string &out) {
  SCOPED_TRACE(traceOf(path, args));
  ProgramResult r = runProgram(path, args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, out);
}

// The run fails with `status`, writes exactly `err` to standard error and
// nothing to standard output.
inline void expectError(const std::string &path, const Args &args, int status,
                        const std::string &err) {
  SCOPED_TRACE(traceOf(path, args));
  ProgramResult r = runProgram(path, args);
  EXPECT_EQ(r.status, status);
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.out, "");
}

// Two command lines succeed with the same bytes.
inline void expectSame(const std::string &path, const Args &args1,
                       const Args &args2) {
  SCOPED_TRACE(traceOf(path, args1) + " vs " + traceOf(path, args2));
  ProgramResult r1 = runProgram(path, args1), r2 = runProgram(path, args2);
  EXPECT_EQ(r1.status, 0);
  EXPECT_EQ(r2.status, 0);
  EXPECT_NE(r1.out, "");
  EXPECT_EQ(r1.out, r2.out);
}

#endif
