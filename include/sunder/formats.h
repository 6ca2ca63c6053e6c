// Readers of graph files. Each reads its input a line at a time as it comes
// (files and streams in chunks, never whole), in memory that grows with the
// graph and the current line, not with the input, and returns the graph, or
// throws sunder::Error naming the file and the line of the first fault.
// GraphML and GML are the exception: igraph reads them whole.
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
//                 capacity is 1 when absent. The capacity may also be a
//                 dict of edge attributes as networkx's write_edgelist
//                 writes it ("0 1 {'weight': 4}", "0 1 {}"): its "weight",
//                 else its "capacity", else 1. A field that starts with a
//                 double quote is an error (quoted CSV fields are not read).
//                 Ids: while every id is a plain decimal integer (digits
//                 only, no sign, no leading zero, within 64 bits) they are
//                 the node ids, and the nodes are the ids the edges name, in
//                 increasing order. One id that is anything else ("a",
//                 "-1", "007", "2.5") makes the file named: every id, also
//                 a numeric-looking one, is then a name kept as its text,
//                 node i is the i-th distinct name in the file's order
//                 (both ends of a line, U first) and GraphFile::names holds
//                 them. A name holds no blank or control byte.
//                 Header rows: a first line that names a known column, case
//                 aside, picks the columns by name, among any number of
//                 fields: the ends from source/target, from/to, u/v,
//                 node1/node2 or src/dst, the capacity from weight,
//                 capacity or cap (else 1); other columns are ignored, and
//                 every edge line has the header's field count. A header
//                 naming a capacity column but no pair of ends takes the
//                 first two other columns as the ends. A first line of two
//                 or three fields that names no known column and none of
//                 which starts like a number or a dict ("id1,id2") is a
//                 header row taken by position, skipped, in a file whose
//                 ids are numbers; in a named file it is the first edge.
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
//   GraphML, Gml  read by the igraph library (when the build has it: else
//                 "cannot read GraphML: this build has no igraph library").
//                 Every node of the file is a node, in the file's order; an
//                 edge's capacity is its numeric or text attribute "weight",
//                 else "capacity", whole and 0 or more ("capacity '2.5' is
//                 not a whole number"), else 1 (also where its value is
//                 missing). The nodes are named: GraphML by the node ids
//                 (id="n0"), GML by "label", else "name", when every node
//                 has one and no two share it, else by "id". A fault igraph
//                 finds is "cannot read GraphML: REASON" naming the file; a
//                 fault of a node or an edge names it ("edge 3 (a -- b):
//                 capacity ..."). The input is read whole by igraph, and
//                 reads of these formats take turns across threads.
//
// Node names. A named file (GraphFile::names not empty) has the node ids
// 0 ... n - 1, and names[i] is node i's text; nodeName() gives the text of a
// node of any file, and NodeFinder finds a node by its text.
//
// Telling the format (readGraphFile(path) when the extension names none,
// readGraphDetected): the input's first lines decide, read once, however
// many blank and comment lines come first (up to 64 MiB of them), and
// handed on to the reader; a UTF-8 byte order mark at the start of any
// text input is skipped, by every reader too. Fields are split at
// blanks and commas. Blank lines, "%" comments (not "%%MatrixMarket") and
// lines whose first field is "c" (Dimacs comments, or edges of a node "c")
// leave it open; then the first other line decides:
//   "%%MatrixMarket ..."                       MatrixMarket
//   "<..." (XML, "<?xml" or "<graphml")        GraphML
//   "#..." (a comment)                         EdgeList
//   first field "p", or "a" and three numbers  Dimacs
//   first field "Creator" or "Version" and a value, or "graph" followed
//   by "["                                     Gml
//   two or more fields                         EdgeList
// METIS is never guessed (its header reads as an edge). A line of one field
// that decides nothing is the error "cannot tell the format from this line:
// 'X' (name it: dimacs, edges, metis, mtx, graphml or gml)" at its line;
// when nothing decides (an empty input, only comments), Dimacs. A fault at
// a line of an input read as the format its first lines show carries the
// hint " (read as NAME, the format its first line shows)", except in
// Dimacs, whose messages are those of a Dimacs read.
#ifndef SUNDER_FORMATS_H
#define SUNDER_FORMATS_H

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sunder/export.h"
#include "sunder/graph.h"
#include "sunder/real_capacities.h"

