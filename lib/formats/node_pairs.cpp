// Pairs files: one pair of node ids "U V" per line, any 64-bit integers,
// blanks between them; '#' starts a comment, on a line of its own or after
// a pair; blank lines are skipped.
#include "sunder/error.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

std::vector<NodePair> readNodePairs(LineScanner &lines) {
  std::vector<NodePair> pairs;
  Fields fields;
  while (lines.next()) {
    std::string_view line = lines.line();
    splitFields(line.substr(0, line.find('#')), fields);
    if (fields.empty()) continue;
    requireFields(lines, fields, 2, "pair line", "U V");
    NodeId u = wholeNumber(lines, fields[0], "node");
    NodeId v = wholeNumber(lines, fields[1], "node");
    pairs.push_back({u, v, lines.number()});
  }
  return pairs;
}

}  // namespace detail
}  // namespace sunder
