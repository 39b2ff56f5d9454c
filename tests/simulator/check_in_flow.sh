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
run_flow
if [ -n "$flow_problem" ]; then
    echo "$flow_problem"
    echo "--- TABLES.INC"; cat "$work/TABLES.INC"
    echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
    exit 1
fi
echo "flow ran the deck to its end with the tables of: $*"
