#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh [release|test] (default release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-release}

"$root/scripts/install-deps.sh"

case "$kind" in
    release) dir="$root/build" ; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOSTORE_SANITIZE=OFF -DZOSTORE_TESTS=OFF -DZOSTORE_BENCH=ON) ;;
    test)    dir="$root/build-test" ; flags=(-DCMAKE_BUILD_TYPE=Debug -DZOSTORE_SANITIZE=ON -DZOSTORE_BENCH=OFF) ;;
    *) echo "usage: $0 [release|test]" >&2; exit 2 ;;
esac

export CCACHE_DIR=${CCACHE_DIR:-$root/.ccache}
# Paths relative to the checkout, so worktrees and fresh clones share the cache.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
