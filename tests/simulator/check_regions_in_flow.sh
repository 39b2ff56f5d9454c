#!/usr/bin/env bash
# Writes the SGOF table of every set of a system in a data folder with `relperm db show`
# (no repair), one saturation region each, and runs them together in OPM Flow with the
# regions deck: each set must be written and the run must reach its end without an error.
#
# usage: check_regions_in_flow.sh RELPERM DECK DIR SYSTEM
set -u
relperm=$1
deck=$2
dir=$3
system=$4
source "$(dirname "$0")/flow_work.sh"
command -v flow >/dev/null || { echo "OPM Flow (flow) is not installed: run scripts/install-deps"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sets=$("$relperm" db count --dir "$dir" --system "$system") || exit 1
[ "$sets" -gt 0 ] || { echo "no $system set in $dir"; exit 1; }
echo "SGOF" >"$work/TABLES.INC"
rows=2
for ((k = 1; k <= sets; ++k)); do
    if ! "$relperm" db show --dir "$dir" --system "$system" --match "$k" --format sgof \
        --out "$work/set-$k.INC"; then
        echo "relperm refused the table of set $k"
        exit 1
    fi
    # The table's rows and its closing slash, after the keyword.
    awk '/^SGOF$/ { on = 1; next } on { print } /^\/$/ { on = 0 }' "$work/set-$k.INC" >>"$work/TABLES.INC"
    n=$(grep -c '^   ' "$work/set-$k.INC")
    [ "$n" -gt "$rows" ] && rows=$n
done
satnum=$(seq -s ' ' 1 "$sets")
sed -e "s/@CELLS@/$sets/g" -e "s/@ROWS@/$rows/g" -e "s/@SATNUM@/$satnum/" "$deck" >"$work/CASE.DATA"

run_flow
if [ -n "$flow_problem" ]; then
    echo "$flow_problem"
    echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
    exit 1
fi
echo "flow ran the $sets tables of $system in $dir to the end, one region each"
