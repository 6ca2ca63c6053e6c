// _sunder: the thin binding under the Python package `sunder`. It builds a
// cut tree from three flat buffers (edge ends by node index, capacities) and
// answers queries by node index; the package maps the caller's nodes to
// indices and back.
//
// Buffers go through the buffer protocol, so numpy arrays pass without a
// copy and array.array works where numpy is absent. The tree is built with
// the GIL released; between cuts the build re-acquires it at most every
// 20 ms to look for a pending signal (Ctrl-C stops the build with the
// KeyboardInterrupt its handler raised), and after each cut to call the
// progress callback, if any.
#include <pybind11/functional.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "sunder/sunder.h"

namespace py = pybind11;

namespace {

// A one-dimensional, contiguous buffer of a signed integer type of `size`
// bytes, with `count` items.
template <typename T>
const T *intBuffer(const py::buffer_info &info, const char *what, int64_t count) {
  if (info.ndim != 1)
    throw py::value_error(std::string(what) + ": one-dimensional buffer expected");
  if (info.itemsize != static_cast<py::ssize_t>(sizeof(T)) || info.format.empty() ||
      std::strchr("bhilqn", info.format.back()) == nullptr)
    throw py::value_error(std::string(what) + ": a buffer of " + std::to_string(8 * sizeof(T)) +
                          "-bit signed integers expected");
  if (info.shape[0] != count)
    throw py::value_error(std::string(what) + ": " + std::to_string(count) + " items expected, not " +
                          std::to_string(info.shape[0]));
  if (count > 0 && info.strides[0] != static_cast<py::ssize_t>(sizeof(T)))
    throw py::value_error(std::string(what) + ": contiguous buffer expected");
  return static_cast<const T *>(info.ptr);
}

template <typename T>
T *writableBuffer(const py::buffer_info &info, const char *what, int64_t count) {
  if (info.readonly) throw py::value_error(std::string(what) + ": writable buffer expected");
  return const_cast<T *>(intBuffer<T>(info, what, count));
}

// The graph on nodes 0 ... n - 1 with edges (u[k], v[k], capacity[k]).
// Indices are checked here (Graph would add a node for an index past n - 1);
// capacities by Graph itself, which rejects a negative one and a total,
// self loops included, past sunder::kMaxTotalCapacity, naming the edge by
// its ends' indices. The package checks both first and names the caller's
// nodes instead.
sunder::Graph graphOfBuffers(int64_t n, py::buffer us, py::buffer vs, py::buffer capacities) {
  py::buffer_info ui = us.request(), vi = vs.request(), ci = capacities.request();
  if (ui.ndim != 1) throw py::value_error("edge ends: one-dimensional buffer expected");
  int64_t m = ui.shape[0];
  const int32_t *u = intBuffer<int32_t>(ui, "edge ends", m);
  const int32_t *v = intBuffer<int32_t>(vi, "edge ends", m);
  const int64_t *c = intBuffer<int64_t>(ci, "capacities", m);
  if (n < 0 || n > sunder::Graph::kMaxNodes)
    throw py::value_error("a graph has 0 to " + std::to_string(sunder::Graph::kMaxNodes) +
                          " nodes, not " + std::to_string(n));
  for (int64_t k = 0; k < m; k++) {
    if (u[k] < 0 || u[k] >= n || v[k] < 0 || v[k] >= n)
      throw py::value_error("edge " + std::to_string(k) + " names a node index outside 0 ... " +
                            std::to_string(n - 1));
  }
  sunder::Graph graph(n);
  graph.reserve(n, m);
  for (int64_t k = 0; k < m; k++) graph.addEdge(u[k], v[k], c[k]);
  return graph;
}

// Runs `work(options)` with the build options of `engine`, `threads` and the
// progress callback (None: none; with a method `work`, that gets the
// predicted work), the GIL released; Ctrl-C's exception or
// the callback's stops it and reaches the caller.
template <class Work>
auto withBuildOptions(const std::string &engine, int threads, py::object progress, Work work) {
  sunder::BuildOptions options;
  options.engine = sunder::engineFromName(engine);
  options.threads = threads;
  if (!progress.is_none()) {
    options.progress = [&progress](int64_t done, int64_t total) {
      py::gil_scoped_acquire gil;
      progress(done, total);  // its exception stops the build
    };
  }
  // A callback with a method `work` is told the build's predicted work
  // too, right after each call (BuildOptions::progressWork).
  if (!progress.is_none() && py::hasattr(progress, "work")) {
    options.progressWork = [&progress](int64_t done, int64_t total) {
      py::gil_scoped_acquire gil;
      progress.attr("work")(done, total);
    };
  }
  using Clock = std::chrono::steady_clock;
  Clock::time_point nextCheck = Clock::now();
  options.cancel = [&nextCheck]() {
    Clock::time_point now = Clock::now();
    if (now < nextCheck) return false;
    nextCheck = now + std::chrono::milliseconds(20);
    py::gil_scoped_acquire gil;
    return PyErr_CheckSignals() != 0;  // the handler's exception stays set
  };
  try {
    py::gil_scoped_release nogil;
    return work(options);
  } catch (const sunder::Cancelled &) {
    if (PyErr_Occurred()) throw py::error_already_set();
    throw py::value_error("the build was cancelled");
  }
}

sunder::CutTree build(int64_t n, py::buffer us, py::buffer vs, py::buffer capacities,
                      const std::string &engine, int threads, py::object progress) {
  sunder::Graph graph = graphOfBuffers(n, std::move(us), std::move(vs), std::move(capacities));
  return withBuildOptions(engine, threads, std::move(progress),
                          [&graph](const sunder::BuildOptions &o) {
                            return sunder::buildCutTree(std::move(graph), o);
                          });
}

std::vector<std::vector<sunder::NodeId>> cutClustering(int64_t n, py::buffer us, py::buffer vs,
                                                       py::buffer capacities, int64_t alpha,
                                                       const std::string &engine, int threads,
                                                       py::object progress) {
  sunder::Graph graph = graphOfBuffers(n, std::move(us), std::move(vs), std::move(capacities));
  return withBuildOptions(engine, threads, std::move(progress), [&](const sunder::BuildOptions &o) {
    return sunder::cutClustering(graph, alpha, o);
  });
}

// The real-valued capacities of a graph's edges, each read exactly where it
// can be (a float as its shortest decimal, a str as decimal text or "P/Q"),
// and the one scale that makes them whole (sunder/real_capacities.h).
struct RealCapacities {
  std::vector<sunder::RealValue> values;
  sunder::RealScale scale;
};

sunder::RealValue realValueOf(py::handle value) {
  if (PyFloat_Check(value.ptr())) return sunder::RealValue::of(PyFloat_AsDouble(value.ptr()));
  return sunder::RealValue::parse(py::cast<std::string>(value));
}

RealCapacities realCapacities(const py::list &values) {
  RealCapacities r;
  r.values.reserve(values.size());
  for (py::handle v : values) r.values.push_back(realValueOf(v));
  r.scale = sunder::RealScale(r.values);
  return r;
}

// A tree over the nodes 0 ... n - 1 from its parent indices (int32) and
// edge weights (int64); sunder::Error (ValueError) unless they form a tree
// rooted at index 0.
sunder::CutTree treeFrom(py::buffer parents, py::buffer weights) {
  py::buffer_info pi = parents.request(), wi = weights.request();
  if (pi.ndim != 1) throw py::value_error("parents: one-dimensional buffer expected");
  int64_t n = pi.shape[0];
  const int32_t *p = intBuffer<int32_t>(pi, "parents", n);
  const int64_t *w = intBuffer<int64_t>(wi, "weights", n);
  std::vector<sunder::NodeId> ids(n);
  for (int64_t k = 0; k < n; k++) ids[k] = k;
  return sunder::CutTree(std::move(ids), std::vector<int32_t>(p, p + n), std::vector<int64_t>(w, w + n));
}

int32_t checkedIndex(const sunder::CutTree &tree, int64_t k) {
  if (k < 0 || k >= tree.nodeCount())
    throw py::index_error("node index " + std::to_string(k) + " outside 0 ... " +
                          std::to_string(tree.nodeCount() - 1));
  return static_cast<int32_t>(k);
}

// What e.what() says, "FILE:LINE: MESSAGE" or less, rebuilt from its parts
// so that a NUL byte in the message does not cut it short.
std::string errorText(const sunder::Error &e) {
  std::string text;
  if (!e.file().empty()) text = e.file() + ":";
  if (e.line() > 0)
    text += std::to_string(e.line()) + ": ";
  else if (!e.file().empty())
    text += " ";
  return text + e.message();
}

py::tuple cutTuple(const sunder::Cut &cut) {
  return py::make_tuple(cut.value, cut.side, cut.otherSide);
}

}  // namespace

