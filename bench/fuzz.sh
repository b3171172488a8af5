#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 600) and reports executions and
# crashes per target. The working corpora are kept in build-fuzz/corpus/, so a
# later run goes on where this one stopped. See fuzz/README.md.
#
#   bench/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
exec fuzz/run.sh --keep "${1:-600}" "${@:2}"
