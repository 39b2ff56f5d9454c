# Sourced by the OPM Flow checks: makes a work folder (removed on exit) holding DECK as
# CASE.DATA and, as TABLES.INC, the tables relperm writes for the arguments, and sets $work.
# Arguments that start with "generate" or "db" are a whole command; others are options of
# relperm generate.
#
# usage: prepare_flow_work RELPERM DECK [relperm arguments...]
prepare_flow_work() {
    local relperm=$1 deck=$2
    shift 2
    command -v flow >/dev/null || { echo "OPM Flow (flow) is not installed: run scripts/install-deps"; exit 1; }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$deck" "$work/CASE.DATA"
    case ${1:-} in generate | db) ;; *) set -- generate "$@" ;; esac
    if ! "$relperm" "$@" --format simulator --out "$work/TABLES.INC"; then
        echo "relperm refused the tables"
        exit 1
    fi
}
