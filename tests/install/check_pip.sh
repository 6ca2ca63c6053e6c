#!/usr/bin/env bash
# Installs the Python package sunder the ways a user does, each into a fresh
# virtual environment (with the system's site-packages, where Debian's numpy
# is), and checks from an empty folder under /tmp, away from the source and
# build trees, that the installed copy is the one imported and that it
# builds a tree worked out by hand:
#   1. cmake --install BUILD_DIR --component python --prefix VENV: the
#      install lands where VENV's interpreter looks;
#   2. pip install --no-build-isolation from a copy of the source tree (its
#      build directories left out): setup.py's optimised CMake build of the
#      extension alone, nothing written into the tree but build-pip/;
#   3. python -m build --no-isolation --wheel of that copy, then pip install
#      of the wheel; 4. the same from the source distribution (3 and 4 when
#      python3-build is there).
# Exit status 77 (skipped) when the interpreter lacks venv, pip, setuptools,
# wheel or numpy (tools/setup-deps.sh installs them all).
#   check_pip.sh BUILD_DIR SOURCE_DIR PYTHON
set -euo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) python=$3
skip() { echo "python_pip_install skipped: $*"; exit 77; }
"$python" -c 'import venv, ensurepip' 2>/dev/null || skip "$python has no venv/ensurepip (python3-venv)"
"$python" -c 'import setuptools, wheel' 2>/dev/null || skip "$python has no setuptools or wheel (python3-setuptools, python3-wheel)"
"$python" -c 'import numpy' 2>/dev/null || skip "$python has no numpy (python3-numpy)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty"
unset PYTHONPATH
export PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_CACHE_DIR=1 PIP_NO_INPUT=1
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
version=$(sed -n 's/^#define SUNDER_VERSION "\(.*\)"$/\1/p' "$source/include/sunder/sunder.h")
[ -n "$version" ] || { echo "no SUNDER_VERSION in include/sunder/sunder.h"; exit 1; }

new_venv() {
  "$python" -m venv --system-site-packages "$1" >/dev/null
  "$1/bin/python" -m pip --version >/dev/null 2>&1 || skip "the virtual environment has no pip (python3-venv)"
}

# Imports sunder from VENV in an empty folder and checks the package's
# location and the tree of a triangle, by hand: edges 1-2 (3), 2-3 (1),
# 1-3 (2). Cutting off {3} costs 1 + 2 = 3, {1} costs 3 + 2 = 5, {2} costs
# 3 + 1 = 4; so the minimum cut between 1 and 3 is 3 with the sides {1, 2}
# and {3}, between 1 and 2 it is 4, between 2 and 3 it is 3.
check_venv() {
  local venv=$1 expect_version=$2
  (cd "$work/empty" && "$venv/bin/python" - "$venv" "$expect_version" <<'EOF'
import os, sys
import sunder
venv, version = sys.argv[1], sys.argv[2]
where = os.path.realpath(sunder.__file__)
assert where.startswith(os.path.realpath(venv) + os.sep), f"sunder imported from {where}, not from {venv}"
t = sunder.cut_tree([[1, 2], [2, 3], [1, 3]], [3, 1, 2])
values = (t.min_cut_value(1, 3), t.min_cut_value(1, 2), t.min_cut_value(2, 3))
assert values == (3, 4, 3), f"cut values {values}, expected (3, 4, 3)"
value, side, other = t.min_cut(1, 3)
assert (value, sorted(side.tolist()), sorted(other.tolist())) == (3, [1, 2], [3]), (value, side, other)
if version:
    from importlib.metadata import version as installed_version
    assert installed_version("sunder") == version, f"version {installed_version('sunder')}, expected {version}"
print(f"{venv}: sunder from {where}: cuts {values}")
EOF
  )
}

# 1. The CMake install into a virtual environment's prefix.
new_venv "$work/v_cmake"
cmake --install "$build" --component python --prefix "$work/v_cmake" >/dev/null
check_venv "$work/v_cmake" ""

# 2. pip from a copy of the source tree without its build directories.
mkdir "$work/tree"
tar -C "$source" --exclude='./build*' --exclude=./.git --exclude=./dist --exclude=./bench/data -cf - . |
  tar -C "$work/tree" -xf -
(cd "$work/tree" && find . -path ./build-pip -prune -o -print | sort) > "$work/files.before"
new_venv "$work/v_pip"
(cd "$work/tree" && "$work/v_pip/bin/pip" install -q --no-index --no-build-isolation .) > "$work/pip.log" 2>&1 ||
  { cat "$work/pip.log"; echo "pip install from the source tree failed"; exit 1; }
check_venv "$work/v_pip" "$version"
# The build was the optimised one, without tests, benchmarks or programs.
cache=$(ls "$work"/tree/build-pip/temp.*/cmake/CMakeCache.txt)
for setting in CMAKE_BUILD_TYPE:STRING=Release SUNDER_TESTS:BOOL=OFF SUNDER_BENCH:BOOL=OFF; do
  grep -qx "$setting" "$cache" || { echo "the pip build lacks $setting"; exit 1; }
done
for program in cuttree/cuttree generators/ringforge sunder/sunder; do
  [ ! -e "$(dirname "$cache")/$program" ] || { echo "the pip build built $program"; exit 1; }
done
# pip and setuptools wrote nothing into the tree but build-pip/.
(cd "$work/tree" && find . -path ./build-pip -prune -o -print | sort) | cmp - "$work/files.before" ||
  { echo "the pip build changed the source tree outside build-pip/"; exit 1; }

if ! "$python" -c 'import build' 2>/dev/null; then
  echo "python -m build not run: $python has no build (python3-build)"
  echo "pip install: the CMake install and pip from the source tree work"
  exit 0
fi

# 3. A wheel of the tree, installed by pip.
(cd "$work/tree" && "$python" -m build --no-isolation --wheel --outdir "$work/wheel" .) > "$work/build.log" 2>&1 ||
  { cat "$work/build.log"; echo "python -m build --wheel failed"; exit 1; }
wheels=("$work"/wheel/sunder-"$version"-cp3*-linux_*.whl)
[ ${#wheels[@]} -eq 1 ] && [ -f "${wheels[0]}" ] || { ls "$work/wheel"; echo "expected one platform wheel of sunder $version"; exit 1; }
contents=$("$python" -m zipfile -l "${wheels[0]}")
for member in 'sunder/__init__\.py' 'sunder/_sunder\.cpython-[^ ]*\.so'; do
  grep -q "^$member " <<< "$contents" || { echo "$contents"; echo "the wheel lacks $member"; exit 1; }
done
new_venv "$work/v_wheel"
"$work/v_wheel/bin/pip" install -q --no-index "${wheels[0]}"
check_venv "$work/v_wheel" "$version"

# 4. The source distribution, and the wheel built from it alone.
(cd "$work/tree" && "$python" -m build --no-isolation --outdir "$work/sdist" .) > "$work/sdist.log" 2>&1 ||
  { cat "$work/sdist.log"; echo "python -m build (source distribution, then its wheel) failed"; exit 1; }
new_venv "$work/v_sdist"
"$work/v_sdist/bin/pip" install -q --no-index "$work"/sdist/sunder-"$version"-*.whl
check_venv "$work/v_sdist" "$version"
echo "pip install: the CMake install, pip from the source tree, its wheel and its source distribution work"