namespace sunder {

enum class Format { Dimacs, EdgeList, Metis, MatrixMarket, GraphML, Gml };

// "dimacs", "edges", "metis", "mtx", "graphml", "gml"; Error on any other.
SUNDER_API Format formatFromName(const std::string &name);
SUNDER_API const char *formatName(Format format);
// By the file's extension: .edges, .el, .txt, .edgelist, .ncol, .csv,
// .tsv: EdgeList; .graph, .metis: Metis; .mtx: MatrixMarket; .graphml:
// GraphML; .gml: Gml; nothing for any other.
SUNDER_API std::optional<Format> formatFromExtension(const std::string &path);
// formatFromExtension, else Dimacs.
SUNDER_API Format formatFromPath(const std::string &path);

// How a file is read.
struct ReadOptions {
  // Capacities may be real numbers ("2.5", "1e-3", "1/3"; METIS weights
  // stay whole): each edge's value is kept in GraphFile::realCapacities and
  // the graph's capacities are those values at the scale chosen for all of
  // them (GraphFile::scale, see real_capacities.h). A Matrix Market file may
  // then be of field "real".
  bool realCapacities = false;
};

// A graph as a file gives it, with what the file's header declared.
struct GraphFile {
  Graph graph;
  Format format = Format::Dimacs;
  int64_t declaredNodes = 0;  // N of the header (Dimacs, Metis, MatrixMarket)
  int64_t declaredEdges = 0;  // M of the header; the edge count otherwise
  // The nodes' names in a named file (node i is names[i]); empty when the
  // node ids are the file's own numbers.
  std::vector<std::string> names;
  // Read with ReadOptions::realCapacities: the capacity of graph edge k as
  // the file gives it, and the scale that made them the graph's.
  std::vector<RealValue> realCapacities;
  RealScale scale;
};

// The text of node `id`: its name in a named file, else its id in decimal.
SUNDER_API std::string nodeName(const GraphFile &file, NodeId id);

// Finds the nodes of a graph file by their text. Keeps a reference to the
// file, which must outlive it and stay unchanged.
class SUNDER_API NodeFinder {
 public:
  explicit NodeFinder(const GraphFile &file);
  // The node `text` names: a name of a named file; else a whole decimal
  // number (sign and leading zeros allowed) that is a node id. Nothing when
  // no node has that text.
  std::optional<NodeId> find(std::string_view text) const;

 private:
  const GraphFile &file_;
  std::unordered_map<std::string_view, NodeId> byName_;
};

// Reads a stream or a text; `name` is the file name that errors carry.
SUNDER_API GraphFile readGraph(std::istream &in, Format format, const std::string &name = "",
                    const ReadOptions &options = {});
SUNDER_API GraphFile readGraphText(const std::string &text, Format format, const std::string &name = "",
                        const ReadOptions &options = {});
// Reads a file ("-" is standard input); Error when it cannot be opened.
SUNDER_API GraphFile readGraphFile(const std::string &path, Format format, const ReadOptions &options = {});
// By the extension, else in the format its first line shows.
SUNDER_API GraphFile readGraphFile(const std::string &path, const ReadOptions &options = {});
// A stream in the format its first line shows.
SUNDER_API GraphFile readGraphDetected(std::istream &in, const std::string &name = "",
                            const ReadOptions &options = {});

// A pair of nodes named on a line of a pairs file, by their texts (find
// them with NodeFinder).
struct NodePair {
  std::string u;
  std::string v;
  int64_t line;
};

// A pairs file ("-" is standard input): one pair "U V" per line, ids or
// names as the graph's nodes have them, blanks between them; '#' starts a
// comment, on a line of its own or after a pair; blank lines are skipped.
// A line of other than two fields is an error naming the file and the
// line, as are NUL bytes and overlong lines; "cannot read FILE: REASON"
// when it cannot be read. Whether the texts name nodes is the caller's to
// ask (NodeFinder).
SUNDER_API std::vector<NodePair> readNodePairs(const std::string &path);

}  // namespace sunder

#endif
