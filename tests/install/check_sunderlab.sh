#!/usr/bin/env bash
# Installs the experiment runner's package sunderlab with pip into a fresh
# virtual environment (with the system's site-packages, whose setuptools and
# wheel build it; nothing is fetched), from a copy of experiments/, and
# checks from an empty folder under /tmp, away from the checkout:
#   1. import sunderlab finds the installed copy;
#   2. the installed command sunderlab runs a grid of one twinloop instance
#      of 10 nodes into the built solver: status ok, n = 10 and m = 2n = 20;
#   3. its job list starts the installed package with the environment's
#      interpreter, and that job line alone writes the same row (the columns
#      up to pushes; the times differ from run to run).
# Exit status 77 (skipped) when the interpreter lacks venv, pip, setuptools
# or wheel (tools/setup-deps.sh installs them).
#   check_sunderlab.sh BUILD_DIR SOURCE_DIR PYTHON
set -euo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) python=$3
skip() { echo "sunderlab_pip_install skipped: $*"; exit 77; }
"$python" -c 'import venv, ensurepip' 2>/dev/null || skip "$python has no venv/ensurepip (python3-venv)"
"$python" -c 'import setuptools, wheel' 2>/dev/null || skip "$python has no setuptools or wheel (python3-setuptools, python3-wheel)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty"
unset PYTHONPATH
export PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_CACHE_DIR=1 PIP_NO_INPUT=1
fail() { echo "$*"; exit 1; }

# The copy keeps pip's build folders out of the checkout.
mkdir "$work/src"
cp -R "$source/experiments/pyproject.toml" "$source/experiments/run" "$source/experiments/sunderlab" "$work/src/"
venv=$work/venv
"$python" -m venv --system-site-packages "$venv" >/dev/null
"$venv/bin/python" -m pip --version >/dev/null 2>&1 || skip "the virtual environment has no pip (python3-venv)"
"$venv/bin/pip" install -q --no-index --no-build-isolation "$work/src" > "$work/pip.log" 2>&1 ||
  { cat "$work/pip.log"; fail "pip install of experiments/ failed"; }

cd "$work/empty"
where=$("$venv/bin/python" -c 'import os, sunderlab; print(os.path.realpath(sunderlab.__file__))')
case $where in
  "$(realpath "$venv")"/*) ;;
  *) fail "sunderlab imported from $where, not from $venv" ;;
esac

printf 'family twinloop sizes 10 seeds 1 : twinloop {n}\n' > grid
"$venv/bin/sunderlab" grid --build "$build" -o direct.csv
"$venv/bin/sunderlab" grid --build "$build" --emit-jobs jobs.txt 2>/dev/null
job=$(cat jobs.txt)
[[ $job == "$venv/bin/python"*" -m sunderlab one "* ]] || fail "job line: $job"
bash -c "$job"

expected="family,size,seed,generator,solver,status,n,m
twinloop,10,1,twinloop 10,sunder,ok,10,20"
for rows in direct.csv jobs-rows/1.csv; do
  got=$(cut -d, -f1-8 "$rows")
  [ "$got" = "$expected" ] || fail "$rows: $got"
done
[ "$(cut -d, -f1-10 direct.csv)" = "$(cut -d, -f1-10 jobs-rows/1.csv)" ] ||
  fail "the job line's row differs from the direct run's"
echo "sunderlab: installed from $where; the command and its job line give the same row"
