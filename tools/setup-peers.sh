#!/usr/bin/env bash
# Installs what the peer benchmark (bench/peers/run, -DSUNDER_PEERS=ON) needs
# beyond the normal build: LEMON, igraph and gnuplot, and Debian's graph-tool
# (python3-graph-tool, a module of /usr/bin/python3), whose network
# collection bench/realnets.py and bench/large_networks.py convert. Opt-in:
# the normal build, the tests and CI need none of them. Safe to run again.
set -euo pipefail
bash "$(dirname "$0")/setup-deps.sh" liblemon-dev libigraph-dev gnuplot-nox python3 python3-graph-tool
