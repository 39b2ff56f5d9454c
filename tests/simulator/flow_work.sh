# Sourced by the OPM Flow checks: makes a work folder (removed on exit) holding DECK as
# CASE.DATA and, as TABLES.INC, the tables relperm writes for the arguments, and sets $work.
# Arguments that start with "generate", "db", "fit" or "recommend" are a whole command;
# others are options of relperm generate. A lone "+" starts another command, whose tables
# follow in TABLES.INC: a deck whose keywords come from two measured sets (SWOF of a
# water-oil set, SGOF of the gas-oil set of the same sample) needs two. Each command writes
# every keyword of its system (--format simulator) unless it names its own --format: the
# SGOF alone of generated water-oil-gas tables, beside the SWOF of another command.
#
# usage: prepare_flow_work RELPERM DECK [relperm arguments...] [+ relperm arguments...]
prepare_flow_work() {
    local relperm=$1 deck=$2
    shift 2
    command -v flow >/dev/null || { echo "OPM Flow (flow) is not installed: run scripts/install-deps"; exit 1; }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$deck" "$work/CASE.DATA"
    : >"$work/TABLES.INC"
    local part=0
    while :; do
        local words=()
        while [ $# -gt 0 ] && [ "$1" != + ]; do
            words+=("$1")
            shift
        done
        case ${words[0]:-} in generate | db | fit | recommend) ;; *) words=(generate "${words[@]}") ;; esac
        case " ${words[*]} " in *" --format "*) ;; *) words+=(--format simulator) ;; esac
        part=$((part + 1))
        if ! "$relperm" "${words[@]}" --out "$work/TABLES-$part.INC"; then
            echo "relperm refused the tables"
            exit 1
        fi
        cat "$work/TABLES-$part.INC" >>"$work/TABLES.INC"
        [ $# -gt 0 ] || break
        shift
    done
}

# Runs $work/CASE.DATA in OPM Flow, with any further Flow options given, and sets
# flow_problem to why the run is not clean, or to nothing. Flow can exit with status 0 after
# logging an error about the tables, so its print file is read as well; convergence retries
# are logged as problems and recovered from, errors are not. After a run with SWFN/SGFN/SOF3
# Flow 2022.10 can abort on its way out ("free(): invalid pointer") with every result
# written: that exit passes when the results are all there.
run_flow() {
    (cd "$work" && OMP_NUM_THREADS=1 flow CASE.DATA --output-dir=out "$@" >flow.log 2>&1)
    local status=$? prt="$work/out/CASE.PRT" file
    flow_problem=
    if [ ! -f "$prt" ]; then
        flow_problem="flow wrote no print file"
    elif grep -n -E '^(Error:|Internal error)' "$prt"; then
        flow_problem="flow logged errors"
    elif ! grep -q -E '^Errors +0$' "$prt"; then
        flow_problem="flow's error summary is not clean"
    elif ! grep -q 'End of simulation' "$prt"; then
        flow_problem="the run did not reach its last report step"
    fi
    if [ -z "$flow_problem" ] && [ "$status" -ne 0 ]; then
        for file in CASE.UNRST CASE.SMSPEC CASE.UNSMRY; do
            [ -s "$work/out/$file" ] || flow_problem="flow exited with status $status"
        done
        grep -q 'free(): invalid pointer' "$work/flow.log" ||
            flow_problem="flow exited with status $status"
    fi
}
