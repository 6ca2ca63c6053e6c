// Edge lists: "U V [CAPACITY]" per line, fields separated by blanks or by
// one comma (with blanks around it or not), "#" and "%" starting comments.
// The capacity may also be a dict of edge attributes as networkx writes
// them ("0 1 {'weight': 4}"). A first line naming known columns
// ("source,target,weight") picks the columns by name; one of two or three
// fields that names none and starts like no number is a header row taken
// by position, unless the file turns out to be named (then it is its
// first edge).
//
// Ids are numbers while every one is a plain decimal integer; the nodes are
// then the ids, in increasing order. The first id that is anything else
// makes the whole file named: every id is then a name kept as its text, and
// node i is the i-th name to appear. The ids read before are named by their
// text, which for a plain integer is its value's decimal text, so the switch
// loses nothing.
#include <algorithm>
#include <cctype>
#include <optional>

#include "sunder/error.h"
#include "edge_store.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

bool isCommentStart(char c) { return c == '#' || c == '%'; }

bool endsField(char c) { return isBlankChar(c) || c == ',' || isCommentStart(c); }

// The end of the bracketed or quoted value that starts at text[from], or
// npos when it does not close: quotes hold anything, brackets nest.
size_t valueEnd(std::string_view text, size_t from) {
  std::string closers;
  for (size_t p = from; p < text.size(); p++) {
    char c = text[p];
    if (c == '\'' || c == '"') {
      size_t close = text.find(c, p + 1);
      if (close == std::string_view::npos) return close;
      p = close;
    } else if (c == '{' || c == '[' || c == '(') {
      closers += c == '{' ? '}' : c == '[' ? ']' : ')';
    } else if (!closers.empty() && c == closers.back()) {
      closers.pop_back();
    }
    if (closers.empty()) return p + 1;
  }
  return std::string_view::npos;
}

