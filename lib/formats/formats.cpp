// Format names, the choice by file extension, and the sources the readers
// pull their lines from: texts, streams and files, read in chunks.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

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

constexpr NamedFormat kNames[] = {{"dimacs", Format::Dimacs},
                                  {"edges", Format::EdgeList},
                                  {"metis", Format::Metis},
                                  {"mtx", Format::MatrixMarket}};

constexpr NamedFormat kExtensions[] = {
    {"edges", Format::EdgeList},    {"el", Format::EdgeList},   {"txt", Format::EdgeList},
    {"edgelist", Format::EdgeList}, {"ncol", Format::EdgeList}, {"csv", Format::EdgeList},
    {"tsv", Format::EdgeList},      {"graph", Format::Metis},   {"metis", Format::Metis},
    {"mtx", Format::MatrixMarket}};

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

// The graph of `source`; an allocation that fails is Error "not enough
// memory for reading NAME", as in every public call of the library.
GraphFile readSource(detail::ByteSource &source, Format format, const std::string &name) {
  return detail::withMemory(
      [&] {
        detail::LineScanner lines(source, name);
        return detail::readLines(lines, format);
      },
      [&] { return "reading " + (name.empty() ? std::string("the input") : name); });
}

}  // namespace

Format formatFromName(const std::string &name) {
  for (const NamedFormat &n : kNames)
    if (name == n.name) return n.format;
  throw Error("unknown format '" + name + "' (dimacs, edges, metis or mtx)");
}

const char *formatName(Format format) {
  for (const NamedFormat &n : kNames)
    if (n.format == format) return n.name;
  return "unknown";
}

Format formatFromPath(const std::string &path) {
  std::string extension = extensionOf(path);
  for (const NamedFormat &n : kExtensions)
    if (extension == n.name) return n.format;
  return Format::Dimacs;
}

GraphFile readGraph(std::istream &in, Format format, const std::string &name) {
  StreamSource source(in, name);
  return readSource(source, format, name);
}

GraphFile readGraphText(const std::string &text, Format format, const std::string &name) {
  detail::TextSource source(text);
  return readSource(source, format, name);
}

GraphFile readGraphFile(const std::string &path, Format format) {
  if (path == "-") return readGraph(std::cin, format, "<stdin>");
  FileSource source(path);
  return readSource(source, format, path);
}

namespace detail {

GraphFile readLines(LineScanner &lines, Format format) {
  switch (format) {
    case Format::Dimacs: return readDimacs(lines);
    case Format::EdgeList: return readEdgeList(lines);
    case Format::Metis: return readMetis(lines);
    case Format::MatrixMarket: return readMatrixMarket(lines);
  }
  throw Error("unknown format");
}

}  // namespace detail

GraphFile readGraphFile(const std::string &path) { return readGraphFile(path, formatFromPath(path)); }

std::vector<NodePair> readNodePairs(const std::string &path) {
  std::string name = path == "-" ? "<stdin>" : path;
  auto pairsOf = [&](detail::ByteSource &source) {
    return detail::withMemory(
        [&] {
          detail::LineScanner lines(source, name);
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
