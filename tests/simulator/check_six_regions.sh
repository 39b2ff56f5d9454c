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
source "$here/flow_work.sh"
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
    run_flow --newton-min-iterations=0
    echo "family $family: flow ran in $((($(date +%s%N) - start) / 1000000)) ms"
    if [ -n "$flow_problem" ]; then
        echo "family $family: $flow_problem"
        echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
        exit 1
    fi
    runs+=("$work")
done

python3 "$here/six_regions.py" "$params" "$deck" "${runs[@]}"
