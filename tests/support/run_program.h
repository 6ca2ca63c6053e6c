// Runs a program of the suite as a child process with given arguments and
// standard input, and collects its standard output, standard error and exit
// status, so tests can compare whole-program behaviour byte for byte.
#ifndef TESTS_SUPPORT_RUN_PROGRAM_H
#define TESTS_SUPPORT_RUN_PROGRAM_H

#include <string>
#include <vector>

struct ProgramResult {
  std::string out;   // everything written to standard output
  std::string err;   // everything written to standard error
  int status = -1;   // exit status, or 128 + signal number when killed
};

// `path` is the executable; `args` exclude the program name.
ProgramResult runProgram(const std::string &path,
                         const std::vector<std::string> &args,
                         const std::string &input = std::string());

#endif
