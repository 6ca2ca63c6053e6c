// Format names, the choice by file extension or by the first line, node
// names, and the sources the readers pull their lines from: texts, streams
// and files, read in chunks.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <utility>

#include "lib/driver/memory.h"
#include "sunder/error.h"
#include "sunder/formats.h"
#include "text_scan.h"

namespace sunder {

namespace {

struct NamedFormat {
  const char *name;
  Format format;
};

constexpr NamedFormat kNames[] = {{"dimacs", Format::Dimacs},        {"edges", Format::EdgeList},
                                  {"metis", Format::Metis},          {"mtx", Format::MatrixMarket},
                                  {"graphml", Format::GraphML},      {"gml", Format::Gml}};

constexpr NamedFormat kExtensions[] = {
    {"edges", Format::EdgeList},    {"el", Format::EdgeList},   {"txt", Format::EdgeList},
    {"edgelist", Format::EdgeList}, {"ncol", Format::EdgeList}, {"csv", Format::EdgeList},
    {"tsv", Format::EdgeList},      {"graph", Format::Metis},   {"metis", Format::Metis},
    {"mtx", Format::MatrixMarket},  {"graphml", Format::GraphML}, {"gml", Format::Gml}};

// The extension of the path's last component, in lower case; empty if none.
std::string extensionOf(const std::string &path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = path.substr(dot + 1);
  for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// An input stream; "cannot read NAME" when it fails.
class StreamSource : public detail::ByteSource {
 public:
  StreamSource(std::istream &in, const std::string &name) : in_(in), name_(name) {}

  size_t read(char *buffer, size_t size) override {
    in_.read(buffer, static_cast<std::streamsize>(size));
    if (in_.bad()) throw Error("cannot read " + (name_.empty() ? std::string("the input") : name_));
    return static_cast<size_t>(in_.gcount());
  }

 private:
  std::istream &in_;
  const std::string &name_;
};

// A file; "cannot read FILE: REASON" when it cannot be opened or read (a
// directory opens, and its reads fail with EISDIR).
class FileSource : public detail::ByteSource {
 public:
  explicit FileSource(const std::string &path)
      : path_(path), file_(std::fopen(path.c_str(), "rb")) {
    if (file_ == nullptr) fail(errno);
  }
  ~FileSource() override { std::fclose(file_); }
  FileSource(const FileSource &) = delete;
  FileSource &operator=(const FileSource &) = delete;

  size_t read(char *buffer, size_t size) override {
    size_t got = std::fread(buffer, 1, size, file_);
    if (got < size && std::ferror(file_)) fail(errno);
    return got;
  }

 private:
  [[noreturn]] void fail(int error) const {
    throw Error("cannot read " + path_ + ": " + std::strerror(error));
  }

  const std::string &path_;
  std::FILE *file_;
};

// The file's graph again, its capacities the real values at the scale
// chosen for all of them: the same nodes in the same order, the same edges.
void scaleRealCapacities(GraphFile &file, std::vector<RealValue> values) {
  file.scale = RealScale(values);
  const Graph &read = file.graph;
  Graph scaled;
  scaled.reserve(read.nodeCount(), read.edgeCount());
  for (NodeId id : read.ids()) scaled.addNode(id);
  for (size_t k = 0; k < values.size(); k++) {
    const Edge &e = read.edges()[k];
    scaled.addEdge(read.idOf(e.u), read.idOf(e.v), file.scale.scaled(values[k]));
  }
  file.graph = std::move(scaled);
  file.realCapacities = std::move(values);
}

GraphFile readWithOptions(detail::ByteSource &source, Format format, const std::string &name,
                          const ReadOptions &options) {
  if (!options.realCapacities) {
    if (format == Format::GraphML || format == Format::Gml)
      return detail::readIgraphFormat(source, format, name, nullptr);
    detail::LineScanner lines(source, name);
    return detail::readLines(lines, format);
  }
  if (format == Format::Metis)
    throw Error("METIS weights are whole numbers: read the file without real capacities", name);
  std::vector<RealValue> values;
  GraphFile file;
  if (format == Format::GraphML || format == Format::Gml) {
    file = detail::readIgraphFormat(source, format, name, &values);
  } else {
    detail::LineScanner lines(source, name);
    lines.keepRealCapacities(&values);
    file = detail::readLines(lines, format);
  }
  scaleRealCapacities(file, std::move(values));
  return file;
}

// The graph of `source`, read as it is; an allocation that fails is Error
// "not enough memory for reading NAME", as in every public call of the
// library.
GraphFile readText(detail::ByteSource &source, Format format, const std::string &name,
                   const ReadOptions &options) {
  return detail::withMemory(
      [&] { return readWithOptions(source, format, name, options); },
      [&] { return "reading " + (name.empty() ? std::string("the input") : name); });
}

// The graph of `source`, a byte order mark at its start skipped.
GraphFile readSource(detail::ByteSource &source, Format format, const std::string &name,
                     const ReadOptions &options) {
  detail::WithoutByteOrderMark text(source);
  return readText(text, format, name, options);
}

// The start of `source` that tells its format, and the format: chunks of
// kReadSize bytes and then twice as many each time (so all the looks take
// twice the bytes held at most), until a line decides or the input or
// kMaxDetectionRead ends.
std::pair<std::string, Format> startOf(detail::ByteSource &source, const std::string &name) {
  std::string start;
  for (size_t size = detail::kReadSize;; size = std::min(2 * size, detail::kMaxDetectionRead)) {
    bool whole = !detail::readUpTo(source, start, size) || size == detail::kMaxDetectionRead;
    if (std::optional<Format> format = detail::detectFormat(start, whole, name))
      return {std::move(start), *format};
  }
}

// The graph of `source` in the format its first line shows; a fault at a
// line carries the format it was read as, but in Dimacs, whose messages
// stay those of a Dimacs read.
GraphFile readDetected(detail::ByteSource &source, const std::string &name,
                       const ReadOptions &options) {
  detail::WithoutByteOrderMark text(source);
  auto [start, format] = detail::withMemory([&] { return startOf(text, name); },
                                            [&] { return "reading " + name; });
  detail::PrefixedSource all(std::move(start), text);
  try {
    return readText(all, format, name, options);
  } catch (const Error &e) {
    if (format == Format::Dimacs || e.line() == 0) throw;
    throw Error(e.message() + " (read as " + formatName(format) + ", the format its first line shows)",
                e.file(), e.line());
  }
}

}  // namespace

Format formatFromName(const std::string &name) {
  for (const NamedFormat &n : kNames)
    if (name == n.name) return n.format;
  throw Error("unknown format '" + name + "' (dimacs, edges, metis, mtx, graphml or gml)");
}

const char *formatName(Format format) {
  for (const NamedFormat &n : kNames)
    if (n.format == format) return n.name;
  return "unknown";
}

std::optional<Format> formatFromExtension(const std::string &path) {
  std::string extension = extensionOf(path);
  for (const NamedFormat &n : kExtensions)
    if (extension == n.name) return n.format;
  return std::nullopt;
}

Format formatFromPath(const std::string &path) {
  return formatFromExtension(path).value_or(Format::Dimacs);
}

std::string nodeName(const GraphFile &file, NodeId id) {
  return file.names.empty() ? std::to_string(id) : file.names.at(static_cast<size_t>(id));
}

NodeFinder::NodeFinder(const GraphFile &file) : file_(file) {
  byName_.reserve(file.names.size());
  for (size_t k = 0; k < file.names.size(); k++) byName_.emplace(file.names[k], static_cast<NodeId>(k));
}

std::optional<NodeId> NodeFinder::find(std::string_view text) const {
  if (!file_.names.empty()) {
    auto found = byName_.find(text);
    if (found == byName_.end()) return std::nullopt;
    return found->second;
  }
  std::optional<int64_t> id = detail::wholeNumberOf(text);
  if (!id || !file_.graph.contains(*id)) return std::nullopt;
  return id;
}

GraphFile readGraph(std::istream &in, Format format, const std::string &name,
                    const ReadOptions &options) {
  StreamSource source(in, name);
  return readSource(source, format, name, options);
}

GraphFile readGraphText(const std::string &text, Format format, const std::string &name,
                        const ReadOptions &options) {
  detail::TextSource source(text);
  return readSource(source, format, name, options);
}

GraphFile readGraphFile(const std::string &path, Format format, const ReadOptions &options) {
  if (path == "-") return readGraph(std::cin, format, "<stdin>", options);
  FileSource source(path);
  return readSource(source, format, path, options);
}

namespace detail {

GraphFile readLines(LineScanner &lines, Format format) {
  switch (format) {
    case Format::Dimacs: return readDimacs(lines);
    case Format::EdgeList: return readEdgeList(lines);
    case Format::Metis: return readMetis(lines);
    case Format::MatrixMarket: return readMatrixMarket(lines);
    case Format::GraphML:
    case Format::Gml: break;  // read whole by igraph, not by lines
  }
  throw Error("unknown format");
}

}  // namespace detail

GraphFile readGraphFile(const std::string &path, const ReadOptions &options) {
  if (std::optional<Format> format = formatFromExtension(path))
    return readGraphFile(path, *format, options);
  if (path == "-") return readGraphDetected(std::cin, "<stdin>", options);
  FileSource source(path);
  return readDetected(source, path, options);
}

GraphFile readGraphDetected(std::istream &in, const std::string &name, const ReadOptions &options) {
  StreamSource source(in, name);
  return readDetected(source, name, options);
}

std::vector<NodePair> readNodePairs(const std::string &path) {
  std::string name = path == "-" ? "<stdin>" : path;
  auto pairsOf = [&](detail::ByteSource &source) {
    return detail::withMemory(
        [&] {
          detail::WithoutByteOrderMark text(source);
          detail::LineScanner lines(text, name);
          return detail::readNodePairs(lines);
        },
        [&] { return "reading " + name; });
  };
  if (path == "-") {
    StreamSource source(std::cin, name);
    return pairsOf(source);
  }
  FileSource source(path);
  return pairsOf(source);
}

}  // namespace sunder
