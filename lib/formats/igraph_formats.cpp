// GraphML and GML, read by igraph's C library (when the build has its
// headers): the library is loaded by its soname for the read (and stays
// loaded), the file is handed to igraph whole through a stdio stream over
// the source, and its nodes, names and capacities are taken from igraph's
// graph and attributes. igraph reports faults through a handler of its own
// and keeps its handlers and attribute table process-wide: a read installs
// its own for its length and restores the old ones after, and reads take
// turns.
#include "sunder/error.h"
#include "text_scan.h"

#ifdef SUNDER_HAVE_IGRAPH

#include <dlfcn.h>
#include <igraph.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <string_view>
#include <system_error>
#include <utility>

namespace sunder {
namespace detail {

namespace {

const char *kindOf(Format format) { return format == Format::GraphML ? "GraphML" : "GML"; }

// The igraph functions the readers call, looked up in the loaded library.
#define SUNDER_IGRAPH_CALLS(X)                                                                   \
  X(igraph_set_error_handler) X(igraph_set_warning_handler) X(igraph_set_attribute_table)        \
  X(IGRAPH_FINALLY_FREE) X(igraph_strerror) X(igraph_read_graph_graphml) X(igraph_read_graph_gml) \
  X(igraph_destroy) X(igraph_vcount) X(igraph_ecount) X(igraph_edge) X(igraph_cattribute_has_attr) \
  X(igraph_cattribute_list) X(igraph_strvector_init) X(igraph_strvector_destroy)                 \
  X(igraph_strvector_size) X(igraph_strvector_get) X(igraph_vector_int_init)                     \
  X(igraph_vector_int_destroy) X(igraph_cattribute_VAN) X(igraph_cattribute_VAS)                 \
  X(igraph_cattribute_VAB) X(igraph_cattribute_EAN) X(igraph_cattribute_EAS)                     \
  X(igraph_cattribute_EAB)

// igraph, loaded: its functions and its C attribute table. Error "cannot
// read GraphML: cannot load libigraph.so.3: REASON" when it cannot be had.
class Igraph {
 public:
  Igraph(Format format, const std::string &name) {
    handle_ = dlopen(SUNDER_IGRAPH_SONAME, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) fail(format, name, dlerror());
#define SUNDER_LOOK_UP(f) f = reinterpret_cast<decltype(&::f)>(find(#f, format, name));
    SUNDER_IGRAPH_CALLS(SUNDER_LOOK_UP)
#undef SUNDER_LOOK_UP
    table = static_cast<const igraph_attribute_table_t *>(find("igraph_cattribute_table", format, name));
  }
  ~Igraph() { dlclose(handle_); }
  Igraph(const Igraph &) = delete;
  Igraph &operator=(const Igraph &) = delete;

#define SUNDER_MEMBER(f) decltype(&::f) f = nullptr;
  SUNDER_IGRAPH_CALLS(SUNDER_MEMBER)
#undef SUNDER_MEMBER
  const igraph_attribute_table_t *table = nullptr;

 private:
  void *find(const char *symbol, Format format, const std::string &name) {
    void *address = dlsym(handle_, symbol);
    if (address == nullptr) fail(format, name, dlerror());
    return address;
  }
  [[noreturn]] void fail(Format format, const std::string &name, const char *reason) {
    if (handle_ != nullptr) dlclose(handle_);
    throw Error(std::string("cannot read ") + kindOf(format) + ": cannot load " +
                    SUNDER_IGRAPH_SONAME + ": " + (reason != nullptr ? reason : "unknown reason"),
                name);
  }

