#!/usr/bin/env bash
# The manual pages as a user reads them: each renders without a warning, its installed
# file is compressed as Debian wants it, relperm's page names every command and every flag
# the --help texts list, each window program's page names every option its --help lists,
# and the window programs answer --help and --version without opening a window.
# Usage: man_pages.sh MAN_SOURCE_DIR MAN_BUILD_DIR RELPERM VOMAR PELLAM OSTILO
set -uo pipefail

source_dir=$1
build_dir=$2
relperm=$3
declare -A window_program=([vomar]=$4 [pellam]=$5 [ostilo]=$6)
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

export LC_ALL=C.UTF-8 MANWIDTH=80
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

version=$("$relperm" --version | sed -n 's/^relperm //p')
[[ -n $version ]] || fail "relperm --version printed no version"

# The page as man shows it, on one line with single blanks, so that a name the
# formatter moved to the next line is still found.
rendered() { man -l "$1" 2>/dev/null | tr -s ' \n' '  '; }

# Whether the rendered page holds the option as a word of its own (--sor is not --sorw).
names_option() {
    local text=$1 option=$2
    grep -qE -- "(^|[^a-zA-Z0-9-])$(printf '%s' "$option" | sed 's/[?]/\\?/g')([^a-zA-Z0-9-]|$)" \
        <<<"$text"
}

# --- each page renders cleanly, and is installed compressed without a time stamp -----------

for name in relperm vomar pellam ostilo; do
    page=$source_dir/$name.1
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$name.1: man warns: $warnings"
    warnings=$(groff -man -ww -z -Tutf8 "$page" 2>&1)
    [[ -z $warnings ]] || fail "$name.1: groff warns: $warnings"
    text=$(man -l "$page" 2>/dev/null)
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
        grep -qx "$section" <<<"$text" || fail "$name.1 has no $section section"
    done
    grep -qE "^ *$name - " <<<"$text" || fail "$name.1: NAME does not start with \"$name - \""
    footer=$(tail -n 1 <<<"$text")
    [[ $footer == "relperm $version "* ]] ||
        fail "$name.1 is for another version than relperm $version: $footer"

    gz=$build_dir/$name.1.gz
    if [[ ! -f $gz ]]; then
        fail "$gz was not built"
        continue
    fi
    cmp -s <(gzip -dc "$gz") "$page" || fail "$gz is not $page compressed"
    # gzip's header: byte 3 the flags (8 = a stored name), bytes 4 to 7 the time stamp.
    header=$(od -An -tu1 -j3 -N5 "$gz" | tr -s ' ')
    [[ $header == " 0 0 0 0 0" ]] || fail "$gz stores a name or a time stamp (header$header)"
    [[ $(gzip -dc "$gz" | gzip -9n -c | cmp - "$gz" && echo same) == same ]] ||
        fail "$gz is not compressed with gzip -9n"
done

# --- relperm.1 names every command and every flag of the --help texts ----------------------

relperm_page=$(rendered "$source_dir/relperm.1")
commands=$("$relperm" --help | sed -n '/^commands:/,/^$/p' | sed -n 's/^  \([a-z][a-z]*\)  .*/\1/p')
[[ -n $commands ]] || fail "relperm --help lists no commands"
db_commands=$("$relperm" db --help | sed -n 's/^  \([a-z][a-z]*\)  .*/\1/p')
[[ -n $db_commands ]] || fail "relperm db --help lists no subcommands"
for command in $commands; do
    names_option "$relperm_page" "$command" || fail "relperm.1 does not describe relperm $command"
done
for command in $db_commands; do
    names_option "$relperm_page" "db $command" ||
        fail "relperm.1 does not describe relperm db $command"
done

helps=("--help" "generate --help" "fit --help" "recommend --help" "db --help")
for command in $db_commands; do
    helps+=("db $command --help")
done
for help in "${helps[@]}"; do
    # shellcheck disable=SC2086
    text=$("$relperm" $help) || fail "relperm $help failed"
    for flag in $(grep -oE -- '(^|[ ,[(])--?[a-z][a-z-]*' <<<"$text" | grep -oE -- '--?[a-z-]+' |
        sort -u); do
        names_option "$relperm_page" "$flag" ||
            fail "relperm $help lists $flag, which relperm.1 does not name"
    done
done
for status in 0 1 2 3; do
    sed -n '/^EXIT STATUS$/,/^FILES$/p' <(man -l "$source_dir/relperm.1" 2>/dev/null) |
        grep -qE "^ +$status +[^ ]" || fail "relperm.1 does not explain exit status $status"
done
for file in OWBIN OGBIN GWBIN CGBIN share/relperm/demo; do
    grep -qF "$file" <<<"$relperm_page" || fail "relperm.1 does not name $file"
done

# --- the window programs: --help, --version, refusals, and their pages ---------------------

# Runs a window program; a window that opens keeps it running into the time-out.
run_window_program() {
    timeout 20 env QT_QPA_PLATFORM=offscreen "$@" >"$scratch/out" 2>"$scratch/err"
}

for name in vomar pellam ostilo; do
    program=${window_program[$name]}
    run_window_program "$program" --help
    status=$?
    [[ $status == 0 ]] || fail "$name --help exits $status (124: a window opened)"
    help=$(cat "$scratch/out")
    grep -q "^Usage: .*$name" <<<"$help" || fail "$name --help prints no usage: $help"

    run_window_program "$program" --version
    status=$?
    [[ $status == 0 ]] || fail "$name --version exits $status (124: a window opened)"
    [[ $(cat "$scratch/out") == "$name $version" ]] ||
        fail "$name --version prints \"$(cat "$scratch/out")\", not \"$name $version\""

    # Without any window system, as over ssh: the answer needs none.
    for option in --help -v; do
        timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$option" \
            >/dev/null 2>"$scratch/err"
        status=$?
        [[ $status == 0 ]] || fail "$name $option without a display exits $status: $(cat "$scratch/err")"
    done

    run_window_program "$program" --no-such-option
    status=$?
    [[ $status == 2 ]] || fail "$name --no-such-option exits $status, not 2"
    grep -q "no-such-option" "$scratch/err" || fail "$name does not name the unknown option"

    page=$(rendered "$source_dir/$name.1")
    options=$(sed -n '/^Options:/,/^$/p' <<<"$help" | grep -oE -- '(^|[ ,])--?[a-zA-Z?][a-zA-Z-]*' |
        grep -oE -- '--?[a-zA-Z?][a-zA-Z-]*')
    [[ -n $options ]] || fail "$name --help lists no options"
    for option in $options; do
        names_option "$page" "$option" || fail "$name --help lists $option, which $name.1 does not name"
    done
    for argument in $(sed -n '/^Arguments:/,/^$/p' <<<"$help" | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p'); do
        grep -qw "$argument" <<<"$page" || fail "$name --help takes $argument, which $name.1 does not name"
    done
    grep -qE "(^|[^0-9])2 An unknown option" <<<"$page" || fail "$name.1 does not give exit status 2"
done

if ((failures)); then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "manual pages: every check passed"
