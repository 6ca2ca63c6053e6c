// Pairs files: one pair of nodes "U V" per line, as the texts that name
// them (ids or names), blanks between them; '#' starts a comment, on a
// line of its own or after a pair; blank lines are skipped.
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
    pairs.push_back({std::string(fields[0]), std::string(fields[1]), lines.number()});
  }
  return pairs;
}

}  // namespace detail
}  // namespace sunder
