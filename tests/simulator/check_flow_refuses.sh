#!/usr/bin/env bash
# A table relperm refuses is one the simulator would stop on: relperm must refuse the command
# (exit 2, the reason on standard error), and OPM Flow, given the table relperm wrote for it
# before it refused such tables, must fail to run the deck to its end.
#
# usage: check_flow_refuses.sh RELPERM DECK TABLE.INC [CSV SYSTEM] -- [relperm arguments...]
# With CSV and SYSTEM, the arguments run in a folder whose data file is that CSV imported.
# Without arguments only Flow runs: a table no command can lead to any more, whose refusal
# the writer's own tests check.
set -u
relperm=$1
deck=$2
table=$3
shift 3
csv=
system=
if [ "$1" != -- ]; then
    csv=$1
    system=$2
    shift 2
fi
shift # --
source "$(dirname "$0")/flow_work.sh"
command -v flow >/dev/null || { echo "OPM Flow (flow) is not installed: run scripts/install-deps"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/data"
if [ -n "$csv" ]; then
    case $system in
    "Water-Oil Data") file=OWBIN ;; "Gas-Oil Data") file=OGBIN ;;
    "Gas-Water Data") file=GWBIN ;; *) file=CGBIN ;;
    esac
    "$relperm" db import --system "$system" --out "$work/data/$file" "$csv" || exit 1
fi

if [ $# -gt 0 ]; then
    (cd "$work/data" && "$relperm" "$@" --out "$work/WRITTEN.INC" 2>"$work/refusal")
    status=$?
    [ "$status" -eq 2 ] || { echo "relperm did not refuse the table (exit $status)"; cat "$work/refusal"; exit 1; }
    [ ! -e "$work/WRITTEN.INC" ] || { echo "relperm wrote a file it refused"; exit 1; }
    echo "relperm refused: $(cat "$work/refusal")"
fi

cp "$deck" "$work/CASE.DATA"
cp "$table" "$work/TABLES.INC"
run_flow
if [ -z "$flow_problem" ]; then
    echo "flow ran the table relperm refuses to the end:"
    cat "$table"
    exit 1
fi
echo "flow fails on it too: $flow_problem"
