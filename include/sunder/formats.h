// Readers of graph files. Each reads its input a line at a time as it comes
// (files and streams in chunks, never whole), in memory that grows with the
// graph and the current line, not with the input, and returns the graph, or
// throws sunder::Error
// naming the file and the line of the first fault.
//
// Formats
//   Dimacs        the suite's instance text: "p cut N M", then M lines
//                 "a U V CAPACITY"; "c" lines are comments. The nodes are
//                 every number from the smallest to the largest an arc line
//                 names, in increasing order (numbers in between that no arc
//                 names are nodes without edges).
//   EdgeList      "U V [CAPACITY]" per line, separated by blanks or by one
//                 comma with or without blanks around it ("1, 2, 5"); a
//                 comma at the start or the end, or two with no field
//                 between, is an error. "#" and "%" start comments; the
//                 capacity is 1 when absent. Ids are non-negative integers;
//                 the nodes are the ids the edges name, in increasing order.
//                 A first line of two or three fields none of which starts
//                 like a number ("source,target,weight") is a header row,
//                 skipped; the columns are taken by position.
//   Metis         a METIS graph file: header "N M [FMT [NCON]]", then one
//                 line of neighbours per node 1 ... N, with edge weights when
//                 FMT's last digit is 1. Every edge is listed at both ends,
//                 once each; node ids are 1 ... N. A line listing more than
//                 M neighbours, or lines listing more than 2 M in all, fail
//                 at once.
//   MatrixMarket  a Matrix Market coordinate file, "integer" or "pattern"
//                 (capacity 1). In a symmetric file each stored entry (i, j)
//                 is an edge. In a general file each entry is an edge too, so
//                 a matrix that stores both (i, j) and (j, i) gives two
//                 parallel edges, whose capacities add up. Diagonal entries
//                 are self loops. Node ids are the row and column numbers
//                 that entries name, in increasing order.
//
// Every number must be a whole decimal integer: "2.9", "3abc" or "1e3" is an
// error naming its line. Capacities are 0 or more, and they add up to at
// most kMaxTotalCapacity: the line whose capacity passes it fails (a METIS
// edge counts once, at its smaller end). Reading stops at the first fault,
// however much input follows, and where a header declares a count, at the
// first line past it.
//
// Inputs must be text: a NUL byte is an error at its line ("line contains a
// NUL byte: the input is not text"), found as soon as it is read, so binary
// data or /dev/zero fail at once. A line may hold at most 67108864 bytes
// (64 MiB) before its '\n', room for METIS hub lines of millions of
// neighbours; a longer line is an error at its line ("line is longer than
// 67108864 bytes"), comments included. A source that cannot be read gives
// "cannot read FILE: REASON" ("cannot read DIR: Is a directory" for a
// directory), or "cannot read NAME" for a stream ("the input" without a
// name); memory that cannot be had, "not enough memory for reading NAME".
#ifndef SUNDER_FORMATS_H
#define SUNDER_FORMATS_H

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "sunder/graph.h"

namespace sunder {

enum class Format { Dimacs, EdgeList, Metis, MatrixMarket };

// "dimacs", "edges", "metis", "mtx"; Error on any other name.
Format formatFromName(const std::string &name);
const char *formatName(Format format);
// By the file's extension: .edges, .el, .txt, .edgelist, .ncol, .csv,
// .tsv: EdgeList; .graph, .metis:
// Metis; .mtx: MatrixMarket; anything else: Dimacs.
Format formatFromPath(const std::string &path);

// A graph as a file gives it, with what the file's header declared.
struct GraphFile {
  Graph graph;
  Format format = Format::Dimacs;
  int64_t declaredNodes = 0;  // N of the header (Dimacs, Metis, MatrixMarket)
  int64_t declaredEdges = 0;  // M of the header; the edge count otherwise
};

// Reads a stream or a text; `name` is the file name that errors carry.
GraphFile readGraph(std::istream &in, Format format, const std::string &name = "");
GraphFile readGraphText(const std::string &text, Format format, const std::string &name = "");
// Reads a file ("-" is standard input); Error when it cannot be opened.
GraphFile readGraphFile(const std::string &path, Format format);
GraphFile readGraphFile(const std::string &path);  // format by extension

// A pair of nodes named on a line of a pairs file.
struct NodePair {
  NodeId u;
  NodeId v;
  int64_t line;
};

// A pairs file ("-" is standard input): one pair "U V" per line, any
// 64-bit integer ids, blanks between them; '#' starts a comment, on a line
// of its own or after a pair; blank lines are skipped. Anything else is an
// error naming the file and the line, as are NUL bytes and overlong lines;
// "cannot read FILE: REASON" when it cannot be read.
std::vector<NodePair> readNodePairs(const std::string &path);

}  // namespace sunder

#endif
