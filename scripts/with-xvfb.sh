#!/usr/bin/env bash
# Runs a command on a fresh virtual X display and returns the command's exit code.
#
#   scripts/with-xvfb.sh COMMAND [ARGS...]
#
# XVFB_SIZE     screen as WIDTHxHEIGHTxDEPTH (default 1024x768x24)
# XVFB_DISPLAY  display number to use (default: the first free one, chosen by Xvfb)
#
# The server keeps its contents while clients come and go (-noreset) and is stopped when
# the command ends, however it ends.
set -u

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "with-xvfb: Xvfb not found (install the xvfb package)" >&2
  exit 127
fi

workdir=$(mktemp -d "${TMPDIR:-/tmp}/with-xvfb.XXXXXX")
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb writes its display number to the descriptor once it accepts connections.
mkfifo "$workdir/ready"
exec 3<>"$workdir/ready"
display_arg=()
if [ -n "${XVFB_DISPLAY:-}" ]; then display_arg=(":${XVFB_DISPLAY#:}"); fi
Xvfb "${display_arg[@]}" -screen 0 "${XVFB_SIZE:-1024x768x24}" -noreset -nolisten tcp \
  -displayfd 3 >"$workdir/xvfb.log" 2>&1 3>&3 &
xvfb_pid=$!

number=
if ! read -r -t 15 -u 3 number || [ -z "$number" ]; then
  echo "with-xvfb: Xvfb did not start:" >&2
  cat "$workdir/xvfb.log" >&2
  exit 1
fi
exec 3>&-

export DISPLAY=":$number"
"$@"
status=$?
exit "$status"
