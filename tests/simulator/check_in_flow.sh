#!/usr/bin/env bash
# Writes a simulator include file with relperm, runs it in OPM Flow inside a small deck,
# and fails on any error the simulator logs or when the run stops before its end. Flow
# can exit with status 0 after logging an error about the tables, so its print file is
# read as well.
#
# usage: check_in_flow.sh RELPERM DECK [relperm generate options...]
set -u
relperm=$1
deck=$2
shift 2

source "$(dirname "$0")/flow_work.sh"
prepare_flow_work "$relperm" "$deck" "$@"
(cd "$work" && OMP_NUM_THREADS=1 flow CASE.DATA --output-dir=out >flow.log 2>&1)
status=$?
prt="$work/out/CASE.PRT"

fail() {
    echo "$1"
    echo "--- TABLES.INC"; cat "$work/TABLES.INC"
    echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
    exit 1
}
[ "$status" -eq 0 ] || fail "flow exited with status $status"
[ -f "$prt" ] || fail "flow wrote no print file"
# Convergence retries are logged as problems and recovered from; errors are not.
if grep -n -E '^(Error:|Internal error)' "$prt"; then fail "flow logged errors"; fi
grep -q -E '^Errors +0$' "$prt" || fail "flow's error summary is not clean"
grep -q 'End of simulation' "$prt" || fail "the run did not reach its last report step"
echo "flow ran the deck to its end with the tables of: $*"