  void *handle_ = nullptr;
};

// What igraph's handler saw of the read in progress.
struct Fault {
  const Igraph &igraph;
  std::string reason;  // the first reason igraph gave
  bool outOfMemory = false;
};

std::mutex igraphTurn;
Fault *currentFault = nullptr;  // the read that holds igraphTurn

void keepFault(const char *reason, const char *, int, igraph_error_t code) {
  if (currentFault != nullptr) {
    if (currentFault->reason.empty() && reason != nullptr) currentFault->reason = reason;
    if (code == IGRAPH_ENOMEM) currentFault->outOfMemory = true;
  }
  if (currentFault != nullptr) currentFault->igraph.IGRAPH_FINALLY_FREE();
}

void dropWarning(const char *, const char *, int) {}

// igraph set up for one read: its handlers and the C attribute table,
// restored when the read ends, however it ends.
class IgraphSession {
 public:
  IgraphSession(const Igraph &igraph, Fault &fault) : igraph_(igraph), turn_(igraphTurn) {
    currentFault = &fault;
    error_ = igraph_.igraph_set_error_handler(keepFault);
    warning_ = igraph_.igraph_set_warning_handler(dropWarning);
    table_ = igraph_.igraph_set_attribute_table(igraph_.table);
  }
  ~IgraphSession() {
    igraph_.igraph_set_attribute_table(table_);
    igraph_.igraph_set_warning_handler(warning_);
    igraph_.igraph_set_error_handler(error_);
    currentFault = nullptr;
  }
  IgraphSession(const IgraphSession &) = delete;
  IgraphSession &operator=(const IgraphSession &) = delete;

 private:
  const Igraph &igraph_;
  std::lock_guard<std::mutex> turn_;
  igraph_error_handler_t *error_;
  igraph_warning_handler_t *warning_;
  igraph_attribute_table_t *table_;
};

// A stdio stream whose bytes come from a ByteSource. An exception of the
// source stops the stream (igraph then sees a read error) and is thrown
// again once igraph has returned.
class SourceStream {
 public:
  explicit SourceStream(ByteSource &source) : source_(source) {
    cookie_io_functions_t functions{readBytes, nullptr, nullptr, nullptr};
    file_ = fopencookie(this, "r", functions);
    if (file_ == nullptr) throw std::bad_alloc();
  }
  ~SourceStream() { std::fclose(file_); }
  SourceStream(const SourceStream &) = delete;
  SourceStream &operator=(const SourceStream &) = delete;

  FILE *file() const { return file_; }
  void rethrow() const {
    if (thrown_) std::rethrow_exception(thrown_);
  }

 private:
  static ssize_t readBytes(void *cookie, char *buffer, size_t size) {
    auto *self = static_cast<SourceStream *>(cookie);
    try {
      return static_cast<ssize_t>(self->source_.read(buffer, size));
    } catch (...) {
      self->thrown_ = std::current_exception();
      return -1;
    }
  }

  ByteSource &source_;
  FILE *file_;
  std::exception_ptr thrown_;
};

// What a NaN the input spells as a value is read as instead (see
// MarkedNaNs): igraph reads a NaN and a missing value both as NaN. A value
// of the file that is this number itself reads as a NaN too: an error, as
// a NaN is, never a capacity taken wrongly.
constexpr double kNaNMark = 7e-300;
constexpr std::string_view kNaNMarkText = "7e-300";

// A GraphML or GML text with each word "nan" (in any case) that stands as
// a value replaced by kNaNMarkText, so that a NaN stays apart from a
// missing value. GraphML values are the texts between tags, so words in
// tags (ids, keys) stay as they are; in GML, so do words in quoted strings
// and in '#' comments.
class MarkedNaNs : public ByteSource {
 public:
  MarkedNaNs(ByteSource &source, Format format) : source_(source), xml_(format == Format::GraphML) {}
  size_t read(char *buffer, size_t size) override;

 private:
  enum class Place { Value, Tag, Quote, Comment };

  void take(char c);
  void endWord();

