#!/usr/bin/env bash
# Runs the Python module's tests with Debian's interpreter, where the
# distribution's pytest, networkx, igraph and numpy live; exit status 77
# (a skipped test for CTest) when pytest or networkx is missing.
#   run.sh PACKAGE_DIR TEST_DIR
set -euo pipefail
python=/usr/bin/python3
if ! "$python" -c 'import pytest, networkx' 2>/dev/null; then
  echo "python_module skipped: $python lacks pytest or networkx (tools/setup-deps.sh installs them)"
  exit 77
fi
export PYTHONPATH=$1
exec "$python" -m pytest -q -p no:cacheprovider "$2"
