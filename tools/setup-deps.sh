#!/usr/bin/env bash
# Installs the Debian packages the suite needs to build and test, if any is
# missing, and any further packages named as arguments. Safe to run again;
# does nothing when everything is present.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libgmock-dev libboost-graph-dev libbenchmark-dev)
packages+=("$@")
# igraph's C library reads GraphML and GML (found with pkg-config; the build
# goes on without it, and those formats are then an error).
packages+=(libigraph-dev pkg-config)
# Graphviz renders cuttree's DOT output in its test.
packages+=(graphviz)
# The experiment runner, its plots, and the job-list test.
packages+=(python3 gnuplot-nox parallel)
# The Python package (pybind11) and its tests against networkx and igraph,
# all for Debian's /usr/bin/python3, the interpreter CMake builds the
# package for (python/CMakeLists.txt), whatever python3 comes first on the
# PATH.
packages+=(pybind11-dev python3-dev python3-numpy python3-networkx python3-igraph python3-pytest)
# The distribution plot's test (CutTree.plot_connectivity_distribution).
packages+=(python3-matplotlib)
# pip installs from the checkout (pyproject.toml, setup.py): setuptools and
# wheel as the build backend, venv (with its bundled pip) for virtual
# environments, build for `python3 -m build`.
packages+=(python3-setuptools python3-wheel python3-venv python3-build)
# clang and its runtime (libFuzzer, sanitizers) for the fuzz targets (tools/fuzz.sh).
packages+=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