  ByteSource &source_;
  bool xml_;
  Place place_ = Place::Value;
  std::string word_;       // the current word's first bytes, while it may be "nan"
  bool longWord_ = false;  // the current word is longer than "nan"
  std::string in_;
  std::string out_;        // the text to hand on, from pos_
  size_t pos_ = 0;
};

size_t MarkedNaNs::read(char *buffer, size_t size) {
  while (pos_ == out_.size()) {
    out_.clear();
    pos_ = 0;
    in_.resize(kReadSize);
    size_t got = source_.read(&in_[0], in_.size());
    if (got == 0) {
      endWord();
      if (out_.empty()) return 0;
      break;
    }
    for (size_t k = 0; k < got; k++) take(in_[k]);
  }
  size_t count = std::min(size, out_.size() - pos_);
  std::memcpy(buffer, out_.data() + pos_, count);
  pos_ += count;
  return count;
}

// Hands on byte `c`, a word's bytes held until the word ends.
void MarkedNaNs::take(char c) {
  if (place_ == Place::Value && (std::isalnum(static_cast<unsigned char>(c)) || c == '_')) {
    if (longWord_) {
      out_ += c;
    } else if (word_.size() < 3) {
      word_ += c;
    } else {
      out_ += word_;
      out_ += c;
      word_.clear();
      longWord_ = true;
    }
    return;
  }
  endWord();
  out_ += c;
  switch (place_) {
    case Place::Value:
      if (xml_ && c == '<') place_ = Place::Tag;
      if (!xml_ && c == '"') place_ = Place::Quote;
      if (!xml_ && c == '#') place_ = Place::Comment;
      break;
    case Place::Tag:
      if (c == '>') place_ = Place::Value;
      break;
    case Place::Quote:
      if (c == '"') place_ = Place::Value;
      break;
    case Place::Comment:
      if (c == '\n') place_ = Place::Value;
      break;
  }
}

void MarkedNaNs::endWord() {
  bool nan = word_.size() == 3 && std::tolower(static_cast<unsigned char>(word_[0])) == 'n' &&
             std::tolower(static_cast<unsigned char>(word_[1])) == 'a' &&
             std::tolower(static_cast<unsigned char>(word_[2])) == 'n';
  out_ += nan ? kNaNMarkText : std::string_view(word_);
  word_.clear();
  longWord_ = false;
}

// A number's text as a capacity or a name: whole numbers in decimal, any
// other as the shortest text that reads back as it ("0.1", "1e+300");
// "nan" for a NaN of the input.
std::string numberText(double value) {
  if (std::fabs(value) == kNaNMark) return value < 0 ? "-nan" : "nan";
  if (std::nearbyint(value) == value && std::fabs(value) < 9.2e18)
    return std::to_string(static_cast<long long>(value));
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, error == std::errc() ? end : text);
}

// 2^53: from here up a double holds every other whole number at most, so
// the whole number a file gives is not known from it (2^53 + 1 reads as
// 2^53). Up to 2^63 such a number would pass as a capacity.
constexpr double kLargestExact = 9007199254740992.0;
constexpr double kCapacityBound = 9223372036854775808.0;

// Error for a capacity igraph's double cannot hold exactly.
void requireExact(double value) {
  if (value >= kLargestExact && value < kCapacityBound)
    throw Error("capacity " + numberText(value) +
                " cannot be read exactly: igraph holds numbers as doubles, whole numbers only "
                "up to 2^53 (give the weight as a string)");
}

// The graph igraph read, destroyed with the reader, and what is taken from
// it.
class IgraphGraph {
 public:
  explicit IgraphGraph(const Igraph &igraph) : ig_(igraph) {}
  ~IgraphGraph() {
    if (made_) ig_.igraph_destroy(&graph_);
  }
  IgraphGraph(const IgraphGraph &) = delete;
  IgraphGraph &operator=(const IgraphGraph &) = delete;

  // igraph's code for reading the stream in `format`.
  igraph_error_t read(FILE *stream, Format format) {
    igraph_error_t code = format == Format::GraphML ? ig_.igraph_read_graph_graphml(&graph_, stream, 0)
                                                    : ig_.igraph_read_graph_gml(&graph_, stream);
    made_ = code == IGRAPH_SUCCESS;
    return code;
  }
  std::vector<std::string> nodeNames(Format format, const std::string &file) const;
  // With `reals`, capacities may be real numbers, kept there by edge (see
  // LineScanner::keepRealCapacities).
  Graph graph(const std::vector<std::string> &names, const std::string &file,
              std::vector<RealValue> *reals) const;

 private:
  std::optional<igraph_attribute_type_t> attributeType(igraph_attribute_elemtype_t element,
                                                       const char *name) const;
  std::string attributeText(igraph_attribute_elemtype_t element, const char *name,
                            igraph_attribute_type_t type, igraph_integer_t k) const;
  std::string capacityText(const char *name, igraph_attribute_type_t type, igraph_integer_t k) const;
  std::optional<std::vector<std::string>> distinctTexts(const char *name) const;

