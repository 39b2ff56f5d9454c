#!/usr/bin/env bash
# The bash completion of relperm, in a bash without the bash-completion package: what the
# Tab key offers at each point of a command line, and that every flag a command's --help
# lists is offered for that command and no flag the command would refuse.
# Usage: bash_completion.sh COMPLETION_FILE RELPERM
set -uo pipefail

completion=$1
relperm=$2
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# shellcheck source=/dev/null
source "$completion" || { echo "FAIL: $completion does not load" >&2; exit 1; }

# Completes the last word of the arguments as Tab would at the end of the line, leaving the
# offers in COMPREPLY.
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _relperm
}

# The offers, sorted, one a line.
offers() { printf '%s\n' "${COMPREPLY[@]}" | sort; }

expect() {
    local what=$1 expected=$2
    local got
    got=$(offers)
    expected=$(printf '%s\n' $expected | sort)
    [[ $got == "$expected" ]] || fail "$what: offered [$(echo $got)], expected [$(echo $expected)]"
}

# The one offer, exactly as it is put on the line.
expect_one() {
    local what=$1 expected=$2
    [[ ${#COMPREPLY[@]} == 1 && ${COMPREPLY[0]} == "$expected" ]] ||
        fail "$what: offered [${COMPREPLY[*]}], expected [$expected]"
}

# Each offer as the shell would read it back: the words a user ends up with.
expect_words() {
    local what=$1
    shift
    local got=() offer
    for offer in "${COMPREPLY[@]}"; do
        got+=("$(eval "printf '%s' $offer")")
    done
    local IFS=$'\n'
    [[ "${got[*]}" == "$*" ]] || fail "$what: offered [${COMPREPLY[*]}], expected [$*]"
}

# --- commands and db's subcommands ---------------------------------------------------------

complete_words relperm ""
expect "commands" "generate db fit recommend tables deck version help"
complete_words relperm re
expect "a command's beginning" "recommend"
complete_words relperm db ""
expect "db subcommands" "count show list dump import"
complete_words relperm db i
expect "a db subcommand's beginning" "import"
complete_words relperm deck ""
expect "deck subcommands" "check convert"
complete_words relperm deck check --format ""
expect "deck check's formats" "text csv"
complete_words relperm deck convert --to ""
expect "deck convert's families" "family1 family2 slgof"

complete_words relperm help ""
expect "the commands help describes" "generate db fit recommend tables deck"
complete_words relperm help db s
expect "help's db subcommands" "show"
complete_words relperm help deck ""
expect "help's deck subcommands" "check convert"
complete_words relperm fit --model ""
expect "the models, as the outputs name them" "Corey LET"

# --- the flags of the command being typed --------------------------------------------------

complete_words relperm generate --
expect "generate flags" "--fluids --correlation --wettability --formation --title --porosity
    --permeability --swc --sorw --sorg --sgc --krg-sorg --spacing --run --format --repair
    --krw-max --krg-max --out --help --version"
complete_words relperm fit --
expect "fit flags" "--system --dir --location --method --lithology --wettability --match
    --model --format --spacing --krw-max --krg-max --compare --out --table --keyword --satnum --weight --help --version"
complete_words relperm recommend --
expect "recommend flags" "--system --dir --location --method --lithology --wettability
    --search-percent --tolerance --swc --sor --sgc --model --weight --max-rms --format --case
    --interpolate --spacing --krw-max --krg-max --out --help --version"
complete_words relperm recommend --weight ""
expect "recommend's weightings" "kr log"
complete_words relperm recommend --max-rms ""
expect "--max-rms takes a number of the user's own" ""
complete_words relperm generate --fluids Water-Gas --s
expect "generate flags by their beginning" "--swc --sorw --sorg --sgc --spacing"
complete_words relperm generate --swc 20 --s
expect "a flag already given is not offered again" "--sorw --sorg --sgc --spacing"
complete_words relperm db dump --
expect "db dump flags" "--system --dir --out --help --version"
complete_words relperm db show --system "Gas-Oil Data" --
expect "db show flags" "--dir --location --method --lithology --wettability --search-percent
    --tolerance --swc --sor --sgc --match --all --format --measured --repair --krw-max --krg-max
    --out --help --version"
complete_words relperm db show --all --
expect "db show --all leaves out what takes one match" "--system --dir --location --method
    --lithology --wettability --search-percent --tolerance --swc --sor --sgc --out --help --version"
complete_words relperm db show --match 3 --a
expect "db show --match leaves out --all" ""

# --- list texts, quoted as the shell needs them --------------------------------------------

complete_words relperm db count --system ""
expect_words "--system" "Water-Oil Data" "Gas-Oil Data" "Gas-Water Data" "Gas-Condensate Data"
complete_words relperm db count --system Gas-W
expect_one "--system's blank escaped" 'Gas-Water\ Data'
complete_words relperm db count --system 'Water-Oil\ D'
expect_one "--system typed with an escaped blank" 'Water-Oil\ Data'
complete_words relperm fit --system '"Gas-C'
expect_one "--system inside an opened quote" "Gas-Condensate Data"
complete_words relperm generate --correlation Moh
expect_one "--correlation with a blank and a slash" 'Mohamad\ Ibrahim/Varnholt'
complete_words relperm generate --correlation Hon
expect_one "--correlation with slashes" "Honarpour/Varnholt/Harvey"
complete_words relperm generate --correlation "'Mohamad I"
expect_one "--correlation inside an opened quote" "Mohamad Ibrahim/Varnholt"
complete_words relperm generate --wettability Int
expect_one "--wettability with brackets" 'Intermediate\ \(Mixed\)'
complete_words relperm generate --wettability ""
expect_words "--wettability" "Strongly Water Wet" "Water Wet" "Intermediate (Mixed)" \
    "Oil Wet" "Oil or Intermediate Wet"
complete_words relperm generate --fluids ""
expect "--fluids" "Water-Oil-Gas Water-Gas Gas-Condensate"
complete_words relperm generate --formation C
expect "--formation" "Carbonate"
complete_words relperm db show --system = Gas-O
expect_one "--system=TEXT" 'Gas-Oil\ Data'
complete_words relperm db list --wettability ""
expect "db's --wettability is a list index" "0 1 2 3"

# --- formats, per command ------------------------------------------------------------------

complete_words relperm generate --format ""
expect "generate formats" "export grid run swof sgof swfn sgfn simulator"
complete_words relperm db show --format ""
expect "db show formats" "text csv swof sgof swfn sgfn simulator"
complete_words relperm fit --format ""
expect "fit formats" "params swof sgof swfn sgfn simulator"
complete_words relperm recommend --format s
expect "recommend formats" "swof sgof swfn sgfn simulator"

# --- file and folder names -----------------------------------------------------------------

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/cores" "$scratch/cases"
touch "$scratch/cases.csv" "$scratch/core data.csv"
cd "$scratch" || exit 1

complete_words relperm generate --out ca
expect "--out completes files and folders" "cases cases.csv"
complete_words relperm generate --run "core "
expect_one "--run completes a name with a blank" "core data.csv"
complete_words relperm db count --dir c
expect "--dir completes only folders" "cases cores"
complete_words relperm db import --system "Water-Oil Data" --out OWBIN ca
expect "db import's CSV files" "cases cases.csv"
complete_words relperm db import --system "Water-Oil Data" --out OWBIN -- -
expect "after -- only names" ""
complete_words relperm db count --system "Water-Oil Data" ca
expect "db count takes no file" ""

# --- every flag of each --help is offered, and only flags the command takes ----------------

help_flags() { "$relperm" "$@" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u; }

offered_flags() {
    complete_words relperm "$@" --
    offers
}

for command in generate fit recommend tables; do
    missing=$(comm -23 <(help_flags "$command") <(offered_flags "$command"))
    [[ -z $missing ]] || fail "relperm $command --help lists flags the completion does not offer:" $missing
done
for sub in check convert; do
    missing=$(comm -23 <(help_flags deck $sub) <(offered_flags deck $sub))
    [[ -z $missing ]] || fail "relperm deck $sub --help lists flags the completion does not offer:" $missing
done

all_db_offers=$(for sub in count show list dump import; do offered_flags db "$sub"; done | sort -u)
missing=$(comm -23 <(help_flags db) <(echo "$all_db_offers"))
[[ -z $missing ]] || fail "relperm db --help lists flags no db completion offers:" $missing

for command in generate fit recommend tables "db count" "db show" "db list" "db dump" "db import" \
    "deck check" "deck convert"; do
    # shellcheck disable=SC2086
    for flag in $(offered_flags $command); do
        # shellcheck disable=SC2086
        refusal=$("$relperm" $command "$flag" 2>&1 >/dev/null)
        [[ $refusal != *"unknown option"* ]] ||
            fail "the completion offers $flag for relperm $command, which refuses it"
    done
done

if ((failures)); then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "bash completion: every case passed"
