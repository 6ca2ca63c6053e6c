// Format names, the choice by file extension, and reading whole texts from
// streams and files before handing them to the format's reader.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <sys/stat.h>

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

constexpr NamedFormat kExtensions[] = {{"edges", Format::EdgeList}, {"el", Format::EdgeList},
                                       {"txt", Format::EdgeList},   {"graph", Format::Metis},
                                       {"metis", Format::Metis},    {"mtx", Format::MatrixMarket}};

// The extension of the path's last component, in lower case; empty if none.
std::string extensionOf(const std::string &path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = path.substr(dot + 1);
  for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

GraphFile readText(std::string_view text, Format format, const std::string &name) {
  switch (format) {
    case Format::Dimacs: return detail::readDimacs(text, name);
    case Format::EdgeList: return detail::readEdgeList(text, name);
    case Format::Metis: return detail::readMetis(text, name);
    case Format::MatrixMarket: return detail::readMatrixMarket(text, name);
  }
  throw Error("unknown format");
}

// The whole file; "cannot read FILE: REASON" when it cannot be read.
std::string fileText(const std::string &path) {
  std::FILE *in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) throw Error("cannot read " + path + ": " + std::strerror(errno));
  std::string text;
  struct stat status;
  if (fstat(fileno(in), &status) == 0 && S_ISREG(status.st_mode))
    text.reserve(static_cast<size_t>(status.st_size));
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
  int failure = std::ferror(in) ? errno : 0;
  std::fclose(in);
  if (failure != 0) throw Error("cannot read " + path + ": " + std::strerror(failure));
  return text;
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
  std::string text;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    text.append(buffer, static_cast<size_t>(in.gcount()));
  if (in.bad()) throw Error("cannot read " + (name.empty() ? std::string("the input") : name));
  return readText(text, format, name);
}

GraphFile readGraphText(const std::string &text, Format format, const std::string &name) {
  return readText(text, format, name);
}

GraphFile readGraphFile(const std::string &path, Format format) {
  if (path == "-") return readGraph(std::cin, format, "<stdin>");
  return readText(fileText(path), format, path);
}

GraphFile readGraphFile(const std::string &path) { return readGraphFile(path, formatFromPath(path)); }

}  // namespace sunder
