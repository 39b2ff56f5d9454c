#!/usr/bin/env bash
# Writes the include file of a six-region parameter table with `relperm tables`, once as
# SWOF/SGOF (family 1) and once as SWFN/SGFN/SOF3 (family 2), equilibrates the six-region deck
# with each in OPM Flow, and judges Flow's initial state with six_regions.py: every cell's
# water and gas saturation must be what its region's tables and, within the tables' row
# spacing, its region's parameters (swl, the simple J curve) give at its depth, every region
# must hold the oil that follows, and the two families must give the same state.
#
# usage: check_six_regions.sh RELPERM DECK PARAMS [FAMILY...]
#   FAMILY  1 or 2 (default: both; the families are compared with each other when both run)
set -u
relperm=$1
deck=$2
params=$3
shift 3
families=("$@")
[ ${#families[@]} -gt 0 ] || families=(1 2)
here=$(cd "$(dirname "$0")" && pwd)
command -v flow >/dev/null || { echo "OPM Flow (flow) is not installed: run scripts/install-deps"; exit 1; }
command -v python3 >/dev/null || { echo "python3 is not installed: six_regions.py judges the runs"; exit 1; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

runs=()
for family in "${families[@]}"; do
    work="$root/family$family"
    mkdir "$work"
    if ! "$relperm" tables "$params" --family "$family" --out "$work/TABLES.INC"; then
        echo "relperm refused the parameter table (family $family)"
        exit 1
    fi
    cp "$deck" "$work/CASE.DATA"
    start=$(date +%s%N)
    # The deck starts at rest and its one step only has Flow write its summary. Flow forces a
    # Newton update on that step by default, which on some of these columns at rest fails to
    # converge (a region's Pc 5% higher was enough), so it is not forced: as check_in_place.sh.
    (cd "$work" && OMP_NUM_THREADS=1 flow CASE.DATA --output-dir=out --newton-min-iterations=0 >flow.log 2>&1)
    status=$?
    echo "family $family: flow ran in $((($(date +%s%N) - start) / 1000000)) ms"
    # The run is judged by what it wrote: after a run with SWFN/SGFN/SOF3 Flow 2022.10 can
    # abort on its way out ("free(): invalid pointer") with every result written. Any other
    # failure, or that one with a result missing, fails the check.
    prt="$work/out/CASE.PRT"
    problem=
    if [ ! -f "$prt" ]; then
        problem="flow wrote no print file"
    elif grep -n -E '^(Error:|Internal error)' "$prt"; then
        problem="flow logged errors"
    elif ! grep -q -E '^Errors +0$' "$prt"; then
        problem="flow's error summary is not clean"
    elif ! grep -q 'End of simulation' "$prt"; then
        problem="the run did not reach its last report step"
    fi
    for file in CASE.UNRST CASE.SMSPEC CASE.UNSMRY; do
        [ -n "$problem" ] || [ -s "$work/out/$file" ] || problem="flow wrote no $file"
    done
    if [ -z "$problem" ] && [ "$status" -ne 0 ]; then
        if grep -q 'free(): invalid pointer' "$work/flow.log"; then
            echo "family $family: flow aborted at exit (status $status, free(): invalid pointer) after writing every result"
        else
            problem="flow exited with status $status"
        fi
    fi
    if [ -n "$problem" ]; then
        echo "family $family: $problem"
        echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
        exit 1
    fi
    runs+=("$work")
done

python3 "$here/six_regions.py" "$params" "$deck" "${runs[@]}"
