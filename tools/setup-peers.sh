#!/usr/bin/env bash
# Installs what the peer benchmark (bench/peers/run, -DSUNDER_PEERS=ON) needs
# beyond the normal build: LEMON, igraph and gnuplot. Opt-in: the normal
# build, the tests and CI need none of them. Safe to run again.
set -euo pipefail
bash "$(dirname "$0")/setup-deps.sh"
packages=(liblemon-dev libigraph-dev gnuplot-nox python3)
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
