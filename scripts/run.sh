#!/usr/bin/env bash
# Builds the saver (installing missing packages first) and runs it with the given switch
# (default /s). Without an X display it runs on a private Xvfb for a few seconds, writes
# screenshots to out/screenshots/ and ends the saver with a key press.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target TavroSS
cmake --install build/release --prefix out >/dev/null

ARGS=("$@")
[ ${#ARGS[@]} -eq 0 ] && ARGS=(/s)

if [ -n "${DISPLAY:-}" ]; then
  exec "$ROOT/out/TavroSS" "${ARGS[@]}"
fi

mkdir -p out/screenshots
export XVFB_SIZE=${XVFB_SIZE:-1024x768x24}
bash scripts/with-xvfb.sh bash -c '
  set -u
  shots=$1; shift
  xsetroot -solid "#3a6ea5" 2>/dev/null || true
  "$@" & pid=$!
  sleep 2
  import -window root "$shots/saver-1.png"
  sleep 1
  import -window root "$shots/saver-2.png"
  xdotool key space 2>/dev/null || kill "$pid"
  wait "$pid"; status=$?
  import -window root "$shots/after-exit.png"
  echo "screenshots written to $shots (exit code $status)"
  exit $status
' run "$ROOT/out/screenshots" "$ROOT/out/TavroSS" "${ARGS[@]}"