  const Igraph &ig_;
  igraph_t graph_;
  bool made_ = false;
};

// The type of the attribute `name` of the nodes or the edges, or nothing.
std::optional<igraph_attribute_type_t> IgraphGraph::attributeType(igraph_attribute_elemtype_t element,
                                                                  const char *name) const {
  if (!ig_.igraph_cattribute_has_attr(&graph_, element, name)) return std::nullopt;
  igraph_strvector_t names[3];
  igraph_vector_int_t types[3];
  for (int k = 0; k < 3; k++) {
    ig_.igraph_strvector_init(&names[k], 0);
    ig_.igraph_vector_int_init(&types[k], 0);
  }
  ig_.igraph_cattribute_list(&graph_, &names[0], &types[0], &names[1], &types[1], &names[2],
                             &types[2]);
  int k = element == IGRAPH_ATTRIBUTE_VERTEX ? 1 : 2;
  std::optional<igraph_attribute_type_t> type;
  for (igraph_integer_t i = 0; i < ig_.igraph_strvector_size(&names[k]); i++)
    if (std::string(ig_.igraph_strvector_get(&names[k], i)) == name)
      type = static_cast<igraph_attribute_type_t>(VECTOR(types[k])[i]);
  for (int j = 0; j < 3; j++) {
    ig_.igraph_strvector_destroy(&names[j]);
    ig_.igraph_vector_int_destroy(&types[j]);
  }
  return type;
}

// The text of attribute `name` of node or edge `k`, of a numeric, text or
// boolean attribute; empty for a missing number.
std::string IgraphGraph::attributeText(igraph_attribute_elemtype_t element, const char *name,
                                       igraph_attribute_type_t type, igraph_integer_t k) const {
  bool vertex = element == IGRAPH_ATTRIBUTE_VERTEX;
  if (type == IGRAPH_ATTRIBUTE_NUMERIC) {
    double value = vertex ? ig_.igraph_cattribute_VAN(&graph_, name, k)
                          : ig_.igraph_cattribute_EAN(&graph_, name, k);
    return std::isnan(value) ? std::string() : numberText(value);
  }
  if (type == IGRAPH_ATTRIBUTE_STRING)
    return vertex ? ig_.igraph_cattribute_VAS(&graph_, name, k)
                  : ig_.igraph_cattribute_EAS(&graph_, name, k);
  bool value = vertex ? ig_.igraph_cattribute_VAB(&graph_, name, k)
                      : ig_.igraph_cattribute_EAB(&graph_, name, k);
  return value ? "true" : "false";
}

// The text of attribute `name` of edge `k` as its capacity; Error for a
// number igraph cannot have read exactly.
std::string IgraphGraph::capacityText(const char *name, igraph_attribute_type_t type,
                                      igraph_integer_t k) const {
  if (type == IGRAPH_ATTRIBUTE_NUMERIC) requireExact(ig_.igraph_cattribute_EAN(&graph_, name, k));
  return attributeText(IGRAPH_ATTRIBUTE_EDGE, name, type, k);
}

// The texts of attribute `name` of every node, or nothing when the nodes do
// not have it or two share a value.
std::optional<std::vector<std::string>> IgraphGraph::distinctTexts(const char *name) const {
  std::optional<igraph_attribute_type_t> type = attributeType(IGRAPH_ATTRIBUTE_VERTEX, name);
  if (!type) return std::nullopt;
  NameTable table;
  igraph_integer_t n = ig_.igraph_vcount(&graph_);
  for (igraph_integer_t k = 0; k < n; k++) {
    std::string text = attributeText(IGRAPH_ATTRIBUTE_VERTEX, name, *type, k);
    if (text.empty() || table.indexOf(text) != k) return std::nullopt;
  }
  return table.take();
}

// The nodes' names: GraphML's node ids; GML's labels, else names, else ids
// (the first that every node has, no two alike); else the node numbers.
std::vector<std::string> IgraphGraph::nodeNames(Format format, const std::string &file) const {
  std::vector<const char *> keys{"id"};
  if (format == Format::Gml) keys = {"label", "name", "id"};
  std::optional<std::vector<std::string>> names;
  for (const char *key : keys)
    if (!names) names = distinctTexts(key);
  if (!names) {
    names.emplace();
    for (igraph_integer_t k = 0; k < ig_.igraph_vcount(&graph_); k++)
      names->push_back(std::to_string(k));
  }
  for (size_t k = 0; k < names->size(); k++) {
    std::string fault = nameFault((*names)[k]);
    if (!fault.empty()) throw Error("node " + std::to_string(k + 1) + ": " + fault, file);
  }
  return std::move(*names);
}

// An edge's capacity from the text of its attribute (empty: none, so 1).
Capacity edgeCapacity(const std::string &text, std::vector<RealValue> *reals) {
  if (reals == nullptr) return text.empty() ? 1 : parseCapacity(text);
  reals->push_back(RealValue::parse(text.empty() ? "1" : text));
  return 0;
}

// The graph of igraph's graph, every edge undirected, its smaller node
// first: an edge's capacity from its "weight", else its "capacity", else 1.
// With `reals` every value goes there, and the graph's capacities are 0.
Graph IgraphGraph::graph(const std::vector<std::string> &names, const std::string &file,
                         std::vector<RealValue> *reals) const {
  const char *key = "weight";
  std::optional<igraph_attribute_type_t> type = attributeType(IGRAPH_ATTRIBUTE_EDGE, key);
  if (!type) {
    key = "capacity";
    type = attributeType(IGRAPH_ATTRIBUTE_EDGE, key);
  }
  Graph result(static_cast<int64_t>(names.size()));
  CapacityTotal total;  // its error named by the edge, as every other
  igraph_integer_t m = ig_.igraph_ecount(&graph_);
  result.reserve(static_cast<int64_t>(names.size()), m);
  for (igraph_integer_t e = 0; e < m; e++) {
    igraph_integer_t u = 0, v = 0;
    ig_.igraph_edge(&graph_, e, &u, &v);
    if (u > v) std::swap(u, v);  // igraph keeps an undirected edge's larger end first
    try {
      std::string text = type ? capacityText(key, *type, e) : "";
      Capacity capacity = edgeCapacity(text, reals);
      total.add(capacity);
      result.addEdge(u, v, capacity);
    } catch (const Error &fault) {
      throw Error("edge " + std::to_string(e + 1) + " (" + names[u] + " -- " + names[v] +
                      "): " + fault.message(),
                  file);
    }
  }
  return result;
}

}  // namespace

GraphFile readIgraphFormat(ByteSource &source, Format format, const std::string &name,
                           std::vector<RealValue> *reals) {
  Igraph igraph(format, name);
  MarkedNaNs marked(source, format);
  SourceStream stream(marked);
  Fault fault{igraph, {}, false};
  IgraphSession session(igraph, fault);
  IgraphGraph read(igraph);
  igraph_error_t code = read.read(stream.file(), format);
  stream.rethrow();
  if (code != IGRAPH_SUCCESS) {
    if (fault.outOfMemory) throw std::bad_alloc();
    std::string reason = fault.reason.empty() ? igraph.igraph_strerror(code) : fault.reason;
    throw Error(std::string("cannot read ") + kindOf(format) + ": " + reason, name);
  }
  GraphFile result;
  result.names = read.nodeNames(format, name);
  result.graph = read.graph(result.names, name, reals);
  result.format = format;
  result.declaredNodes = result.graph.nodeCount();
  result.declaredEdges = result.graph.edgeCount();
  return result;
}

}  // namespace detail
}  // namespace sunder

#else

namespace sunder {
namespace detail {

GraphFile readIgraphFormat(ByteSource &, Format format, const std::string &name,
                           std::vector<RealValue> *) {
  throw Error(std::string("cannot read ") + (format == Format::GraphML ? "GraphML" : "GML") +
                  ": this build has no igraph library",
              name);
}

}  // namespace detail
}  // namespace sunder

#endif