PYBIND11_MODULE(_sunder, m) {
  m.doc() = "Gomory-Hu cut trees of undirected graphs with integer capacities (binding)";
  m.attr("version") = SUNDER_VERSION;
  m.attr("max_total_capacity") = sunder::kMaxTotalCapacity;
  m.attr("max_nodes") = sunder::Graph::kMaxNodes;

  // sunder::Error is ValueError. The message goes in as a Python str made
  // from the whole std::string: what() and PyErr_SetString would both stop
  // at a NUL byte, and a message quotes the caller's text (an engine name)
  // as it came.
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const sunder::Error &e) {
      std::string text = errorText(e);
      PyObject *message = PyUnicode_DecodeUTF8(text.data(), static_cast<py::ssize_t>(text.size()),
                                               "replace");
      if (message == nullptr) return;  // the decoder's own error (memory) stays set
      PyErr_SetObject(PyExc_ValueError, message);
      Py_DECREF(message);
    }
  });

  m.def("engines", []() {
    std::vector<std::string> names;
    for (sunder::Engine e : sunder::allEngines()) names.push_back(sunder::engineName(e));
    return names;
  }, "The engine names, \"auto\" first.");

  py::class_<sunder::CutTree>(m, "Tree")
      .def_property_readonly("node_count", &sunder::CutTree::nodeCount)
      .def("parents_into", [](const sunder::CutTree &t, py::buffer out) {
        py::buffer_info info = out.request(true);
        int32_t *p = writableBuffer<int32_t>(info, "parents", t.nodeCount());
        std::copy(t.parents().begin(), t.parents().end(), p);
      }, "Writes each node's parent index (-1 for the root) into an int32 buffer.")
      .def("weights_into", [](const sunder::CutTree &t, py::buffer out) {
        py::buffer_info info = out.request(true);
        int64_t *w = writableBuffer<int64_t>(info, "weights", t.nodeCount());
        std::copy(t.weights().begin(), t.weights().end(), w);
      }, "Writes the weight of each node's edge to its parent (0 for the root).")
      .def("min_cut_value", [](const sunder::CutTree &t, int64_t u, int64_t v) {
        int32_t a = checkedIndex(t, u), b = checkedIndex(t, v);
        if (a == b) throw py::value_error("the two nodes of a cut must differ");
        return t.minCutValueAt(a, b);
      })
      .def("min_cut_values_into", [](const sunder::CutTree &t, py::buffer us, py::buffer vs,
                                     py::buffer out) {
        py::buffer_info ui = us.request(), vi = vs.request(), oi = out.request(true);
        if (ui.ndim != 1) throw py::value_error("node indices: one-dimensional buffer expected");
        int64_t k = ui.shape[0];
        const int64_t *u = intBuffer<int64_t>(ui, "node indices", k);
        const int64_t *v = intBuffer<int64_t>(vi, "node indices", k);
        int64_t *o = writableBuffer<int64_t>(oi, "values", k);
        for (int64_t i = 0; i < k; i++) {
          int32_t a = checkedIndex(t, u[i]), b = checkedIndex(t, v[i]);
          if (a == b) throw py::value_error("the two nodes of a cut must differ");
          o[i] = t.minCutValueAt(a, b);
        }
      }, "Minimum cut values of many index pairs, into an int64 buffer.")
      .def("min_cut", [](const sunder::CutTree &t, int64_t u, int64_t v) {
        int32_t a = checkedIndex(t, u), b = checkedIndex(t, v);
        if (a == b) throw py::value_error("the two nodes of a cut must differ");
        return cutTuple(t.minCut(a, b));
      }, "(value, u's side, the other side), sides as node indices.")
      .def("global_min_cut", [](const sunder::CutTree &t) {
        if (t.nodeCount() < 2) throw py::value_error("a global minimum cut needs two nodes");
        return cutTuple(t.globalMinCut());
      }, "(value, the smaller side, the rest), sides as node indices.")
      .def(py::init(&treeFrom), py::arg("parents"), py::arg("weights"))
      .def("k_edge_components", &sunder::kEdgeComponents, py::arg("k"),
           "The k-edge-connected components as lists of node indices.")
      .def("connectivity_distribution", [](const sunder::CutTree &t) {
        std::vector<int64_t> values, pairs;
        for (const sunder::ConnectivityCount &c : sunder::connectivityDistribution(t)) {
          values.push_back(c.value);
          pairs.push_back(c.pairs);
        }
        return py::make_tuple(values, pairs);
      }, "(values increasing, pairs with each value).")
      .def("all_pairs_into", [](const sunder::CutTree &t, py::buffer out) {
        py::buffer_info info = out.request(true);
        int64_t n = t.nodeCount();
        sunder::allPairsInto(t, writableBuffer<int64_t>(info, "values", n * n));
      }, "The n * n minimum cut values by index, row by row, into an int64 buffer.")
      .def("min_k_cut", [](const sunder::CutTree &t, int64_t k, py::buffer us, py::buffer vs,
                           py::buffer capacities) {
        sunder::Graph graph = graphOfBuffers(t.nodeCount(), std::move(us), std::move(vs), std::move(capacities));
        sunder::KCut cut = sunder::minKCut(t, graph, k);
        return py::make_tuple(cut.value, cut.treeBound, cut.parts);
      }, "(capacity across, the removed tree edges' weights, parts as node indices) of "
         "the approximate minimum k-cut, the graph given as for build.")
      .def_property_readonly("engine", [](const sunder::CutTree &t) {
        return std::string(sunder::engineName(t.stats().engine));
      })
      .def_property_readonly("seconds", [](const sunder::CutTree &t) { return t.stats().seconds; });

  // The time-left estimate of sunder/progress.h, for the package's
  // progress line.
  py::class_<sunder::TimeLeft>(m, "TimeLeft")
      .def(py::init<>())
      .def("update", &sunder::TimeLeft::update, py::arg("seconds"), py::arg("done"),
           py::arg("total"),
           "The build's state `seconds` after it started: `done` of `total` cuts.")
      .def("seconds_left", &sunder::TimeLeft::secondsLeft,
           "Estimated seconds left; 0 when all is done; None until there is evidence.")
      .def("cuts_per_second", &sunder::TimeLeft::cutsPerSecond,
           "The rate of cuts the estimate assumes; 0 until there is one.")
      .def("reset", &sunder::TimeLeft::reset);

  py::class_<RealCapacities>(m, "RealCapacities")
      .def(py::init(&realCapacities), py::arg("values"))
      .def_property_readonly("exact", [](const RealCapacities &r) { return r.scale.exact(); })
      .def("describe", [](const RealCapacities &r) { return r.scale.describe(); })
      .def("error_bound", [](const RealCapacities &r, int64_t edges) {
        return static_cast<double>(r.scale.errorBound(edges));
      }, py::arg("edges"))
      .def("scaled_into", [](const RealCapacities &r, py::buffer out) {
        py::buffer_info info = out.request(true);
        int64_t *c = writableBuffer<int64_t>(info, "capacities", static_cast<int64_t>(r.values.size()));
        for (size_t k = 0; k < r.values.size(); k++) c[k] = r.scale.scaled(r.values[k]);
      })
      .def("scaled", [](const RealCapacities &r, py::handle value) {
        return r.scale.scaled(realValueOf(value));
      }, py::arg("value"))
      .def("at_least", [](const RealCapacities &r, py::handle value) {
        return r.scale.atLeast(realValueOf(value));
      }, py::arg("value"))
      .def("text", [](const RealCapacities &r, int64_t sum) { return r.scale.text(sum); })
      .def("value", [](const RealCapacities &r, int64_t sum) { return r.scale.value(sum); })
      .def("cut_weights", [](const RealCapacities &r, const sunder::CutTree &t, int64_t n,
                             py::buffer us, py::buffer vs, py::buffer caps) {
        sunder::Graph graph = graphOfBuffers(n, std::move(us), std::move(vs), std::move(caps));
        return sunder::realCutWeights(t, graph, r.values, r.scale);
      }, py::arg("tree"), py::arg("n"), py::arg("u"), py::arg("v"), py::arg("capacities"),
         "Each tree edge's weight in the original values, by child index.");

  m.def("build", &build, py::arg("n"), py::arg("u"), py::arg("v"), py::arg("capacities"),
        py::arg("engine") = "auto", py::arg("threads") = 1, py::arg("progress") = py::none(),
        "The cut tree of the graph on nodes 0 ... n - 1 with edges (u[k], v[k]) of "
        "capacity capacities[k]: int32, int32 and int64 buffers. The GIL is released "
        "while it is built.");
  m.def("cut_clustering", &cutClustering, py::arg("n"), py::arg("u"), py::arg("v"),
        py::arg("capacities"), py::arg("alpha"), py::arg("engine") = "auto", py::arg("threads") = 1,
        py::arg("progress") = py::none(),
        "The minimum-cut clusters (lists of node indices) of the graph given as for build, "
        "with the artificial node's edges of capacity alpha.");
}
