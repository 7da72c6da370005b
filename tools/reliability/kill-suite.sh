#!/usr/bin/env bash
# The kill suite at large counts, run by hand: zostore-admin killed at random moments of generate, cost,
# stocklimit, safestock-import, close and reopen on SQLite and PostgreSQL; prints its figures.
#   tools/reliability/kill-suite.sh [rounds per operation] [items] [bills] [seed]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export ZOSTORE_KILL_ROUNDS=${1:-25} ZOSTORE_KILL_ITEMS=${2:-2000} ZOSTORE_KILL_BILLS=${3:-20000}
export ZOSTORE_KILL_SEED=${4:-$RANDOM}
"$root/scripts/build.sh" test
source "$root/scripts/lib/throwaway-pg.sh"
source "$root/scripts/lib/sanitizer-env.sh"
echo "== rounds $ZOSTORE_KILL_ROUNDS, items $ZOSTORE_KILL_ITEMS, bills $ZOSTORE_KILL_BILLS, seed $ZOSTORE_KILL_SEED"
"$root/build-test/bin/reliability_test" --gtest_filter='*KillTest*' | grep -E "kill suite|OK|FAILED|Failure"
