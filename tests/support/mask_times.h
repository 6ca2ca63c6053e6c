// Masks the four time lines of a sunder report ("Time for calculating the
// cuts:", "Time for manipulating the cuts:", "c ttime:", "c dtime:"): their
// numbers, with the padding, become "T", so reports of different runs can
// be compared byte for byte.
#ifndef TESTS_SUPPORT_MASK_TIMES_H
#define TESTS_SUPPORT_MASK_TIMES_H

#include <cstring>
#include <sstream>
#include <string>

inline const char *reportTimeLabel(const std::string &line) {
  static const char *const labels[] = {"Time for calculating the cuts:",
                                       "Time for manipulating the cuts:", "c ttime:",
                                       "c dtime:"};
  for (const char *label : labels)
    if (line.compare(0, strlen(label), label) == 0) return label;
  return nullptr;
}

inline std::string maskTimes(const std::string &report) {
  std::istringstream lines(report);
  std::string line, masked;
  while (std::getline(lines, line)) {
    if (const char *label = reportTimeLabel(line)) line = std::string(label) + " T";
    masked += line + "\n";
  }
  return masked;
}

#endif
