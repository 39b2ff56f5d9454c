#!/usr/bin/env bash
# Converts the saturation tables of SPE1 case 2 (DIR/TABLES.INC, SWOF and SGOF) with
# `relperm deck convert` to SWFN/SGFN/SOF3 and to SWOF/SLGOF, and judges the conversions
# three ways:
#   - each converted file gives every kr and Pc of the original at every saturation
#     (same_tables.py kr), which the simulator alone could not show: SPE1 keeps its water at
#     connate saturation, so SOF3's krow could be wrong above Swc and no rate would move;
#   - converted back to SWOF/SGOF, each gives the rows the original converts to, and those
#     are the original's own rows (same_tables.py rows);
#   - OPM Flow runs the deck with each (nothing else in the deck changes) and reports the
#     original's rates and pressures at every report step (compare_runs.py).
#
# usage: check_convert_spe1.sh RELPERM DIR
#   DIR  holds SPE1.DATA, whose PROPS include TABLES.INC, and TABLES.INC
set -u
# Absolute, as the work happens in a folder of its own whose names head the messages.
relperm=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
dir=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/flow_work.sh"
command -v flow >/dev/null || { echo "OPM Flow (flow) is not installed: run scripts/install-deps"; exit 1; }
# Debian's OPM package installs for the system's python3, which need not be the first on PATH.
python=
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c 'import opm.io.ecl' 2>/dev/null; then
        python=$candidate
        break
    fi
done
[ -n "$python" ] || { echo "OPM's Python package (python3-opm-common) is not installed: run scripts/install-deps"; exit 1; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cd "$root" || exit 1
tables=$dir/TABLES.INC

convert() {
    local from=$1 to=$2 out=$3
    if ! "$relperm" deck convert "$from" --to "$to" --out "$out"; then
        echo "relperm deck convert $from --to $to failed"
        exit 1
    fi
}
judge() {
    "$python" "$here/same_tables.py" "$@" || exit 1
}

mkdir original family2 slgof
cp "$tables" original/TABLES.INC
convert "$tables" family2 family2/TABLES.INC
convert "$tables" slgof slgof/TABLES.INC
judge kr "$tables" family2/TABLES.INC SWFN,SGFN,SOF3
judge kr "$tables" slgof/TABLES.INC SWOF,SLGOF

# The whole deck reads as its include file: the same tables, converted alike.
convert "$dir/SPE1.DATA" family2 deck-family2.INC
judge rows family2/TABLES.INC deck-family2.INC

# There and back. The original converts to its own rows, and so do both conversions.
convert "$tables" family1 family1.INC
judge rows "$tables" family1.INC
for family in family2 slgof; do
    convert "$family/TABLES.INC" family1 "$family-back.INC"
    judge rows family1.INC "$family-back.INC"
done

for run in original family2 slgof; do
    work=$root/$run
    cp "$dir/SPE1.DATA" "$work/CASE.DATA"
    start=$(date +%s%N)
    run_flow
    echo "$run: flow ran in $((($(date +%s%N) - start) / 1000000)) ms"
    if [ -n "$flow_problem" ]; then
        echo "$run: $flow_problem"
        echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
        exit 1
    fi
done

"$python" "$here/compare_runs.py" original family2 slgof
