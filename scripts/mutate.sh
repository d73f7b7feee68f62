#!/usr/bin/env bash
# Mutation run over the platform-free rules against the native tests, in a
# copy of the tree (build/mutate); the live files are never changed.
#   scripts/mutate.sh [--count N] [--seed S] [--list]
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR=${CCACHE_DIR:-/work/.ccache}
exec python3 scripts/mutate.py "$@"
