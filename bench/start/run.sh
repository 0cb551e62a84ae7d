#!/usr/bin/env bash
# Start-up and steady-state figures at 1920x1080 on a private Xvfb: medians over the runs.
#
#   bench/start/run.sh [BUILD_DIR] [tavro_start_bench options...]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/release}
shift || true
XVFB_SIZE=1920x1080x24 exec bash scripts/with-xvfb.sh "$build/bench/tavro_start_bench" "$@"
