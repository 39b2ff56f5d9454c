#!/usr/bin/env bash
# Writes a simulator include file with relperm, equilibrates a column deck with it in OPM
# Flow and compares the fluid in place of Flow's first report with what the end points
# give. With capillary pressure 0 the equilibration puts each zone at a table end point, so
# a table that stops short of Sw = 1 or of Sg = 1 - Swc leaves oil in the aquifer or the
# gas cap: Flow accepts such tables and runs them to the end, only the volumes are wrong.
#
# usage: check_in_place.sh RELPERM DECK PHASE REGION PORE_VOLUME FVF [swc=S] [relperm arguments...]
#   PHASE        oil or gas: what the deck's hydrocarbon zone holds
#   REGION       the FIPNUM region of that zone (the deck numbers its regions from the top);
#                no other region may hold any of PHASE
#   PORE_VOLUME  that zone's pore volume in rm3, as the deck's grid gives it
#   FVF          that phase's formation volume factor in the deck, rm3/sm3
#   swc=S        Swc in percent, for tables fitted to measured sets: their Swc is the
#                sets' own, which no relperm argument gives
# The zone must hold PORE_VOLUME x (1 - Swc) / FVF within 0.5%, Swc being the --swc the
# tables were generated with (or swc=S). Oil belongs to the oil zone alone: when PHASE is
# gas, the deck's oil phase is there only for Flow's equilibration and no region may hold oil.
# The relperm arguments are those of prepare_flow_work (flow_work.sh).
set -u
relperm=$1
deck=$2
phase=$3
region=$4
pore_volume=$5
fvf=$6
shift 6

swc=
case ${1:-} in swc=*) swc=${1#swc=}; shift ;; esac
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
    [ "${args[i]}" = --swc ] && swc=${args[i + 1]}
done
[ -n "$swc" ] || { echo "check_in_place.sh: the relperm options give no --swc"; exit 1; }
case $phase in oil | gas) ;; *) echo "check_in_place.sh: PHASE must be oil or gas, not $phase"; exit 1 ;; esac

source "$(dirname "$0")/flow_work.sh"
prepare_flow_work "$relperm" "$deck" "$@"
# Flow prints its in-place report once the first step is done. The column starts at rest,
# so that step needs no Newton update; forcing one, as Flow does by default, fails in the
# water-gas column, whose oil phase is empty everywhere and leaves the linear system singular.
(cd "$work" && OMP_NUM_THREADS=1 flow CASE.DATA --output-dir=out --newton-min-iterations=0 >flow.log 2>&1)
status=$?
prt="$work/out/CASE.PRT"

# The first and last row of each table: the end points the equilibration used.
table_ends() {
    awk '/^[A-Z]+$/ { name = $1; first = ""; last = ""; next }
         /^ *--/ || NF == 0 { next }
         /^\// { if (name != "") print name ": first row " first ", last row " last; name = ""; next }
         name != "" { row = $1 " " $2 " " $3 (NF > 3 ? " " $4 : ""); if (first == "") first = row; last = row }' \
        "$work/TABLES.INC"
}
fail() {
    echo "$1"
    echo "--- end rows of TABLES.INC"; table_ends
    exit 1
}
flow_failed() {
    echo "--- flow output (last lines)"; tail -n 30 "$work/flow.log"
    fail "$1"
}
[ "$status" -eq 0 ] || flow_failed "flow exited with status $status"
[ -f "$prt" ] || flow_failed "flow wrote no print file"
if grep -n -E '^(Error:|Internal error)' "$prt"; then flow_failed "flow logged errors"; fi

# Flow's first report (the equilibrated state, "Originally" equals "Currently" there), one
# line per block: field or region number, pore volume, oil, water and gas in place (sm3).
report=$(awk '
    /: +Field Totals +:/ { block = "field" }
    /: +FIPNUM report region +[0-9]+ +:/ { block = $5 }
    block != "" && /: +PORV += / { porv[block] = $4 }
    block != "" && /^:Currently +in place +:/ {
        if (!(block in done)) {
            split($0, part, ":")
            n = split(part[3], oil, " "); split(part[4], wat, " "); m = split(part[5], gas, " ")
            print block, porv[block], oil[n] + 0, wat[1] + 0, gas[m] + 0
            done[block] = 1
        }
        block = ""
    }' "$prt")
grep -q '^field ' <<<"$report" || flow_failed "flow printed no field in-place report"
grep -q "^$region " <<<"$report" || flow_failed "flow printed no in-place report for FIPNUM region $region"

verdict=$(awk -v phase="$phase" -v zone="$region" -v pv="$pore_volume" -v fvf="$fvf" -v swc="$swc" '
    BEGIN { column = phase == "oil" ? 3 : 5; tolerance = 0.005 }
    { porv[$1] = $2; amount[$1] = $column; oil[$1] = $3; if ($1 != "field") regions[++count] = $1 }
    END {
        expected = pv * (1 - swc / 100) / fvf
        bad = 0
        printf "%s in place (sm3) after equilibration; expected %.0f = pore volume %g rm3 x (1 - Swc %g) / %s %g\n",
            phase, expected, pv, swc / 100, phase == "oil" ? "Bo" : "Bg", fvf
        if (porv[zone] == "" || porv[zone] - pv > 1e-4 * pv || pv - porv[zone] > 1e-4 * pv) {
            printf "  FIPNUM %s holds %s rm3 of pore volume in Flow, not the %g the expected value uses\n", zone, porv[zone], pv
            bad = 1
        }
        off = (amount["field"] - expected) / expected
        printf "  %-26s %10.0f  (%+.2f%% from expected)%s\n", "field:", amount["field"], 100 * off,
            (off > tolerance || off < -tolerance) ? "  WRONG" : ""
        if (off > tolerance || off < -tolerance) bad = 1
        for (i = 1; i <= count; i++) {
            r = regions[i]
            if (r == zone) {
                off = (amount[r] - expected) / expected
                wrong = off > tolerance || off < -tolerance
                printf "  %-26s %10.0f  (%+.2f%% from expected)%s\n", "FIPNUM " r ", the zone:", amount[r], 100 * off,
                    wrong ? "  WRONG" : ""
            } else {
                wrong = amount[r] > tolerance * expected || amount[r] < -tolerance * expected
                printf "  %-26s %10.0f  (expected 0)%s\n", "FIPNUM " r ", " (r < zone ? "above" : "below") " the zone:",
                    amount[r], wrong ? "  WRONG" : ""
            }
            if (wrong) bad = 1
            # A deck whose zone holds gas has no oil zone, so oil anywhere is a cell share the
            # water-gas tables left to neither of their phases; the bound is 0.5% of the
            # zone pore volume, taken in sm3.
            if (phase == "gas" && (oil[r] > tolerance * pv || oil[r] < -tolerance * pv)) {
                printf "  FIPNUM %s also holds %.0f sm3 of oil (expected 0)  WRONG\n", r, oil[r]
                bad = 1
            }
        }
        print bad ? "FAIL" : "PASS"
    }' <<<"$report")
echo "$verdict" | sed '$d'
[ "$(tail -n 1 <<<"$verdict")" = PASS ] || fail "the fluid in place does not follow from the table end points (tables of: $*)"
echo "the fluid in place follows from the table end points (tables of: $*)"