// The fields of an edge line up to its comment. A comma stands between two
// fields: one at the start or the end, or two with no field between, is an
// error. A field from '{' to its matching '}' is one field, commas, blanks
// and all (networkx's dict of edge attributes); quoted fields are refused.
void splitEdgeFields(const LineScanner &lines, std::string_view line, Fields &fields) {
  fields.clear();
  size_t p = 0, end = line.size();
  bool comma = false;  // a comma since the last field
  for (;;) {
    while (p < end && isBlankChar(line[p])) p++;
    if (p == end || isCommentStart(line[p])) {
      if (comma) lines.fail("line ends with a comma");
      return;
    }
    if (line[p] == ',') {
      if (fields.empty()) lines.fail("line starts with a comma");
      if (comma) lines.fail("empty field between two commas");
      comma = true;
      p++;
      continue;
    }
    size_t start = p;
    if (line[p] == '"')
      lines.fail("field " + quoted(line.substr(p, line.find(',', p) - p)) +
                 " is quoted: quoted CSV fields are not read");
    if (line[p] == '{') {
      p = valueEnd(line, p);
      if (p == std::string_view::npos)
        lines.fail("data " + quoted(line.substr(start)) + " does not close");
    } else {
      while (p < end && !endsField(line[p])) p++;
    }
    fields.add(line.substr(start, p - start));
    comma = false;
  }
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

// The capacity's text in a dict of edge attributes ("{'weight': 4}"): the
// value of "weight", else of "capacity"; nothing when it has neither.
std::optional<std::string_view> capacityInDict(const LineScanner &lines, std::string_view dict) {
  auto bad = [&] { lines.fail("data " + quoted(dict) + " is not a dict of edge attributes"); };
  std::optional<std::string_view> weight, capacity;
  size_t p = 1, last = dict.size() - 1;  // inside the braces
  for (;;) {
    while (p < last && isBlankChar(dict[p])) p++;
    if (p == last) break;
    if (dict[p] != '\'' && dict[p] != '"') bad();
    size_t keyEnd = valueEnd(dict, p);
    if (keyEnd == std::string_view::npos || keyEnd > last) bad();
    std::string_view key = dict.substr(p + 1, keyEnd - p - 2);
    p = dict.find_first_not_of(" \t", keyEnd);
    if (p >= last || dict[p] != ':') bad();
    size_t valueStart = ++p;
    while (p < last && dict[p] != ',') {
      bool opens = std::string_view("'\"{[(").find(dict[p]) != std::string_view::npos;
      size_t next = opens ? valueEnd(dict, p) : p + 1;  // quoted or bracketed: whole
      if (next == std::string_view::npos || next > last) bad();
      p = next;
    }
    std::string_view value = trimmed(dict.substr(valueStart, p - valueStart));
    if (value.empty()) bad();
    if (key == "weight" && !weight) weight = value;
    if (key == "capacity" && !capacity) capacity = value;
    if (p < last) p++;  // the comma
  }
  return weight ? weight : capacity;
}

// The capacity of a field: a number, or a dict of edge attributes (1 when it
// names no weight).
Capacity capacityOfField(const LineScanner &lines, std::string_view field) {
  if (field[0] != '{') return capacityAt(lines, field);
  std::optional<std::string_view> value = capacityInDict(lines, field);
  return value ? capacityAt(lines, *value) : unitCapacity(lines);
}

std::string lowered(std::string_view text) {
  std::string lower(text);
  for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The columns of a header row that names them.
struct Columns {
  size_t count = 0;  // the header's fields; 0 without such a header
  size_t u = 0, v = 1;
  std::optional<size_t> capacity;
};

// The column names a header row picks its columns by, case aside.
constexpr const char *kEndNames[][2] = {
    {"source", "target"}, {"from", "to"}, {"u", "v"}, {"node1", "node2"}, {"src", "dst"}};
constexpr const char *kCapacityNames[] = {"weight", "capacity", "cap"};
// How many fields of a first line are looked at for column names.
constexpr size_t kHeaderFields = 64;

std::optional<size_t> columnOf(const std::vector<std::string> &names, const char *name) {
  auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) return std::nullopt;
  return static_cast<size_t>(found - names.begin());
}

// The columns a first line names, or nothing when it names no known
// column. Without a pair of end names, the ends are the first two columns
// besides the capacity's.
std::optional<Columns> namedColumns(const LineScanner &lines, const Fields &fields) {
  std::vector<std::string> names;
  for (size_t k = 0; k < fields.size() && k < kHeaderFields; k++) names.push_back(lowered(fields[k]));
  Columns columns{fields.size(), 0, 1, std::nullopt};
  for (const char *name : kCapacityNames)
    if (!columns.capacity) columns.capacity = columnOf(names, name);
  for (const auto &pair : kEndNames) {
    std::optional<size_t> u = columnOf(names, pair[0]), v = columnOf(names, pair[1]);
    if (!u && !v) continue;
    if (!u || !v)
      lines.fail(std::string("header row names '") + pair[u ? 0 : 1] + "' but no '" +
                 pair[u ? 1 : 0] + "' column");
    columns.u = *u;
    columns.v = *v;
    return columns;
  }
  if (!columns.capacity) return std::nullopt;
  std::vector<size_t> others;
  for (size_t k = 0; k < fields.size() && others.size() < 2; k++)
    if (k != *columns.capacity) others.push_back(k);
  if (others.size() < 2) lines.fail("header row names a capacity column but no two end columns");
  columns.u = others[0];
  columns.v = others[1];
  return columns;
}

bool startsLikeANumber(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+'; }

// A header row taken by position ("id1 id2"): two or three fields, none of
// which starts like a number or a dict.
bool mayBeHeader(const Fields &fields) {
  if (fields.size() != 2 && fields.size() != 3) return false;
  for (size_t k = 0; k < fields.size(); k++)
    if (startsLikeANumber(fields[k][0]) || fields[k][0] == '{') return false;
  return true;
}

// A plain decimal integer: digits only, no leading zero, within 64 bits.
bool isPlainInteger(std::string_view text, NodeId &value) {
  if (text.empty() || text.size() > 19 || (text[0] == '0' && text.size() > 1)) return false;
  uint64_t x = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    x = 10 * x + static_cast<uint64_t>(c - '0');
  }
  if (x > static_cast<uint64_t>(INT64_MAX)) return false;
  value = static_cast<NodeId>(x);
  return true;
}

// One edge line's texts, before its ends are ids.
struct EdgeText {
  std::string_view u, v;
  Capacity capacity;
};

// The first line while it may be a header row; its text is kept until the
// file shows whether it is one.
struct PendingLine {
  std::string u, v, capacity;
  int64_t line;
};

class EdgeListReader {
 public:
  explicit EdgeListReader(LineScanner &lines) : lines_(lines) {}

  GraphFile read();

 private:
  void readLine(bool first);
  EdgeText textOf() const;
  void addEdge(std::string_view u, std::string_view v, Capacity capacity);
  void becomeNamed();
  NodeId nameIndex(const LineScanner &lines, std::string_view name);
  Edge pendingEdge();
  void countCapacity(Capacity capacity, int64_t line);
  // Adds an edge of the current line: between ids while numbered, between
  // name indices once named.
  void add(NodeId u, NodeId v, Capacity capacity);

  LineScanner &lines_;
  Fields fields_;
  Columns columns_;
  std::optional<PendingLine> pending_;
  EdgeStore edges_;
  CapacityTotal total_;
  bool named_ = false;
  NameTable names_;
};

GraphFile EdgeListReader::read() {
  bool first = true;
  fields_.keep(kHeaderFields);
  while (lines_.next()) {
    splitEdgeFields(lines_, lines_.line(), fields_);
    if (fields_.empty()) continue;
    readLine(first);
    if (first) fields_.keep(columns_.count);
    first = false;
  }
  GraphFile file;
  if (named_) {
    file.graph = edges_.graphOfIndices(static_cast<int32_t>(names_.size()), total_);
    file.names = names_.take();
  } else {
    file.graph = edges_.graphOfIds(total_);
  }
  file.format = Format::EdgeList;
  file.declaredNodes = file.graph.nodeCount();
  file.declaredEdges = file.graph.edgeCount();
  return file;
}

void EdgeListReader::readLine(bool first) {
  if (first) {
    if (std::optional<Columns> columns = namedColumns(lines_, fields_)) {
      columns_ = *columns;
      return;
    }
    if (mayBeHeader(fields_)) {
      pending_ = PendingLine{std::string(fields_[0]), std::string(fields_[1]),
                             fields_.size() == 3 ? std::string(fields_[2]) : std::string(),
                             lines_.number()};
      return;
    }
  }
  EdgeText edge = textOf();
  addEdge(edge.u, edge.v, edge.capacity);
}

EdgeText EdgeListReader::textOf() const {
  size_t count = fields_.size();
  if (columns_.count == 0) {
    if (count != 2 && count != 3)
      lines_.fail("edge line needs 2 or 3 fields (U V [CAPACITY]), not " + std::to_string(count));
    return {fields_[0], fields_[1],
            count == 3 ? capacityOfField(lines_, fields_[2]) : unitCapacity(lines_)};
  }
  if (count != columns_.count)
    lines_.fail("edge line has " + std::to_string(count) + " fields, the header row names " +
                std::to_string(columns_.count));
  Capacity capacity =
      columns_.capacity ? capacityOfField(lines_, fields_[*columns_.capacity]) : unitCapacity(lines_);
  return {fields_[columns_.u], fields_[columns_.v], capacity};
}

void EdgeListReader::addEdge(std::string_view u, std::string_view v, Capacity capacity) {
  NodeId a = 0, b = 0;
  if (!named_ && isPlainInteger(u, a) && isPlainInteger(v, b)) return add(a, b, capacity);
  if (!named_) becomeNamed();
  a = nameIndex(lines_, u);
  b = nameIndex(lines_, v);
  add(a, b, capacity);
}

// Every id read so far becomes the name of its decimal text, in order of
// first appearance; a first line kept as a possible header is the first
// edge.
void EdgeListReader::becomeNamed() {
  named_ = true;
  // The kept line's names are the first nodes.
  std::optional<Edge> first;
  if (pending_) first = pendingEdge();
  edges_.renameEnds([&](NodeId id) { return names_.indexOf(std::to_string(id)); });
  if (first) edges_.insertFirst(first->u, first->v, first->capacity);
}

NodeId EdgeListReader::nameIndex(const LineScanner &lines, std::string_view name) {
  std::string fault = nameFault(name);
  if (!fault.empty()) lines.fail(fault);
  try {
    return names_.indexOf(name);
  } catch (const Error &e) {
    lines.fail(e.message());
  }
}

// The kept first line as an edge between name indices, its capacity
// counted; its faults name its line.
Edge EdgeListReader::pendingEdge() {
  PendingLine line = std::move(*pending_);
  pending_.reset();
  Capacity capacity = 0;
  try {
    capacity = line.capacity.empty() ? unitCapacity(lines_) : capacityOfField(lines_, line.capacity);
  } catch (const Error &e) {
    lines_.failAt(line.line, e.message());
  }
  // It is the first edge, read after others: its real value goes first too.
  if (std::vector<RealValue> *reals = lines_.realCapacities())
    std::rotate(reals->begin(), reals->end() - 1, reals->end());
  for (const std::string &name : {line.u, line.v})
    if (!nameFault(name).empty()) lines_.failAt(line.line, nameFault(name));
  countCapacity(capacity, line.line);
  return {names_.indexOf(line.u), names_.indexOf(line.v), capacity};
}

void EdgeListReader::countCapacity(Capacity capacity, int64_t line) {
  try {
    total_.add(capacity);
  } catch (const Error &e) {
    lines_.failAt(line, e.message());
  }
}

void EdgeListReader::add(NodeId u, NodeId v, Capacity capacity) {
  countCapacity(capacity, lines_.number());
  if (named_)
    edges_.addIndices(static_cast<int32_t>(u), static_cast<int32_t>(v), capacity);
  else
    edges_.add(u, v, capacity);
}

}  // namespace

GraphFile readEdgeList(LineScanner &lines) { return EdgeListReader(lines).read(); }

}  // namespace detail
}  // namespace sunder
